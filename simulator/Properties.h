#pragma once
// The control's eight properties: their DISPIDs, names and declared types,
// and the values last written.
#include <windows.h>
#include <oaidl.h>

#include <array>
#include <string>
#include <string_view>

#include "win/UniqueResource.h"

namespace sim {

struct PropertyInfo {
    DISPID id;
    const wchar_t* name;
    VARTYPE type;
    bool writable;
};

inline constexpr size_t kPropertyCount = 8;
const std::array<PropertyInfo, kPropertyCount>& AllProperties();
const PropertyInfo* FindProperty(DISPID id);
const PropertyInfo* FindProperty(std::wstring_view name);  // case-insensitive

class PropertyStore {
public:
    PropertyStore();

    // A copy of the value, in the declared type.
    HRESULT Get(DISPID id, VARIANT* result) const;
    // Coerces `value` to the declared type first; the coercion's failure
    // (DISP_E_TYPEMISMATCH, DISP_E_OVERFLOW) is returned unchanged.
    HRESULT Put(DISPID id, const VARIANT& value);

    bool Bool(DISPID id) const;
    short Short(DISPID id) const;
    std::wstring Text(DISPID id) const;
    void SetBool(DISPID id, bool value);
    void SetShort(DISPID id, short value);
    // The value in the log's syntax.
    std::string ForLog(DISPID id) const;

private:
    const VARIANT& Slot(DISPID id) const;
    VARIANT& Slot(DISPID id);

    std::array<win::UniqueVariant, kPropertyCount> values_;
};

}  // namespace sim
