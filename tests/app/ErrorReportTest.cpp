#include <gtest/gtest.h>

#include "app/ErrorReport.h"

namespace {

TEST(ErrorReport, RecorderReceivesTheFinalText)
{
    std::string seen;
    app::SetReportRecorderForTests([&](const std::string& text) { seen = text; });
    try {
        throw std::runtime_error("Unable to create directory");
    } catch (...) {
        app::ReportCurrentException();
    }
    app::SetReportRecorderForTests(nullptr);
    EXPECT_EQ(seen, "Unable to create directory.");
}

}  // namespace
