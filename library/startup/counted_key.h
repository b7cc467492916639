// Opening a startup key for reading its values or subkeys.
#pragma once
#include <windows.h>

#include <cstring>

#include "win32/raii.h"

// Opens pszPath under hRoot with full access (creating it when missing) and reads how
// many values and subkeys it holds; false, with key closed, when either step fails.
bool CreateCountedKey(HKEY hRoot, LPCWSTR pszPath, REGSAM samAccess, win32::UniqueKey& key, DWORD& nValues,
                      DWORD& nSubkeys);

// Opens the key as CreateCountedKey does and calls onIndex(hKey, i) for every index of its
// values, or of its subkeys, counted once before the first.
enum class KeyEntries { Values, Subkeys };
template <class OnIndex>
void ForEachKeyIndex(HKEY hRoot, LPCWSTR pszPath, REGSAM samAccess, KeyEntries entries, OnIndex onIndex)
{
    win32::UniqueKey key;
    DWORD nValues = 0, nSubkeys = 0;
    if (!CreateCountedKey(hRoot, pszPath, samAccess, key, nValues, nSubkeys))
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
void ReadKeyValues(HKEY hRoot, LPCWSTR pszPath, REGSAM samAccess, BYTE* pbData, DWORD cbData, OnValue onValue)
{
    ForEachKeyIndex(hRoot, pszPath, samAccess, KeyEntries::Values, [&](HKEY hKey, DWORD i) {
        EnumeratedName<kValueNameChars> name;
        DWORD cbRead = cbData;
        DWORD dwType = 0;
        std::memset(pbData, 0, cbData);
        if (RegEnumValueW(hKey, i, name.sz, &name.cch, nullptr, &dwType, pbData, &cbRead) == ERROR_SUCCESS)
            onValue(name.Terminated(), dwType, cbRead);
    });
}
