#include "SimulatorTestSupport.h"

#include <gtest/gtest.h>

#include "ComApartment.h"
#include "scanner/ControlContract.h"

namespace simtest {

namespace {

Arg ToArg(const VARIANT& v)
{
    Arg arg;
    arg.type = v.vt;
    if (v.vt == VT_I2) arg.number = v.iVal;
    if (v.vt == VT_I4) arg.number = v.lVal;
    if (v.vt == VT_BSTR && v.bstrVal) arg.text = std::wstring(v.bstrVal, SysStringLen(v.bstrVal));
    return arg;
}

}  // namespace

win::ComPtr<RecordingSink> RecordingSink::Create()
{
    return win::ComPtr<RecordingSink>::Attach(new RecordingSink());
}

std::vector<DISPID> RecordingSink::Ids() const
{
    std::vector<DISPID> ids;
    for (const auto& e : events) ids.push_back(e.id);
    return ids;
}

STDMETHODIMP RecordingSink::QueryInterface(REFIID iid, void** object)
{
    *object = nullptr;
    if (iid != IID_IUnknown && iid != IID_IDispatch && iid != scanner::contract::kEventsIid)
        return E_NOINTERFACE;
    *object = static_cast<IDispatch*>(this);
    AddRef();
    return S_OK;
}

STDMETHODIMP_(ULONG) RecordingSink::Release()
{
    const ULONG left = --references_;
    if (left == 0) delete this;
    return left;
}

STDMETHODIMP RecordingSink::GetTypeInfoCount(UINT* count)
{
    *count = 0;
    return S_OK;
}

STDMETHODIMP RecordingSink::Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT*,
                                   EXCEPINFO*, UINT*)
{
    ReceivedEvent event{id, flags, {}};
    // DISPPARAMS hold the arguments last first.
    for (UINT i = params->cArgs; i > 0; --i) event.args.push_back(ToArg(params->rgvarg[i - 1]));
    events.push_back(event);
    if (onEvent) onEvent(event);
    return answer;
}

Control::Control()
{
    const HRESULT created = CoCreateInstance(scanner::contract::kControlClsid, nullptr, CLSCTX_INPROC_SERVER,
                                             IID_IDispatch, dispatch_.put_void());
    if (FAILED(created)) throw std::runtime_error("CoCreateInstance failed; is the control registered?");
    const auto persist = dispatch_.try_as<IPersistStreamInit>();
    if (!persist || FAILED(persist->InitNew())) throw std::runtime_error("InitNew failed");
}

HRESULT Control::Get(DISPID id, VARIANT* result) const
{
    DISPPARAMS none{};
    return dispatch_->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none, result, nullptr,
                             nullptr);
}

HRESULT Control::Put(DISPID id, const VARIANT& value, EXCEPINFO* exception) const
{
    VARIANT argument = value;  // DISPPARAMS want a mutable array; the control only reads it
    DISPID named = DISPID_PROPERTYPUT;
    DISPPARAMS params{&argument, &named, 1, 1};
    return dispatch_->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYPUT, &params, nullptr,
                             exception, nullptr);
}

short Control::GetShort(DISPID id) const
{
    win::UniqueVariant value;
    EXPECT_EQ(Get(id, value.get()), S_OK);
    EXPECT_EQ(value.get()->vt, VT_I2);
    return value.get()->iVal;
}

bool Control::GetBool(DISPID id) const
{
    win::UniqueVariant value;
    EXPECT_EQ(Get(id, value.get()), S_OK);
    EXPECT_EQ(value.get()->vt, VT_BOOL);
    return value.get()->boolVal != VARIANT_FALSE;
}

HWND Control::Window() const
{
    HWND window = nullptr;
    const auto oleWindow = dispatch_.try_as<IOleWindow>();
    if (oleWindow) oleWindow->GetWindow(&window);
    return window;
}

bool Control::Send(std::string_view command) const
{
    return testing_support::SendSimulatorCommand(Window(), command);
}

DWORD Control::Advise(RecordingSink& sink) const
{
    const auto container = dispatch_.try_as<IConnectionPointContainer>();
    win::ComPtr<IConnectionPoint> point;
    EXPECT_EQ(container->FindConnectionPoint(scanner::contract::kEventsIid, point.put()), S_OK);
    DWORD cookie = 0;
    EXPECT_EQ(point->Advise(&sink, &cookie), S_OK);
    return cookie;
}

void Control::Unadvise(DWORD cookie) const
{
    const auto container = dispatch_.try_as<IConnectionPointContainer>();
    win::ComPtr<IConnectionPoint> point;
    EXPECT_EQ(container->FindConnectionPoint(scanner::contract::kEventsIid, point.put()), S_OK);
    EXPECT_EQ(point->Unadvise(cookie), S_OK);
}

void Value::Short(VARIANT& v, short value)
{
    VariantInit(&v);
    v.vt = VT_I2;
    v.iVal = value;
}

void Value::Long(VARIANT& v, long value)
{
    VariantInit(&v);
    v.vt = VT_I4;
    v.lVal = value;
}

void Value::Bool(VARIANT& v, bool value)
{
    VariantInit(&v);
    v.vt = VT_BOOL;
    v.boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
}

void Value::Text(VARIANT& v, const wchar_t* value)
{
    VariantInit(&v);
    v.vt = VT_BSTR;
    v.bstrVal = SysAllocString(value);
}

std::wstring Wide(const std::string& asciiPath) { return std::wstring(asciiPath.begin(), asciiPath.end()); }

std::vector<std::wstring> FilesIn(const std::wstring& folder)
{
    std::vector<std::wstring> files;
    WIN32_FIND_DATAW found{};
    const HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return files;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) files.push_back(found.cFileName);
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return files;
}

HRESULT ControlDllCanUnloadNow()
{
    const HMODULE module = GetModuleHandleA("DenoptixScanSim.dll");
    if (!module) return E_UNEXPECTED;
    using CanUnload = HRESULT(STDAPICALLTYPE*)();
    const auto canUnload = reinterpret_cast<CanUnload>(
        reinterpret_cast<void*>(GetProcAddress(module, "DllCanUnloadNow")));
    return canUnload ? canUnload() : E_UNEXPECTED;
}

}  // namespace simtest
