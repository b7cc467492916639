#include "startup/msconfig_store_reader.h"

#include "frame/module_objects.h"
#include "startup/counted_key.h"
#include "startup/enumerate.h"
#include "startup/environment.h"
#include "startup/registry_text.h"
#include "startup/startup_sources.h"
#include "startup/store_values.h"
#include "win32/raii.h"

namespace {
// Subkey names are read into 520 characters.
constexpr DWORD kSubkeyNameChars = 520;

// The "key" value of a machine entry names its Run key; the one under Wow6432Node
// belongs to the 64-bit view (the pairing earlier disable actions stored).
int MachineSourceFor(const CString& strKey)
{
    if (!IsWow64())
        return SI_MSCONFIG_RUN_HKLM;
    return strKey.Mid(9, 11) == L"Wow6432Node" ? SI_MSCONFIG_RUN_HKLM : SI_MSCONFIG_RUN_HKLM32;
}

void ReadStoredEntry(const CString& strSubkeyName)
{
    CString strPath;
    win32::UniqueKey entry;
    if (!StoreEntryPath(kMsconfigStartupReg, strSubkeyName, strPath) ||
        RegOpenKeyExW(HKEY_LOCAL_MACHINE, strPath, 0, kMsconfigAccess, entry.put()) != ERROR_SUCCESS)
        return;
    STARTUPITEMS item{};
    CString strHive;
    if (!QueryRegistryText(entry.get(), L"item", item.strName) || !QueryRegistryText(entry.get(), L"command", item.strCommand) ||
        !QueryRegistryText(entry.get(), L"hkey", strHive))
        return;
    if (strHive == kStoreHiveUser) {
        item.nSource = SI_MSCONFIG_RUN_HKCU;
    } else {
        CString strKey;
        if (!QueryRegistryText(entry.get(), L"key", strKey))
            return;
        item.nSource = MachineSourceFor(strKey);
    }
    item.nEnabled = 0;
    AppendStartupItem(item);
}
}  // namespace

void ReadMsconfigRegistryStore()
{
    // The names are collected first, and the store key closed, before any entry is read.
    CStringArray astrNames;
    ForEachKeyIndex(HKEY_LOCAL_MACHINE, kMsconfigStartupReg, kMsconfigAccess, KeyEntries::Subkeys, [&](HKEY hStore, DWORD i) {
        EnumeratedName<kSubkeyNameChars> name;
        if (RegEnumKeyExW(hStore, i, name.sz, &name.cch, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS)
            astrNames.Add(name.Terminated());
    });
    for (int i = 0; i < astrNames.GetSize(); ++i)
        ReadStoredEntry(astrNames[i]);
}
