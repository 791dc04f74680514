#include "ImageFile.h"

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <vector>

#include "SimText.h"
#include "win/Error.h"
#include "win/UniqueResource.h"

namespace sim {

namespace {

constexpr int kImageSide = 16;
constexpr int kPaletteSize = 256;

std::atomic<unsigned> imageCounter{0};

bool IsFolder(const std::wstring& path)
{
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

std::wstring WithBackslash(std::wstring folder)
{
    if (!folder.empty() && folder.back() != L'\\' && folder.back() != L'/') folder += L'\\';
    return folder;
}

std::wstring TempFolder()
{
    wchar_t buffer[MAX_PATH + 1] = {};
    const DWORD length = GetTempPathW(MAX_PATH + 1, buffer);
    return WithBackslash(std::wstring(buffer, length <= MAX_PATH ? length : 0)) + L"DenoptixScanSim";
}

std::wstring NextImageName()
{
    SYSTEMTIME now{};
    GetLocalTime(&now);
    wchar_t name[64];
    std::swprintf(name, 64, L"IMG_%04u%02u%02u_%02u%02u%02u_%u.bmp", now.wYear, now.wMonth, now.wDay,
                  now.wHour, now.wMinute, now.wSecond, ++imageCounter);
    return name;
}

template <typename T>
void Append(std::vector<std::uint8_t>& bytes, T value)
{
    for (size_t i = 0; i < sizeof(T); ++i) bytes.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

// A bottom-up 8-bit BMP with a gray palette; each image gets its own
// diagonal gradient so two files never hold the same picture.
std::vector<std::uint8_t> GrayscaleBitmap(unsigned seed)
{
    constexpr std::uint32_t headerSize = 14 + 40 + kPaletteSize * 4;
    constexpr std::uint32_t pixelSize = kImageSide * kImageSide;  // rows already 4-byte aligned
    std::vector<std::uint8_t> bytes;
    bytes.reserve(headerSize + pixelSize);
    bytes.push_back('B');
    bytes.push_back('M');
    Append<std::uint32_t>(bytes, headerSize + pixelSize);
    Append<std::uint32_t>(bytes, 0);
    Append<std::uint32_t>(bytes, headerSize);
    Append<std::uint32_t>(bytes, 40);
    Append<std::int32_t>(bytes, kImageSide);
    Append<std::int32_t>(bytes, kImageSide);
    Append<std::uint16_t>(bytes, 1);
    Append<std::uint16_t>(bytes, 8);
    Append<std::uint32_t>(bytes, BI_RGB);
    Append<std::uint32_t>(bytes, pixelSize);
    Append<std::int32_t>(bytes, 3780);  // 96 dpi in pixels per metre
    Append<std::int32_t>(bytes, 3780);
    Append<std::uint32_t>(bytes, kPaletteSize);
    Append<std::uint32_t>(bytes, 0);
    for (int gray = 0; gray < kPaletteSize; ++gray) {
        for (int channel = 0; channel < 3; ++channel) bytes.push_back(static_cast<std::uint8_t>(gray));
        bytes.push_back(0);
    }
    for (int y = 0; y < kImageSide; ++y)
        for (int x = 0; x < kImageSide; ++x)
            bytes.push_back(static_cast<std::uint8_t>((x + y) * 8 + seed * 37));
    return bytes;
}

}  // namespace

std::wstring ResolveImageFolder(const std::wstring& location, const std::wstring& fallback)
{
    if (!location.empty() && IsFolder(location)) return location;
    const std::wstring folder = fallback.empty() ? TempFolder() : fallback;
    if (!IsFolder(folder) && !CreateDirectoryW(folder.c_str(), nullptr))
        win::ThrowLastError("Cannot create " + ToUtf8(folder));
    return folder;
}

std::wstring WriteScanImage(const std::wstring& folder)
{
    for (;;) {
        const std::wstring path = WithBackslash(folder) + NextImageName();
        const HANDLE created = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                           FILE_ATTRIBUTE_NORMAL, nullptr);
        if (created == INVALID_HANDLE_VALUE) {
            if (GetLastError() == ERROR_FILE_EXISTS) continue;  // another process took the name
            win::ThrowLastError("Cannot write " + ToUtf8(path));
        }
        const win::UniqueHandle file(created);
        const auto bytes = GrayscaleBitmap(imageCounter.load());
        DWORD written = 0;
        if (!WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) ||
            written != bytes.size())
            win::ThrowLastError("Cannot write " + ToUtf8(path));
        return path;
    }
}

}  // namespace sim
