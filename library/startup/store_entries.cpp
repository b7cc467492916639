#include "startup/store_entries.h"

#include "startup/counted_key.h"
#include "startup/environment.h"
#include "startup/registry_text.h"
#include "startup/startup_sources.h"
#include "startup/store_values.h"
#include "wendle.h"
#include "win32/proc_address.h"
#include "win32/raii.h"

namespace {
// Subkey names are read into 520 characters.
constexpr DWORD kSubkeyNameChars = 520;

bool OpenStoreEntry(LPCWSTR pszStore, const CString& strSubkey, StoreEntryUse use, win32::UniqueKey& entry)
{
    const REGSAM samAccess = use == StoreEntryUse::List ? KEY_READ : KEY_QUERY_VALUE | DELETE;
    CString strPath;
    return StoreEntryPath(pszStore, strSubkey, strPath) &&
           RegOpenKeyExW(HKEY_LOCAL_MACHINE, strPath, 0, samAccess | kMsconfigView, entry.put()) == ERROR_SUCCESS;
}

// RegDeleteKeyExW, which takes the registry view: RegDeleteKeyW of a 32-bit process on
// 64-bit Windows deletes in the 32-bit view whatever view its key was opened in. It came
// with Windows XP x64 and Vista; 32-bit Windows XP lacks it and has one view only.
using RegDeleteKeyExFunction = LONG(WINAPI*)(HKEY hKey, LPCWSTR pszSubKey, REGSAM samDesired, DWORD dwReserved);
RegDeleteKeyExFunction RegDeleteKeyExOfSystem()
{
    static const RegDeleteKeyExFunction pfn = [] {
        RegDeleteKeyExFunction pfnFound = nullptr;
        win32::ResolveProc(GetModuleHandleW(L"advapi32.dll"), "RegDeleteKeyExW", pfnFound);
        return pfnFound;
    }();
    return pfn;
}

// The "key" value of a machine entry names its Run key; the one under Wow6432Node
// belongs to the 64-bit view (the pairing earlier disable actions stored).
int MachineSourceFor(const CString& strKey)
{
    if (!IsWow64())
        return SI_MSCONFIG_RUN_HKLM;
    return strKey.Mid(9, 11) == L"Wow6432Node" ? SI_MSCONFIG_RUN_HKLM : SI_MSCONFIG_RUN_HKLM32;
}

// Entries written by earlier versions and by other tools keep no type. A command whose
// environment references expand to something else can only have worked as an expandable
// value; anything else comes back as a plain string.
DWORD StoredCommandType(HKEY hEntry, const CString& strCommand)
{
    DWORD dwType = 0, dwStored = 0, cbData = sizeof(dwStored);
    if (RegQueryValueExW(hEntry, kStoreCommandType, nullptr, &dwType, reinterpret_cast<BYTE*>(&dwStored), &cbData) ==
            ERROR_SUCCESS &&
        dwType == REG_DWORD && cbData == sizeof(dwStored) && (dwStored == REG_SZ || dwStored == REG_EXPAND_SZ))
        return dwStored;
    if (strCommand.Find(L'%') < 0)
        return REG_SZ;
    // Commands are at most 259 characters; an expansion that does not fit has changed.
    wchar_t szExpanded[1024];
    const DWORD nNeeded = ExpandEnvironmentStringsW(strCommand, szExpanded, ARRAYSIZE(szExpanded));
    return nNeeded == 0 || (nNeeded <= ARRAYSIZE(szExpanded) && strCommand == szExpanded) ? REG_SZ : REG_EXPAND_SZ;
}
}  // namespace

bool ReadStoredRunEntry(const CString& strSubkey, StoreEntryUse use, StoredRunEntry& entry, DWORD* pdwType)
{
    win32::UniqueKey key;
    CString strHive;
    if (!OpenStoreEntry(kMsconfigStartupReg, strSubkey, use, key) || !QueryRegistryText(key.get(), L"item", entry.strItem) ||
        !QueryRegistryText(key.get(), L"command", entry.strCommand) || !QueryRegistryText(key.get(), L"hkey", strHive))
        return false;
    if (strHive == kStoreHiveUser) {
        entry.nSource = SI_MSCONFIG_RUN_HKCU;
    } else {
        CString strKey;
        if (!QueryRegistryText(key.get(), L"key", strKey))
            return false;
        entry.nSource = MachineSourceFor(strKey);
    }
    if (pdwType)
        *pdwType = StoredCommandType(key.get(), entry.strCommand);
    return true;
}

bool ReadStoredShortcut(const CString& strSubkey, StoreEntryUse use, StoredShortcut& entry)
{
    win32::UniqueKey key;
    return OpenStoreEntry(kMsconfigStartupFolder, strSubkey, use, key) && QueryRegistryText(key.get(), L"item", entry.strItem) &&
           QueryRegistryText(key.get(), L"command", entry.strCommand) &&
           QueryRegistryText(key.get(), L"backup", entry.strBackup) && QueryRegistryText(key.get(), L"path", entry.strPath);
}

bool DeleteStoreEntry(LPCWSTR pszStore, const CString& strSubkey)
{
    CString strPath;
    if (!StoreEntryPath(pszStore, strSubkey, strPath))
        return false;
    const RegDeleteKeyExFunction pfnDeleteKeyEx = RegDeleteKeyExOfSystem();
    const LONG status = pfnDeleteKeyEx ? pfnDeleteKeyEx(HKEY_LOCAL_MACHINE, strPath, kMsconfigView, 0)
                                       : RegDeleteKeyW(HKEY_LOCAL_MACHINE, strPath);
    return status == ERROR_SUCCESS;
}

void CollectStoreSubkeyNames(LPCWSTR pszStore, CStringArray& astrNames)
{
    ForEachKeyIndex(HKEY_LOCAL_MACHINE, pszStore, kMsconfigView, KeyEntries::Subkeys, [&](HKEY hStore, DWORD i) {
        EnumeratedName<kSubkeyNameChars> name;
        if (RegEnumKeyExW(hStore, i, name.sz, &name.cch, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS)
            astrNames.Add(name.Terminated());
    });
}
