// The control hosted in a real window through a minimal site of the test's
// own: what it asks of a container, its window and button, closing and the
// release of every reference. Placing and moving it in place are covered
// through the bridge's own host in ScanProxyTest.
#include <gtest/gtest.h>

#include "SimulatorTestSupport.h"
#include "scanner/ControlContract.h"

namespace {

using namespace simtest;
using testing_support::RectInParent;
namespace event = scanner::contract::event;

// The least a container offers: a client site that is also an in-place site.
class MinimalSite final : public IOleClientSite, public IOleInPlaceSite {
public:
    MinimalSite(HWND parent, RECT position) : parent_(parent), position_(position) {}

    int activations = 0;
    int deactivations = 0;
    ULONG references = 0;

    STDMETHODIMP QueryInterface(REFIID iid, void** object) override
    {
        *object = nullptr;
        if (iid == IID_IUnknown || iid == IID_IOleClientSite)
            *object = static_cast<IOleClientSite*>(this);
        else if (iid == IID_IOleWindow || iid == IID_IOleInPlaceSite)
            *object = static_cast<IOleInPlaceSite*>(this);
        else
            return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return ++references; }
    STDMETHODIMP_(ULONG) Release() override { return --references; }  // lives on the test's stack

    // IOleClientSite
    STDMETHODIMP SaveObject() override { return E_NOTIMPL; }
    STDMETHODIMP GetMoniker(DWORD, DWORD, IMoniker**) override { return E_NOTIMPL; }
    STDMETHODIMP GetContainer(IOleContainer**) override { return E_NOINTERFACE; }
    STDMETHODIMP ShowObject() override { return S_OK; }
    STDMETHODIMP OnShowWindow(BOOL) override { return S_OK; }
    STDMETHODIMP RequestNewObjectLayout() override { return E_NOTIMPL; }

    // IOleInPlaceSite
    STDMETHODIMP GetWindow(HWND* window) override { *window = parent_; return S_OK; }
    STDMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
    STDMETHODIMP CanInPlaceActivate() override { return S_OK; }
    STDMETHODIMP OnInPlaceActivate() override { ++activations; return S_OK; }
    STDMETHODIMP OnUIActivate() override { return S_OK; }
    STDMETHODIMP GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document, LPRECT position,
                                  LPRECT clip, LPOLEINPLACEFRAMEINFO) override
    {
        *frame = nullptr;
        *document = nullptr;
        *position = *clip = position_;
        return S_OK;
    }
    STDMETHODIMP Scroll(SIZE) override { return E_NOTIMPL; }
    STDMETHODIMP OnUIDeactivate(BOOL) override { return S_OK; }
    STDMETHODIMP OnInPlaceDeactivate() override { ++deactivations; return S_OK; }
    STDMETHODIMP DiscardUndoState() override { return E_NOTIMPL; }
    STDMETHODIMP DeactivateAndUndo() override { return E_NOTIMPL; }
    STDMETHODIMP OnPosRectChange(LPCRECT) override { return S_OK; }

private:
    HWND parent_;
    RECT position_;
};

TEST(ScanSimInPlace, ActivatesAsAChildWindowWhoseButtonScansThenClosesAndReleasesTheSite)
{
    const win::UniqueHwnd parent(CreateWindowExA(0, "STATIC", "container", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 50,
                                                 50, 300, 300, nullptr, nullptr, nullptr, nullptr));
    ASSERT_TRUE(parent);
    RECT position{0, 0, 41, 134};
    MinimalSite site(parent.get(), position);
    {
        const Control control;
        const auto object = control.as<IOleObject>();
        DWORD misc = 0;
        ASSERT_EQ(object->GetMiscStatus(DVASPECT_CONTENT, &misc), S_OK);
        EXPECT_TRUE(misc & OLEMISC_SETCLIENTSITEFIRST);
        EXPECT_TRUE(misc & OLEMISC_ACTIVATEWHENVISIBLE);
        ASSERT_EQ(object->SetClientSite(&site), S_OK);

        ASSERT_EQ(object->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, &site, 0, parent.get(), &position), S_OK);
        EXPECT_EQ(site.activations, 1);
        const HWND window = control.Window();
        ASSERT_TRUE(IsWindow(window));
        EXPECT_EQ(testing_support::ClassOf(window), "DenoptixScanSimWindow");

        // The button stays inside the narrow window, and clicking it while ready runs a scan.
        const HWND button = GetDlgItem(window, 100);
        ASSERT_NE(button, nullptr);
        EXPECT_EQ(testing_support::WindowText(button), "Scan");
        EXPECT_GE(RectInParent(button).left, 0);
        EXPECT_LE(RectInParent(button).right, 41);
        auto sink = RecordingSink::Create();
        control.Advise(*sink.get());
        ASSERT_TRUE(control.Send("names clic.bmp"));
        ASSERT_TRUE(control.Send("state 6"));
        SendMessageA(button, BM_CLICK, 0, 0);
        ASSERT_GE(sink->events.size(), 2u);
        EXPECT_EQ(sink->events[1].id, event::OnStartingScan);

        ASSERT_EQ(object->Close(OLECLOSE_NOSAVE), S_OK);
        EXPECT_FALSE(IsWindow(window));
        EXPECT_EQ(site.deactivations, 1);
        ASSERT_EQ(object->SetClientSite(nullptr), S_OK);
    }
    EXPECT_EQ(site.references, 0u);
    EXPECT_EQ(testing_support::StandInCanUnloadNow(), S_OK);
}

}  // namespace
