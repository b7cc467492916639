// The MSConfig "startupreg" store: a disabled Run value is copied into a subkey named
// after it and deleted from its Run key; enabling writes it back and drops the subkey.
#include "startup/actions.h"

#include "frame/app.h"
#include "startup/registry_text.h"
#include "startup/startup_sources.h"
#include "startup/store_entries.h"
#include "startup/store_values.h"
#include "win32/raii.h"

namespace {
// A subkey of the store can only hold an entry whose name is a single key name.
bool IsStorableName(const CString& strName)
{
    return !strName.IsEmpty() && strName.Find(L'\\') < 0;
}

// The Run key of the source, to read, write and delete its values. A value is disabled
// only from a key that holds it; enabling creates the key where it is missing (the
// listing creates nothing, and a user's Run key may not exist yet).
constexpr REGSAM kRunValueAccess = KEY_QUERY_VALUE | KEY_SET_VALUE;
bool OpenRunKey(const StartupSource& source, win32::UniqueKey& key)
{
    return RegOpenKeyExW(source.hRoot, source.pszRunKey, 0, kRunValueAccess | source.samRunView, key.put()) == ERROR_SUCCESS;
}
bool CreateRunKey(const StartupSource& source, win32::UniqueKey& key)
{
    return RegCreateKeyExW(source.hRoot, source.pszRunKey, 0, nullptr, REG_OPTION_NON_VOLATILE, kRunValueAccess | source.samRunView,
                           nullptr, key.put(), nullptr) == ERROR_SUCCESS;
}

// True when the Run key holds no value of this name, or one that restoring would write
// exactly as it is (same text, same type).
bool RunValueIsAbsentOrSame(HKEY hRunKey, const CString& strName, const CString& strStored, DWORD dwStoredType)
{
    if (RegQueryValueExW(hRunKey, strName, nullptr, nullptr, nullptr, nullptr) == ERROR_FILE_NOT_FOUND)
        return true;
    CString strCommand;
    DWORD dwType = 0;
    return QueryRegistryText(hRunKey, strName, strCommand, &dwType) && dwType == dwStoredType && strCommand == strStored;
}
}  // namespace

bool EnableMsconfigRun(STARTUPACTIONRECORD& record, const StartupSource& source, int flag)
{
    if (!IsStorableName(record.strName))
        return false;
    // The entry that holds this very item, command and place; where no entry does, there is
    // nothing to restore, and an entry holding something else is never touched.
    StoredRunEntry stored;
    DWORD dwType = REG_SZ;
    CString strSubkey;
    const auto holdsItem = [&](const CString& strCandidate) {
        return ReadStoredRunEntry(strCandidate, StoreEntryUse::Restore, stored, &dwType) && stored.strItem == record.strName &&
               stored.strCommand == record.strCommand && stored.nSource == source.nMsconfigSource;
    };
    if (!FindStoreEntry(kMsconfigStartupReg, record.strName, holdsItem, strSubkey))
        return false;
    {
        win32::UniqueKey runKey;
        if (!CreateRunKey(source, runKey))
            return false;
        // A value of that name that was added meanwhile is kept, and so is the stored copy.
        if (!RunValueIsAbsentOrSame(runKey.get(), record.strName, stored.strCommand, dwType))
            return false;
        if (!WriteStringValue(runKey.get(), record.strName, stored.strCommand, dwType))
            return false;
    }
    record.nEnabled = flag;
    record.nSource = source.nSource;
    DeleteStoreEntry(kMsconfigStartupReg, strSubkey);
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
    CString strCommand;
    DWORD dwType = 0;
    if (!OpenRunKey(source, runKey) || !QueryRegistryText(runKey.get(), record.strName, strCommand, &dwType) ||
        strCommand != record.strCommand)
        return false;
    CString strEntryPath;
    if (!StoreEntryPath(kMsconfigStartupReg, record.strName, strEntryPath))
        return false;
    // The Run value is deleted only once its copy, type included, is complete.
    if (!WriteStoreEntry(strEntryPath, StoreTimestampNow(),
                         {{L"command", record.strCommand, 0},
                          {L"hkey", source.pszStoreHive, 0},
                          {L"inimapping", L"0", 0},
                          {L"item", record.strName, 0},
                          {L"key", StoreRunKeyPath(source), 0},
                          {kStoreCommandType, nullptr, dwType}}))
        return false;
    const LONG status = RegDeleteValueW(runKey.get(), record.strName);
    if (status != ERROR_SUCCESS && status != ERROR_FILE_NOT_FOUND)
        return false;  // still active where it was
    record.nEnabled = 0;
    record.nSource = source.nMsconfigSource;
    return true;
}
