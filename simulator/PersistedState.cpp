#include "PersistedState.h"

namespace sim {

namespace {

constexpr std::uint8_t kMagic[4] = {'D', 'N', 'X', 'S'};

LONG PixelsToHimetric(LONG pixels)
{
    // 2540 HIMETRIC per inch, rounded to the nearest unit.
    return MulDiv(pixels, 2540, 96);
}

void PutLittleEndian(PersistedBytes& bytes, size_t at, std::uint32_t value, size_t width)
{
    for (size_t i = 0; i < width; ++i) bytes[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

std::uint32_t GetLittleEndian(const PersistedBytes& bytes, size_t at, size_t width)
{
    std::uint32_t value = 0;
    for (size_t i = 0; i < width; ++i) value |= static_cast<std::uint32_t>(bytes[at + i]) << (8 * i);
    return value;
}

}  // namespace

PersistedState DefaultPersistedState()
{
    return {{PixelsToHimetric(41), PixelsToHimetric(134)}, 300, 150};
}

PersistedBytes Encode(const PersistedState& state)
{
    PersistedBytes bytes{};
    for (size_t i = 0; i < 4; ++i) bytes[i] = kMagic[i];
    bytes[4] = kPersistedFormatVersion;
    PutLittleEndian(bytes, 5, static_cast<std::uint32_t>(state.extentHimetric.cx), 4);
    PutLittleEndian(bytes, 9, static_cast<std::uint32_t>(state.extentHimetric.cy), 4);
    PutLittleEndian(bytes, 13, static_cast<std::uint16_t>(state.intraOralResolution), 2);
    PutLittleEndian(bytes, 15, static_cast<std::uint16_t>(state.extraOralResolution), 2);
    return bytes;
}

std::optional<PersistedState> Decode(const PersistedBytes& bytes)
{
    for (size_t i = 0; i < 4; ++i)
        if (bytes[i] != kMagic[i]) return std::nullopt;
    if (bytes[4] != kPersistedFormatVersion) return std::nullopt;
    PersistedState state;
    state.extentHimetric.cx = static_cast<LONG>(GetLittleEndian(bytes, 5, 4));
    state.extentHimetric.cy = static_cast<LONG>(GetLittleEndian(bytes, 9, 4));
    state.intraOralResolution = static_cast<short>(GetLittleEndian(bytes, 13, 2));
    state.extraOralResolution = static_cast<short>(GetLittleEndian(bytes, 15, 2));
    return state;
}

}  // namespace sim
