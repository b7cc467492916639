#include "action_test_support.h"

#include <gtest/gtest.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <map>

#include "win32/raii.h"

namespace startup_test {

const std::wstring& CaseName(const std::wstring& strStem)
{
    // Kept for the whole program, so that a name handed out as a pointer stays valid.
    static std::map<std::wstring, std::wstring> names;
    const ::testing::TestInfo* pInfo = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string strCase = pInfo ? pInfo->name() : "NoCase";
    std::wstring& strName = names[strStem + L"_" + std::wstring(strCase.begin(), strCase.end())];
    if (strName.empty())
        strName = kProbePrefix + strStem + L"_" + std::wstring(strCase.begin(), strCase.end());
    return strName;
}

namespace {

// Before the first case: whatever an interrupted run of these programs left behind.
class SweepLeftovers : public ::testing::Environment {
public:
    void SetUp() override
    {
        using namespace testing_support;
        const std::wstring strApproved[] = {L"Run", L"Run32", L"StartupFolder"};
        for (int nSource : {SI_RUN_HKCU, SI_RUN_HKLM, SI_RUN_HKLM32}) {
            RemoveRegistryValues(RunRoot(nSource), RunView(nSource), kRunKey, kProbePrefix);
            for (const std::wstring& strKey : strApproved)
                RemoveRegistryValues(RunRoot(nSource), KEY_WOW64_64KEY, kApprovedPrefix + strKey, kProbePrefix);
        }
        for (int nCsidl : {CSIDL_STARTUP, CSIDL_COMMON_STARTUP})
            RemoveFiles(StartupFolder(nCsidl), std::wstring(kProbePrefix) + L"*");
        RemoveFiles(kBackupFolder, std::wstring(kProbePrefix) + L"*");
        RemoveRegistrySubkeys(HKEY_LOCAL_MACHINE, KEY_WOW64_64KEY, kStartupReg, kProbePrefix);
        RemoveRegistrySubkeys(HKEY_LOCAL_MACHINE, KEY_WOW64_64KEY, kStartupFolderStore, kProbePrefix);
    }
};
::testing::Environment* const g_pSweep = ::testing::AddGlobalTestEnvironment(new SweepLeftovers);

}  // namespace

bool SeesApprovedStore()
{
    OSVERSIONINFOW info = {};
    info.dwOSVersionInfoSize = sizeof(info);
    GetVersionExW(&info);
    return info.dwMajorVersion >= 6 && info.dwMinorVersion >= 2;
}

bool SeesWow64()
{
    BOOL bWow64 = FALSE;
    return IsWow64Process(GetCurrentProcess(), &bWow64) && bWow64;
}

RegValue ReadValue(HKEY hRoot, REGSAM samView, const std::wstring& strKey, const std::wstring& strName)
{
    RegValue value;
    win32::UniqueKey key;
    if (RegOpenKeyExW(hRoot, strKey.c_str(), 0, KEY_READ | samView, key.put()) != ERROR_SUCCESS)
        return value;
    DWORD cb = 0;
    if (RegQueryValueExW(key.get(), strName.c_str(), nullptr, &value.dwType, nullptr, &cb) != ERROR_SUCCESS)
        return value;
    value.data.resize(cb);
    if (RegQueryValueExW(key.get(), strName.c_str(), nullptr, &value.dwType, value.data.data(), &cb) != ERROR_SUCCESS)
        return value;
    value.data.resize(cb);
    value.bPresent = true;
    return value;
}

std::vector<std::wstring> ValueNames(HKEY hRoot, REGSAM samView, const std::wstring& strKey)
{
    std::vector<std::wstring> names;
    win32::UniqueKey key;
    if (RegOpenKeyExW(hRoot, strKey.c_str(), 0, KEY_READ | samView, key.put()) != ERROR_SUCCESS)
        return names;
    for (DWORD i = 0;; ++i) {
        wchar_t szName[300];
        DWORD cch = 300;
        if (RegEnumValueW(key.get(), i, szName, &cch, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        names.push_back(szName);
    }
    std::sort(names.begin(), names.end());
    return names;
}

bool KeyExists(HKEY hRoot, REGSAM samView, const std::wstring& strKey)
{
    win32::UniqueKey key;
    return RegOpenKeyExW(hRoot, strKey.c_str(), 0, KEY_READ | samView, key.put()) == ERROR_SUCCESS;
}

void CreateKey(HKEY hRoot, REGSAM samView, const std::wstring& strKey)
{
    win32::UniqueKey key;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(hRoot, strKey.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS | samView, nullptr,
                                             key.put(), nullptr))
        << "cannot create " << std::string(strKey.begin(), strKey.end());
}

void SetString(HKEY hRoot, REGSAM samView, const std::wstring& strKey, const std::wstring& strName, const std::wstring& strData)
{
    win32::UniqueKey key;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(hRoot, strKey.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS | samView, nullptr,
                                             key.put(), nullptr));
    std::vector<BYTE> bytes = StringBytes(strData);
    ASSERT_EQ(ERROR_SUCCESS, RegSetValueExW(key.get(), strName.c_str(), 0, REG_SZ, bytes.data(), static_cast<DWORD>(bytes.size())));
}

std::vector<BYTE> StringBytes(const std::wstring& str)
{
    const BYTE* p = reinterpret_cast<const BYTE*>(str.c_str());
    return std::vector<BYTE>(p, p + (str.size() + 1) * sizeof(wchar_t));
}

DWORD DwordOf(const RegValue& value)
{
    DWORD dw = 0xDEADBEEF;
    if (value.dwType == REG_DWORD && value.data.size() == sizeof(DWORD))
        memcpy(&dw, value.data.data(), sizeof(dw));
    return dw;
}

HKEY RunRoot(int nSource) { return nSource == SI_RUN_HKCU ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE; }
REGSAM RunView(int nSource) { return nSource == SI_RUN_HKLM32 ? KEY_WOW64_32KEY : KEY_WOW64_64KEY; }

std::wstring StartupFolder(int nCsidl)
{
    wchar_t sz[MAX_PATH] = {};
    SHGetFolderPathW(nullptr, nCsidl | CSIDL_FLAG_CREATE, nullptr, SHGFP_TYPE_CURRENT, sz);
    return sz;
}

bool CreateShortcut(const std::wstring& strPath, const std::wstring& strTarget)
{
    CoInitialize(nullptr);  // the library's listing leaves an apartment too
    win32::ComPtr<IShellLinkW> link;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW, link.replace_void())))
        return false;
    link->SetPath(strTarget.c_str());
    win32::ComPtr<IPersistFile> file;
    if (FAILED(link->QueryInterface(IID_IPersistFile, file.replace_void())))
        return false;
    return SUCCEEDED(file->Save(strPath.c_str(), TRUE));
}

