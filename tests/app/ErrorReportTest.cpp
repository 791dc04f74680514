#include <gtest/gtest.h>

#include "win/ErrorReport.h"

namespace {

TEST(ErrorReport, RecorderReceivesTheFinalText)
{
    std::string seen;
    win::SetMessageBoxRecorderForTests([&](const win::ShownBox& box) { seen = box.text; });
    try {
        throw std::runtime_error("Unable to create directory");
    } catch (...) {
        win::ReportCurrentException();
    }
    win::SetMessageBoxRecorderForTests(nullptr);
    EXPECT_EQ(seen, "Unable to create directory.");
}

}  // namespace
