// The true floor: what any program meeting the bridge's contract must do
// before its window is visible, done as directly as Win32 allows, and the
// hand-over at the end of each set exactly as the bridge makes it. It is
// what the bridge's start-up, hand-over and memory are measured against.
// Failures end it with exit code 1: the benchmark then finds no window.
#include <windows.h>
#include <commctrl.h>
#include <ocidl.h>

#include <cstring>
#include <iterator>
#include <string>
#include <utility>

#include "BenchProtocol.h"
#include "FloorShared.h"
#include "TrueFloorOle.h"
#include "scanner/ControlContract.h"
#include "scanner/ControlData.h"
#include "ui/MainFormLayout.h"
#include "win/ComPtr.h"
#include "win/ComRuntime.h"
#include "win/StepTimes.h"
#include "win/UniqueResource.h"

namespace {

namespace layout = ui::layout;
namespace property = scanner::contract::property;

UINT g_acqMessage = 0;
HWND g_application = nullptr;
UINT g_dpi = USER_DEFAULT_SCREEN_DPI;

int Scale(int designPixels) { return MulDiv(designPixels, static_cast<int>(g_dpi), USER_DEFAULT_SCREEN_DPI); }

// ---- the hand-over, as the bridge makes it ----

void HandOver(const std::string& names)
{
    static const UINT privacy[] = {RegisterClipboardFormatA("ExcludeClipboardContentFromMonitorProcessing"),
                                   RegisterClipboardFormatA("CanIncludeInClipboardHistory"),
                                   RegisterClipboardFormatA("CanUploadToCloudClipboard")};
    if (bench::PutOnClipboard(g_application, names, {privacy[0], privacy[1], privacy[2]}))
        bench::SendToReceivers(g_acqMessage);
}

// ---- the scanner control ----

// Its interfaces, released in the reverse order of their use.
struct Control {
    Control() = default;
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;
    ~Control() { Destroy(); }
    void Destroy();

    win::ComPtr<IOleObject> object;
    win::ComPtr<IOleInPlaceObject> inPlace;
    win::ComPtr<IDispatch> dispatch;
    win::ComPtr<IConnectionPoint> events;
    DWORD cookie = 0;

    void Invoke(DISPID id, WORD kind, VARIANT* value, VARIANT* result) const
    {
        DISPID named = DISPID_PROPERTYPUT;
        DISPPARAMS parameters{value, kind == DISPATCH_PROPERTYPUT ? &named : nullptr, value ? 1u : 0u,
                              kind == DISPATCH_PROPERTYPUT ? 1u : 0u};
        dispatch->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, kind, &parameters, result, nullptr, nullptr);
    }
    bool Get(DISPID id) const
    {
        VARIANT value{};
        Invoke(id, DISPATCH_PROPERTYGET, nullptr, &value);
        return value.vt == VT_BOOL && value.boolVal != VARIANT_FALSE;
    }
    void Put(DISPID id, bool on) const
    {
        VARIANT value{};
        value.vt = VT_BOOL;
        value.boolVal = on ? VARIANT_TRUE : VARIANT_FALSE;
        Invoke(id, DISPATCH_PROPERTYPUT, &value, nullptr);
    }
};

bench::floor::Sink g_sink(HandOver);

HRESULT LoadState(const win::ComPtr<IOleObject>& object)
{
    const auto persist = object.try_as<IPersistStreamInit>();
    win::UniqueHglobal bytes(bench::SharedCopy(scanner::kControlData.data(), scanner::kControlData.size()));
    win::ComPtr<IStream> stream;
    if (!persist || !bytes || FAILED(CreateStreamOnHGlobal(bytes.get(), TRUE, stream.put()))) return E_FAIL;
    bytes.release();  // the stream frees it
    return persist->Load(stream.get());
}

bool CreateScanner(Control& control, bench::floor::Site& site, HWND parent, RECT bounds)
{
    if (FAILED(CoCreateInstance(scanner::contract::kControlClsid, nullptr, CLSCTX_INPROC_SERVER, IID_IOleObject,
                                control.object.put_void())))
        return false;
    // The control asks for its site before its state (OLEMISC_SETCLIENTSITEFIRST).
    if (FAILED(control.object->SetClientSite(&site)) || FAILED(LoadState(control.object))) return false;
    control.inPlace = control.object.try_as<IOleInPlaceObject>();
    control.dispatch = control.object.try_as<IDispatch>();
    const auto points = control.object.try_as<IConnectionPointContainer>();
    return control.inPlace && control.dispatch && points &&
           SUCCEEDED(control.object->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, &site, 0, parent, &bounds)) &&
           SUCCEEDED(points->FindConnectionPoint(scanner::contract::kEventsIid, control.events.put())) &&
           SUCCEEDED(control.events->Advise(&g_sink, &control.cookie));
}

