// Where startup entries live, enabled and disabled: one row per place an enabled entry
// can live, read by the listing and by the actions alike.
#pragma once
#include <windows.h>

// The MSConfig stores of disabled entries, always under HKLM in the 64-bit view: read with
// read access alone, written with full access.
constexpr const wchar_t* kMsconfigStartupReg = L"SOFTWARE\\Microsoft\\Shared Tools\\MSConfig\\startupreg";
constexpr const wchar_t* kMsconfigStartupFolder = L"SOFTWARE\\Microsoft\\Shared Tools\\MSConfig\\startupfolder";
constexpr REGSAM kMsconfigView = KEY_WOW64_64KEY;
constexpr REGSAM kMsconfigAccess = KEY_ALL_ACCESS | kMsconfigView;

// Folder that disabled shortcuts are moved to.
constexpr const wchar_t* kShortcutBackupFolder = L"C:\\Windows\\pss";

// "hkey" of a "startupreg" entry: the current user's, or any other (the machine's).
constexpr const wchar_t* kStoreHiveUser = L"HKCU";
constexpr const wchar_t* kStoreHiveMachine = L"HKLM";

struct StartupSource {
    int nSource;          // SI_RUN_* or SI_FOLDER_*: the enabled entry
    int nMsconfigSource;  // SI_MSCONFIG_*: the entry moved into the MSConfig store
    int nApprovedSource;  // SI_APPROVED_*: the entry marked disabled where it is
    HKEY hRoot;           // the user's entries under HKCU, the machine's under HKLM

    // A Run value (pszRunKey set): its key and view, and what its "startupreg" entry says.
    LPCWSTR pszRunKey;
    REGSAM samRunView;
    LPCWSTR pszStoreHive;        // "hkey"
    bool bStoreKeyWow6432Node;   // "key" names Wow6432Node on 64-bit Windows

    // A shortcut (nFolder not negative): its Startup folder (CSIDL) and the last part of
    // its backup's name, "<title>.lnk.<name>".
    int nFolder;
    LPCWSTR pszBackupName;

    // The StartupApproved key (under hRoot) whose values mark entries disabled; values
    // are named after the entry, shortcuts with ".lnk".
    LPCWSTR pszApprovedKey;
    REGSAM samApprovedView;
};

inline bool IsShortcutSource(const StartupSource& source)
{
    return source.nFolder >= 0;
}

// The row of an enabled code, of an MSConfig code or of an approval code; nullptr for
// any other code.
const StartupSource* FindSourceByCode(int nSource);
const StartupSource* FindSourceByMsconfigCode(int nSource);
const StartupSource* FindSourceByApprovedCode(int nSource);

// True for an item of a Startup folder, enabled or disabled.
bool IsShortcutItem(int nSource);

// The "key" value of the source's "startupreg" entries.
LPCWSTR StoreRunKeyPath(const StartupSource& source);

// What follows the entry's name in the name of its StartupApproved value: ".lnk" for a
// shortcut, nothing for a Run value.
inline LPCWSTR ApprovalValueSuffix(const StartupSource& source)
{
    return IsShortcutSource(source) ? L".lnk" : L"";
}
