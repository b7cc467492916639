// OptimizeInternet through the built library: the TCP/IP values it writes under
// interface subkeys that the test makes, its records and reports, and the notice to a
// real window of the host's class in another process.
#include <gtest/gtest.h>

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "notifier_support.h"
#include "stand_in_records.h"
#include "testing/import_patch.h"
#include "testing/library_host.h"
#include "testing/read_only_keys.h"
#include "win32/raii.h"
#include "testing/where.h"

using namespace notifier_support;
using testing_support::ImportPatch;
using testing_support::Library;
using testing_support::ProgramFolder;

namespace {

const wchar_t* const kInterfaces = L"SYSTEM\\CurrentControlSet\\Services\\TCPIP\\Parameters\\Interfaces";
const wchar_t* const kVxd = L"SYSTEM\\CurrentControlSet\\Services\\VxD";
const wchar_t* const kMstcp = L"SYSTEM\\CurrentControlSet\\Services\\VxD\\MSTCP";
const wchar_t* const kTestInterfaces[] = {L"{0A7E57F1-0000-4000-8000-000000000001}", L"{0A7E57F1-0000-4000-8000-000000000002}",
                                          L"{0A7E57F1-0000-4000-8000-000000000003}"};

bool KeyExists(const std::wstring& strPath)
{
    win32::UniqueKey key;
    return RegOpenKeyExW(HKEY_LOCAL_MACHINE, strPath.c_str(), 0, KEY_READ, key.put()) == ERROR_SUCCESS;
}

// REG_DWORD value, or -1 when absent or of another type or size.
long long DwordValue(const std::wstring& strPath, const wchar_t* pszName)
{
    win32::UniqueKey key;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, strPath.c_str(), 0, KEY_READ, key.put()) != ERROR_SUCCESS)
        return -1;
    DWORD dwType = 0, dwValue = 0, cb = sizeof(dwValue);
    if (RegQueryValueExW(key.get(), pszName, nullptr, &dwType, reinterpret_cast<BYTE*>(&dwValue), &cb) != ERROR_SUCCESS || dwType != REG_DWORD ||
        cb != 4)
        return -1;
    return dwValue;
}

// REG_SZ value with its terminator counted in its size, or "<absent>".
std::wstring StringValue(const std::wstring& strPath, const wchar_t* pszName)
{
    win32::UniqueKey key;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, strPath.c_str(), 0, KEY_READ, key.put()) != ERROR_SUCCESS)
        return L"<absent>";
    wchar_t szValue[256] = {};
    DWORD dwType = 0, cb = sizeof(szValue) - sizeof(wchar_t);
    if (RegQueryValueExW(key.get(), pszName, nullptr, &dwType, reinterpret_cast<BYTE*>(szValue), &cb) != ERROR_SUCCESS)
        return L"<absent>";
    if (dwType != REG_SZ || cb != (wcslen(szValue) + 1) * sizeof(wchar_t))
        return L"<bad type or size>";
    return szValue;
}

std::wstring InterfacePath(const wchar_t* pszName) { return std::wstring(kInterfaces) + L"\\" + pszName; }

