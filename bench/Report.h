#pragma once
// The figures as a Markdown table, each beside its target.
#include <string>

#include "Measurements.h"

namespace bench {

std::string FormatReport(const Samples& bridge, const Samples& floor, double bridgeExeKiB, double floorExeKiB);

}  // namespace bench
