#include "startup_scene.h"

#include <shlobj.h>
#include <shlwapi.h>

#include <gtest/gtest.h>

#include "testing/library_host.h"
#include "win32/raii.h"

namespace startup_test {
namespace {

const wchar_t* const kRun = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const wchar_t* const kExplorer = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer";
const wchar_t* const kMsconfig = L"SOFTWARE\\Microsoft\\Shared Tools\\MSConfig";

struct RunPlace {
    HKEY hRoot;
    REGSAM samView;
};
RunPlace RunPlaceOf(int nSource)
{
    switch (nSource) {
    case SI_RUN_HKCU:
        return {HKEY_CURRENT_USER, KEY_WOW64_64KEY};
    case SI_RUN_HKLM:
        return {HKEY_LOCAL_MACHINE, KEY_WOW64_64KEY};
    default:
        return {HKEY_LOCAL_MACHINE, KEY_WOW64_32KEY};
    }
}

struct ApprovedPlace {
    HKEY hRoot;
    const wchar_t* pszComponent;
};
ApprovedPlace ApprovedPlaceOf(int nPassSource)
{
    switch (nPassSource) {
    case SI_APPROVED_RUN_HKCU:
        return {HKEY_CURRENT_USER, L"Run"};
    case SI_APPROVED_FOLDER_USER:
        return {HKEY_CURRENT_USER, L"StartupFolder"};
    case SI_APPROVED_RUN_HKLM:
        return {HKEY_LOCAL_MACHINE, L"Run"};
    case SI_APPROVED_RUN_HKLM32:
        return {HKEY_LOCAL_MACHINE, L"Run32"};
    default:
        return {HKEY_LOCAL_MACHINE, L"StartupFolder"};
    }
}

win32::UniqueKey CreateKey(HKEY hRoot, const std::wstring& strPath, REGSAM samView)
{
    win32::UniqueKey key;
    LONG lResult = RegCreateKeyExW(hRoot, strPath.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS | samView, nullptr, key.put(), nullptr);
    EXPECT_EQ(ERROR_SUCCESS, lResult) << "creating " << std::string(strPath.begin(), strPath.end());
    return key;
}

void DeleteAllValues(HKEY hRoot, const wchar_t* pszPath, REGSAM samView)
{
    testing_support::RemoveRegistryValues(hRoot, samView, pszPath, L"");
}

void DeleteSubtree(HKEY hRoot, const wchar_t* pszParent, const wchar_t* pszChild)
{
    testing_support::RemoveRegistryTree(hRoot, KEY_WOW64_64KEY, std::wstring(pszParent) + L"\\" + pszChild);
}

void DeleteFilesIn(const std::wstring& strFolder) { testing_support::RemoveFiles(strFolder, L"*"); }

void SaveLink(IShellLinkW* pLink, const std::wstring& strPath)
{
    win32::ComPtr<IPersistFile> file;
    ASSERT_HRESULT_SUCCEEDED(pLink->QueryInterface(IID_IPersistFile, file.replace_void()));
    ASSERT_HRESULT_SUCCEEDED(file->Save(strPath.c_str(), TRUE));
}

}  // namespace

std::vector<Item> CopyItems(const CStartupItemArray& items)
{
    std::vector<Item> copy;
    for (int i = 0; i < items.GetSize(); ++i) {
        const STARTUPITEMS& s = items[i];
        copy.push_back({s.strName.GetString(), s.strCommand.GetString(), s.strDisplayName.GetString(), s.strPath.GetString(),
                        s.strCompany.GetString(), s.nEnabled, s.nSource, s.nIcon});
    }
    return copy;
}

std::vector<Item> ListItems()
{
    auto startupItems = testing_support::Library::Export<PFN_StartupItems>("StartupItems");
    EXPECT_NE(nullptr, startupItems);
    if (!startupItems)
        return {};
    CStartupItemArray items;
    startupItems(&items);
    return CopyItems(items);
}

const Item* FindItem(const std::vector<Item>& items, const std::wstring& strName, int nSource)
{
    for (const Item& item : items)
        if (item.strName == strName && item.nSource == nSource)
            return &item;
    return nullptr;
}

int CountItems(const std::vector<Item>& items, const std::wstring& strName)
{
    int n = 0;
    for (const Item& item : items)
        n += item.strName == strName;
    return n;
}

bool LibrarySeesWow64()
{
    BOOL bWow64 = FALSE;
    return IsWow64Process(GetCurrentProcess(), &bWow64) && bWow64;
}

bool LibraryUsesApprovedStore()
{
    OSVERSIONINFOW info = {};
    info.dwOSVersionInfoSize = sizeof(info);
    GetVersionExW(&info);
    return info.dwMajorVersion >= 6 && info.dwMinorVersion >= 2;
}

void PrintTo(const Item& item, std::ostream* pOut)
{
    *pOut << testing::PrintToString(item.strName) << " " << item.nSource << "/" << item.nEnabled << " "
          << testing::PrintToString(item.strPath);
}

namespace {
const std::vector<std::wstring> kMachineKeys = {kRun, std::wstring(kExplorer) + L"\\StartupApproved",
                                                std::wstring(kMsconfig) + L"\\startupreg"};
}

MachineKeysReadOnly::MachineKeysReadOnly()
    // On 32-bit Windows both views are one key.
    : m_native(HKEY_LOCAL_MACHINE, KEY_WOW64_64KEY, kMachineKeys),
      m_wow(HKEY_LOCAL_MACHINE, KEY_WOW64_32KEY, LibrarySeesWow64() ? std::vector<std::wstring>{kRun} : std::vector<std::wstring>{})
{
}

void MachineKeysReadOnly::Repair()
{
    for (const std::wstring& strKey : kMachineKeys)
        testing_support::ReadOnlyKeys::Repair(HKEY_LOCAL_MACHINE, KEY_WOW64_64KEY, strKey);
    testing_support::ReadOnlyKeys::Repair(HKEY_LOCAL_MACHINE, KEY_WOW64_32KEY, kRun);
}

Scene::Scene()
{
    CoInitialize(nullptr);  // the library leaves the thread in the same apartment
    ClearAll();
}

Scene::~Scene() { ClearAll(); }

void Scene::ClearAll()
{
    MachineKeysReadOnly::Repair();
    DeleteAllValues(HKEY_CURRENT_USER, kRun, 0);
    DeleteAllValues(HKEY_LOCAL_MACHINE, kRun, KEY_WOW64_64KEY);
    DeleteAllValues(HKEY_LOCAL_MACHINE, kRun, KEY_WOW64_32KEY);
    DeleteSubtree(HKEY_CURRENT_USER, kExplorer, L"StartupApproved");
    DeleteSubtree(HKEY_LOCAL_MACHINE, kExplorer, L"StartupApproved");
    DeleteSubtree(HKEY_LOCAL_MACHINE, kMsconfig, L"startupreg");
    DeleteFilesIn(FolderOf(SI_FOLDER_USER));
    DeleteFilesIn(FolderOf(SI_FOLDER_COMMON));
}

std::wstring Scene::FolderOf(int nSource)
{
    wchar_t szFolder[MAX_PATH] = {};
    int nFolder = nSource == SI_FOLDER_USER ? CSIDL_STARTUP : CSIDL_COMMON_STARTUP;
    EXPECT_HRESULT_SUCCEEDED(SHGetFolderPathW(nullptr, nFolder | CSIDL_FLAG_CREATE, nullptr, SHGFP_TYPE_CURRENT, szFolder));
    return szFolder;
}

void Scene::SetRunValue(int nSource, const wchar_t* pszName, DWORD dwType, const void* pData, DWORD cbData)
{
    RunPlace place = RunPlaceOf(nSource);
    win32::UniqueKey key = CreateKey(place.hRoot, kRun, place.samView);
    ASSERT_EQ(ERROR_SUCCESS, RegSetValueExW(key.get(), pszName, 0, dwType, static_cast<const BYTE*>(pData), cbData));
}

void Scene::SetRunText(int nSource, const wchar_t* pszName, const std::wstring& strData, DWORD dwType)
{
    SetRunValue(nSource, pszName, dwType, strData.c_str(), static_cast<DWORD>((strData.size() + 1) * sizeof(wchar_t)));
}

void Scene::AddShortcut(int nSource, const std::wstring& strFileName, const std::wstring& strTarget)
{
    win32::ComPtr<IShellLinkW> link;
    ASSERT_HRESULT_SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW, link.replace_void()));
    ASSERT_HRESULT_SUCCEEDED(link->SetPath(strTarget.c_str()));
    SaveLink(link.get(), FolderOf(nSource) + L"\\" + strFileName);
}

