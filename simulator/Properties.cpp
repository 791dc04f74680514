#include "Properties.h"

#include <stdexcept>

#include "SimText.h"
#include "scanner/ControlContract.h"

namespace sim {

namespace property = scanner::contract::property;

const std::array<PropertyInfo, kPropertyCount>& AllProperties()
{
    static const std::array<PropertyInfo, kPropertyCount> properties{{
        {property::EnableCustomScan, L"EnableCustomScan", VT_BOOL, true},
        {property::EnableEndoScan, L"EnableEndoScan", VT_BOOL, true},
        {property::ScanParmFinalLocation, L"ScanParmFinalLocation", VT_BSTR, true},
        {property::ScanParmUnsharpMask, L"ScanParmUnsharpMask", VT_BOOL, true},
        {property::ScanParmIntraOralResolution, L"ScanParmIntraOralResolution", VT_I2, true},
        {property::ScanParmExtraOralResolution, L"ScanParmExtraOralResolution", VT_I2, true},
        {property::ControlState, L"ControlState", VT_I2, false},
        {property::Enabled, L"Enabled", VT_BOOL, true},
    }};
    return properties;
}

const PropertyInfo* FindProperty(DISPID id)
{
    for (const auto& info : AllProperties())
        if (info.id == id) return &info;
    return nullptr;
}

const PropertyInfo* FindProperty(std::wstring_view name)
{
    for (const auto& info : AllProperties())
        if (SameName(info.name, name)) return &info;
    return nullptr;
}

PropertyStore::PropertyStore()
{
    for (size_t i = 0; i < kPropertyCount; ++i) {
        VARIANT& value = *values_[i].get();
        value.vt = AllProperties()[i].type;
        if (value.vt == VT_BSTR) value.bstrVal = SysAllocString(L"");
    }
    SetShort(property::ScanParmIntraOralResolution, 300);
    SetShort(property::ScanParmExtraOralResolution, 150);
}

const VARIANT& PropertyStore::Slot(DISPID id) const
{
    const auto& all = AllProperties();
    for (size_t i = 0; i < kPropertyCount; ++i)
        if (all[i].id == id) return *values_[i].get();
    throw std::out_of_range("no such property");
}

VARIANT& PropertyStore::Slot(DISPID id)
{
    return const_cast<VARIANT&>(static_cast<const PropertyStore&>(*this).Slot(id));
}

HRESULT PropertyStore::Get(DISPID id, VARIANT* result) const
{
    if (!FindProperty(id)) return DISP_E_MEMBERNOTFOUND;
    // Some SDKs declare the source without const; it is only read.
    return VariantCopy(result, const_cast<VARIANT*>(&Slot(id)));
}

HRESULT PropertyStore::Put(DISPID id, const VARIANT& value)
{
    const PropertyInfo* info = FindProperty(id);
    if (!info) return DISP_E_MEMBERNOTFOUND;
    win::UniqueVariant coerced;
    // VariantChangeType follows a by-reference source by itself.
    const HRESULT hr = VariantChangeType(coerced.get(), const_cast<VARIANT*>(&value), 0, info->type);
    if (FAILED(hr)) return hr;
    VARIANT& slot = Slot(id);
    VariantClear(&slot);
    slot = *coerced.get();
    coerced.get()->vt = VT_EMPTY;  // the slot owns the value now
    return S_OK;
}

bool PropertyStore::Bool(DISPID id) const
{
    return Slot(id).boolVal != VARIANT_FALSE;
}

short PropertyStore::Short(DISPID id) const
{
    return Slot(id).iVal;
}

std::wstring PropertyStore::Text(DISPID id) const
{
    const BSTR text = Slot(id).bstrVal;
    return text ? std::wstring(text, SysStringLen(text)) : std::wstring();
}

void PropertyStore::SetBool(DISPID id, bool value)
{
    Slot(id).boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
}

void PropertyStore::SetShort(DISPID id, short value)
{
    Slot(id).iVal = value;
}

std::string PropertyStore::ForLog(DISPID id) const
{
    return FormatForLog(Slot(id));
}

}  // namespace sim
