#pragma once
// The control's persisted state: 17 bytes, "DNXS", a format version, the
// extent in HIMETRIC and the two resolutions, all little-endian.
#include <windows.h>

#include <array>
#include <cstdint>
#include <optional>

#include "scanner/ControlContract.h"

namespace sim {

struct PersistedState {
    SIZEL extentHimetric{};
    short intraOralResolution = 0;
    short extraOralResolution = 0;
};

using PersistedBytes = std::array<std::uint8_t, scanner::contract::kControlDataSize>;

inline constexpr std::uint8_t kPersistedFormatVersion = 1;

// What InitNew starts from: 41 x 134 pixels at 96 dpi, 300 and 150.
PersistedState DefaultPersistedState();

PersistedBytes Encode(const PersistedState& state);

// Nothing when the magic or the version is wrong.
std::optional<PersistedState> Decode(const PersistedBytes& bytes);

}  // namespace sim
