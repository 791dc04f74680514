#pragma once
// One move-only owner for every kind of handle, and one alias per kind.
#include <windows.h>
#include <oleauto.h>

#include <utility>

namespace win {

template <typename T, auto Close, T Invalid = T{}>
class UniqueResource {
public:
    UniqueResource() = default;
    explicit UniqueResource(T value) noexcept : value_(value) {}
    UniqueResource(UniqueResource&& other) noexcept : value_(other.release()) {}
    UniqueResource& operator=(UniqueResource&& other) noexcept
    {
        if (this != &other) reset(other.release());
        return *this;
    }
    UniqueResource(const UniqueResource&) = delete;
    UniqueResource& operator=(const UniqueResource&) = delete;
    ~UniqueResource() { reset(); }

    T get() const noexcept { return value_; }
    explicit operator bool() const noexcept { return value_ != Invalid; }

    // Gives up ownership, for when the system takes the resource over.
    T release() noexcept { return std::exchange(value_, Invalid); }

    void reset(T value = Invalid) noexcept
    {
        const T old = std::exchange(value_, value);
        if (old != Invalid) Close(old);
    }

    // For out-parameters: frees what is held and hands out the slot.
    T* put() noexcept
    {
        reset();
        return &value_;
    }

private:
    T value_ = Invalid;
};

namespace detail {
inline void CloseHandleIgnoringResult(HANDLE h) noexcept { ::CloseHandle(h); }
inline void CloseKey(HKEY key) noexcept { ::RegCloseKey(key); }
inline void FreeGlobal(HGLOBAL memory) noexcept { ::GlobalFree(memory); }
inline void FreeLocal(HLOCAL memory) noexcept { ::LocalFree(memory); }
inline void FreeBstr(BSTR text) noexcept { ::SysFreeString(text); }
inline void DestroyWindowIgnoringResult(HWND window) noexcept { ::DestroyWindow(window); }
inline void DeleteGdiObject(HGDIOBJ object) noexcept { ::DeleteObject(object); }
inline void UnmapView(void* view) noexcept { ::UnmapViewOfFile(view); }
inline void KillThreadTimer(UINT_PTR timer) noexcept { ::KillTimer(nullptr, timer); }
}  // namespace detail

using UniqueHandle = UniqueResource<HANDLE, detail::CloseHandleIgnoringResult>;
using UniqueHkey = UniqueResource<HKEY, detail::CloseKey>;
using UniqueHglobal = UniqueResource<HGLOBAL, detail::FreeGlobal>;
using UniqueHlocal = UniqueResource<HLOCAL, detail::FreeLocal>;
using UniqueBstr = UniqueResource<BSTR, detail::FreeBstr>;
using UniqueHwnd = UniqueResource<HWND, detail::DestroyWindowIgnoringResult>;
using UniqueGdiObject = UniqueResource<HGDIOBJ, detail::DeleteGdiObject>;
using UniqueMappedView = UniqueResource<void*, detail::UnmapView>;
// A timer of the thread (no window), as SetTimer(nullptr, ...) returns it.
using UniqueThreadTimer = UniqueResource<UINT_PTR, detail::KillThreadTimer>;

// Cleans up a VARIANT on every path out of a scope.
class UniqueVariant {
public:
    UniqueVariant() noexcept { VariantInit(&value_); }
    ~UniqueVariant() { VariantClear(&value_); }
    UniqueVariant(const UniqueVariant&) = delete;
    UniqueVariant& operator=(const UniqueVariant&) = delete;

    VARIANT* get() noexcept { return &value_; }
    const VARIANT* get() const noexcept { return &value_; }
    VARIANT* put() noexcept
    {
        VariantClear(&value_);
        return &value_;
    }

private:
    VARIANT value_;
};

// Runs a callable when the scope ends, unless dismissed.
template <typename F>
class ScopeExit {
public:
    explicit ScopeExit(F f) : f_(std::move(f)) {}
    ~ScopeExit()
    {
        if (active_) f_();
    }
    ScopeExit(const ScopeExit&) = delete;
    ScopeExit& operator=(const ScopeExit&) = delete;
    void dismiss() noexcept { active_ = false; }

private:
    F f_;
    bool active_ = true;
};

}  // namespace win
