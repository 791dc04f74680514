#pragma once
// Runs the bridge and the floor side by side and collects raw samples.
#include <cstddef>
#include <map>
#include <string>
#include <vector>

#include "RunningProgram.h"

namespace bench {

inline constexpr std::size_t kSetSizes[] = {1, 1000, 100000};

struct Samples {
    std::vector<double> startupMs;
    std::map<std::size_t, std::vector<double>> handOverMs;  // end of a set to both receivers done
    std::map<std::size_t, std::vector<double>> wholeSetMs;  // a whole scan of one set (bridge only)
    std::vector<MemoryFigures> working;  // after sets of 1 and 1,000 names
    std::vector<MemoryFigures> large;    // after sets of 100,000 names
};

struct Settings {
    std::string binDir;
    std::string destination;  // the bridge's command-line tail
    int runs = 5;             // program starts per program
    int repeats = 3;          // timed sets per size and run
};

// Starts each program settings.runs times, alternating, and measures each.
void Measure(const Settings& settings, Samples& bridge, Samples& floor);

}  // namespace bench
