#pragma once
// Where the check's report goes: printed, shown in a window, or only saved.
namespace check {

enum class RunMode { Console, Window, Quiet };

struct Surroundings {
    bool quietAsked = false;
    bool outputRedirected = false;    // to a file or a pipe: somebody reads it
    bool interactiveDesktop = true;   // not a service, not session 0
    bool hasConsole = false;
    bool consoleOfItsOwn = false;     // as Explorer starts a console program
    bool consoleVisible = false;
};

// Printed where somebody reads it, a window only where somebody can see it
// and nobody else shares the console, otherwise nothing but the file.
RunMode RunModeFor(const Surroundings& surroundings);

// The mode for this process; throws std::invalid_argument for an argument
// other than /quiet.
RunMode RunModeOf(int argc, char** argv);

}  // namespace check
