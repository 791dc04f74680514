#pragma once
// The control's stored state, read and written as an MFC control's
// COleControl property exchange does over a stream, little-endian:
//
//   version     4 bytes, MAKELONG(minor, major)
//   extent      4 + 4 bytes, cx and cy in HIMETRIC
//   stock mask  4 bytes: the stock properties stored
//   Enabled     1 byte, only when the mask has STOCKPROP_ENABLED (0x40)
//
// Enabled is this control's only stock property, so the other bits of the
// mask name nothing it reads.
#include <windows.h>

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace sim {

inline constexpr std::uint32_t kStockEnabled = 0x40;  // MFC's STOCKPROP_ENABLED
inline constexpr std::uint32_t kStateVersion = 0x00010000;  // 1.0
// What Save writes, and the most Load reads.
inline constexpr std::size_t kStateBytes = 17;

struct PersistedState {
    std::uint32_t version = kStateVersion;
    SIZEL extentHimetric{};
    bool enabled = true;
};

// What InitNew starts from: version 1.0, 41 x 134 pixels at 96 dpi, and
// Enabled true, as for any MFC control.
PersistedState DefaultPersistedState();

// The 17 bytes Save writes: the mask names Enabled.
std::vector<std::uint8_t> Encode(const PersistedState& state);

// By MFC's rules: a mask without Enabled loads it as true; bytes past those
// the mask names are not read. Nothing when the bytes are too few for what
// the mask names.
std::optional<PersistedState> Decode(std::span<const std::uint8_t> bytes);

}  // namespace sim
