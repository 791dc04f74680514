// The conversions at the COM boundary, against the system's own coercions.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "win/ErrorReport.h"
#include "scanner/DispatchCalls.h"
#include "scanner/EventSink.h"
#include "win/ComPtr.h"
#include "win/Error.h"

namespace {

using namespace scanner;

VARIANT Make(VARTYPE type, LONGLONG number, const wchar_t* text = nullptr)
{
    VARIANT value{};
    value.vt = type;
    if (type == VT_BSTR) value.bstrVal = SysAllocString(text);
    else value.llVal = number;  // the union's low bytes carry the smaller types
    return value;
}

VARIANT Real(double number)
{
    VARIANT value{};
    value.vt = VT_R8;
    value.dblVal = number;
    return value;
}

TEST(DispatchConversions, AnyNonzeroIsTrueAndShortsKeepTheLow16Bits)
{
    struct Case {
        VARIANT value;
        bool asBool;
        short asShort;
    } cases[] = {
        {Make(VT_BOOL, VARIANT_TRUE), true, -1},  {Make(VT_BOOL, 0), false, 0},
        {Make(VT_BOOL, 1), true, 1},              {Make(VT_I4, 2), true, 2},
        {Make(VT_I2, -5), true, -5},              {Make(VT_I4, 0x12345), true, 0x2345},
        {Make(VT_I4, 0x18000), true, -32768},     {Make(VT_UI2, 65535), true, -1},
        {Real(0.25), true, 0},                {Make(VT_BSTR, 0, L"70000"), true, 4464},
        {Make(VT_BSTR, 0, L"0"), false, 0},       {Make(VT_EMPTY, 0), false, 0},
    };
    for (auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "vt " << c.value.vt << " value " << c.value.llVal);
        EXPECT_EQ(dispatch::BoolFromVariant(c.value), c.asBool);
        EXPECT_EQ(dispatch::ShortFromVariant(c.value), c.asShort);
        VariantClear(&c.value);
    }
    VARIANT word = Make(VT_BSTR, 0, L"acceso");
    EXPECT_THROW(dispatch::BoolFromVariant(word), win::Error);
    VariantClear(&word);
}

HRESULT STDAPICALLTYPE FillInLater(EXCEPINFO* info)
{
    info->bstrDescription = SysAllocString(L"Lampada guasta");
    return S_OK;
}

TEST(DispatchConversions, FailureTextPrefersTheControlsDescription)
{
    EXCEPINFO deferred{};
    deferred.pfnDeferredFillIn = FillInLater;
    deferred.scode = E_FAIL;
    EXPECT_EQ(dispatch::InvokeFailureMessage(DISP_E_EXCEPTION, deferred), "Lampada guasta");
    EXPECT_EQ(deferred.bstrDescription, nullptr);

    EXCEPINFO codeOnly{};
    codeOnly.scode = E_ACCESSDENIED;
    EXPECT_EQ(dispatch::InvokeFailureMessage(DISP_E_EXCEPTION, codeOnly),
              win::SystemMessage(static_cast<DWORD>(E_ACCESSDENIED)));

    EXCEPINFO ignored{};
    ignored.bstrDescription = SysAllocString(L"stale");
    EXPECT_EQ(dispatch::InvokeFailureMessage(DISP_E_MEMBERNOTFOUND, ignored),
              win::SystemMessage(static_cast<DWORD>(DISP_E_MEMBERNOTFOUND)));
}

// Delivers one event straight to a sink, as a control would.
class EventSinkTest : public testing::Test {
protected:
    EventSinkTest()
    {
        ScanEvents events;
        events.onControlStateChange = [this](short state) { seen.push_back(L"state " + std::to_wstring(state)); };
        events.onNewImage = [this](short location, const wchar_t* name) {
            seen.push_back(std::to_wstring(location) + L" " + (name ? name : L"(null)"));
        };
        sink = win::ComPtr<EventSink>::Attach(new EventSink(std::move(events)));
        win::SetMessageBoxRecorderForTests([this](const win::ShownBox& box) { reports.push_back(box.text); });
    }
    ~EventSinkTest() override { win::SetMessageBoxRecorderForTests(nullptr); }

    HRESULT Fire(DISPID id, std::vector<VARIANT> lastFirst)
    {
        DISPPARAMS parameters{lastFirst.data(), nullptr, static_cast<UINT>(lastFirst.size()), 0};
        return sink->Invoke(id, IID_NULL, 0, DISPATCH_METHOD, &parameters, nullptr, nullptr, nullptr);
    }

    win::ComPtr<EventSink> sink;
    std::vector<std::wstring> seen;
    std::vector<std::string> reports;
};

TEST_F(EventSinkTest, ArgumentsAreReadLastFirstByReferenceAndCoerced)
{
    BSTR name = SysAllocString(L"IMG_1.bmp");
    short location = 4;
    VARIANT boxed = Make(VT_I4, 7);
    VARIANT byRefName = Make(VT_BYREF | VT_BSTR, 0);
    byRefName.pbstrVal = &name;
    VARIANT byRefVariant = Make(VT_BYREF | VT_VARIANT, 0);
    byRefVariant.pvarVal = &boxed;
    VARIANT byRefShort = Make(VT_BYREF | VT_I2, 0);
    byRefShort.piVal = &location;
    BSTR nullName = nullptr;
    VARIANT byRefNull = Make(VT_BYREF | VT_BSTR, 0);
    byRefNull.pbstrVal = &nullName;
    VARIANT boxedNull = Make(VT_BSTR, 0);
    VARIANT byRefBoxedNull = Make(VT_BYREF | VT_VARIANT, 0);
    byRefBoxedNull.pvarVal = &boxedNull;

    EXPECT_EQ(Fire(6, {byRefName, byRefVariant}), S_OK);
    EXPECT_EQ(Fire(6, {byRefShort}), S_OK);  // no name at all
    EXPECT_EQ(Fire(6, {byRefNull, Make(VT_I2, 1)}), S_OK);
    EXPECT_EQ(Fire(6, {byRefBoxedNull, Make(VT_I2, 2)}), S_OK);
    EXPECT_EQ(Fire(6, {Make(VT_I4, 42), Make(VT_I2, 3)}), S_OK);
    VARIANT text = Make(VT_BSTR, 0, L"3");
    EXPECT_EQ(Fire(1, {text}), S_OK);
    VariantClear(&text);
    SysFreeString(name);
    EXPECT_EQ(seen, (std::vector<std::wstring>{L"7 IMG_1.bmp", L"4 (null)", L"1 (null)", L"2 (null)",
                                               L"3 42", L"state 3"}));
    EXPECT_TRUE(reports.empty());
}

TEST_F(EventSinkTest, BadArgumentsAreReportedAndTheCallStillSucceeds)
{
    EXPECT_EQ(Fire(1, {Make(VT_I4, 70000)}), S_OK);  // does not fit 16 bits
    EXPECT_EQ(Fire(1, {}), S_OK);
    EXPECT_TRUE(seen.empty());
    EXPECT_EQ(reports.size(), 2u);
}

}  // namespace
