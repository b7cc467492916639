#include "startup/startup_sources.h"

#include <shlobj.h>

#include "startup/environment.h"
#include "wendle.h"

namespace {
constexpr const wchar_t* kRunKey = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
// "key" values of the "startupreg" store: the Run key as seen from each registry view.
constexpr const wchar_t* kStoreRunKey = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr const wchar_t* kStoreRunKeyWow64 = L"SOFTWARE\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Run";

#define APPROVED_KEY(last) L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\StartupApproved\\" last

// Not constexpr: the predefined HKEY values are casts from integers. A machine entry of
// the 64-bit view is stored naming Wow6432Node on 64-bit Windows: that is how the listing
// tells it from one of the 32-bit view.
//
// Each row: the enabled, MSConfig and approval codes and the root; for a Run value its
// key, view, "hkey" and whether "key" names Wow6432Node; for a shortcut its folder and
// backup name; then the approval key and its view.
const StartupSource kStartupSources[] = {
    {SI_RUN_HKCU, SI_MSCONFIG_RUN_HKCU, SI_APPROVED_RUN_HKCU, HKEY_CURRENT_USER,
     kRunKey, KEY_WOW64_64KEY, kStoreHiveUser, false, -1, nullptr, APPROVED_KEY(L"Run"), 0},
    {SI_RUN_HKLM, SI_MSCONFIG_RUN_HKLM, SI_APPROVED_RUN_HKLM, HKEY_LOCAL_MACHINE,
     kRunKey, KEY_WOW64_64KEY, kStoreHiveMachine, true, -1, nullptr, APPROVED_KEY(L"Run"), KEY_WOW64_64KEY},
    {SI_RUN_HKLM32, SI_MSCONFIG_RUN_HKLM32, SI_APPROVED_RUN_HKLM32, HKEY_LOCAL_MACHINE,
     kRunKey, KEY_WOW64_32KEY, kStoreHiveMachine, false, -1, nullptr, APPROVED_KEY(L"Run32"), KEY_WOW64_64KEY},
    {SI_FOLDER_USER, SI_MSCONFIG_FOLDER_USER, SI_APPROVED_FOLDER_USER, HKEY_CURRENT_USER,
     nullptr, 0, nullptr, false, CSIDL_STARTUP, L"Startup", APPROVED_KEY(L"StartupFolder"), 0},
    {SI_FOLDER_COMMON, SI_MSCONFIG_FOLDER_COMMON, SI_APPROVED_FOLDER_COMMON, HKEY_LOCAL_MACHINE,
     nullptr, 0, nullptr, false, CSIDL_COMMON_STARTUP, L"CommonStartup", APPROVED_KEY(L"StartupFolder"), KEY_WOW64_64KEY},
};

#undef APPROVED_KEY

const StartupSource* FindSource(int StartupSource::*pCode, int nCode)
{
    for (const StartupSource& source : kStartupSources)
        if (source.*pCode == nCode)
            return &source;
    return nullptr;
}
}  // namespace

const StartupSource* FindSourceByCode(int nSource)
{
    return FindSource(&StartupSource::nSource, nSource);
}

const StartupSource* FindSourceByMsconfigCode(int nSource)
{
    return FindSource(&StartupSource::nMsconfigSource, nSource);
}

const StartupSource* FindSourceByApprovedCode(int nSource)
{
    return FindSource(&StartupSource::nApprovedSource, nSource);
}

bool IsShortcutItem(int nSource)
{
    const StartupSource* pSource = FindSourceByCode(nSource);
    if (!pSource)
        pSource = FindSourceByMsconfigCode(nSource);
    if (!pSource)
        pSource = FindSourceByApprovedCode(nSource);
    return pSource && IsShortcutSource(*pSource);
}

LPCWSTR StoreRunKeyPath(const StartupSource& source)
{
    return source.bStoreKeyWow6432Node && IsWow64() ? kStoreRunKeyWow64 : kStoreRunKey;
}
