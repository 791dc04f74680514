#pragma once
// A minimal owning COM pointer: AddRef/Release, put() for out-parameters,
// as<U>() for QueryInterface.
#include <unknwn.h>

#include <utility>

#include "win/Error.h"

namespace win {

template <typename T>
class ComPtr {
public:
    ComPtr() = default;
    ComPtr(std::nullptr_t) noexcept {}
    // Takes a new reference of its own.
    explicit ComPtr(T* p) noexcept : p_(p)
    {
        if (p_) p_->AddRef();
    }
    ComPtr(const ComPtr& other) noexcept : ComPtr(other.p_) {}
    ComPtr(ComPtr&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
    ComPtr& operator=(ComPtr other) noexcept
    {
        std::swap(p_, other.p_);
        return *this;
    }
    ~ComPtr() { reset(); }

    // Adopts a reference the caller already owns.
    static ComPtr Attach(T* p) noexcept
    {
        ComPtr result;
        result.p_ = p;
        return result;
    }

    T* get() const noexcept { return p_; }
    T* operator->() const noexcept { return p_; }
    explicit operator bool() const noexcept { return p_ != nullptr; }

    void reset() noexcept
    {
        if (T* old = std::exchange(p_, nullptr)) old->Release();
    }

    T** put() noexcept
    {
        reset();
        return &p_;
    }

    void** put_void() noexcept { return reinterpret_cast<void**>(put()); }

    // QueryInterface; an empty pointer when the interface is not there.
    template <typename U>
    ComPtr<U> try_as() const noexcept
    {
        ComPtr<U> result;
        if (p_) p_->QueryInterface(__uuidof(U), result.put_void());
        return result;
    }

    // QueryInterface that throws the system's text when it fails.
    template <typename U>
    ComPtr<U> as() const
    {
        ComPtr<U> result;
        if (!p_) ThrowIfFailed(E_POINTER);
        ThrowIfFailed(p_->QueryInterface(__uuidof(U), result.put_void()));
        return result;
    }

private:
    T* p_ = nullptr;
};

}  // namespace win
