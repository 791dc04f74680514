// What the simulated scanner does: power-on states on a timer, scans that
// write small images (or report scripted names), and the events for both.
#include <cstdio>
#include <utility>

#include "ImageFile.h"
#include "ScanControl.h"
#include "scanner/ControlContract.h"
#include "win/Error.h"

namespace sim {

namespace property = scanner::contract::property;
namespace event = scanner::contract::event;

void ScanControl::PowerOn()
{
    poweringOn_ = true;
    nextPowerOnStep_ = 0;
    EnsureWindow();
    window_.StartTimer(config_.stepMs);
}

void ScanControl::PowerOff()
{
    poweringOn_ = false;
    window_.StopTimer();
    EnterState(0);
}

void ScanControl::OnPowerOnTimer() noexcept
{
    try {
        const win::ComPtr<IDispatch> keepAlive(this);
        const std::vector<short> states = config_.powerOnStates;  // a sink may change the list
        if (!poweringOn_ || nextPowerOnStep_ >= states.size()) {
            poweringOn_ = false;
            window_.StopTimer();
            return;
        }
        const short state = states[nextPowerOnStep_++];
        const bool last = nextPowerOnStep_ >= states.size();
        if (last) {
            poweringOn_ = false;
            window_.StopTimer();
        }
        EnterState(state);
        if (last && config_.autoScan && properties_.Bool(property::Enabled) &&
            properties_.Short(property::ControlState) == 6)
            RunScan();
    } catch (...) {
        // A timer tick has no one to report to; the next tick tries again.
    }
}

void ScanControl::EnterState(short state)
{
    properties_.SetShort(property::ControlState, state);
    window_.ShowState(state);
    Fire(event::OnControlStateChange, EventArgs().Short(state));
}

std::vector<ReportedName> ScanControl::TakeScriptedNames()
{
    if (nextScanScripted_) {
        nextScanScripted_ = false;
        return std::exchange(nextScanNames_, {});
    }
    return config_.scriptedNames;
}

void ScanControl::RunScan()
{
    const win::ComPtr<IDispatch> keepAlive(this);
    // Read once: sinks may reconfigure the control while the scan runs.
    const bool scripted = nextScanScripted_ || !config_.scriptedNames.empty();
    const std::vector<ReportedName> names = TakeScriptedNames();
    const size_t sets = static_cast<size_t>(config_.sets);
    const int images = config_.imagesPerSet;

    Fire(event::OnStartingScan);
    size_t nextName = 0;
    for (size_t set = 0; set < sets; ++set) {
        Fire(event::OnStartNewImageSet);
        const auto location = static_cast<short>(set);
        if (scripted) {
            // Spread over the sets, the earlier sets taking any extra name.
            const size_t count = names.size() / sets + (set < names.size() % sets ? 1 : 0);
            for (size_t i = 0; i < count; ++i) Fire(event::OnNewImage, EventArgs().Short(location).Text(names[nextName++]));
        } else {
            for (int i = 0; i < images; ++i) {
                try {
                    const auto folder = ResolveImageFolder(properties_.Text(property::ScanParmFinalLocation),
                                                           config_.defaultFolder);
                    Fire(event::OnNewImage, EventArgs().Short(location).Text(WriteScanImage(folder)));
                } catch (const win::Error& error) {
                    log_.Write(std::string("fail scan: ") + error.what());
                }
            }
        }
        Fire(event::OnEndNewImageSet);
    }
    Fire(event::OnEndingScan);
}

void ScanControl::Fire(DISPID id, const EventArgs& args)
{
    const EventInfo* info = FindEvent(id);
    const std::string name = info ? ToUtf8(info->name) : std::to_string(id);
    log_.Write("fire " + name + "(" + args.ForLog() + ")");
    events_.Fire(id, args, [&](HRESULT hr) {
        char code[16];
        std::snprintf(code, sizeof code, "0x%08lX", static_cast<unsigned long>(hr));
        log_.Write("sink failed " + name + ": " + code);
    });
}

void ScanControl::OnScanButton() noexcept
{
    try {
        if (properties_.Short(property::ControlState) == 6) RunScan();
    } catch (...) {
        // Nothing may unwind into user32; the scan simply ends.
    }
}

bool ScanControl::OnCommandText(std::wstring_view command) noexcept
{
    try {
        const win::ComPtr<IDispatch> keepAlive(this);
        return ExecuteCommand(command);
    } catch (...) {
        return false;
    }
}

void ScanControl::EnsureWindow()
{
    if (!window_.Handle()) ReplaceWindow(nullptr, RECT{0, 0, 41, 134});
}

void ScanControl::ReplaceWindow(HWND parent, const RECT& position)
{
    window_.Create(parent, position, properties_.Short(property::ControlState), properties_.Bool(property::Enabled));
    if (poweringOn_) window_.StartTimer(config_.stepMs);
}

}  // namespace sim
