// The drive report's WMI side: the connection to "ROOT\CIMV2", its queries and the
// reading of object properties. Properties are taken only in the types WMI gives them;
// anything else reads as absent.
#pragma once
#include <wbemcli.h>

#include "framework/cstring.h"
#include "win32/raii.h"

// Makes the locator, connects to "ROOT\CIMV2" and sets the proxy blanket. On failure the
// objects made so far are released and FALSE is returned.
bool ConnectToWmi(win32::ComPtr<IWbemLocator>& locator, win32::ComPtr<IWbemServices>& services);

// Runs a WQL query with forward-only, return-immediately enumeration.
bool QueryWmi(IWbemServices* pServices, LPCWSTR pszQuery, win32::ComPtr<IEnumWbemClassObject>& enumerator);

// The next object of an enumeration (waiting as long as it takes); false when none is left.
bool NextWmiObject(IEnumWbemClassObject* pEnumerator, win32::ComPtr<IWbemClassObject>& object);

// A text property (BSTR): true when present, with str set to it.
bool ReadWmiText(IWbemClassObject* pObject, LPCWSTR pszName, CString& str);
// A 32-bit integer property: true when present, with nValue set to it.
bool ReadWmiInt(IWbemClassObject* pObject, LPCWSTR pszName, LONG& nValue);
// An array of 32-bit integers: true when present (an empty array counts), with bContains
// telling whether nValue is one of its elements.
bool WmiArrayContains(IWbemClassObject* pObject, LPCWSTR pszName, LONG nValue, bool& bContains);