// While the window still exists; again, doing nothing, when the program ends.
void Control::Destroy()
{
    if (cookie != 0) events->Unadvise(cookie);
    cookie = 0;
    events.reset();
    dispatch.reset();
    if (inPlace) inPlace->InPlaceDeactivate();
    inPlace.reset();
    if (object) {
        object->Close(OLECLOSE_NOSAVE);
        object->SetClientSite(nullptr);
    }
    object.reset();
}

// Lives in WinMain, inside the COM runtime's lifetime.
Control* g_control = nullptr;

// ---- the windows ----

LRESULT CALLBACK PanelProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_COMMAND) return SendMessageA(GetParent(window), message, wParam, lParam);
    if (message != WM_PAINT) return DefWindowProcA(window, message, wParam, lParam);
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    RECT client;
    GetClientRect(window, &client);
    DrawEdge(dc, &client, BDR_RAISEDINNER, BF_RECT);
    EndPaint(window, &paint);
    return 0;
}

LRESULT CALLBACK FormProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_DESTROY) {
        g_control->Destroy();
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

struct Form {
    HWND window = nullptr;
    HWND controls[std::size(layout::kControls)] = {};
    win::UniqueGdiObject font;
    bench::floor::Site* site = nullptr;

    HWND Child(layout::ControlId id) const
    {
        for (std::size_t row = 0; row < std::size(layout::kControls); ++row)
            if (layout::kControls[row].id == id) return controls[row];
        return nullptr;
    }
};

HWND CreateChild(HINSTANCE instance, const Form& form, const layout::ControlSpec& design)
{
    static constexpr struct {
        const char* className;
        DWORD style, exStyle;
    } kKinds[] = {{nullptr, 0, 0},
                  {WC_BUTTONA, BS_PUSHBUTTON | WS_TABSTOP, 0},
                  {bench::kTrueFloorPanelClass, 0, WS_EX_CONTROLPARENT},
                  {WC_BUTTONA, BS_AUTOCHECKBOX | WS_TABSTOP, 0},
                  {WC_COMBOBOXA, CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, 0}};
    const auto& kind = kKinds[static_cast<int>(design.kind)];
    const bool list = design.kind == layout::Kind::DropDownList;
    HWND control = CreateWindowExA(
        kind.exStyle, kind.className, design.caption, WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | kind.style,
        Scale(design.left), Scale(design.top), Scale(design.width), Scale(design.height) * (list ? 6 : 1),
        design.parent == layout::kPanel1 ? form.Child(layout::kPanel1) : form.window,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(design.id)), instance, nullptr);
    if (control == nullptr) return nullptr;
    SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(form.font.get()), FALSE);
    if (list) {
        for (const char* item : design.items) SendMessageA(control, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
        SendMessageA(control, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), Scale(design.height) - 6);
        SendMessageA(control, CB_SETITEMHEIGHT, 0, Scale(layout::kForm.listItemHeight));
    }
    return control;
}

bool CreateControls(HINSTANCE instance, Form& form)
{
    LOGFONTA face{};
    face.lfHeight = -Scale(layout::kForm.fontHeight);
    face.lfCharSet = DEFAULT_CHARSET;
    std::strncpy(face.lfFaceName, layout::kForm.fontFace, LF_FACESIZE - 1);
    form.font.reset(CreateFontIndirectA(&face));

    RECT client;
    GetClientRect(form.window, &client);
    const RECT docked{0, 0, Scale(layout::kControls[0].width), client.bottom};
    static bench::floor::Site site(form.window, docked);
    if (!CreateScanner(*g_control, site, form.window, docked)) return false;
    g_control->inPlace->GetWindow(&form.controls[0]);
    for (std::size_t row = 1; row < std::size(layout::kControls); ++row)
        if ((form.controls[row] = CreateChild(instance, form, layout::kControls[row])) == nullptr) return false;
    // EndoScan lies over the panel: it must be drawn above it.
    SetWindowPos(form.Child(layout::kEndoScan), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);

    HWND tips = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                                CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, form.window, nullptr,
                                instance, nullptr);
    if (tips == nullptr) return false;
    SendMessageA(tips, WM_SETFONT, reinterpret_cast<WPARAM>(form.font.get()), FALSE);
    for (std::size_t row = 0; row < std::size(layout::kControls); ++row) {
        if (layout::kControls[row].hint == nullptr) continue;
        TTTOOLINFOA tool{};
        tool.cbSize = sizeof tool;
        tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        tool.hwnd = form.window;
        tool.uId = reinterpret_cast<UINT_PTR>(form.controls[row]);
        tool.lpszText = const_cast<char*>(layout::kControls[row].hint);
        SendMessageA(tips, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
    }
    return true;
}

