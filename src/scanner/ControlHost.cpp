#include "scanner/ControlHost.h"

#include <objbase.h>
#include <ocidl.h>

#include <span>
#include <utility>

#include "scanner/ControlRegistration.h"
#include "trail/Trail.h"
#include "win/Error.h"
#include "win/UniqueResource.h"

namespace scanner {

namespace {

win::ComPtr<IStream> StreamHolding(std::span<const std::byte> bytes)
{
    win::ComPtr<IStream> stream;
    win::ThrowIfFailed(CreateStreamOnHGlobal(nullptr, TRUE, stream.put()));
    ULONG written = 0;
    win::ThrowIfFailed(stream->Write(bytes.data(), static_cast<ULONG>(bytes.size()), &written));
    win::ThrowIfFailed(stream->Seek(LARGE_INTEGER{}, STREAM_SEEK_SET, nullptr));
    return stream;
}

// Creates the control as the containers of its era do: with the key only
// when its class factory offers IClassFactory2 and says the licence is not
// verified on this machine, so a key set for a control that needs none
// changes nothing. `keyUsed` says whether the key was handed over.
HRESULT CreateControlObject(const CLSID& control, const LicenseKey& key, REFIID iid, void** object, bool& keyUsed)
{
    keyUsed = false;
    if (key.Given()) {
        win::ComPtr<IClassFactory2> factory;
        LICINFO info{};
        info.cbLicInfo = sizeof info;
        if (SUCCEEDED(CoGetClassObject(control, CLSCTX_INPROC_SERVER, nullptr, IID_IClassFactory2,
                                       factory.put_void())) &&
            SUCCEEDED(factory->GetLicInfo(&info)) && !info.fLicVerified) {
            keyUsed = true;
            const win::UniqueBstr secret(
                SysAllocStringLen(key.Secret().data(), static_cast<UINT>(key.Secret().size())));
            if (!secret) return E_OUTOFMEMORY;
            const HRESULT created = factory->CreateInstanceLic(nullptr, nullptr, iid, secret.get(), object);
            SecureZeroMemory(secret.get(), SysStringByteLen(secret.get()));
            return created;
        }
    }
    return CoCreateInstance(control, nullptr, CLSCTX_INPROC_SERVER, iid, object);
}

}  // namespace

ControlHost::ControlHost(const CLSID& control, HWND parent, const RECT& bounds, const StoredState& state,
                         const IID& eventInterface, IDispatch* eventSink, const LicenseKey& licence,
                         HostStepObserver observer)
    : observer_(std::move(observer))
{
    try {
        Create(control, parent, bounds, state, licence);
        ConnectEvents(eventInterface, eventSink);
    } catch (const HostError&) {
        Teardown();
        throw;
    } catch (const win::Error& error) {
        Teardown();
        throw HostError(step_, error.what(), error.Code());
    } catch (...) {
        Teardown();
        throw;
    }
}

ControlHost::~ControlHost() { Teardown(); }

void ControlHost::Create(const CLSID& control, HWND parent, const RECT& bounds, const StoredState& state,
                         const LicenseKey& licence)
{
    Begin(HostStep::Create);
    bool keyUsed = false;
    const HRESULT created = CreateControlObject(control, licence, IID_IOleObject, object_.put_void(), keyUsed);
    const ControlRegistration registration = FindControlRegistration(control);
    const std::string described =
        DescribeControl(control, registration) + (keyUsed ? ", with " + licence.Description() : std::string());
    if (FAILED(created)) {
        const std::string systemText = win::SystemMessage(static_cast<DWORD>(created));
        trail::Write("control " + described + ": not created, " + trail::Hex(static_cast<DWORD>(created)) + " " +
                     systemText);
        throw HostError(HostStep::Create,
                        created == CLASS_E_NOTLICENSED ? NotLicensedAdvice(licence, keyUsed) + "\n\n" + systemText
                                                       : ControlCreationFailure(created, registration),
                        created);
    }
    trail::Write("control " + described + ": created");
    site_ = win::ComPtr<OleSite>::Attach(new OleSite(parent, bounds));

    DWORD miscStatus = 0;
    if (SUCCEEDED(object_->GetMiscStatus(DVASPECT_CONTENT, &miscStatus)) &&
        (miscStatus & OLEMISC_SETCLIENTSITEFIRST))
        SetClientSite();
    Begin(HostStep::LoadState);
    LoadState(state);
    if (!clientSiteSet_) SetClientSite();
    Begin(HostStep::Activate);
    ActivateInPlace(parent, bounds);
}

void ControlHost::SetClientSite()
{
    win::ThrowIfFailed(object_->SetClientSite(static_cast<IOleClientSite*>(site_.get())));
    clientSiteSet_ = true;
}

void ControlHost::LoadState(const StoredState& state)
{
    // A control that will not take the state the bridge carries for it is not
    // the control the bridge was made for; coming up from its defaults would
    // hide that from the operator and the integrator.
    const auto persist = object_.try_as<IPersistStreamInit>();
    const HRESULT loaded = persist ? persist->Load(StreamHolding(state.Bytes()).get()) : E_NOINTERFACE;
    if (FAILED(loaded)) {
        const std::string reason = win::SystemMessage(static_cast<DWORD>(loaded));
        trail::Write("control state (" + state.Description() + "): refused, " +
                     trail::Hex(static_cast<DWORD>(loaded)) + " " + reason);
        throw HostError(HostStep::LoadState,
                        "The scanner control refused its stored state: " + reason + "\n\n" + state.RefusalAdvice(),
                        loaded);
    }
    trail::Write("control state (" + state.Description() + "): accepted");
}

void ControlHost::ActivateInPlace(HWND parent, const RECT& bounds)
{
    inPlace_ = object_.as<IOleInPlaceObject>();
    site_->SetInPlaceObject(inPlace_.get());
    activated_ = true;  // a half-done activation still needs deactivating
    RECT position = bounds;
    win::ThrowIfFailed(object_->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr,
                                       static_cast<IOleClientSite*>(site_.get()), 0, parent, &position));
    win::ThrowIfFailed(site_->Place(bounds));
    dispatch_ = object_.as<IDispatch>();
}

