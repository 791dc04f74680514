// The control's registration, persisted state, properties, injected
// failures, environment settings and log.
#include <gtest/gtest.h>

#include <shlwapi.h>

#include <algorithm>
#include <array>
#include <vector>

#include "SimulatorTestSupport.h"
#include "scanner/ControlContract.h"
#include "scanner/ControlData.h"

namespace {

using namespace simtest;
namespace property = scanner::contract::property;

using scanner::kControlData;

win::ComPtr<IStream> StreamOf(const std::byte* bytes, size_t size)
{
    return win::ComPtr<IStream>::Attach(SHCreateMemStream(reinterpret_cast<const BYTE*>(bytes), static_cast<UINT>(size)));
}

std::string RegistryText(const std::string& key, const char* name)
{
    char value[MAX_PATH] = {};
    DWORD size = sizeof value;
    if (RegGetValueA(HKEY_CLASSES_ROOT, key.c_str(), name, RRF_RT_REG_SZ, nullptr, value, &size) != ERROR_SUCCESS)
        return "<missing>";
    return value;
}

bool KeyExists(const std::string& key)
{
    HKEY handle = nullptr;
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, key.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS) return false;
    RegCloseKey(handle);
    return true;
}

TEST(ScanSimRegistration, ServerIsTheDllNextToTheTestsAndUnregisterRemovesItAll)
{
    const std::string clsidKey = "CLSID\\{786AAF38-E504-11D1-966F-006008A3979D}";
    const std::string server = RegistryText(clsidKey + "\\InprocServer32", nullptr);
    EXPECT_EQ(_stricmp(server.c_str(), testing_support::BinPath("DenoptixScanSim.dll").c_str()), 0) << server;
    EXPECT_EQ(RegistryText(clsidKey + "\\InprocServer32", "ThreadingModel"), "Apartment");
    EXPECT_TRUE(KeyExists(clsidKey + "\\Control"));
    CLSID fromProgId{};
    ASSERT_EQ(CLSIDFromProgID(L"DenoptixScanSim.Control", &fromProgId), S_OK);
    EXPECT_TRUE(IsEqualCLSID(fromProgId, scanner::contract::kControlClsid));

    const HMODULE dll = LoadLibraryA("DenoptixScanSim.dll");
    ASSERT_NE(dll, nullptr);
    using Entry = HRESULT(STDAPICALLTYPE*)();
    const auto entry = [&](const char* name) {
        return reinterpret_cast<Entry>(reinterpret_cast<void*>(GetProcAddress(dll, name)));
    };
    ASSERT_EQ(entry("DllUnregisterServer")(), S_OK);
    const bool clsidLeft = KeyExists(clsidKey);
    const bool progIdLeft = KeyExists("DenoptixScanSim.Control");
    ASSERT_EQ(entry("DllRegisterServer")(), S_OK);  // later tests need it back
    FreeLibrary(dll);
    EXPECT_FALSE(clsidLeft);
    EXPECT_FALSE(progIdLeft);
    EXPECT_EQ(RegistryText(clsidKey + "\\InprocServer32", nullptr), server);
}

