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

// How a store entry is opened: to list it (reading only), or to restore it, which also
// takes the right to delete it afterwards. A host that may not delete the entry (a
// standard user's, for the machine-wide store) cannot restore it, and so changes nothing.
enum class StoreEntryUse { List, Restore };

// Reads the "startupreg" entry of this subkey name, and when asked the type its Run value
// is restored with; false when it is missing or lacks a readable "item", "command",
// "hkey" or (for the machine's entries) "key".
bool ReadStoredRunEntry(const CString& strSubkey, StoreEntryUse use, StoredRunEntry& entry, DWORD* pdwType = nullptr);

// A disabled shortcut in the "startupfolder" store.
struct StoredShortcut {
    CString strItem;
    CString strCommand;
    CString strBackup;
    CString strPath;
};
bool ReadStoredShortcut(const CString& strSubkey, StoreEntryUse use, StoredShortcut& entry);

// Deletes the store entry of this subkey name; false when it stays.
bool DeleteStoreEntry(LPCWSTR pszStore, const CString& strSubkey);

// The names of the store's subkeys, read once in the registry's order (none when the
// store is missing); the store key is closed before the names are used.
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
