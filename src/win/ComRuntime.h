#pragma once
// The COM runtime for the calling thread as a single-threaded apartment;
// shut down again only when the initialisation succeeded.
#include <objbase.h>

namespace win {

class ComRuntime {
public:
    ComRuntime() noexcept : hr_(CoInitialize(nullptr)) {}
    ~ComRuntime()
    {
        if (SUCCEEDED(hr_)) CoUninitialize();
    }
    ComRuntime(const ComRuntime&) = delete;
    ComRuntime& operator=(const ComRuntime&) = delete;

    HRESULT result() const noexcept { return hr_; }

private:
    HRESULT hr_;
};

}  // namespace win