// The stand-in reads its state as an MFC control does (version, extent,
// stock mask, then Enabled only when the mask names it), and writes back
// what the bridge carries.
TEST(ScanSimPersistence, ReadsTheStateByMfcsRulesAndSavesTheBridgesBytesBack)
{
    using Bytes = std::vector<std::byte>;
    const Bytes bridge(kControlData.begin(), kControlData.end());
    Bytes withoutEnabled(bridge.begin(), bridge.end() - 1);
    withoutEnabled[12] = std::byte{0};  // the mask names nothing
    Bytes longer = bridge;
    longer.insert(longer.end(), {std::byte{0xFF}, std::byte{0xFF}});
    Bytes version2 = bridge;
    version2[2] = std::byte{2};  // MAKELONG(0, 2): read, and left to the control to judge
    Bytes enabledTwo = bridge;
    enabledTwo[16] = std::byte{2};
    const Bytes oneShort(bridge.begin(), bridge.end() - 1);
    struct Case {
        const char* name;
        std::vector<Bytes> loads;  // one after the other into the same control
        HRESULT lastLoaded;
        const char* logged;  // the control's last log line
        bool enabled;
    };
    const Case cases[] = {
        {"the bridge's 17 bytes", {bridge}, S_OK, "load ok: version 1.0, extent 1085 x 3545, enabled false", false},
        {"a mask without Enabled", {withoutEnabled}, S_OK, "load ok: version 1.0, extent 1085 x 3545, enabled true",
         true},
        {"bytes past Enabled", {longer}, S_OK, "load ok: version 1.0, extent 1085 x 3545, enabled false", false},
        {"a version other than 1.0", {version2}, S_OK, "load ok: version 2.0, extent 1085 x 3545, enabled false",
         false},
        {"an Enabled byte of 2", {enabledTwo}, S_OK, "load ok: version 1.0, extent 1085 x 3545, enabled true", true},
        {"one byte short", {oneShort}, E_FAIL, "load failed", true},
        {"no bytes at all", {Bytes{}}, E_FAIL, "load failed", true},
        {"a load after a load", {bridge, withoutEnabled}, S_OK,
         "load ok: version 1.0, extent 1085 x 3545, enabled true", true},
        {"a failed load after a good one: the defaults again", {bridge, oneShort}, E_FAIL, "load failed", true},
    };
    const testing_support::TempFolder temp;
    const testing_support::ScopedEnvironment logging({{"DENOPTIX_SIM_LOG", temp.Path("sim.log")}});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Control control(Control::Start::InitNew);  // Enabled true, as MFC's defaults
        HRESULT loaded = E_UNEXPECTED;
        for (const Bytes& bytes : c.loads)
            loaded = control.as<IPersistStreamInit>()->Load(StreamOf(bytes.data(), bytes.size()).get());
        EXPECT_EQ(loaded, c.lastLoaded);
        EXPECT_EQ(testing_support::ReadLines(temp.Path("sim.log")).back(), c.logged);
        EXPECT_EQ(control.GetBool(property::Enabled), c.enabled);
        EXPECT_EQ(IsWindowEnabled(control.Window()) != FALSE, c.enabled) << "its window follows Enabled";
    }

    {
        // A put of the value Enabled has changes nothing, as for MFC's stock
        // property; only a change makes the state worth saving.
        const Control control(Control::Start::InitNew);
        const auto persist = control.as<IPersistStreamInit>();
        ASSERT_EQ(control.Put(property::Enabled, Variant(VT_BOOL, VARIANT_TRUE)), S_OK);
        EXPECT_EQ(persist->IsDirty(), S_FALSE);
        ASSERT_EQ(control.Put(property::Enabled, Variant(VT_BOOL, VARIANT_FALSE)), S_OK);
        EXPECT_EQ(persist->IsDirty(), S_OK);
    }

    const Control control;
    const auto persist = control.as<IPersistStreamInit>();
    ASSERT_EQ(persist->Load(StreamOf(kControlData.data(), kControlData.size()).get()), S_OK);
    ULARGE_INTEGER sizeMax{};
    ASSERT_EQ(persist->GetSizeMax(&sizeMax), S_OK);
    EXPECT_EQ(sizeMax.QuadPart, kControlData.size());
    auto saved = StreamOf(nullptr, 0);
    ASSERT_EQ(persist->Save(saved.get(), TRUE), S_OK);
    std::array<std::byte, 18> bytes{};
    saved->Seek(LARGE_INTEGER{}, STREAM_SEEK_SET, nullptr);
    ULONG read = 0;
    saved->Read(bytes.data(), static_cast<ULONG>(bytes.size()), &read);
    ASSERT_EQ(read, kControlData.size());
    EXPECT_TRUE(std::equal(kControlData.begin(), kControlData.end(), bytes.begin()));
}

TEST(ScanSimProperties, WritesAreCoercedToTheDeclaredTypeAndReadBack)
{
    const Control control;
    EXPECT_EQ(control.GetShort(property::ControlState), 0);

    ASSERT_EQ(control.Put(property::EnableEndoScan, Variant(VT_I4, 5)), S_OK);
    EXPECT_TRUE(control.GetBool(property::EnableEndoScan));
    ASSERT_EQ(control.Put(property::ScanParmIntraOralResolution, Variant(L"600")), S_OK);
    EXPECT_EQ(control.GetShort(property::ScanParmIntraOralResolution), 600);
    EXPECT_EQ(control.Put(property::ScanParmExtraOralResolution, Variant(L"tanti")), DISP_E_TYPEMISMATCH);
    EXPECT_EQ(control.GetShort(property::ScanParmExtraOralResolution), 150);

    ASSERT_EQ(control.Put(property::ScanParmFinalLocation, Variant(L"C:\\Immagini\\Nuove\\")), S_OK);
    win::UniqueVariant location;
    ASSERT_EQ(control.Get(property::ScanParmFinalLocation, location.get()), S_OK);
    ASSERT_EQ(location.get()->vt, VT_BSTR);
    EXPECT_STREQ(location.get()->bstrVal, L"C:\\Immagini\\Nuove\\");
}

