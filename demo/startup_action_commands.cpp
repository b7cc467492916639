// "startup-disable NAME" and "startup-enable NAME": one item before and after StartupAction,
// and where its entry lives now.
#include "demo_host.h"

#include <shlobj.h>
#include <shobjidl.h>

#include "win32/raii.h"

namespace {
const wchar_t* const kRunKey = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const wchar_t* const kStartupFolderStore = L"SOFTWARE\\Microsoft\\Shared Tools\\MSConfig\\startupfolder";

std::wstring Folder(int nCsidl)
{
    wchar_t sz[MAX_PATH] = {};
    SHGetFolderPathW(nullptr, nCsidl, nullptr, SHGFP_TYPE_CURRENT, sz);
    return sz;
}

// Where an entry of this code lives, in words.
std::wstring Place(const STARTUPITEMS& item)
{
    const std::wstring strName = item.strName.GetString();
    const std::wstring strApproved = L" (marked disabled in ...\\Explorer\\StartupApproved\\";
    switch (item.nSource) {
    case SI_RUN_HKCU: return std::wstring(L"HKCU\\") + kRunKey + L" value \"" + strName + L"\"";
    case SI_RUN_HKLM: return std::wstring(L"HKLM\\") + kRunKey + L" value \"" + strName + L"\" (64-bit view)";
    case SI_RUN_HKLM32: return std::wstring(L"HKLM\\") + kRunKey + L" value \"" + strName + L"\" (32-bit view)";
    case SI_FOLDER_USER: return Folder(CSIDL_STARTUP) + L"\\" + strName + L".lnk";
    case SI_FOLDER_COMMON: return Folder(CSIDL_COMMON_STARTUP) + L"\\" + strName + L".lnk";
    case SI_MSCONFIG_RUN_HKCU:
    case SI_MSCONFIG_RUN_HKLM:
    case SI_MSCONFIG_RUN_HKLM32: return L"HKLM\\SOFTWARE\\Microsoft\\Shared Tools\\MSConfig\\startupreg\\" + strName;
    case SI_MSCONFIG_FOLDER_USER: return L"C:\\Windows\\pss\\" + strName + L".lnk.Startup";
    case SI_MSCONFIG_FOLDER_COMMON: return L"C:\\Windows\\pss\\" + strName + L".lnk.CommonStartup";
    case SI_APPROVED_RUN_HKCU: return std::wstring(L"HKCU\\") + kRunKey + L" value" + strApproved + L"Run of HKCU)";
    case SI_APPROVED_RUN_HKLM: return std::wstring(L"HKLM\\") + kRunKey + L" value" + strApproved + L"Run of HKLM)";
    case SI_APPROVED_RUN_HKLM32: return std::wstring(L"HKLM\\") + kRunKey + L" value, 32-bit view" + strApproved + L"Run32)";
    case SI_APPROVED_FOLDER_USER: return Folder(CSIDL_STARTUP) + L"\\" + strName + L".lnk" + strApproved + L"StartupFolder of HKCU)";
    case SI_APPROVED_FOLDER_COMMON:
        return Folder(CSIDL_COMMON_STARTUP) + L"\\" + strName + L".lnk" + strApproved + L"StartupFolder of HKLM)";
    }
    return L"(unknown source)";
}

void Show(const wchar_t* pszWhen, const STARTUPITEMS& item)
{
    wprintf(L"  %-7ls %ls  source %d  enabled %d  icon %d\n", pszWhen, item.strName.GetString(), item.nSource, item.nEnabled,
            item.nIcon);
    wprintf(L"          command  %ls\n", item.strCommand.GetString());
    wprintf(L"          lives in %ls\n", Place(item).c_str());
}

std::wstring StoreText(HKEY hStore, const wchar_t* pszSubkey, const wchar_t* pszName)
{
    win32::UniqueKey entry;
    wchar_t sz[261] = {};
    DWORD cb = 520;
    DWORD dwType = 0;
    if (RegOpenKeyExW(hStore, pszSubkey, 0, KEY_READ, entry.put()) != ERROR_SUCCESS ||
        RegQueryValueExW(entry.get(), pszName, nullptr, &dwType, reinterpret_cast<BYTE*>(sz), &cb) != ERROR_SUCCESS ||
        dwType != REG_SZ)
        return L"";
    return sz;
}

// A shortcut moved to the backup folder is no longer listed: the host keeps its record.
// The demo host rebuilds it from the "startupfolder" store instead.
bool FindMovedShortcut(const std::wstring& strName, STARTUPITEMS& item)
{
    win32::UniqueKey store;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kStartupFolderStore, 0, KEY_READ | KEY_WOW64_64KEY, store.put()) != ERROR_SUCCESS)
        return false;
    for (DWORD i = 0;; ++i) {
        wchar_t szSubkey[520];
        DWORD cch = 520;
        if (RegEnumKeyExW(store.get(), i, szSubkey, &cch, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            return false;
        if (StoreText(store.get(), szSubkey, L"item") != strName)
            continue;
        item.strName = strName.c_str();
        item.strCommand = StoreText(store.get(), szSubkey, L"command").c_str();
        item.nEnabled = 0;
        item.nSource = StoreText(store.get(), szSubkey, L"location") == Folder(CSIDL_STARTUP) ? SI_MSCONFIG_FOLDER_USER
                                                                                                : SI_MSCONFIG_FOLDER_COMMON;
        item.nIcon = -1;
        return true;
    }
}

int RunAction(const std::vector<std::wstring>& args, int enable)
{
    if (args.empty()) {
        fwprintf(stderr, L"name the item, as \"startup list\" shows it\n");
        return 2;
    }
    auto items = demo::Export<PFN_StartupItems>("StartupItems");
    auto action = demo::Export<PFN_StartupAction>("StartupAction");
    CStartupItemArray list;
    items(&list);
    STARTUPITEMS item{};
    bool bFound = false;
    for (int i = 0; i < list.GetSize() && !bFound; ++i) {
        if (args[0] == list[i].strName.GetString()) {
            item = list[i];
            bFound = true;
        }
    }
    if (!bFound && enable)
        bFound = FindMovedShortcut(args[0], item);
    if (!bFound) {
        fwprintf(stderr, L"no startup item named \"%ls\"\n", args[0].c_str());
        return 1;
    }
    const int nSourceBefore = item.nSource, nEnabledBefore = item.nEnabled;
    wprintf(L"%ls \"%ls\"\n", enable ? L"Enabling" : L"Disabling", args[0].c_str());
    Show(L"before", item);
    action(&item, enable);
    Show(L"after", item);
    wprintf(L"  %ls\n", item.nSource != nSourceBefore || item.nEnabled != nEnabledBefore ? L"changed" : L"unchanged");
    return 0;
}

// Seeding helper: a shortcut in the user's Startup folder.
int RunMakeShortcut(const std::vector<std::wstring>& args)
{
    if (args.size() < 2)
        return 2;
    win32::ComInitGuard com(CoInitialize(nullptr));
    win32::ComPtr<IShellLinkW> link;
    win32::ComPtr<IPersistFile> file;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW, link.replace_void())) ||
        FAILED(link->SetPath(args[1].c_str())) || FAILED(link->QueryInterface(IID_IPersistFile, file.replace_void())))
        return 1;
    const std::wstring strPath = Folder(CSIDL_STARTUP) + L"\\" + args[0] + L".lnk";
    return SUCCEEDED(file->Save(strPath.c_str(), TRUE)) ? 0 : 1;
}

int RunDisable(const std::vector<std::wstring>& args) { return RunAction(args, 0); }
int RunEnable(const std::vector<std::wstring>& args) { return RunAction(args, 1); }

demo::RegisterCommand g_disable({L"startup-disable", L"NAME  disable one startup item and show where it went", RunDisable});
demo::RegisterCommand g_makeShortcut({L"startup-make-shortcut", L"NAME TARGET  put a shortcut in the user's Startup folder", RunMakeShortcut});
demo::RegisterCommand g_enable({L"startup-enable", L"NAME  enable one startup item and show where it went", RunEnable});
}  // namespace
