#include "startup/counted_key.h"

bool CreateCountedKey(HKEY hRoot, LPCWSTR pszPath, REGSAM samAccess, win32::UniqueKey& key, DWORD& nValues,
                      DWORD& nSubkeys)
{
    nValues = nSubkeys = 0;
    if (RegCreateKeyExW(hRoot, pszPath, 0, nullptr, REG_OPTION_NON_VOLATILE, samAccess, nullptr, key.put(), nullptr) !=
        ERROR_SUCCESS)
        return false;
    if (RegQueryInfoKeyW(key.get(), nullptr, nullptr, nullptr, &nSubkeys, nullptr, nullptr, &nValues, nullptr, nullptr,
                         nullptr, nullptr) != ERROR_SUCCESS) {
        key.reset();
        return false;
    }
    return true;
}
