#include "SimulatorTestSupport.h"

#include <gtest/gtest.h>

#include <shlwapi.h>

#include "ComApartment.h"
#include "scanner/ControlContract.h"
#include "scanner/ControlData.h"

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

Control::Control(Start start)
{
    const HRESULT created = CoCreateInstance(scanner::contract::kControlClsid, nullptr, CLSCTX_INPROC_SERVER,
                                             IID_IDispatch, dispatch_.put_void());
    if (FAILED(created)) throw std::runtime_error("CoCreateInstance failed; is the control registered?");
    const auto persist = dispatch_.try_as<IPersistStreamInit>();
    if (!persist) throw std::runtime_error("no IPersistStreamInit");
    if (start == Start::InitNew) {
        if (FAILED(persist->InitNew())) throw std::runtime_error("InitNew failed");
        return;
    }
    const auto& bytes = scanner::kControlData;
    const win::ComPtr<IStream> stream = win::ComPtr<IStream>::Attach(
        SHCreateMemStream(reinterpret_cast<const BYTE*>(bytes.data()), static_cast<UINT>(bytes.size())));
    if (!stream || FAILED(persist->Load(stream.get()))) throw std::runtime_error("Load failed");
}

HRESULT Control::Get(DISPID id, VARIANT* result, EXCEPINFO* exception) const
{
    DISPPARAMS none{};
    return dispatch_->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none, result, exception,
                             nullptr);
}

HRESULT Control::Put(DISPID id, VARIANT value, EXCEPINFO* exception) const
{
    DISPID named = DISPID_PROPERTYPUT;
    DISPPARAMS params{&value, &named, 1, 1};
    const HRESULT result = dispatch_->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYPUT, &params,
                                             nullptr, exception, nullptr);
    VariantClear(&value);
    return result;
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

win::ComPtr<IConnectionPoint> Control::EventPoint() const
{
    win::ComPtr<IConnectionPoint> point;
    EXPECT_EQ(dispatch_.try_as<IConnectionPointContainer>()->FindConnectionPoint(scanner::contract::kEventsIid,
                                                                                 point.put()),
              S_OK);
    return point;
}

DWORD Control::Advise(RecordingSink& sink) const
{
    DWORD cookie = 0;
    EXPECT_EQ(EventPoint()->Advise(&sink, &cookie), S_OK);
    return cookie;
}

void Control::Unadvise(DWORD cookie) const { EXPECT_EQ(EventPoint()->Unadvise(cookie), S_OK); }

VARIANT Variant(VARTYPE type, long number)
{
    VARIANT value{};
    value.vt = VT_I4;
    value.lVal = number;
    EXPECT_EQ(VariantChangeType(&value, &value, 0, type), S_OK);
    return value;
}

VARIANT Variant(const wchar_t* text)
{
    VARIANT value{};
    value.vt = VT_BSTR;
    value.bstrVal = SysAllocString(text);
    return value;
}

}  // namespace simtest
