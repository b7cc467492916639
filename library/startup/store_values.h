// Values of the stores of disabled entries, as the enable and disable actions write and
// read them.
#pragma once
#include <windows.h>

#include <ctime>
#include <initializer_list>

#include "framework/framework.h"

// Writes "DAY", "HOUR", "MINUTE", "MONTH", "SECOND" and "YEAR" (REG_DWORD, local time of
// tNow) in this order; false at the first failed write.
bool WriteStoreTimestamp(HKEY hKey, time_t tNow);
// The current time in whole seconds since 1970.
time_t StoreTimestampNow();

// A string value (REG_SZ unless told), its terminating null counted in the byte length.
bool WriteStringValue(HKEY hKey, LPCWSTR pszName, LPCWSTR pszData, DWORD dwType = REG_SZ);

// One value of a store entry: a REG_SZ text, or a REG_DWORD where pszText is nullptr.
struct StoreValue {
    LPCWSTR pszName;
    LPCWSTR pszText;
    DWORD dwData;
};

// Creates the store entry strEntryPath under HKLM and writes the time fields of tNow, then
// the values in their order; false at the first failure. An entry already there is
// written over only when each of these values is absent from it or holds the same data
// (a copy of this entry, or one whose writing stopped halfway): an entry of another item
// or command would be lost for good, so nothing is written then; nor when a text is
// longer than a store entry's values are read back (259 characters).
bool WriteStoreEntry(const CString& strEntryPath, time_t tNow, std::initializer_list<StoreValue> values);

// A path with every backslash replaced by "^": the name of a "startupfolder" subkey.
CString PathToStoreKeyName(const CString& strPath);

// The key path of the store entry strName under the store key pszStore; false when the
// name is empty (the path would name the store itself) or there is no memory for it.
bool StoreEntryPath(LPCWSTR pszStore, const CString& strName, CString& strPath);
