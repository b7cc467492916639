// The MSConfig "startupreg" store: a disabled Run value is copied into a subkey named
// after it and deleted from its Run key; enabling writes it back and drops the subkey.
#include "startup/actions.h"

#include "frame/app.h"
#include "startup/registry_text.h"
#include "startup/startup_sources.h"
#include "startup/store_values.h"
#include "win32/raii.h"

namespace {
// A subkey of the store can only hold an entry whose name is a single key name.
bool IsStorableName(const CString& strName)
{
    return !strName.IsEmpty() && strName.Find(L'\\') < 0;
}

bool OpenRunKey(const StartupSource& source, win32::UniqueKey& key)
{
    return RegOpenKeyExW(source.hRoot, source.pszRunKey, 0, KEY_ALL_ACCESS | source.samRunView, key.put()) == ERROR_SUCCESS;
}

bool ValueExists(HKEY hKey, LPCWSTR pszName)
{
    return RegQueryValueExW(hKey, pszName, nullptr, nullptr, nullptr, nullptr) != ERROR_FILE_NOT_FOUND;
}

// True when the value is a string value that reads exactly as this text.
bool ValueHoldsText(HKEY hKey, LPCWSTR pszName, LPCWSTR pszText)
{
    CString strStored;
    return QueryRegistryText(hKey, pszName, strStored) && strStored == pszText;
}

// True when the value is absent, or holds exactly this text.
bool ValueIsAbsentOrEqual(HKEY hKey, LPCWSTR pszName, LPCWSTR pszText)
{
    return !ValueExists(hKey, pszName) || ValueHoldsText(hKey, pszName, pszText);
}

// True when restoring over the Run key's value of this name would change it.
bool RunValueWouldChange(HKEY hRunKey, const CString& strName, const CString& strCommand)
{
    DWORD dwType = 0;
    DWORD cbData = 0;
    LONG status = RegQueryValueExW(hRunKey, strName, nullptr, &dwType, nullptr, &cbData);
    if (status == ERROR_FILE_NOT_FOUND)
        return false;
    if (status != ERROR_SUCCESS || dwType != REG_SZ)
        return true;
    const int nLength = static_cast<int>(cbData / sizeof(wchar_t));
    CString strStored;
    LPWSTR pszBuffer = strStored.GetBuffer(nLength + 1);
    if (!pszBuffer)
        return true;  // cannot compare: take it as another program's value
    status = RegQueryValueExW(hRunKey, strName, nullptr, &dwType, reinterpret_cast<BYTE*>(pszBuffer), &cbData);
    pszBuffer[status == ERROR_SUCCESS ? cbData / sizeof(wchar_t) : 0] = L'\0';
    strStored.ReleaseBuffer();
    return status != ERROR_SUCCESS || strStored != strCommand;
}
}  // namespace

bool EnableMsconfigRun(STARTUPACTIONRECORD& record, const StartupSource& source, int flag)
{
    if (!IsStorableName(record.strName))
        return false;
    {
        win32::UniqueKey runKey;
        if (!OpenRunKey(source, runKey))
            return false;
        // A value of that name that was added meanwhile is kept, and so is the stored copy.
        if (RunValueWouldChange(runKey.get(), record.strName, record.strCommand))
            return false;
        if (!WriteStringValue(runKey.get(), record.strName, record.strCommand))
            return false;
    }
    record.nEnabled = flag;
    record.nSource = source.nSource;
    win32::UniqueKey store;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kMsconfigStartupReg, 0, kMsconfigAccess, store.put()) == ERROR_SUCCESS)
        RegDeleteKeyW(store.get(), record.strName);
    return true;
}

bool DisableMsconfigRun(STARTUPACTIONRECORD& record, const StartupSource& source)
{
    if (!IsStorableName(record.strName))
        return false;
    // A value deleted or changed since the listing (by the user, an uninstaller, another
    // tool) is left as it is: storing the listed command would bring back what was
    // removed, or lose what was written meanwhile. Nothing is stored and the record stays.
    win32::UniqueKey runKey;
    if (!OpenRunKey(source, runKey) || !ValueHoldsText(runKey.get(), record.strName, record.strCommand))
        return false;
    const time_t tNow = StoreTimestampNow();
    LPCWSTR pszHive = source.pszStoreHive;
    LPCWSTR pszRunKeyPath = StoreRunKeyPath(source);
    {
        CString strSubkey;
        if (!StoreEntryPath(kMsconfigStartupReg, record.strName, strSubkey))
            return false;
        win32::UniqueKey entry;
        DWORD dwDisposition = 0;
        if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, strSubkey, 0, nullptr, 0, kMsconfigAccess, nullptr, entry.put(),
                            &dwDisposition) != ERROR_SUCCESS)
            return false;
        // An earlier disabled entry of the same name (another Run key's, or another
        // command) is not overwritten: it would be lost for good.
        if (dwDisposition == REG_OPENED_EXISTING_KEY &&
            !(ValueIsAbsentOrEqual(entry.get(), L"command", record.strCommand) &&
              ValueIsAbsentOrEqual(entry.get(), L"hkey", pszHive) && ValueIsAbsentOrEqual(entry.get(), L"key", pszRunKeyPath)))
            return false;
        // The Run value is deleted only once its copy is complete.
        if (!(WriteStoreTimestamp(entry.get(), tNow) && WriteStringValue(entry.get(), L"command", record.strCommand) &&
              WriteStringValue(entry.get(), L"hkey", pszHive) && WriteStringValue(entry.get(), L"inimapping", L"0") &&
              WriteStringValue(entry.get(), L"item", record.strName) && WriteStringValue(entry.get(), L"key", pszRunKeyPath)))
            return false;
    }
    const LONG status = RegDeleteValueW(runKey.get(), record.strName);
    if (status != ERROR_SUCCESS && status != ERROR_FILE_NOT_FOUND)
        return false;  // still active where it was
    record.nEnabled = 0;
    record.nSource = source.nMsconfigSource;
    return true;
}
