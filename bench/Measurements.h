#pragma once
// Runs the bridge and the two floors interleaved and collects raw samples.
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
    std::map<std::size_t, std::vector<double>> wholeSetMs;  // a whole scan of one set (scanner hosts only)
    std::vector<MemoryFigures> working;  // highest after start-up and sets of 1 and 1,000 names
    std::vector<MemoryFigures> large;    // after sets of 100,000 names
    std::map<std::string, std::vector<double>> stepMs;  // DENOPTIX_STEP_TIMES marks, by step
};

// The three programs, in the order of the report's columns.
enum ProgramId { kBridge, kTrueFloor, kBareFloor, kProgramCount };

struct Settings {
    std::string binDir;
    std::string destination;  // the bridge's command-line tail
    int runs = 15;            // program starts per program, for start-up, hand-over and memory
    int repeats = 3;          // timed sets per size and run
    int stepRuns = 5;         // further starts of the bridge and the true floor that mark their steps
};

// Starts each program settings.runs times, interleaved, and measures each;
// then the step-time runs.
void Measure(const Settings& settings, Samples (&samples)[kProgramCount]);

}  // namespace bench
