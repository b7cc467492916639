// "startup list": every program that starts with Windows, as the product's startup
// manager shows it. "startup shortcut user|common NAME TARGET" makes a Startup folder
// shortcut (the demo seed uses it, since the prefix has no tool for that).
#include "demo_host.h"

#include <shlobj.h>

#include "win32/raii.h"

namespace {
const wchar_t* SourceText(int nSource)
{
    switch (nSource) {
    case SI_RUN_HKCU: return L"Run, current user";
    case SI_RUN_HKLM: return L"Run, all users";
    case SI_RUN_HKLM32: return L"Run, all users (32-bit)";
    case SI_FOLDER_USER: return L"Startup folder, current user";
    case SI_FOLDER_COMMON: return L"Startup folder, all users";
    case SI_MSCONFIG_RUN_HKCU: return L"MSConfig, current user";
    case SI_MSCONFIG_FOLDER_USER: return L"MSConfig, user shortcut";
    case SI_MSCONFIG_RUN_HKLM: return L"MSConfig, all users";
    case SI_MSCONFIG_RUN_HKLM32: return L"MSConfig, all users (32-bit)";
    case SI_MSCONFIG_FOLDER_COMMON: return L"MSConfig, common shortcut";
    case SI_APPROVED_RUN_HKCU: return L"Approval, current user Run";
    case SI_APPROVED_FOLDER_USER: return L"Approval, user Startup folder";
    case SI_APPROVED_RUN_HKLM: return L"Approval, all users Run";
    case SI_APPROVED_RUN_HKLM32: return L"Approval, all users Run32";
    case SI_APPROVED_FOLDER_COMMON: return L"Approval, common Startup folder";
    default: return L"unknown";
    }
}

int ListItems()
{
    auto startupItems = demo::Export<PFN_StartupItems>("StartupItems");
    CStartupItemArray items;
    DWORD dwStart = GetTickCount();
    startupItems(&items);
    DWORD dwElapsed = GetTickCount() - dwStart;
    wprintf(L"%-28ls %-24ls %-46ls %-31ls %ls\n", L"Display name", L"Company", L"Path", L"Source", L"Enabled");
    for (int i = 0; i < items.GetSize(); ++i) {
        const STARTUPITEMS& item = items[i];
        wprintf(L"%-28ls %-24ls %-46ls %-31ls %ls\n", item.strDisplayName.GetString(), item.strCompany.GetString(),
                item.strPath.GetString(), SourceText(item.nSource), item.nEnabled ? L"yes" : L"no");
    }
    wprintf(L"%d item(s) in %lu ms\n", items.GetSize(), dwElapsed);
    return 0;
}

int MakeShortcut(const std::vector<std::wstring>& args)
{
    if (args.size() != 4)
        return 2;
    wchar_t szFolder[MAX_PATH] = {};
    int nFolder = (args[1] == L"common" ? CSIDL_COMMON_STARTUP : CSIDL_STARTUP) | CSIDL_FLAG_CREATE;
    if (FAILED(SHGetFolderPathW(nullptr, nFolder, nullptr, SHGFP_TYPE_CURRENT, szFolder)))
        return 1;
    CoInitialize(nullptr);
    win32::ComPtr<IShellLinkW> link;
    win32::ComPtr<IPersistFile> file;
    std::wstring strPath = std::wstring(szFolder) + L"\\" + args[2] + L".lnk";
    bool bSaved = SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW, link.replace_void())) &&
                  SUCCEEDED(link->SetPath(args[3].c_str())) &&
                  SUCCEEDED(link->QueryInterface(IID_IPersistFile, file.replace_void())) &&
                  SUCCEEDED(file->Save(strPath.c_str(), TRUE));
    return bSaved ? 0 : 1;
}

int RunStartup(const std::vector<std::wstring>& args)
{
    if (args.empty() || args[0] == L"list")
        return ListItems();
    if (args[0] == L"shortcut")
        return MakeShortcut(args);
    fwprintf(stderr, L"usage: startup list | startup shortcut user|common NAME TARGET\n");
    return 2;
}

demo::RegisterCommand g_startup({L"startup", L"list | shortcut user|common NAME TARGET  the startup manager's list", RunStartup});
}  // namespace
