// Opening a startup key for reading its values or subkeys.
#pragma once
#include <windows.h>

#include <cstring>

#include "win32/raii.h"

// Opens pszPath under hRoot for reading in the registry view samView (KEY_WOW64_* or 0)
// and reads how many values and subkeys it holds; false, with key closed, when either
// step fails. A missing key is not created: the listing only reads, and a host that may
// read the machine's keys but not write them (a standard user, or an administrator
// without elevation) still sees all of them.
bool OpenCountedKey(HKEY hRoot, LPCWSTR pszPath, REGSAM samView, win32::UniqueKey& key, DWORD& nValues, DWORD& nSubkeys);

// Opens the key as OpenCountedKey does and calls onIndex(hKey, i) for every index of its
// values, or of its subkeys, counted once before the first.
enum class KeyEntries { Values, Subkeys };
template <class OnIndex>
void ForEachKeyIndex(HKEY hRoot, LPCWSTR pszPath, REGSAM samView, KeyEntries entries, OnIndex onIndex)
{
    win32::UniqueKey key;
    DWORD nValues = 0, nSubkeys = 0;
    if (!OpenCountedKey(hRoot, pszPath, samView, key, nValues, nSubkeys))
        return;
    const DWORD nCount = entries == KeyEntries::Values ? nValues : nSubkeys;
    for (DWORD i = 0; i < nCount; ++i)
        onIndex(key.get(), i);
}

// A name that RegEnumValueW or RegEnumKeyExW reads: at most kChars characters with the
// terminator, and room for one terminator of our own.
template <DWORD kChars>
struct EnumeratedName {
    wchar_t sz[kChars + 1];
    DWORD cch = kChars;

    // The name, terminated after the length the call reported.
    LPCWSTR Terminated()
    {
        sz[cch < kChars ? cch : kChars] = L'\0';
        return sz;
    }
};

// Value names are read into 260 characters, terminator included.
constexpr DWORD kValueNameChars = 260;

// Reads the key's values in the registry's order, each into pbData (cbData bytes, zeroed
// first, so a shorter value leaves the rest zero), and calls onValue(pszName, dwType,
// cbRead) for it. A value that RegEnumValueW cannot read (a name of 260 characters or
// more, data larger than the buffer) is passed over.
template <class OnValue>
void ReadKeyValues(HKEY hRoot, LPCWSTR pszPath, REGSAM samView, BYTE* pbData, DWORD cbData, OnValue onValue)
{
    ForEachKeyIndex(hRoot, pszPath, samView, KeyEntries::Values, [&](HKEY hKey, DWORD i) {
        EnumeratedName<kValueNameChars> name;
        DWORD cbRead = cbData;
        DWORD dwType = 0;
        std::memset(pbData, 0, cbData);
        if (RegEnumValueW(hKey, i, name.sz, &name.cch, nullptr, &dwType, pbData, &cbRead) == ERROR_SUCCESS)
            onValue(name.Terminated(), dwType, cbRead);
    });
}
