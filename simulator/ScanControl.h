#pragma once
// The stand-in scanner control: one COM object with the scanner control's
// dispatch interface, events, persisted state and in-place activation.
#include <windows.h>
#include <ocidl.h>
#include <oleidl.h>

#include <string_view>
#include <vector>

#include "ControlWindow.h"
#include "Events.h"
#include "PersistedState.h"
#include "Properties.h"
#include "SimConfig.h"
#include "SimLog.h"
#include "win/ComObject.h"
#include "win/ComPtr.h"

namespace sim {

class ScanControl final
    : public win::ComObject<IDispatch, IConnectionPointContainer, IPersistStreamInit, IOleObject, IOleInPlaceObject>,
      private ControlWindowOwner {
public:
    // Creates a control configured from the environment and hands out `iid`.
    static HRESULT Create(REFIID iid, void** object);

    STDMETHODIMP QueryInterface(REFIID iid, void** object) override;

    // IDispatch
    STDMETHODIMP GetTypeInfoCount(UINT* count) override;
    STDMETHODIMP GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override;
    STDMETHODIMP GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale, DISPID* ids) override;
    STDMETHODIMP Invoke(DISPID id, REFIID iid, LCID locale, WORD flags, DISPPARAMS* params, VARIANT* result,
                        EXCEPINFO* exception, UINT* argError) override;

    // IConnectionPointContainer
    STDMETHODIMP EnumConnectionPoints(IEnumConnectionPoints** points) override;
    STDMETHODIMP FindConnectionPoint(REFIID iid, IConnectionPoint** point) override;

    // IPersist, IPersistStreamInit
    STDMETHODIMP GetClassID(CLSID* clsid) override;
    STDMETHODIMP IsDirty() override;
    STDMETHODIMP Load(LPSTREAM stream) override;
    STDMETHODIMP Save(LPSTREAM stream, BOOL clearDirty) override;
    STDMETHODIMP GetSizeMax(ULARGE_INTEGER* size) override;
    STDMETHODIMP InitNew() override;

    // IOleObject
    STDMETHODIMP SetClientSite(IOleClientSite* site) override;
    STDMETHODIMP GetClientSite(IOleClientSite** site) override;
    STDMETHODIMP SetHostNames(LPCOLESTR, LPCOLESTR) override { return S_OK; }
    STDMETHODIMP Close(DWORD saveOption) override;
    STDMETHODIMP SetMoniker(DWORD, IMoniker*) override { return E_NOTIMPL; }
    STDMETHODIMP GetMoniker(DWORD, DWORD, IMoniker** moniker) override;
    STDMETHODIMP InitFromData(IDataObject*, BOOL, DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP GetClipboardData(DWORD, IDataObject** data) override;
    STDMETHODIMP DoVerb(LONG verb, LPMSG message, IOleClientSite* activeSite, LONG index, HWND parent,
                        LPCRECT position) override;
    STDMETHODIMP EnumVerbs(IEnumOLEVERB** verbs) override;
    STDMETHODIMP Update() override { return S_OK; }
    STDMETHODIMP IsUpToDate() override { return S_OK; }
    STDMETHODIMP GetUserClassID(CLSID* clsid) override { return GetClassID(clsid); }
    STDMETHODIMP GetUserType(DWORD, LPOLESTR*) override { return OLE_S_USEREG; }
    STDMETHODIMP SetExtent(DWORD aspect, SIZEL* size) override;
    STDMETHODIMP GetExtent(DWORD aspect, SIZEL* size) override;
    STDMETHODIMP Advise(IAdviseSink*, DWORD* connection) override;
    STDMETHODIMP Unadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
    STDMETHODIMP EnumAdvise(IEnumSTATDATA** advise) override;
    STDMETHODIMP GetMiscStatus(DWORD aspect, DWORD* status) override;
    STDMETHODIMP SetColorScheme(LOGPALETTE*) override { return E_NOTIMPL; }

    // IOleWindow, IOleInPlaceObject
    STDMETHODIMP GetWindow(HWND* window) override;
    STDMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
    STDMETHODIMP InPlaceDeactivate() override;
    STDMETHODIMP UIDeactivate() override;
    STDMETHODIMP SetObjectRects(LPCRECT position, LPCRECT clip) override;
    STDMETHODIMP ReactivateAndUndo() override { return E_NOTIMPL; }

private:
    ScanControl();
    ~ScanControl() override;
    void ApplyInitialSettings();
    void ApplyInitialPower();
    void ResetToDefaults();
    void SetEnabledQuietly(bool enabled);

    // Properties, as the dispatch interface sees them.
    HRESULT GetProperty(const PropertyInfo& info, VARIANT* result, EXCEPINFO* exception);
    HRESULT PutProperty(const PropertyInfo& info, const VARIANT& value, EXCEPINFO* exception);
    HRESULT InjectedFailureFor(bool onPut, const PropertyInfo& info, EXCEPINFO* exception);

    // The scanner's behaviour.
    void PowerOn();
    void PowerOff();
    void EnterState(short state);
    void RunScan();
    std::vector<ReportedName> TakeScriptedNames();
    void Fire(DISPID id, const EventArgs& args = EventArgs());

    // The test channel: one command; false for an unknown or malformed one.
    bool ExecuteCommand(std::wstring_view command);
    bool ExecuteFire(std::wstring_view arguments);
    bool ExecuteFail(std::wstring_view arguments);

    // ControlWindowOwner
    void OnScanButton() noexcept override;
    void OnPowerOnTimer() noexcept override;
    bool OnCommandText(std::wstring_view command) noexcept override;

    // The window: always there while the control lives, until Close.
    void EnsureWindow();
    void ReplaceWindow(HWND parent, const RECT& position);
    HRESULT ActivateInPlace(IOleClientSite* site, bool uiActivate, LPCRECT position);

    SimConfig config_;
    SimLog log_;
    PropertyStore properties_;
    EventPoint events_;
    ControlWindow window_;

    SIZEL extentHimetric_ = DefaultPersistedState().extentHimetric;
    bool dirty_ = false;

    bool poweringOn_ = false;
    size_t nextPowerOnStep_ = 0;
    std::vector<ReportedName> nextScanNames_;  // one scan only (`nullname`)
    bool nextScanScripted_ = false;

    win::ComPtr<IOleClientSite> clientSite_;
    win::ComPtr<IOleInPlaceSite> inPlaceSite_;
    bool uiActive_ = false;
};

}  // namespace sim