std::vector<std::wstring> InterfaceNames()
{
    std::vector<std::wstring> names;
    win32::UniqueKey key;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kInterfaces, 0, KEY_READ, key.put()) != ERROR_SUCCESS)
        return names;
    wchar_t szName[1000];
    for (DWORD i = 0;; ++i) {
        DWORD cch = 1000;
        if (RegEnumKeyExW(key.get(), i, szName, &cch, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        names.push_back(szName);
    }
    return names;
}

// Registry calls of the library that the test makes fail.
std::wstring g_strRefusedSuffix;
ImportPatch* g_openPatch = nullptr;
DWORD g_dwFailEnumAt = MAXDWORD;
ImportPatch* g_enumPatch = nullptr;

LSTATUS WINAPI RefusingRegOpenKeyExW(HKEY hKey, LPCWSTR pszSubKey, DWORD dwOptions, REGSAM sam, PHKEY phResult)
{
    std::wstring strPath = pszSubKey ? pszSubKey : L"";
    if (strPath.size() >= g_strRefusedSuffix.size() &&
        _wcsicmp(strPath.c_str() + strPath.size() - g_strRefusedSuffix.size(), g_strRefusedSuffix.c_str()) == 0)
        return ERROR_ACCESS_DENIED;
    return g_openPatch->Original<decltype(&RegOpenKeyExW)>()(hKey, pszSubKey, dwOptions, sam, phResult);
}

LSTATUS WINAPI FailingRegEnumKeyExW(HKEY hKey, DWORD dwIndex, LPWSTR pszName, LPDWORD pcch, LPDWORD pReserved, LPWSTR pszClass,
                                    LPDWORD pcchClass, PFILETIME pTime)
{
    if (dwIndex == g_dwFailEnumAt)
        return ERROR_NO_MORE_ITEMS;
    return g_enumPatch->Original<decltype(&RegEnumKeyExW)>()(hKey, dwIndex, pszName, pcch, pReserved, pszClass, pcchClass, pTime);
}

class InternetOptimisation : public ::testing::Test {
protected:
    void SetUp() override
    {
        optimize = Library::Export<PFN_OptimizeInternet>("OptimizeInternet");
        ASSERT_NE(nullptr, optimize);
        for (const wchar_t* pszName : kTestInterfaces)  // left by an interrupted run
            testing_support::RemoveRegistryTree(HKEY_LOCAL_MACHINE, 0, InterfacePath(pszName));
        bCreatedInterfacesKey = !KeyExists(kInterfaces);
        bCreatedVxdKey = !KeyExists(kVxd);
        win32::UniqueKey interfaces;
        ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_LOCAL_MACHINE, kInterfaces, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, interfaces.put(), nullptr));
        bOtherInterfaces = !InterfaceNames().empty();
        for (const wchar_t* pszName : kTestInterfaces) {
            win32::UniqueKey key;
            ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(interfaces.get(), pszName, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, key.put(), nullptr));
        }
        RegDeleteKeyW(HKEY_LOCAL_MACHINE, kMstcp);
        files.Settings(L"[Tessary Optimizer]\r\nIDS_LANGUAGE=english\r\n");
        files.Language(L"english.ini",
                       L"[Tessary Optimizer]\r\nIDS_CLOUD_INTERNET_TEXT=\"Optimised for: \"\r\nIDS_OPTIMIZEDINTERNET=Internet optimised\r\n"
                       L"[Tessary Internet Speed Optimizer]\r\nIDS_INFO_MODEM=Dial-up modem\r\nIDS_INFO_DSL=DSL line\r\n"
                       L"IDS_INFO_LAN=Local network\r\nIDS_INFO_T1=T1 line\r\n");
        testing_support::RemoveTree(ResultFile());
        ASSERT_EQ(nullptr, FindWindowW(L"VESKARO_CLASS", nullptr));
    }
    void TearDown() override
    {
        for (const wchar_t* pszName : kTestInterfaces)
            RegDeleteKeyW(HKEY_LOCAL_MACHINE, InterfacePath(pszName).c_str());
        RegDeleteKeyW(HKEY_LOCAL_MACHINE, kMstcp);
        if (bCreatedVxdKey)
            RegDeleteKeyW(HKEY_LOCAL_MACHINE, kVxd);
        if (bCreatedInterfacesKey)
            RegDeleteKeyW(HKEY_LOCAL_MACHINE, kInterfaces);
        testing_support::RemoveTree(ResultFile());
    }
    void ExpectNoRegistryChange(testing_support::Where where)
    {
        TESSARY_TRACE_CALLER(where);
        for (const wchar_t* pszName : kTestInterfaces)
            EXPECT_EQ(-1, DwordValue(InterfacePath(pszName), L"MTU")) << pszName;
        EXPECT_FALSE(KeyExists(kMstcp));
    }

    PFN_OptimizeInternet optimize = nullptr;
    HostFiles files;
    bool bCreatedInterfacesKey = false, bCreatedVxdKey = false, bOtherInterfaces = false;
};

