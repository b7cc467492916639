#include "startup/store_values.h"

#include <cwchar>

namespace {
constexpr DWORD kStoreStringLength = 520;  // bytes, terminator included
}

bool WriteStringValue(HKEY hKey, LPCWSTR pszName, LPCWSTR pszData)
{
    const DWORD cbData = static_cast<DWORD>((wcslen(pszData) + 1) * sizeof(wchar_t));
    return RegSetValueExW(hKey, pszName, 0, REG_SZ, reinterpret_cast<const BYTE*>(pszData), cbData) == ERROR_SUCCESS;
}

bool ReadStringValue(HKEY hKey, LPCWSTR pszName, CString& strData)
{
    // One spare character so that a value stored without its terminator still ends.
    wchar_t szData[kStoreStringLength / sizeof(wchar_t) + 1] = {};
    DWORD dwType = 0;
    DWORD cbData = kStoreStringLength;
    if (RegQueryValueExW(hKey, pszName, nullptr, &dwType, reinterpret_cast<BYTE*>(szData), &cbData) != ERROR_SUCCESS ||
        dwType != REG_SZ)
        return false;
    szData[cbData / sizeof(wchar_t)] = L'\0';
    strData = szData;
    return true;
}

CString PathToStoreKeyName(const CString& strPath)
{
    CString strName = strPath;
    strName.Replace(L'\\', L'^');
    return strName;
}
