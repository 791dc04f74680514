#include "PersistedState.h"

namespace sim {

namespace {

constexpr std::size_t kFixedBytes = 16;  // version, extent, mask

LONG PixelsToHimetric(LONG pixels)
{
    // 2540 HIMETRIC per inch, rounded to the nearest unit.
    return MulDiv(pixels, 2540, 96);
}

void PutLittleEndian(std::vector<std::uint8_t>& bytes, std::uint32_t value, std::size_t width)
{
    for (std::size_t i = 0; i < width; ++i) bytes.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

std::uint32_t GetLittleEndian(std::span<const std::uint8_t> bytes, std::size_t at)
{
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < 4; ++i) value |= static_cast<std::uint32_t>(bytes[at + i]) << (8 * i);
    return value;
}

}  // namespace

PersistedState DefaultPersistedState()
{
    return {kStateVersion, {PixelsToHimetric(41), PixelsToHimetric(134)}, true};
}

std::vector<std::uint8_t> Encode(const PersistedState& state)
{
    std::vector<std::uint8_t> bytes;
    PutLittleEndian(bytes, state.version, 4);
    PutLittleEndian(bytes, static_cast<std::uint32_t>(state.extentHimetric.cx), 4);
    PutLittleEndian(bytes, static_cast<std::uint32_t>(state.extentHimetric.cy), 4);
    PutLittleEndian(bytes, kStockEnabled, 4);
    PutLittleEndian(bytes, state.enabled ? 1 : 0, 1);
    return bytes;
}

std::optional<PersistedState> Decode(std::span<const std::uint8_t> bytes)
{
    if (bytes.size() < kFixedBytes) return std::nullopt;
    PersistedState state;
    state.version = GetLittleEndian(bytes, 0);
    state.extentHimetric.cx = static_cast<LONG>(GetLittleEndian(bytes, 4));
    state.extentHimetric.cy = static_cast<LONG>(GetLittleEndian(bytes, 8));
    const std::uint32_t mask = GetLittleEndian(bytes, 12);
    if ((mask & kStockEnabled) == 0) return state;  // not stored: MFC takes true
    if (bytes.size() < kFixedBytes + 1) return std::nullopt;
    state.enabled = bytes[kFixedBytes] != 0;
    return state;
}

}  // namespace sim
