#pragma once
// What the benchmark driver and the floor program agree on.
#include <windows.h>

namespace bench {

// The floor's one window, shown like the bridge's main window.
inline constexpr char kFloorWindowClass[] = "DenoptixBenchFloor";

// The true floor's windows: its main window is found by this class.
inline constexpr char kTrueFloorWindowClass[] = "DenoptixTrueFloor";
inline constexpr char kTrueFloorApplicationClass[] = "DenoptixTrueFloorApplication";
inline constexpr char kTrueFloorPanelClass[] = "DenoptixTrueFloorPanel";

// WM_COPYDATA codes for the floor: keep these names (the text, CR LF after
// each name), then hand them over as the bridge does at the end of a set.
inline constexpr ULONG_PTR kFloorLoadNames = 0x4C4F4144;  // 'LOAD'
inline constexpr ULONG_PTR kFloorHandOver = 0x474F2020;   // 'GO  '

// The two receivers and their message, as the bridge knows them.
inline constexpr char kHostWindowClass[] = "TTesmiraWnd";
inline constexpr char kPhotoServerWindowClass[] = "VELT_FOTO_SERVER";
inline constexpr char kAcqMessageName[] = "WM_ACQ_DENOPTIX";
inline constexpr UINT kSendTimeoutMs = 10000;

}  // namespace bench
