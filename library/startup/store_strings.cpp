#include "startup/store_values.h"

#include <cwchar>

bool WriteStringValue(HKEY hKey, LPCWSTR pszName, LPCWSTR pszData)
{
    const DWORD cbData = static_cast<DWORD>((wcslen(pszData) + 1) * sizeof(wchar_t));
    return RegSetValueExW(hKey, pszName, 0, REG_SZ, reinterpret_cast<const BYTE*>(pszData), cbData) == ERROR_SUCCESS;
}

CString PathToStoreKeyName(const CString& strPath)
{
    CString strName = strPath;
    strName.Replace(L'\\', L'^');
    return strName;
}

bool StoreEntryPath(LPCWSTR pszStore, const CString& strName, CString& strPath)
{
    return !strName.IsEmpty() && strPath.Format(L"%s\\%s", pszStore, strName.GetString());
}