// ---- FormCreate ----

void Select(HWND list, DWORD index)
{
    const auto count = static_cast<DWORD>(SendMessageA(list, CB_GETCOUNT, 0, 0));
    SendMessageA(list, CB_SETCURSEL, index < count ? index : static_cast<WPARAM>(-1), 0);
}

// A remembered coordinate, kept inside the screen; 0 and less keep the designed one.
int Placed(DWORD remembered, int extent, int screen, int designed)
{
    const auto value = static_cast<int>(remembered);
    if (value <= 0) return designed;
    return static_cast<long long>(value) + extent >= screen ? screen - extent - 1 : value;
}

void FormCreate(const Form& form)
{
    HWND intra = form.Child(layout::kComboIntraRes), extra = form.Child(layout::kComboExtraRes);
    Select(intra, 1);
    Select(extra, 0);
    win::UniqueHkey key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Velt\\Denoptix", 0, KEY_QUERY_VALUE, key.put()) != ERROR_SUCCESS)
        return;
    static constexpr const char* kNames[] = {"X", "Y", "EndoScan", "CustomScan", "ScanParmUnsharpMask",
                                             "IntraRes", "ExtraRes"};
    DWORD values[std::size(kNames)] = {};
    for (std::size_t i = 0; i < std::size(kNames); ++i) {
        DWORD size = sizeof values[i];
        if (RegGetValueA(key.get(), nullptr, kNames[i], RRF_RT_REG_DWORD, nullptr, &values[i], &size) != ERROR_SUCCESS)
            return;
    }
    g_control->Put(property::EnableEndoScan, (values[2] & 0xFFFF) != 0);
    g_control->Put(property::EnableCustomScan, (values[3] & 0xFFFF) != 0);
    g_control->Put(property::ScanParmUnsharpMask, (values[4] & 0xFFFF) != 0);
    Select(intra, values[5]);
    Select(extra, values[6]);
    RECT bounds;
    GetWindowRect(form.window, &bounds);
    const int width = bounds.right - bounds.left, height = bounds.bottom - bounds.top;
    SetWindowPos(form.window, nullptr, Placed(values[0], width, GetSystemMetrics(SM_CXSCREEN), bounds.left),
                 Placed(values[1], height, GetSystemMetrics(SM_CYSCREEN), bounds.top), 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    const std::pair<DISPID, layout::ControlId> boxes[] = {{property::EnableEndoScan, layout::kEndoScan},
                                                          {property::EnableCustomScan, layout::kCustomScan},
                                                          {property::ScanParmUnsharpMask, layout::kUnsharp}};
    for (const auto& [id, box] : boxes)
        if (g_control->Get(id)) SendMessageA(form.Child(box), BM_SETCHECK, BST_CHECKED, 0);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    win::MarkStep("entry");
    RegisterWindowMessageA("WM_DELETE_RESOURCE");
    g_acqMessage = RegisterWindowMessageA(bench::kAcqMessageName);
    if (!bench::RegisterFloorClass(instance, bench::kTrueFloorApplicationClass, DefWindowProcA)) return 1;
    g_application = CreateWindowExA(0, bench::kTrueFloorApplicationClass, layout::kForm.caption,
                                    WS_POPUP | WS_CAPTION | WS_CLIPSIBLINGS | WS_SYSMENU, 0, 0, 0, 0, nullptr,
                                    nullptr, instance, nullptr);
    if (g_application == nullptr) return 1;
    win::MarkStep("application window");
    const win::ComRuntime com;
    win::MarkStep("com");
    Control control;
    g_control = &control;

    const INITCOMMONCONTROLSEX common{sizeof common, ICC_BAR_CLASSES};  // the tooltip class
    InitCommonControlsEx(&common);
    if (!bench::RegisterFloorClass(instance, bench::kTrueFloorWindowClass, FormProc) ||
        !bench::RegisterFloorClass(instance, bench::kTrueFloorPanelClass, PanelProc))
        return 1;
    g_dpi = GetDpiForSystem();
    const auto& design = layout::kForm;
    Form form;
    form.window = CreateWindowExA(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, bench::kTrueFloorWindowClass, design.caption,
                                  WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_CLIPCHILDREN,
                                  design.left, design.top, Scale(design.width), Scale(design.height), nullptr,
                                  nullptr, instance, nullptr);
    if (form.window == nullptr) return 1;
    win::MarkStep("main window");
    if (!CreateControls(instance, form)) return 1;
    win::MarkStep("controls");
    FormCreate(form);
    win::MarkStep("FormCreate");

    ShowWindow(form.window, SW_SHOWNORMAL);
    UpdateWindow(form.window);
    win::MarkStep("visible");
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    DestroyWindow(g_application);
    return 0;
}
