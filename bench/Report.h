#pragma once
// The figures as Markdown tables, each beside its target.
#include <string>

#include "Measurements.h"

namespace bench {

std::string FormatReport(const Samples (&samples)[kProgramCount], const double (&programKiB)[kProgramCount]);

}  // namespace bench
