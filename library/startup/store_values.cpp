#include <cwchar>

#include "startup/registry_text.h"
#include "startup/startup_sources.h"
#include "startup/store_values.h"
#include "win32/raii.h"

namespace {
bool ValueIsAbsentOrEqual(HKEY hKey, const StoreValue& value)
{
    if (RegQueryValueExW(hKey, value.pszName, nullptr, nullptr, nullptr, nullptr) == ERROR_FILE_NOT_FOUND)
        return true;
    if (value.pszText) {
        CString strStored;
        return QueryRegistryText(hKey, value.pszName, strStored) && strStored == value.pszText;
    }
    DWORD dwType = 0, dwStored = 0, cbData = sizeof(dwStored);
    return RegQueryValueExW(hKey, value.pszName, nullptr, &dwType, reinterpret_cast<BYTE*>(&dwStored), &cbData) ==
               ERROR_SUCCESS &&
           dwType == REG_DWORD && cbData == sizeof(dwStored) && dwStored == value.dwData;
}

bool WriteStoreValue(HKEY hKey, const StoreValue& value)
{
    if (value.pszText)
        return WriteStringValue(hKey, value.pszName, value.pszText);
    return RegSetValueExW(hKey, value.pszName, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value.dwData),
                          sizeof(value.dwData)) == ERROR_SUCCESS;
}
}  // namespace

bool WriteStringValue(HKEY hKey, LPCWSTR pszName, LPCWSTR pszData, DWORD dwType)
{
    const DWORD cbData = static_cast<DWORD>((wcslen(pszData) + 1) * sizeof(wchar_t));
    return RegSetValueExW(hKey, pszName, 0, dwType, reinterpret_cast<const BYTE*>(pszData), cbData) == ERROR_SUCCESS;
}

bool WriteStoreEntry(const CString& strEntryPath, time_t tNow, std::initializer_list<StoreValue> values)
{
    // Every text must read back, or the entry could never be restored.
    for (const StoreValue& value : values)
        if (value.pszText && wcslen(value.pszText) >= kRegistryTextChars)
            return false;
    win32::UniqueKey entry;
    DWORD dwDisposition = 0;
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, strEntryPath, 0, nullptr, 0, kMsconfigAccess, nullptr, entry.put(),
                        &dwDisposition) != ERROR_SUCCESS)
        return false;
    if (dwDisposition == REG_OPENED_EXISTING_KEY)
        for (const StoreValue& value : values)
            if (!ValueIsAbsentOrEqual(entry.get(), value))
                return false;
    if (!WriteStoreTimestamp(entry.get(), tNow))
        return false;
    for (const StoreValue& value : values)
        if (!WriteStoreValue(entry.get(), value))
            return false;
    return true;
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
