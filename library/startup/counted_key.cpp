#include "startup/counted_key.h"

bool OpenCountedKey(HKEY hRoot, LPCWSTR pszPath, REGSAM samView, win32::UniqueKey& key, DWORD& nValues, DWORD& nSubkeys)
{
    nValues = nSubkeys = 0;
    if (RegOpenKeyExW(hRoot, pszPath, 0, KEY_READ | samView, key.put()) != ERROR_SUCCESS)
        return false;
    if (RegQueryInfoKeyW(key.get(), nullptr, nullptr, nullptr, &nSubkeys, nullptr, nullptr, &nValues, nullptr, nullptr,
                         nullptr, nullptr) != ERROR_SUCCESS) {
        key.reset();
        return false;
    }
    return true;
}
