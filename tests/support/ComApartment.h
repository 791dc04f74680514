#pragma once
// Every test of a suite that includes this runs in the main thread's
// single-threaded apartment, as on the bridge's UI thread.
#include <gtest/gtest.h>

#include <optional>

#include "win/ComRuntime.h"

namespace testing_support {

class ComApartment : public ::testing::Environment {
public:
    void SetUp() override
    {
        runtime_.emplace();
        ASSERT_HRESULT_SUCCEEDED(runtime_->result());
    }
    void TearDown() override { runtime_.reset(); }

private:
    std::optional<win::ComRuntime> runtime_;
};

// Registered once per test program, by whichever of its files includes this first.
inline ::testing::Environment* const kComApartment = ::testing::AddGlobalTestEnvironment(new ComApartment);

}  // namespace testing_support
