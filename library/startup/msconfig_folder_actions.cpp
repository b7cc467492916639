// The MSConfig "startupfolder" store: a disabled shortcut is recorded in a subkey named
// after its full path and moved into the backup folder; enabling moves it back.
#include "startup/actions.h"

#include <shlobj.h>

#include <cwchar>

#include "frame/module_objects.h"
#include "startup/locations.h"
#include "startup/registry_text.h"
#include "startup/store_values.h"
#include "win32/raii.h"

namespace {
struct FolderStorePair {
    int nEnabledSource;
    int nDisabledSource;
    int nFolder;             // CSIDL of the Startup folder
    LPCWSTR pszBackupName;   // last part of the backup file's name
};
constexpr FolderStorePair kFolderStorePairs[] = {
    {SI_FOLDER_USER, SI_MSCONFIG_FOLDER_USER, CSIDL_STARTUP, L"Startup"},
    {SI_FOLDER_COMMON, SI_MSCONFIG_FOLDER_COMMON, CSIDL_COMMON_STARTUP, L"CommonStartup"},
};

bool GetStartupFolder(int nFolder, CString& strFolder)
{
    wchar_t szFolder[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathW(nullptr, nFolder, nullptr, SHGFP_TYPE_CURRENT, szFolder)))
        return false;
    strFolder = szFolder;
    return true;
}

// The shortcut of the folder whose title (name without its last extension) is exactly
// strTitle, case included. Looked up by its own name rather than by listing the folder,
// so the cost does not grow with the other shortcuts there. The file system matches
// names ignoring case; the name it reports is then compared as the title rule demands.
bool FindShortcut(const CString& strFolder, const CString& strTitle, CString& strFileName)
{
    // Titles compare up to their first null, as the framework's strings do. No file name
    // holds a wildcard, a path separator or another reserved character: such a title
    // names no shortcut, and must not be read as a pattern or a path elsewhere.
    const CString strLookup(strTitle.GetString());
    for (int i = 0; i < strLookup.GetLength(); ++i)
        if (strLookup[i] < L' ' || wcschr(L"*?<>\"|:\\/", strLookup[i]))
            return false;
    WIN32_FIND_DATAW found;
    win32::UniqueFind search(FindFirstFileW(strFolder + L"\\" + strLookup + L".lnk", &found));
    if (!search || (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return false;
    CString strName = found.cFileName;
    const int nDot = strName.ReverseFind(L'.');
    if ((nDot < 0 ? strName : strName.Left(nDot)) != strTitle)
        return false;
    strFileName = strName;
    return true;
}

// The store entry's key path; empty when there is no memory for it (callers check, since
// an empty path would name the machine's root key).
CString StoreSubkeyPath(const CString& strSubkey)
{
    CString strPath;
    if (!strSubkey.IsEmpty())
        strPath.Format(L"%s\\%s", kMsconfigStartupFolder, strSubkey.GetString());
    return strPath;
}
}  // namespace

void EnableMsconfigFolder(int flag)
{
    STARTUPACTIONRECORD& record = theApp.m_actionRecord;
    const FolderStorePair* pPair = nullptr;
    for (const FolderStorePair& pair : kFolderStorePairs)
        if (pair.nDisabledSource == record.nSource)
            pPair = &pair;
    CString strFolder;
    if (!pPair || !GetStartupFolder(pPair->nFolder, strFolder))
        return;
    CString strSubkey;
    if (!strSubkey.Format(L"%s^%s.lnk", PathToStoreKeyName(strFolder).GetString(), record.strName.GetString()))
        return;
    CString strBackup, strPath;
    {
        win32::UniqueKey entry;
        if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, StoreSubkeyPath(strSubkey), 0, kMsconfigAccess, entry.put()) != ERROR_SUCCESS)
            return;
        if (!QueryRegistryText(entry.get(), L"backup", strBackup) || !QueryRegistryText(entry.get(), L"path", strPath))
            return;
    }
    // MoveFileW never replaces an existing file: an occupied target keeps the backup and
    // its store entry.
    if (!MoveFileW(strBackup, strPath))
        return;
    record.nEnabled = flag;
    record.nSource = pPair->nEnabledSource;
    win32::UniqueKey store;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kMsconfigStartupFolder, 0, kMsconfigAccess, store.put()) == ERROR_SUCCESS)
        RegDeleteKeyW(store.get(), strSubkey);
}

void DisableMsconfigFolder()
{
    STARTUPACTIONRECORD& record = theApp.m_actionRecord;
    const FolderStorePair* pPair = nullptr;
    for (const FolderStorePair& pair : kFolderStorePairs)
        if (pair.nEnabledSource == record.nSource)
            pPair = &pair;
    CString strFolder, strFileName;
    if (!pPair || !GetStartupFolder(pPair->nFolder, strFolder) || !FindShortcut(strFolder, record.strName, strFileName))
        return;  // gone since the listing: nothing is written or moved
    const CString strShortcut = strFolder + L"\\" + strFileName;
    const CString strTitle = record.strName;
    CString strBackup, strExtension;
    const CString strEntryPath = StoreSubkeyPath(PathToStoreKeyName(strShortcut));
    if (strEntryPath.IsEmpty() || !strBackup.Format(L"%s\\%s.lnk.%s", kShortcutBackupFolder, strTitle.GetString(), pPair->pszBackupName) ||
        !strExtension.Format(L".%s", pPair->pszBackupName))
        return;  // no memory for the texts: nothing is written or moved
    const time_t tNow = StoreTimestampNow();
    {
        win32::UniqueKey entry;
        if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, strEntryPath, 0, nullptr, 0, kMsconfigAccess, nullptr, entry.put(), nullptr) !=
            ERROR_SUCCESS)
            return;
        if (!(WriteStoreTimestamp(entry.get(), tNow) && WriteStringValue(entry.get(), L"backup", strBackup) &&
              WriteStringValue(entry.get(), L"backupExtension", strExtension) &&
              WriteStringValue(entry.get(), L"command", record.strCommand) &&
              WriteStringValue(entry.get(), L"item", strTitle) &&
              WriteStringValue(entry.get(), L"location", strShortcut.Left(strShortcut.ReverseFind(L'\\'))) &&
              WriteStringValue(entry.get(), L"path", strShortcut)))
            return;  // the shortcut stays active
    }
    // A fresh Windows has no backup folder; without it the move would fail and leave the
    // shortcut active behind a store entry.
    CreateDirectoryW(kShortcutBackupFolder, nullptr);
    // MoveFileW never replaces: a file of the backup's name already there is kept, and
    // so is the shortcut.
    if (!MoveFileW(strShortcut, strBackup))
        return;
    record.nEnabled = 0;
    record.nSource = pPair->nDisabledSource;
}
