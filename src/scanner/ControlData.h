#pragma once
// The scanner control's stored state, as the window hands it back when it
// creates the control. The control is an MFC ActiveX control, so its
// IPersistStreamInit::Load runs MFC's property exchange over the stream and
// reads, little-endian and in this order:
//
//   4 bytes  version, MAKELONG(minor, major)
//   8 bytes  extent cx and cy in HIMETRIC
//   4 bytes  mask of the stock properties stored
//   then     each stock property the control has and the mask names; its only
//            one is Enabled, one byte (nonzero is true)
//
// A mask without Enabled makes MFC load it as true, and power-on writes
// Enabled only when it reads false: the scanner would then never power on.
// So the state names Enabled, and says false.
#include <array>
#include <cstddef>
#include <cstdint>

#include "scanner/ControlContract.h"

namespace scanner {

namespace control_data {
inline constexpr std::uint16_t kVersionMajor = 1;
inline constexpr std::uint16_t kVersionMinor = 0;
// The control's 41 x 134 pixels at 96 dpi (2540 HIMETRIC to the inch).
inline constexpr std::int32_t kExtentCx = 1085;
inline constexpr std::int32_t kExtentCy = 3545;
// MFC's STOCKPROP_ENABLED.
inline constexpr std::uint32_t kStockEnabled = 0x40;
inline constexpr std::uint32_t kStockMask = kStockEnabled;
inline constexpr std::uint8_t kEnabled = 0;  // off until power-on
}  // namespace control_data

using ControlDataBytes = std::array<std::byte, contract::kControlDataSize>;

namespace control_data_detail {
constexpr void PutLittleEndian(ControlDataBytes& bytes, std::size_t at, std::uint32_t value, std::size_t width)
{
    for (std::size_t i = 0; i < width; ++i) bytes[at + i] = static_cast<std::byte>((value >> (8 * i)) & 0xFF);
}

constexpr ControlDataBytes Encode()
{
    using namespace control_data;
    ControlDataBytes bytes{};
    PutLittleEndian(bytes, 0, (std::uint32_t{kVersionMajor} << 16) | kVersionMinor, 4);
    PutLittleEndian(bytes, 4, static_cast<std::uint32_t>(kExtentCx), 4);
    PutLittleEndian(bytes, 8, static_cast<std::uint32_t>(kExtentCy), 4);
    PutLittleEndian(bytes, 12, kStockMask, 4);
    PutLittleEndian(bytes, 16, kEnabled, 1);
    return bytes;
}
}  // namespace control_data_detail

// `ControlData`: 00 00 01 00  3D 04 00 00  D9 0D 00 00  40 00 00 00  00
inline constexpr ControlDataBytes kControlData = control_data_detail::Encode();

}  // namespace scanner