TEST_F(InternetOptimisation, EachKnownTypeTunesEveryInterfaceAndReports)
{
    struct Case {
        int nType;
        long long nMtu;
        const wchar_t* pszRcvWindow;
        const wchar_t* pszDescription;
    };
    const Case cases[] = {{0, 576, L"4288", L"Dial-up modem"},
                          {1, 1492, L"4288", L"DSL line"},
                          {2, 1500, L"371260", L"Local network"},
                          {3, 1500, L"371260", L"T1 line"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.nType);
        RegDeleteKeyW(HKEY_LOCAL_MACHINE, kMstcp);  // created again by every call
        NotifierRecorder recorder;
        ASSERT_TRUE(recorder.IsActive());
        optimize(c.nType, 1);
        for (const wchar_t* pszName : kTestInterfaces)
            EXPECT_EQ(c.nMtu, DwordValue(InterfacePath(pszName), L"MTU")) << pszName;
        EXPECT_EQ(c.pszRcvWindow, StringValue(kMstcp, L"DefaultRcvWindow"));
        EXPECT_EQ(L"128", StringValue(kMstcp, L"DefaultTTL"));
        EXPECT_EQ(c.pszDescription, files.Setting(L"Internet Speed Enhancer", L"IDS_OPTIMIZEDINTERNET"));
        EXPECT_EQ(c.pszDescription, ResultValue(L"IDS_CLOUD_INTOPT"));
        EXPECT_EQ(L"2", ResultValue(L"IDS_CLOUD_INTOPT_STATUS"));
        EXPECT_EQ(L"Internet optimised", ResultValue(L"IDS_CLOUD_POPUP_TITLE"));
        EXPECT_EQ(std::wstring(L"Optimised for: ") + c.pszDescription, ResultValue(L"IDS_CLOUD_MESSAGE_2"));
        ASSERT_EQ(1u, recorder.starts.size());
        EXPECT_EQ(L"open", recorder.starts[0].strVerb);
        EXPECT_EQ(SW_SHOWNORMAL, recorder.starts[0].nShow);
        EXPECT_EQ(std::wstring(L"Optimised for: ") + c.pszDescription, recorder.starts[0].strMessageAtStart);
    }
}

TEST_F(InternetOptimisation, AnUnknownTypeChangesNothingAndReportsStatusThree)
{
    WritePrivateProfileStringW(L"Internet Speed Enhancer", L"IDS_OPTIMIZEDINTERNET", L"DSL line", HostFiles::SettingsPath().c_str());
    WritePrivateProfileStringW(kOptimizer, L"IDS_CLOUD_INTOPT", L"DSL line", ResultFile().c_str());
    {
        NotifierRecorder recorder;
        optimize(7, 0);
        EXPECT_EQ(L"", files.Setting(L"Internet Speed Enhancer", L"IDS_OPTIMIZEDINTERNET"));
        EXPECT_EQ(L"DSL line", ResultValue(L"IDS_CLOUD_INTOPT"));
        EXPECT_EQ(L"", ResultValue(L"IDS_CLOUD_INTOPT_STATUS"));
        EXPECT_TRUE(recorder.starts.empty());
    }
    ProfileWriteRecorder writes;
    NotifierRecorder recorder;
    optimize(7, 1);
    ExpectNoRegistryChange(TESSARY_HERE);
    EXPECT_EQ(L"", ResultValue(L"IDS_CLOUD_INTOPT"));
    EXPECT_EQ(L"3", ResultValue(L"IDS_CLOUD_INTOPT_STATUS"));
    EXPECT_EQ(std::vector<std::wstring>{L"Optimised for: "}, writes.ResultWrites(L"IDS_CLOUD_MESSAGE_2"));
    EXPECT_EQ(L"Internet optimised", ResultValue(L"IDS_CLOUD_POPUP_TITLE"));
    EXPECT_EQ(1u, recorder.starts.size());
    for (int nType : {-1, 4, INT_MIN}) {
        optimize(nType, 0);
        ExpectNoRegistryChange(TESSARY_HERE);
    }
}

