#pragma once
// Start-up step times for the benchmark. With DENOPTIX_STEP_TIMES naming a
// file, each mark appends "<step>\t<milliseconds since the process was
// created>\n" to it; without the variable a mark costs one flag test.
namespace win {

void MarkStep(const char* step) noexcept;

}  // namespace win
