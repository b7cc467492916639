// The MSConfig "startupfolder" store: a disabled shortcut is recorded in a subkey named
// after its full path and moved into the backup folder; enabling moves it back.
#include "startup/actions.h"

#include <cwchar>

#include "frame/app.h"
#include "startup/registry_text.h"
#include "startup/startup_folder.h"
#include "startup/startup_sources.h"
#include "startup/store_entries.h"
#include "startup/store_values.h"
#include "win32/raii.h"

namespace {
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
    if (ShortcutTitle(strName) != strTitle)
        return false;
    strFileName = strName;
    return true;
}
}  // namespace

bool EnableMsconfigFolder(STARTUPACTIONRECORD& record, const StartupSource& source, int flag)
{
    CString strFolder, strShortcut;
    if (!GetStartupFolderPath(source, strFolder) ||
        !strShortcut.Format(L"%s\\%s.lnk", strFolder.GetString(), record.strName.GetString()))
        return false;
    // The entry of this very shortcut: its title, target and place in this Startup folder.
    // An entry of another shortcut is never moved back or deleted in its stead.
    StoredShortcut stored;
    CString strSubkey;
    const auto holdsShortcut = [&](const CString& strCandidate) {
        return ReadStoredShortcut(strCandidate, StoreEntryUse::Restore, stored) && stored.strItem == record.strName &&
               stored.strCommand == record.strCommand && stored.strPath.CompareNoCase(strShortcut) == 0;
    };
    if (!FindStoreEntry(kMsconfigStartupFolder, PathToStoreKeyName(strShortcut), holdsShortcut, strSubkey))
        return false;
    // MoveFileW never replaces an existing file: an occupied target keeps the backup and
    // its store entry.
    if (!MoveFileW(stored.strBackup, stored.strPath))
        return false;
    record.nEnabled = flag;
    record.nSource = source.nSource;
    DeleteStoreEntry(kMsconfigStartupFolder, strSubkey);
    return true;
}

bool DisableMsconfigFolder(STARTUPACTIONRECORD& record, const StartupSource& source)
{
    CString strFolder, strFileName;
    if (!GetStartupFolderPath(source, strFolder) || !FindShortcut(strFolder, record.strName, strFileName))
        return false;  // gone since the listing: nothing is written or moved
    const CString strShortcut = strFolder + L"\\" + strFileName;
    const CString strTitle = record.strName;
    CString strBackup, strExtension, strEntryPath;
    if (!StoreEntryPath(kMsconfigStartupFolder, PathToStoreKeyName(strShortcut), strEntryPath) ||
        !strBackup.Format(L"%s\\%s.lnk.%s", kShortcutBackupFolder, strTitle.GetString(), source.pszBackupName) ||
        !strExtension.Format(L".%s", source.pszBackupName))
        return false;  // no memory for the texts: nothing is written or moved
    // A file of the backup's name already there belongs to something else: the entry would
    // point at it, so nothing is written and the shortcut stays.
    if (GetFileAttributesW(strBackup) != INVALID_FILE_ATTRIBUTES)
        return false;
    if (!WriteStoreEntry(strEntryPath, StoreTimestampNow(),
                         {{L"backup", strBackup, 0},
                          {L"backupExtension", strExtension, 0},
                          {L"command", record.strCommand, 0},
                          {L"item", strTitle, 0},
                          {L"location", strShortcut.Left(strShortcut.ReverseFind(L'\\')), 0},
                          {L"path", strShortcut, 0}}))
        return false;  // the shortcut stays active
    // A fresh Windows has no backup folder; without it the move would fail and leave the
    // shortcut active behind a store entry.
    CreateDirectoryW(kShortcutBackupFolder, nullptr);
    // MoveFileW never replaces: a file of the backup's name already there is kept, and
    // so is the shortcut.
    if (!MoveFileW(strShortcut, strBackup))
        return false;
    record.nEnabled = 0;
    record.nSource = source.nMsconfigSource;
    return true;
}