TEST_F(InternetOptimisation, WithoutTheReportTheResultFileStaysUntouched)
{
    WritePrivateProfileStringW(kOptimizer, L"IDS_CLOUD_INTOPT", L"earlier", ResultFile().c_str());
    WritePrivateProfileStringW(kOptimizer, L"IDS_CLOUD_INTOPT_STATUS", L"3", ResultFile().c_str());
    WritePrivateProfileStringW(nullptr, nullptr, nullptr, ResultFile().c_str());
    WIN32_FILE_ATTRIBUTE_DATA before = {}, after = {};
    ASSERT_TRUE(GetFileAttributesExW(ResultFile().c_str(), GetFileExInfoStandard, &before));
    NotifierRecorder recorder;
    optimize(2, 0);
    EXPECT_EQ(1500, DwordValue(InterfacePath(kTestInterfaces[0]), L"MTU"));
    EXPECT_EQ(L"Local network", files.Setting(L"Internet Speed Enhancer", L"IDS_OPTIMIZEDINTERNET"));
    ASSERT_TRUE(GetFileAttributesExW(ResultFile().c_str(), GetFileExInfoStandard, &after));
    EXPECT_EQ(0, CompareFileTime(&before.ftLastWriteTime, &after.ftLastWriteTime));
    EXPECT_EQ(L"earlier", ResultValue(L"IDS_CLOUD_INTOPT"));
    EXPECT_EQ(L"3", ResultValue(L"IDS_CLOUD_INTOPT_STATUS"));
    EXPECT_TRUE(recorder.starts.empty());
}

// A tuning that wrote no value optimised nothing: "finished without a result", no popup,
// and the settings keep the type optimised before. One that wrote some values reports as
// a complete one.
TEST_F(InternetOptimisation, OnlyATuningThatWroteAValueReportsItself)
{
    std::vector<std::wstring> names = InterfaceNames();
    ASSERT_FALSE(names.empty());
    ImportPatch open(Library::Handle(), "advapi32.dll", "RegOpenKeyExW", reinterpret_cast<void*>(&RefusingRegOpenKeyExW));
    g_openPatch = &open;
    ASSERT_TRUE(open.IsActive());
    WritePrivateProfileStringW(L"Internet Speed Enhancer", L"IDS_OPTIMIZEDINTERNET", L"earlier", HostFiles::SettingsPath().c_str());
    for (const std::wstring& strRefused : {names.front(), names.back()}) {
        const bool bFirst = strRefused == names.front();
        SCOPED_TRACE(bFirst ? "the first interface refused" : "the last interface refused");
        g_strRefusedSuffix = L"\\" + strRefused;
        NotifierRecorder recorder;
        optimize(1, 1);
        EXPECT_EQ(bFirst ? L"earlier" : L"DSL line", files.Setting(L"Internet Speed Enhancer", L"IDS_OPTIMIZEDINTERNET"));
        EXPECT_EQ(bFirst ? L"" : L"DSL line", ResultValue(L"IDS_CLOUD_INTOPT"));
        EXPECT_EQ(bFirst ? L"3" : L"2", ResultValue(L"IDS_CLOUD_INTOPT_STATUS"));
        EXPECT_EQ(bFirst ? 0u : 1u, recorder.starts.size());
    }
    g_openPatch = nullptr;
    EXPECT_FALSE(KeyExists(kMstcp));
}

// A standard user's host, or an administrator's without elevation, may read the TCP/IP
// keys but not write them.
TEST_F(InternetOptimisation, AHostThatMayNotWriteTheKeysReportsNothingOptimised)
{
    win32::UniqueKey mstcp;  // a missing one could be made even by such a host under Wine
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_LOCAL_MACHINE, kMstcp, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, mstcp.put(), nullptr));
    testing_support::ReadOnlyKeys readOnly(HKEY_LOCAL_MACHINE, 0, {kInterfaces, kMstcp});
    NotifierRecorder recorder;
    optimize(2, 1);
    for (const wchar_t* pszName : kTestInterfaces)
        EXPECT_EQ(-1, DwordValue(InterfacePath(pszName), L"MTU")) << pszName;
    EXPECT_EQ(L"<absent>", StringValue(kMstcp, L"DefaultRcvWindow"));
    EXPECT_EQ(L"", files.Setting(L"Internet Speed Enhancer", L"IDS_OPTIMIZEDINTERNET"));
    EXPECT_EQ(L"3", ResultValue(L"IDS_CLOUD_INTOPT_STATUS"));
    EXPECT_TRUE(recorder.starts.empty()) << "an \"optimised\" popup";
}

