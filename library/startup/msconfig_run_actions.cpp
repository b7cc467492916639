// The MSConfig "startupreg" store: a disabled Run value is copied into a subkey named
// after it and deleted from its Run key; enabling writes it back and drops the subkey.
#include "startup/actions.h"

#include "frame/module_objects.h"
#include "startup/environment.h"
#include "startup/locations.h"
#include "startup/registry_text.h"
#include "startup/store_values.h"
#include "win32/raii.h"

namespace {
struct RunStorePair {
    int nEnabledSource;
    int nDisabledSource;
};
constexpr RunStorePair kRunStorePairs[] = {
    {SI_RUN_HKCU, SI_MSCONFIG_RUN_HKCU},
    {SI_RUN_HKLM, SI_MSCONFIG_RUN_HKLM},
    {SI_RUN_HKLM32, SI_MSCONFIG_RUN_HKLM32},
};

// A subkey of the store can only hold an entry whose name is a single key name.
bool IsStorableName(const CString& strName)
{
    return !strName.IsEmpty() && strName.Find(L'\\') < 0;
}

bool OpenRunKey(int nEnabledSource, win32::UniqueKey& key)
{
    const RunLocation* pLocation = FindRunLocation(nEnabledSource);
    return pLocation &&
           RegOpenKeyExW(pLocation->hRoot, kRunKey, 0, KEY_ALL_ACCESS | pLocation->samView, key.put()) == ERROR_SUCCESS;
}

// "key" of a stored entry: a local-machine entry of the 64-bit view names Wow6432Node on
// 64-bit Windows, which is how the listing tells it from one of the 32-bit view.
LPCWSTR StoredRunKeyPath(int nDisabledSource)
{
    return nDisabledSource == SI_MSCONFIG_RUN_HKLM && IsWow64() ? kMsconfigRunKeyWow64 : kMsconfigRunKey;
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

void EnableMsconfigRun(int flag)
{
    STARTUPACTIONRECORD& record = theApp.m_actionRecord;
    const RunStorePair* pPair = nullptr;
    for (const RunStorePair& pair : kRunStorePairs)
        if (pair.nDisabledSource == record.nSource)
            pPair = &pair;
    if (!pPair || !IsStorableName(record.strName))
        return;
    {
        win32::UniqueKey runKey;
        if (!OpenRunKey(pPair->nEnabledSource, runKey))
            return;
        // A value of that name that was added meanwhile is kept, and so is the stored copy.
        if (RunValueWouldChange(runKey.get(), record.strName, record.strCommand))
            return;
        if (!WriteStringValue(runKey.get(), record.strName, record.strCommand))
            return;
    }
    record.nEnabled = flag;
    record.nSource = pPair->nEnabledSource;
    win32::UniqueKey store;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kMsconfigStartupReg, 0, kMsconfigAccess, store.put()) == ERROR_SUCCESS)
        RegDeleteKeyW(store.get(), record.strName);
}

void DisableMsconfigRun()
{
    STARTUPACTIONRECORD& record = theApp.m_actionRecord;
    const RunStorePair* pPair = nullptr;
    for (const RunStorePair& pair : kRunStorePairs)
        if (pair.nEnabledSource == record.nSource)
            pPair = &pair;
    if (!pPair || !IsStorableName(record.strName))
        return;
    // A value deleted or changed since the listing (by the user, an uninstaller, another
    // tool) is left as it is: storing the listed command would bring back what was
    // removed, or lose what was written meanwhile. Nothing is stored and the record stays.
    win32::UniqueKey runKey;
    if (!OpenRunKey(pPair->nEnabledSource, runKey) || !ValueHoldsText(runKey.get(), record.strName, record.strCommand))
        return;
    const time_t tNow = StoreTimestampNow();
    LPCWSTR pszHive = pPair->nDisabledSource == SI_MSCONFIG_RUN_HKCU ? L"HKCU" : L"HKLM";
    LPCWSTR pszRunKeyPath = StoredRunKeyPath(pPair->nDisabledSource);
    {
        CString strSubkey;
        if (!strSubkey.Format(L"%s\\%s", kMsconfigStartupReg, record.strName.GetString()))
            return;
        win32::UniqueKey entry;
        DWORD dwDisposition = 0;
        if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, strSubkey, 0, nullptr, 0, kMsconfigAccess, nullptr, entry.put(),
                            &dwDisposition) != ERROR_SUCCESS)
            return;
        // An earlier disabled entry of the same name (another Run key's, or another
        // command) is not overwritten: it would be lost for good.
        if (dwDisposition == REG_OPENED_EXISTING_KEY &&
            !(ValueIsAbsentOrEqual(entry.get(), L"command", record.strCommand) &&
              ValueIsAbsentOrEqual(entry.get(), L"hkey", pszHive) && ValueIsAbsentOrEqual(entry.get(), L"key", pszRunKeyPath)))
            return;
        // The Run value is deleted only once its copy is complete.
        if (!(WriteStoreTimestamp(entry.get(), tNow) && WriteStringValue(entry.get(), L"command", record.strCommand) &&
              WriteStringValue(entry.get(), L"hkey", pszHive) && WriteStringValue(entry.get(), L"inimapping", L"0") &&
              WriteStringValue(entry.get(), L"item", record.strName) && WriteStringValue(entry.get(), L"key", pszRunKeyPath)))
            return;
    }
    const LONG status = RegDeleteValueW(runKey.get(), record.strName);
    if (status != ERROR_SUCCESS && status != ERROR_FILE_NOT_FOUND)
        return;  // still active where it was
    record.nEnabled = 0;
    record.nSource = pPair->nDisabledSource;
}
