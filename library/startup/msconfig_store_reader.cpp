#include "startup/msconfig_store_reader.h"

#include "frame/module_objects.h"
#include "startup/counted_key.h"
#include "startup/enumerate.h"
#include "startup/environment.h"
#include "startup/locations.h"
#include "startup/registry_text.h"
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
    strPath.Format(L"%s\\%s", kMsconfigStartupReg, strSubkeyName.GetString());
    win32::UniqueKey entry;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, strPath, 0, kMsconfigAccess, entry.put()) != ERROR_SUCCESS)
        return;
    STARTUPITEMS item{};
    CString strHive;
    if (!QueryRegistryText(entry.get(), L"item", item.strName) || !QueryRegistryText(entry.get(), L"command", item.strCommand) ||
        !QueryRegistryText(entry.get(), L"hkey", strHive))
        return;
    if (strHive == L"HKCU") {
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
    CStringArray astrNames;
    {
        win32::UniqueKey store;
        DWORD nValues = 0, nSubkeys = 0;
        if (!CreateCountedKey(HKEY_LOCAL_MACHINE, kMsconfigStartupReg, kMsconfigAccess, store, nValues, nSubkeys))
            return;
        for (DWORD i = 0; i < nSubkeys; ++i) {
            wchar_t szName[kSubkeyNameChars + 1];
            DWORD cchName = kSubkeyNameChars;
            if (RegEnumKeyExW(store.get(), i, szName, &cchName, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
                continue;
            szName[cchName < kSubkeyNameChars ? cchName : kSubkeyNameChars] = L'\0';
            astrNames.Add(szName);
        }
    }
    for (int i = 0; i < astrNames.GetSize(); ++i)
        ReadStoredEntry(astrNames[i]);
}
