// "internet TYPE [--notify]": the TCP/IP tuning for one connection type, with the
// registry values before and after, and the notice the host window receives.
#include "demo_host.h"
#include "result_file.h"
#include "win32/raii.h"

namespace {
const wchar_t* const kInterfaces = L"SYSTEM\\CurrentControlSet\\Services\\TCPIP\\Parameters\\Interfaces";
const wchar_t* const kMstcp = L"SYSTEM\\CurrentControlSet\\Services\\VxD\\MSTCP";

std::wstring ValueText(const std::wstring& strKey, const wchar_t* pszName)
{
    win32::UniqueKey key;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, strKey.c_str(), 0, KEY_READ, key.put()) != ERROR_SUCCESS)
        return L"(no key)";
    BYTE data[512] = {};
    DWORD dwType = 0, cb = sizeof(data) - sizeof(wchar_t);
    if (RegQueryValueExW(key.get(), pszName, nullptr, &dwType, data, &cb) != ERROR_SUCCESS)
        return L"(not set)";
    if (dwType == REG_DWORD)
        return std::to_wstring(*reinterpret_cast<DWORD*>(data));
    return L"\"" + std::wstring(reinterpret_cast<wchar_t*>(data)) + L"\"";
}

void PrintRegistry(const wchar_t* pszWhen)
{
    wprintf(L"  registry %ls\n", pszWhen);
    win32::UniqueKey interfaces;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kInterfaces, 0, KEY_READ, interfaces.put()) == ERROR_SUCCESS) {
        wchar_t szName[1000];
        for (DWORD i = 0;; ++i) {
            DWORD cch = 1000;
            if (RegEnumKeyExW(interfaces.get(), i, szName, &cch, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
                break;
            wprintf(L"    Interfaces\\%ls  MTU = %ls\n", szName, ValueText(std::wstring(kInterfaces) + L"\\" + szName, L"MTU").c_str());
        }
    }
    wprintf(L"    VxD\\MSTCP  DefaultRcvWindow = %ls, DefaultTTL = %ls\n", ValueText(kMstcp, L"DefaultRcvWindow").c_str(),
            ValueText(kMstcp, L"DefaultTTL").c_str());
}

// The stand-in host window beside the demo host, for the length of one call.
class HostWindow {
public:
    HostWindow()
    {
        std::wstring strCommand = L"\"" + demo::HostFolder() + L"\\veskaro_window.exe\" 30";
        STARTUPINFOW si = {sizeof(si)};
        PROCESS_INFORMATION pi = {};
        if (!CreateProcessW(nullptr, &strCommand[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
            return;
        m_process.reset(pi.hProcess);
        win32::UniqueHandle thread(pi.hThread);
        for (DWORD dwStart = GetTickCount(); !m_hWindow && GetTickCount() - dwStart < 10000; Sleep(50))
            m_hWindow = FindWindowW(L"VESKARO_CLASS", nullptr);
    }
    ~HostWindow()
    {
        if (m_hWindow)
            PostMessageW(m_hWindow, WM_CLOSE, 0, 0);
        if (m_process)
            WaitForSingleObject(m_process.get(), 5000);
    }
    bool IsOpen() const { return m_hWindow != nullptr; }
    // The notices the window recorded.
    static std::string Notices()
    {
        win32::UniqueFile file(CreateFileW((demo::HostFolder() + L"\\veskaro_window.log").c_str(), GENERIC_READ,
                                           FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        char buffer[1024] = {};
        DWORD dwRead = 0;
        if (file)
            ReadFile(file.get(), buffer, sizeof(buffer) - 1, &dwRead, nullptr);
        return buffer;
    }

private:
    win32::UniqueHandle m_process;
    HWND m_hWindow = nullptr;
};

int RunInternet(const std::vector<std::wstring>& args)
{
    if (args.empty()) {
        fwprintf(stderr, L"usage: internet TYPE [--notify]   (0 modem, 1 DSL, 2 LAN, 3 T1)\n");
        return 2;
    }
    int nType = _wtoi(args[0].c_str());
    bool bNotify = args.size() > 1 && args[1] == L"--notify";
    auto optimize = demo::Export<PFN_OptimizeInternet>("OptimizeInternet");
    wprintf(L"Internet optimisation for connection type %d%ls\n", nType, bNotify ? L", with report" : L"");
    PrintRegistry(L"before");
    size_t nRecords = demo::NotifierRecordCount();
    {
        HostWindow host;
        wprintf(L"  host window (VESKARO_CLASS) %ls\n", host.IsOpen() ? L"open" : L"could not be started");
        optimize(nType, bNotify ? 1 : 0);
        std::string strNotices = HostWindow::Notices();
        wprintf(L"  host window received: %hs", strNotices.empty() ? "nothing\n" : strNotices.c_str());
    }
    PrintRegistry(L"after");
    wchar_t szDescription[512] = {};
    GetPrivateProfileStringW(L"Internet Speed Enhancer", L"IDS_OPTIMIZEDINTERNET", L"", szDescription, 512,
                             (demo::HostFolder() + L"\\Settings.INI").c_str());
    wprintf(L"  Settings.INI  IDS_OPTIMIZEDINTERNET  \"%ls\"\n", szDescription);
    if (!bNotify)
        return 0;
    wprintf(L"  xmlupd.dat    IDS_CLOUD_INTOPT         \"%ls\"\n", demo::ResultFileValue(L"IDS_CLOUD_INTOPT").c_str());
    wprintf(L"                IDS_CLOUD_INTOPT_STATUS  \"%ls\"\n", demo::ResultFileValue(L"IDS_CLOUD_INTOPT_STATUS").c_str());
    demo::PrintNotifierRecord(nRecords);
    return 0;
}

demo::RegisterCommand g_internet({L"internet", L"TYPE [--notify]  tune TCP/IP for 0 modem, 1 DSL, 2 LAN, 3 T1", RunInternet});
}  // namespace
