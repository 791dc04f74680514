// The control hosted in a real window through a minimal site of the test's
// own: activation, the child window, moving, the button, closing and the
// release of every reference.
#include <gtest/gtest.h>

#include "SimulatorTestSupport.h"
#include "scanner/ControlContract.h"

namespace {

using namespace simtest;
namespace event = scanner::contract::event;

// The least a container offers: a client site that is also an in-place site.
class MinimalSite final : public IOleClientSite, public IOleInPlaceSite {
public:
    MinimalSite(HWND parent, RECT position) : parent_(parent), position_(position) {}

    int activations = 0;
    int deactivations = 0;

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
    STDMETHODIMP GetWindow(HWND* window) override
    {
        *window = parent_;
        return S_OK;
    }
    STDMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
    STDMETHODIMP CanInPlaceActivate() override { return S_OK; }
    STDMETHODIMP OnInPlaceActivate() override
    {
        ++activations;
        return S_OK;
    }
    STDMETHODIMP OnUIActivate() override { return S_OK; }
    STDMETHODIMP GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document, LPRECT position,
                                  LPRECT clip, LPOLEINPLACEFRAMEINFO) override
    {
        *frame = nullptr;
        *document = nullptr;
        *position = position_;
        *clip = position_;
        return S_OK;
    }
    STDMETHODIMP Scroll(SIZE) override { return E_NOTIMPL; }
    STDMETHODIMP OnUIDeactivate(BOOL) override { return S_OK; }
    STDMETHODIMP OnInPlaceDeactivate() override
    {
        ++deactivations;
        return S_OK;
    }
    STDMETHODIMP DiscardUndoState() override { return E_NOTIMPL; }
    STDMETHODIMP DeactivateAndUndo() override { return E_NOTIMPL; }
    STDMETHODIMP OnPosRectChange(LPCRECT) override { return S_OK; }

    ULONG references = 0;

private:
    HWND parent_;
    RECT position_;
};

RECT WindowRectInParent(HWND window)
{
    RECT rect{};
    GetWindowRect(window, &rect);
    MapWindowPoints(HWND_DESKTOP, GetParent(window), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

TEST(ScanSimInPlace, ActivatesAsAChildWindowMovesClosesAndReleasesEverything)
{
    const win::UniqueHwnd parent(CreateWindowExA(0, "STATIC", "container", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 50,
                                                 50, 300, 300, nullptr, nullptr, nullptr, nullptr));
    ASSERT_TRUE(parent);
    MinimalSite site(parent.get(), RECT{0, 0, 41, 134});
    {
        const Control control;
        const auto object = control.as<IOleObject>();
        DWORD misc = 0;
        ASSERT_EQ(object->GetMiscStatus(DVASPECT_CONTENT, &misc), S_OK);
        EXPECT_TRUE(misc & OLEMISC_SETCLIENTSITEFIRST);
        EXPECT_TRUE(misc & OLEMISC_ACTIVATEWHENVISIBLE);
        ASSERT_EQ(object->SetClientSite(&site), S_OK);

        RECT position{0, 0, 41, 134};
        ASSERT_EQ(object->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, &site, 0, parent.get(), &position), S_OK);
        EXPECT_EQ(site.activations, 1);
        const HWND window = control.Window();
        ASSERT_TRUE(IsWindow(window));
        EXPECT_EQ(GetParent(window), parent.get());
        EXPECT_TRUE(IsWindowVisible(window));
        char className[64] = {};
        GetClassNameA(window, className, sizeof className);
        EXPECT_STREQ(className, "DenoptixScanSimWindow");
        const RECT placed = WindowRectInParent(window);
        EXPECT_EQ(placed.right - placed.left, 41);
        EXPECT_EQ(placed.bottom - placed.top, 134);

        // The button stays inside the narrow window.
        const HWND button = GetDlgItem(window, 100);
        ASSERT_NE(button, nullptr);
        char caption[16] = {};
        GetWindowTextA(button, caption, sizeof caption);
        EXPECT_STREQ(caption, "Scan");
        RECT buttonRect = WindowRectInParent(button);
        EXPECT_GE(buttonRect.left, 0);
        EXPECT_LE(buttonRect.right, 41);

        // Clicking it while ready runs a scan.
        auto sink = RecordingSink::Create();
        control.Advise(*sink.get());
        ASSERT_TRUE(testing_support::SendSimulatorCommand(window, "names clic.bmp"));
        ASSERT_TRUE(testing_support::SendSimulatorCommand(window, "state 6"));
        SendMessageA(button, BM_CLICK, 0, 0);
        ASSERT_GE(sink->events.size(), 2u);
        EXPECT_EQ(sink->events[1].id, event::OnStartingScan);

        const RECT moved{10, 20, 51, 420};
        ASSERT_EQ(control.as<IOleInPlaceObject>()->SetObjectRects(&moved, &moved), S_OK);
        const RECT now = WindowRectInParent(window);
        EXPECT_EQ(now.left, 10);
        EXPECT_EQ(now.top, 20);
        EXPECT_EQ(now.bottom - now.top, 400);

        ASSERT_EQ(object->Close(OLECLOSE_NOSAVE), S_OK);
        EXPECT_FALSE(IsWindow(window));
        EXPECT_EQ(site.deactivations, 1);
        ASSERT_EQ(object->SetClientSite(nullptr), S_OK);
    }
    EXPECT_EQ(site.references, 0u);
    EXPECT_EQ(ControlDllCanUnloadNow(), S_OK);
}

}  // namespace
