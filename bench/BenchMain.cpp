// Measures the bridge against the true floor and the bare floor, and prints
// the figures as Markdown tables on stdout.
//
//   DenoptixBench.exe [--runs N] [--repeats N] [--step-runs N]
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <string>

#include "ChildProcess.h"
#include "Measurements.h"
#include "Report.h"

namespace {

double FileKiB(const std::string& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return 0;
    return (static_cast<double>(data.nFileSizeHigh) * 4294967296.0 + data.nFileSizeLow) / 1024.0;
}

bench::Settings ReadSettings(int argc, char** argv)
{
    bench::Settings settings;
    settings.binDir = testing_support::BinDir();
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    settings.destination = std::string(temp) + "DenoptixBench\\Paziente 42";
    for (int i = 1; i + 1 < argc; i += 2) {
        const int value = std::max(1, std::atoi(argv[i + 1]));
        if (std::strcmp(argv[i], "--runs") == 0) settings.runs = value;
        if (std::strcmp(argv[i], "--repeats") == 0) settings.repeats = value;
        if (std::strcmp(argv[i], "--step-runs") == 0) settings.stepRuns = std::atoi(argv[i + 1]);
    }
    return settings;
}

}  // namespace

int main(int argc, char** argv)
{
    try {
        const bench::Settings settings = ReadSettings(argc, argv);
        bench::Samples samples[bench::kProgramCount];
        bench::Measure(settings, samples);
        const double programKiB[bench::kProgramCount] = {FileKiB(settings.binDir + "\\Denoptix.exe"),
                                                         FileKiB(settings.binDir + "\\DenoptixBenchTrueFloor.exe"),
                                                         FileKiB(settings.binDir + "\\DenoptixBenchFloor.exe")};
        const std::string table = bench::FormatReport(samples, programKiB);
        std::fwrite(table.data(), 1, table.size(), stdout);
        std::fflush(stdout);
        return 0;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "benchmark failed: %s\n", error.what());
        return 1;
    }
}
