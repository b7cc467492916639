// Values of the stores of disabled entries, as the enable and disable actions write and
// read them.
#pragma once
#include <windows.h>

#include <ctime>

#include "framework/framework.h"

// Writes "DAY", "HOUR", "MINUTE", "MONTH", "SECOND" and "YEAR" (REG_DWORD, local time of
// tNow) in this order; false at the first failed write.
bool WriteStoreTimestamp(HKEY hKey, time_t tNow);
// The current time in whole seconds since 1970.
time_t StoreTimestampNow();

// A REG_SZ value, its terminating null counted in the byte length.
bool WriteStringValue(HKEY hKey, LPCWSTR pszName, LPCWSTR pszData);

// A path with every backslash replaced by "^": the name of a "startupfolder" subkey.
CString PathToStoreKeyName(const CString& strPath);

// The key path of the store entry strName under the store key pszStore; false when the
// name is empty (the path would name the store itself) or there is no memory for it.
bool StoreEntryPath(LPCWSTR pszStore, const CString& strName, CString& strPath);