bool FileExists(const std::wstring& strPath)
{
    return GetFileAttributesW(strPath.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string ReadFileBytes(const std::wstring& strPath)
{
    std::ifstream in(strPath.c_str(), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool WriteFileBytes(const std::wstring& strPath, const std::string& strBytes)
{
    std::ofstream out(strPath.c_str(), std::ios::binary);
    out << strBytes;
    return static_cast<bool>(out);
}

std::wstring CaretPath(std::wstring strPath)
{
    for (wchar_t& ch : strPath)
        if (ch == L'\\')
            ch = L'^';
    return strPath;
}

STARTUPITEMS MakeItem(const std::wstring& strName, const std::wstring& strCommand, int nSource, int nEnabled)
{
    STARTUPITEMS item;
    item.strName = strName.c_str();
    item.strCommand = strCommand.c_str();
    item.strDisplayName = L"display";
    item.strPath = L"C:\\path.exe";
    item.strCompany = L"company";
    item.nEnabled = nEnabled;
    item.nSource = nSource;
    item.nIcon = 77;
    return item;
}

void Act(STARTUPITEMS& item, int enable)
{
    static auto pfnAction = testing_support::Library::Export<PFN_StartupAction>("StartupAction");
    ASSERT_NE(nullptr, pfnAction);
    pfnAction(&item, enable);
}

std::vector<std::pair<int, int>> Listed(const std::wstring& strName)
{
    static auto pfnItems = testing_support::Library::Export<PFN_StartupItems>("StartupItems");
    std::vector<std::pair<int, int>> listed;
    EXPECT_NE(nullptr, pfnItems);
    if (!pfnItems)
        return listed;
    CStartupItemArray items;
    pfnItems(&items);
    for (int i = 0; i < items.GetSize(); ++i)
        if (strName == items[i].strName.GetString())
            listed.emplace_back(items[i].nSource, items[i].nEnabled);
    return listed;
}

void ExpectPassThrough(Where where, const STARTUPITEMS& item, const std::wstring& strName, const std::wstring& strCommand)
{
    TESSARY_TRACE_CALLER(where);
    EXPECT_EQ(strName, item.strName.GetString());
    EXPECT_EQ(strCommand, item.strCommand.GetString());
    EXPECT_STREQ(L"display", item.strDisplayName.GetString());
    EXPECT_STREQ(L"C:\\path.exe", item.strPath.GetString());
    EXPECT_STREQ(L"company", item.strCompany.GetString());
    EXPECT_EQ(77, item.nIcon);
}

namespace {
const wchar_t* g_pszFailingValue = nullptr;
bool g_bFailEveryWrite = false;
int g_nWriteFailures = 0;
std::vector<std::wstring> g_written;
testing_support::ImportPatch* g_pWritePatch = nullptr;

LONG WINAPI FailingRegSetValueExW(HKEY hKey, LPCWSTR pszName, DWORD dwReserved, DWORD dwType, const BYTE* pData, DWORD cbData)
{
    if (g_bFailEveryWrite || (pszName && g_pszFailingValue && wcscmp(pszName, g_pszFailingValue) == 0)) {
        ++g_nWriteFailures;
        return ERROR_ACCESS_DENIED;
    }
    using Fn = LONG(WINAPI*)(HKEY, LPCWSTR, DWORD, DWORD, const BYTE*, DWORD);
    LONG status = g_pWritePatch->Original<Fn>()(hKey, pszName, dwReserved, dwType, pData, cbData);
    if (status == ERROR_SUCCESS)
        g_written.push_back(pszName ? pszName : L"");
    return status;
}

// The path of a key below HKEY_LOCAL_MACHINE, as the kernel names it ("\REGISTRY\MACHINE\...").
bool MachineKeyPath(HKEY hKey, std::wstring& strPath)
{
    using NtQueryKeyFunction = LONG(NTAPI*)(HANDLE, int, PVOID, ULONG, PULONG);
    static const auto pfnQueryKey =
        reinterpret_cast<NtQueryKeyFunction>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQueryKey")));
    const std::wstring strMachine = L"\\REGISTRY\\MACHINE\\";
    ULONG abName[512] = {};  // KEY_NAME_INFORMATION: the length in bytes, then the name
    ULONG cb = 0;
    if (!pfnQueryKey || pfnQueryKey(hKey, 3 /* KeyNameInformation */, abName, sizeof(abName) - sizeof(wchar_t), &cb) < 0)
        return false;
    strPath.assign(reinterpret_cast<const wchar_t*>(&abName[1]), abName[0] / sizeof(wchar_t));
    if (_wcsnicmp(strPath.c_str(), strMachine.c_str(), strMachine.size()) != 0)
        return false;
    strPath.erase(0, strMachine.size());
    return true;
}

LONG WINAPI RegDeleteKeyIn32BitView(HKEY hKey, LPCWSTR pszSubKey)
{
    std::wstring strPath;
    if (!SeesWow64() || !MachineKeyPath(hKey, strPath))
        return RegDeleteKeyW(hKey, pszSubKey);
    return RegDeleteKeyExW(HKEY_LOCAL_MACHINE, (strPath + L"\\" + pszSubKey).c_str(), KEY_WOW64_32KEY, 0);
}

int g_nMoveCalls = 0;
BOOL WINAPI FailingMoveFileW(LPCWSTR, LPCWSTR)
{
    ++g_nMoveCalls;
    SetLastError(ERROR_ACCESS_DENIED);
    return FALSE;
}
}  // namespace

FailingRegistryWrite::FailingRegistryWrite(const wchar_t* pszValueName)
    : m_patch(testing_support::Library::Handle(), "advapi32.dll", "RegSetValueExW", reinterpret_cast<void*>(&FailingRegSetValueExW))
{
    g_pszFailingValue = pszValueName;
    g_bFailEveryWrite = pszValueName == nullptr;
    g_nWriteFailures = 0;
    g_written.clear();
    g_pWritePatch = &m_patch;
}
FailingRegistryWrite::~FailingRegistryWrite() { g_pWritePatch = nullptr; }
int FailingRegistryWrite::Failures() const { return g_nWriteFailures; }
const std::vector<std::wstring>& FailingRegistryWrite::Written() const { return g_written; }

DeletesIn32BitView::DeletesIn32BitView()
    : m_patch(testing_support::Library::Handle(), "advapi32.dll", "RegDeleteKeyW", reinterpret_cast<void*>(&RegDeleteKeyIn32BitView))
{
}

FailingMove::FailingMove()
    : m_patch(testing_support::Library::Handle(), "kernel32.dll", "MoveFileW", reinterpret_cast<void*>(&FailingMoveFileW))
{
    g_nMoveCalls = 0;
}
FailingMove::~FailingMove() = default;
int FailingMove::Calls() const { return g_nMoveCalls; }

void ExpectTimeFields(Where where, HKEY hRoot, const std::wstring& strKey, time_t tBefore, time_t tAfter)
{
    TESSARY_TRACE_CALLER(where);
    DWORD adw[6];
    const wchar_t* apszNames[6] = {L"DAY", L"HOUR", L"MINUTE", L"MONTH", L"SECOND", L"YEAR"};
    for (int i = 0; i < 6; ++i) {
        RegValue value = ReadValue(hRoot, KEY_WOW64_64KEY, strKey, apszNames[i]);
        ASSERT_TRUE(value.bPresent) << "missing time field " << i;
        ASSERT_EQ(static_cast<DWORD>(REG_DWORD), value.dwType);
        adw[i] = DwordOf(value);
    }
    bool bMatch = false;
    for (time_t t = tBefore; t <= tAfter && !bMatch; ++t) {
        const std::tm* p = std::localtime(&t);
        bMatch = p && adw[0] == static_cast<DWORD>(p->tm_mday) && adw[1] == static_cast<DWORD>(p->tm_hour) &&
                 adw[2] == static_cast<DWORD>(p->tm_min) && adw[3] == static_cast<DWORD>(p->tm_mon + 1) &&
                 adw[4] == static_cast<DWORD>(p->tm_sec) && adw[5] == static_cast<DWORD>(p->tm_year + 1900);
    }
    EXPECT_TRUE(bMatch) << "time fields " << adw[5] << "-" << adw[3] << "-" << adw[0] << " " << adw[1] << ":" << adw[2]
                        << ":" << adw[4];
}

}  // namespace startup_test
