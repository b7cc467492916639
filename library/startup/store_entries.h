// Entries of the MSConfig stores as the listing and the enable actions read them, and the
// lookup of the entry that holds one item.
#pragma once
#include <windows.h>

#include "framework/framework.h"
#include "win32/raii.h"

// A disabled Run value in the "startupreg" store.
struct StoredRunEntry {
    CString strItem;
    CString strCommand;
    int nSource = 0;  // SI_MSCONFIG_RUN_*: where it is restored to
};
// The type of the Run value, kept beside its command (REG_DWORD 1 or 2): environment
// references in a command expand only in a REG_EXPAND_SZ value.
constexpr const wchar_t* kStoreCommandType = L"commandType";

// Reads the "startupreg" entry of this subkey name, and when asked the type its Run value
// is restored with; false when it is missing or lacks a readable "item", "command",
// "hkey" or (for the machine's entries) "key".
bool ReadStoredRunEntry(const CString& strSubkey, StoredRunEntry& entry, DWORD* pdwType = nullptr);

// A disabled shortcut in the "startupfolder" store.
struct StoredShortcut {
    CString strItem;
    CString strCommand;
    CString strBackup;
    CString strPath;
};
bool ReadStoredShortcut(const CString& strSubkey, StoredShortcut& entry);

// The names of the store's subkeys, read once in the registry's order; the store key is
// created when missing and closed before the names are used.
void CollectStoreSubkeyNames(LPCWSTR pszStore, CStringArray& astrNames);

// The subkey of the store whose entry holds(name) accepts: strPreferred, the name an
// entry is written under, first; then every other one, since other tools, earlier
// versions and hand edits name entries as they like. False when none does.
template <class Holds>
bool FindStoreEntry(LPCWSTR pszStore, const CString& strPreferred, Holds holds, CString& strSubkey)
{
    if (holds(strPreferred)) {
        strSubkey = strPreferred;
        return true;
    }
    {
        win32::UniqueKey store;
        if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, pszStore, 0, KEY_READ | KEY_WOW64_64KEY, store.put()) != ERROR_SUCCESS)
            return false;  // no store: nothing to find, and nothing is created
    }
    CStringArray astrNames;
    CollectStoreSubkeyNames(pszStore, astrNames);
    for (int i = 0; i < astrNames.GetSize(); ++i) {
        // Key names ignore case: the preferred one was read already.
        if (astrNames[i].CompareNoCase(strPreferred) != 0 && holds(astrNames[i])) {
            strSubkey = astrNames[i];
            return true;
        }
    }
    return false;
}