void ControlHost::ConnectEvents(const IID& eventInterface, IDispatch* eventSink)
{
    Begin(HostStep::ConnectEvents);
    const auto container = object_.as<IConnectionPointContainer>();
    win::ThrowIfFailed(container->FindConnectionPoint(eventInterface, eventPoint_.put()));
    win::ThrowIfFailed(eventPoint_->Advise(eventSink, &eventCookie_));
}

void ControlHost::Begin(HostStep step)
{
    step_ = step;
    if (observer_) observer_(step);
}

void ControlHost::Teardown() noexcept
{
    // The reverse of Create: each step runs when its counterpart did, and the
    // results are ignored because nothing better can be done while going away.
    if (eventPoint_ && eventCookie_ != 0) eventPoint_->Unadvise(eventCookie_);
    eventCookie_ = 0;
    eventPoint_.reset();
    dispatch_.reset();
    if (inPlace_ && activated_) inPlace_->InPlaceDeactivate();
    activated_ = false;
    if (site_) site_->SetInPlaceObject(nullptr);
    inPlace_.reset();
    if (object_) object_->Close(OLECLOSE_NOSAVE);
    if (object_ && clientSiteSet_) object_->SetClientSite(nullptr);
    clientSiteSet_ = false;
    object_.reset();
    site_.reset();
}

HWND ControlHost::Window() const noexcept
{
    HWND window = nullptr;
    if (!inPlace_ || FAILED(inPlace_->GetWindow(&window))) return nullptr;
    return window;
}

void ControlHost::SetBounds(const RECT& bounds)
{
    if (!site_) return;
    win::ThrowIfFailed(site_->Place(bounds));
}

}  // namespace scanner