void Scene::AddShortcutToControlPanel(int nSource, const std::wstring& strFileName)
{
    win32::ComPtr<IShellLinkW> link;
    ASSERT_HRESULT_SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW, link.replace_void()));
    PIDLIST_ABSOLUTE pidl = nullptr;
    ASSERT_HRESULT_SUCCEEDED(SHGetFolderLocation(nullptr, CSIDL_CONTROLS, nullptr, 0, &pidl));
    win32::UniqueCoTaskMem ownedPidl(pidl);
    ASSERT_HRESULT_SUCCEEDED(link->SetIDList(pidl));
    SaveLink(link.get(), FolderOf(nSource) + L"\\" + strFileName);
}

void Scene::AddFile(int nSource, const std::wstring& strFileName, const std::string& strBytes)
{
    std::wstring strPath = FolderOf(nSource) + L"\\" + strFileName;
    win32::UniqueFile file(CreateFileW(strPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(static_cast<bool>(file));
    DWORD cbWritten = 0;
    ASSERT_TRUE(WriteFile(file.get(), strBytes.data(), static_cast<DWORD>(strBytes.size()), &cbWritten, nullptr));
}

void Scene::SetApproved(int nPassSource, const wchar_t* pszName, const std::vector<BYTE>& bytes, DWORD dwType)
{
    ApprovedPlace place = ApprovedPlaceOf(nPassSource);
    std::wstring strKey = std::wstring(kExplorer) + L"\\StartupApproved\\" + place.pszComponent;
    win32::UniqueKey key = CreateKey(place.hRoot, strKey, KEY_WOW64_64KEY);
    ASSERT_EQ(ERROR_SUCCESS, RegSetValueExW(key.get(), pszName, 0, dwType, bytes.data(), static_cast<DWORD>(bytes.size())));
}

void Scene::SetMsconfigValue(const std::wstring& strSubkey, const wchar_t* pszName, DWORD dwType, const void* pData, DWORD cbData)
{
    win32::UniqueKey key = CreateKey(HKEY_LOCAL_MACHINE, std::wstring(kMsconfig) + L"\\startupreg\\" + strSubkey, KEY_WOW64_64KEY);
    ASSERT_EQ(ERROR_SUCCESS, RegSetValueExW(key.get(), pszName, 0, dwType, static_cast<const BYTE*>(pData), cbData));
}

void Scene::AddMsconfigEntry(const std::wstring& strSubkey, const wchar_t* pszItem, const wchar_t* pszCommand, const wchar_t* pszHkey,
                             const wchar_t* pszKey)
{
    DWORD dwDay = 8;
    SetMsconfigValue(strSubkey, L"DAY", REG_DWORD, &dwDay, sizeof(dwDay));
    const std::pair<const wchar_t*, const wchar_t*> values[] = {
        {L"command", pszCommand}, {L"hkey", pszHkey}, {L"inimapping", L"0"}, {L"item", pszItem}, {L"key", pszKey}};
    for (const auto& value : values)
        if (value.second)
            SetMsconfigValue(strSubkey, value.first, REG_SZ, value.second,
                             static_cast<DWORD>((wcslen(value.second) + 1) * sizeof(wchar_t)));
}

std::vector<BYTE> ApprovalBytes(DWORD dwState, ULONGLONG ullTime)
{
    std::vector<BYTE> bytes(12, 0);
    for (int i = 0; i < 4; ++i)
        bytes[i] = static_cast<BYTE>(dwState >> (8 * i));
    for (int i = 0; i < 8; ++i)
        bytes[4 + i] = static_cast<BYTE>(ullTime >> (8 * i));
    return bytes;
}

std::wstring HostFile(const wchar_t* pszName) { return testing_support::ProgramFolder() + L"\\" + pszName; }

}  // namespace startup_test