TEST_F(InternetOptimisation, AFailedEnumerationWritesNothing)
{
    g_dwFailEnumAt = 1;
    ImportPatch enumerate(Library::Handle(), "advapi32.dll", "RegEnumKeyExW", reinterpret_cast<void*>(&FailingRegEnumKeyExW));
    g_enumPatch = &enumerate;
    ASSERT_TRUE(enumerate.IsActive());
    optimize(0, 0);
    g_enumPatch = nullptr;
    g_dwFailEnumAt = MAXDWORD;
    ExpectNoRegistryChange(TESSARY_HERE);
    EXPECT_EQ(L"", files.Setting(L"Internet Speed Enhancer", L"IDS_OPTIMIZEDINTERNET")) << "nothing was optimised";
}

TEST_F(InternetOptimisation, AnExistingMstcpKeyKeepsItsOtherValues)
{
    win32::UniqueKey mstcp;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_LOCAL_MACHINE, kMstcp, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, mstcp.put(), nullptr));
    const wchar_t szOther[] = L"kept";
    RegSetValueExW(mstcp.get(), L"Other", 0, REG_SZ, reinterpret_cast<const BYTE*>(szOther), sizeof(szOther));
    RegSetValueExW(mstcp.get(), L"DefaultTTL", 0, REG_SZ, reinterpret_cast<const BYTE*>(szOther), sizeof(szOther));
    optimize(2, 0);
    EXPECT_EQ(L"kept", StringValue(kMstcp, L"Other"));
    EXPECT_EQ(L"128", StringValue(kMstcp, L"DefaultTTL"));
    EXPECT_EQ(L"371260", StringValue(kMstcp, L"DefaultRcvWindow"));
}

TEST_F(InternetOptimisation, NoInterfaceSubkeysStillWritesTheTwoStrings)
{
    if (bOtherInterfaces)
        GTEST_SKIP() << "this prefix has interface subkeys of its own";
    for (const wchar_t* pszName : kTestInterfaces)
        ASSERT_EQ(ERROR_SUCCESS, RegDeleteKeyW(HKEY_LOCAL_MACHINE, InterfacePath(pszName).c_str()));
    ASSERT_TRUE(InterfaceNames().empty());
    optimize(0, 0);
    EXPECT_EQ(L"4288", StringValue(kMstcp, L"DefaultRcvWindow"));
    EXPECT_EQ(L"128", StringValue(kMstcp, L"DefaultTTL"));
}

TEST_F(InternetOptimisation, AnOverlongDescriptionIsCutTo499Characters)
{
    files.Language(L"english.ini", L"[Tessary Internet Speed Optimizer]\r\nIDS_INFO_T1=" + std::wstring(600, L'd') + L"\r\n"
                                   L"[Tessary Optimizer]\r\nIDS_CLOUD_INTERNET_TEXT=" + std::wstring(600, L'i') + L"\r\n");
    NotifierRecorder recorder;
    optimize(3, 1);
    EXPECT_EQ(std::wstring(499, L'd'), files.Setting(L"Internet Speed Enhancer", L"IDS_OPTIMIZEDINTERNET"));
    EXPECT_EQ(std::wstring(499, L'd'), ResultValue(L"IDS_CLOUD_INTOPT"));
    EXPECT_EQ(std::wstring(99, L'i') + std::wstring(499, L'd'), ResultValue(L"IDS_CLOUD_MESSAGE_2"));
}

