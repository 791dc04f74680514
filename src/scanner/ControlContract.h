#pragma once
// What the bridge uses of the scanner's ActiveX control: its identity, the
// DISPIDs of the members and events it relies on, and the size of the
// persisted state the window carries for it. The stand-in control
// implements the same numbers.
#include <windows.h>
#include <oaidl.h>
#include <olectl.h>

#include <cstddef>

namespace scanner::contract {

// {786AAF38-E504-11D1-966F-006008A3979D}
inline constexpr CLSID kControlClsid = {
    0x786AAF38, 0xE504, 0x11D1, {0x96, 0x6F, 0x00, 0x60, 0x08, 0xA3, 0x97, 0x9D}};
// _DDenOptixScan {786AAF36-E504-11D1-966F-006008A3979D}
inline constexpr IID kDispatchIid = {
    0x786AAF36, 0xE504, 0x11D1, {0x96, 0x6F, 0x00, 0x60, 0x08, 0xA3, 0x97, 0x9D}};
// Event interface {786AAF37-E504-11D1-966F-006008A3979D}
inline constexpr IID kEventsIid = {
    0x786AAF37, 0xE504, 0x11D1, {0x96, 0x6F, 0x00, 0x60, 0x08, 0xA3, 0x97, 0x9D}};

namespace property {
inline constexpr DISPID EnableCustomScan = 3;             // VARIANT_BOOL
inline constexpr DISPID EnableEndoScan = 4;               // VARIANT_BOOL
inline constexpr DISPID ScanParmFinalLocation = 8;        // BSTR
inline constexpr DISPID ScanParmUnsharpMask = 10;         // VARIANT_BOOL
inline constexpr DISPID ScanParmIntraOralResolution = 11; // short
inline constexpr DISPID ScanParmExtraOralResolution = 12; // short
inline constexpr DISPID ControlState = 28;                // short
inline constexpr DISPID Enabled = DISPID_ENABLED;         // VARIANT_BOOL, -514
}  // namespace property

namespace event {
inline constexpr DISPID OnControlStateChange = 1;   // (short sNewState)
inline constexpr DISPID OnStartNewImageSet = 2;     // ()
inline constexpr DISPID OnEndNewImageSet = 3;       // ()
inline constexpr DISPID OnEndingScan = 4;           // ()
inline constexpr DISPID OnStartingScan = 5;         // ()
inline constexpr DISPID OnNewImage = 6;             // (short sLocation, BSTR szName)
inline constexpr DISPID OnFailureToFindScanner = 7; // ()
inline constexpr DISPID OnNewTempFile = 8;          // (BSTR szName)
inline constexpr DISPID OnHelpRequested = 9;        // ()
inline constexpr DISPID OnMMResult = 10;            // (long lResult)

// The events' names, for the support trail.
constexpr const char* Name(DISPID id)
{
    constexpr const char* kNames[] = {"OnControlStateChange", "OnStartNewImageSet", "OnEndNewImageSet",
                                      "OnEndingScan",         "OnStartingScan",     "OnNewImage",
                                      "OnFailureToFindScanner", "OnNewTempFile",    "OnHelpRequested",
                                      "OnMMResult"};
    return id >= OnControlStateChange && id <= OnMMResult ? kNames[id - OnControlStateChange] : "unknown";
}
}  // namespace event

// The control's persisted state, as the window hands it back at creation.
inline constexpr std::size_t kControlDataSize = 17;

}  // namespace scanner::contract