TEST(ScanSimProperties, RejectsUnknownMembersReadOnlyWritesAndPutsWithoutTheNamedArgument)
{
    const Control control;
    win::UniqueVariant result;
    EXPECT_EQ(control.Get(99, result.get()), DISP_E_MEMBERNOTFOUND);
    EXPECT_EQ(control.Put(99, Variant(VT_I2, 1)), DISP_E_MEMBERNOTFOUND);
    EXPECT_EQ(control.Put(property::ControlState, Variant(VT_I2, 1)), DISP_E_MEMBERNOTFOUND);

    VARIANT v = Variant(VT_BOOL, 1);
    DISPPARAMS unnamed{&v, nullptr, 1, 0};
    EXPECT_NE(control.dispatch()->Invoke(property::EnableEndoScan, IID_NULL, 0, DISPATCH_PROPERTYPUT, &unnamed,
                                         nullptr, nullptr, nullptr),
              S_OK);
    EXPECT_FALSE(control.GetBool(property::EnableEndoScan));

    struct Case {
        const wchar_t* name;
        DISPID id;
    } const cases[] = {{L"enabled", property::Enabled},
                       {L"SCANPARMFINALLOCATION", property::ScanParmFinalLocation},
                       {L"ControlState", property::ControlState},
                       {L"ScanParmExtraOralResolution", property::ScanParmExtraOralResolution},
                       {L"Accendi", DISPID_UNKNOWN}};
    for (const auto& c : cases) {
        LPOLESTR name = const_cast<LPOLESTR>(c.name);
        DISPID id = 0;
        EXPECT_EQ(control.dispatch()->GetIDsOfNames(IID_NULL, &name, 1, 0, &id),
                  c.id == DISPID_UNKNOWN ? DISP_E_UNKNOWNNAME : S_OK)
            << c.name;
        EXPECT_EQ(id, c.id) << c.name;
    }
}

// The description of a failure set through the channel reaches the bridge
// (ScanProxyTest); here, the exception's other fields, that only the failing
// call fails, and failures set from the environment.
TEST(ScanSimProperties, InjectedFailuresFailOnlyTheirCallUntilCleared)
{
    const Control control;
    ASSERT_TRUE(control.Send("fail put EnableEndoScan Scanner occupato"));
    EXCEPINFO exception{};
    ASSERT_EQ(control.Put(property::EnableEndoScan, Variant(VT_BOOL, 1), &exception), DISP_E_EXCEPTION);
    EXPECT_NE(exception.bstrSource, nullptr);
    EXPECT_EQ(exception.scode, E_FAIL);
    SysFreeString(exception.bstrSource);
    SysFreeString(exception.bstrDescription);
    EXPECT_FALSE(control.GetBool(property::EnableEndoScan));  // only the put fails
    EXPECT_FALSE(control.Send("fail put NoSuchProperty x"));
    ASSERT_TRUE(control.Send("fail clear"));
    EXPECT_EQ(control.Put(property::EnableEndoScan, Variant(VT_BOOL, 1)), S_OK);

    const testing_support::ScopedEnvironment environment({
        {"DENOPTIX_SIM_INITIAL_ENABLED", "1"},
        {"DENOPTIX_SIM_INITIAL_OPTIONS", "EnableEndoScan=1,EnableCustomScan=1"},
        {"DENOPTIX_SIM_FAIL", "put:EnableEndoScan:Scanner busy;get:ScanParmUnsharpMask:Not ready"},
    });
    const Control configured;
    exception = {};
    EXPECT_TRUE(configured.GetBool(property::Enabled));
    EXPECT_EQ(configured.GetShort(property::ControlState), 6);
    EXPECT_TRUE(configured.GetBool(property::EnableEndoScan));
    EXPECT_TRUE(configured.GetBool(property::EnableCustomScan));
    win::UniqueVariant result;
    ASSERT_EQ(configured.Get(property::ScanParmUnsharpMask, result.get(), &exception), DISP_E_EXCEPTION);
    EXPECT_STREQ(exception.bstrDescription, L"Not ready");
    SysFreeString(exception.bstrSource);
    SysFreeString(exception.bstrDescription);
    EXPECT_EQ(configured.Put(property::EnableEndoScan, Variant(VT_BOOL, 0)), DISP_E_EXCEPTION);
}

TEST(ScanSimLog, OneLinePerCallInTheDocumentedSyntax)
{
    const testing_support::TempFolder temp;
    const std::string log = temp.Path("sim.log");
    const testing_support::ScopedEnvironment logging({{"DENOPTIX_SIM_LOG", log}});
    const Control control(Control::Start::InitNew);
    control.Put(property::EnableCustomScan, Variant(VT_I4, 1));
    control.GetShort(property::ScanParmIntraOralResolution);
    control.Put(property::ScanParmFinalLocation, Variant(L"Z:\\tmp\\\"a\""));
    control.Send("fail get ControlState Non pronto");
    win::UniqueVariant state;
    control.Get(property::ControlState, state.get());
    control.Send("fire OnNewImage 2 Z:\\x\\IMG_1.bmp");
    control.Send("fire OnNewImage 3");
    control.Send("fire OnMMResult -7");

    const std::vector<std::string> expected = {
        "initnew",
        "put EnableCustomScan = true",
        "get ScanParmIntraOralResolution = 300",
        "put ScanParmFinalLocation = \"Z:\\\\tmp\\\\\\\"a\\\"\"",
        "fail get ControlState: Non pronto",
        "fire OnNewImage(2, \"Z:\\\\x\\\\IMG_1.bmp\")",
        "fire OnNewImage(3, null)",
        "fire OnMMResult(-7)",
    };
    EXPECT_EQ(testing_support::ReadLines(log), expected);
}

}  // namespace
