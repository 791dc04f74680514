#pragma once
// The small grayscale images a simulated scan leaves on disk.
#include <string>

namespace sim {

// The folder a scan writes into: `location` when it names an existing
// folder, else `fallback`, else %TEMP%\DenoptixScanSim; the fallback is
// created when missing. Throws win::Error when it cannot be made.
std::wstring ResolveImageFolder(const std::wstring& location, const std::wstring& fallback);

// Writes a new 8-bit grayscale BMP named IMG_<yyyymmdd>_<hhmmss>_<n>.bmp into
// `folder`, never overwriting a file, and returns its full path. Throws
// win::Error when the file cannot be written.
std::wstring WriteScanImage(const std::wstring& folder);

}  // namespace sim
