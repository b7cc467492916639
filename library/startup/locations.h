// Where startup entries and their disabled copies live.
#pragma once
#include <windows.h>

// The Run key, under HKCU or HKLM.
constexpr const wchar_t* kRunKey = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
// "key" values of the MSConfig store: the Run key in each registry view.
constexpr const wchar_t* kMsconfigRunKey = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr const wchar_t* kMsconfigRunKeyWow64 = L"SOFTWARE\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Run";

// The MSConfig store of disabled entries, always under HKLM in the 64-bit view.
constexpr const wchar_t* kMsconfigStartupReg = L"SOFTWARE\\Microsoft\\Shared Tools\\MSConfig\\startupreg";
constexpr const wchar_t* kMsconfigStartupFolder = L"SOFTWARE\\Microsoft\\Shared Tools\\MSConfig\\startupfolder";
constexpr REGSAM kMsconfigAccess = KEY_ALL_ACCESS | KEY_WOW64_64KEY;

// Folder that disabled shortcuts are moved to.
constexpr const wchar_t* kShortcutBackupFolder = L"C:\\Windows\\pss";

// StartupApproved keys: this prefix followed by the key's last component.
constexpr const wchar_t* kApprovedKeyPrefix = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\StartupApproved\\";

// A Run key per enabled source code (8001 to 8003).
struct RunLocation {
    int nSource;
    HKEY hRoot;
    REGSAM samView;
};
// Not constexpr: the predefined HKEY values are casts from integers.
const RunLocation kRunLocations[] = {
    {8001, HKEY_CURRENT_USER, KEY_WOW64_64KEY},
    {8002, HKEY_LOCAL_MACHINE, KEY_WOW64_64KEY},
    {8003, HKEY_LOCAL_MACHINE, KEY_WOW64_32KEY},
};

// A StartupApproved key per disabled code (8011 to 8015) and the enabled code it marks.
struct ApprovedLocation {
    int nDisabledSource;
    int nEnabledSource;
    HKEY hRoot;
    REGSAM samView;
    const wchar_t* pszLastComponent;
    bool bShortcut;  // value names carry ".lnk"
};
const ApprovedLocation kApprovedLocations[] = {
    {8011, 8001, HKEY_CURRENT_USER, 0, L"Run", false},
    {8012, 8004, HKEY_CURRENT_USER, 0, L"StartupFolder", true},
    {8013, 8002, HKEY_LOCAL_MACHINE, KEY_WOW64_64KEY, L"Run", false},
    {8014, 8003, HKEY_LOCAL_MACHINE, KEY_WOW64_64KEY, L"Run32", false},
    {8015, 8005, HKEY_LOCAL_MACHINE, KEY_WOW64_64KEY, L"StartupFolder", true},
};

inline const RunLocation* FindRunLocation(int nSource)
{
    for (const RunLocation& location : kRunLocations)
        if (location.nSource == nSource)
            return &location;
    return nullptr;
}

// By either code of the pair.
inline const ApprovedLocation* FindApprovedLocation(int nSource)
{
    for (const ApprovedLocation& location : kApprovedLocations)
        if (location.nDisabledSource == nSource || location.nEnabledSource == nSource)
            return &location;
    return nullptr;
}