// A window of the host's class on a thread that stops answering once the window exists.
// It takes messages again after eight seconds, or when the object ends.
class HungHostWindow {
public:
    HungHostWindow()
    {
        m_thread.reset(CreateThread(nullptr, 0, &Run, this, 0, nullptr));
        WaitForSingleObject(m_ready.get(), 5000);
    }
    ~HungHostWindow()
    {
        SetEvent(m_release.get());
        WaitForSingleObject(m_thread.get(), 10000);
    }
    LONG Notices() const { return s_nNotices; }

private:
    static LRESULT CALLBACK WindowProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam)
    {
        if (uMsg == 0x0833)
            InterlockedIncrement(&s_nNotices);
        return DefWindowProcW(hWnd, uMsg, wParam, lParam);
    }
    static DWORD WINAPI Run(void* pParameter)
    {
        auto* pThis = static_cast<HungHostWindow*>(pParameter);
        WNDCLASSW windowClass = {};
        windowClass.lpfnWndProc = WindowProc;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"VESKARO_CLASS";
        RegisterClassW(&windowClass);
        HWND hWnd = CreateWindowExW(0, L"VESKARO_CLASS", L"hung", WS_OVERLAPPEDWINDOW, 0, 0, 10, 10, nullptr, nullptr, windowClass.hInstance, nullptr);
        SetEvent(pThis->m_ready.get());
        WaitForSingleObject(pThis->m_release.get(), 8000);
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))  // takes the notice sent meanwhile
            DispatchMessageW(&msg);
        DestroyWindow(hWnd);
        UnregisterClassW(L"VESKARO_CLASS", windowClass.hInstance);
        return 0;
    }
    win32::UniqueHandle m_ready{CreateEventW(nullptr, TRUE, FALSE, nullptr)}, m_release{CreateEventW(nullptr, TRUE, FALSE, nullptr)};
    win32::UniqueHandle m_thread;
    static inline LONG s_nNotices = 0;
};

// How the library sends its notice; the wait is cut short so the test does not sit out
// the timeout.
UINT g_uNoticeFlags = 0, g_uNoticeTimeout = 0;
ImportPatch* g_sendPatch = nullptr;
LRESULT WINAPI ShortSendMessageTimeoutW(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam, UINT uFlags, UINT uTimeout, PDWORD_PTR pdwResult)
{
    g_uNoticeFlags = uFlags;
    g_uNoticeTimeout = uTimeout;
    return g_sendPatch->Original<decltype(&SendMessageTimeoutW)>()(hWnd, uMsg, wParam, lParam, uFlags, 300, pdwResult);
}

TEST_F(InternetOptimisation, AHostWindowThatStopsAnsweringDoesNotHoldTheCall)
{
    HungHostWindow hung;
    ASSERT_NE(nullptr, FindWindowW(L"VESKARO_CLASS", nullptr));
    ImportPatch send(Library::Handle(), "user32.dll", "SendMessageTimeoutW", reinterpret_cast<void*>(&ShortSendMessageTimeoutW));
    g_sendPatch = &send;
    ASSERT_TRUE(send.IsActive());
    optimize(2, 0);
    g_sendPatch = nullptr;
    EXPECT_EQ(0, hung.Notices()) << "the call waited until the window answered";
    EXPECT_EQ(static_cast<UINT>(SMTO_ABORTIFHUNG), g_uNoticeFlags & SMTO_ABORTIFHUNG);
    EXPECT_GE(g_uNoticeTimeout, 1000u);
    EXPECT_LE(g_uNoticeTimeout, 10000u);
}

TEST_F(InternetOptimisation, TheHostWindowGetsOneNoticePerCall)
{
    stand_ins::HostWindowProgram host;
    ASSERT_NE(nullptr, host.Window());
    NotifierRecorder recorder;
    optimize(2, 0);
    // The notice is sent, not posted: it has been handled when the call returns.
    EXPECT_EQ(std::vector<std::wstring>{L"0x0833 0 0"}, host.Notices());
    optimize(7, 1);
    EXPECT_EQ((std::vector<std::wstring>{L"0x0833 0 0", L"0x0833 0 0"}), host.Notices());
}

}  // namespace
