#pragma once
// AddRef and Release for an object we implement for COM. The derived class
// names its interfaces and answers QueryInterface; the object starts with
// its creator's reference and deletes itself when the last one goes.
#include <unknwn.h>

#include <atomic>

namespace win {

template <typename... Interfaces>
class ComObject : public Interfaces... {
public:
    ComObject(const ComObject&) = delete;
    ComObject& operator=(const ComObject&) = delete;
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() override
    {
        const ULONG remaining = --references_;
        if (remaining == 0) delete this;
        return remaining;
    }

protected:
    ComObject() = default;
    // Virtual, so the delete above reaches the derived class.
    virtual ~ComObject() = default;

private:
    std::atomic<ULONG> references_{1};
};

}  // namespace win
