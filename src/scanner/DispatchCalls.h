#pragma once
// Property access on an automation object by DISPID, and the conversions the
// bridge relies on: 16-bit booleans where any nonzero value is true, 16-bit
// numbers taken from the low 16 bits, strings in the ANSI code page.
#include <windows.h>
#include <oaidl.h>

#include <string>
#include <string_view>

#include "win/UniqueResource.h"

namespace scanner::dispatch {

// Each call throws win::Error on failure: the object's own description when
// it raised an exception, else the system's text for the HRESULT.
void GetProperty(IDispatch* object, DISPID id, win::UniqueVariant& result);
void PutProperty(IDispatch* object, DISPID id, const VARIANT& value);

bool GetBool(IDispatch* object, DISPID id);
short GetShort(IDispatch* object, DISPID id);
void PutBool(IDispatch* object, DISPID id, bool value);
void PutShort(IDispatch* object, DISPID id, short value);
void PutString(IDispatch* object, DISPID id, std::string_view value);

// The conversions on their own, for a value already read.
bool BoolFromVariant(const VARIANT& value);
short ShortFromVariant(const VARIANT& value);

// The operator-facing text for a failed Invoke; frees the EXCEPINFO strings.
std::string InvokeFailureMessage(HRESULT hr, EXCEPINFO& info);

}  // namespace scanner::dispatch
