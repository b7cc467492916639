// "internet TYPE [--notify]": the TCP/IP tuning for one connection type, with the
// registry values before and after, and the notice the host window receives.
#include "demo_host.h"
#include "result_file.h"
#include "stand_in_records.h"
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
        stand_ins::HostWindowProgram host;
        wprintf(L"  host window (VESKARO_CLASS) %ls\n", host.Window() ? L"open" : L"could not be started");
        optimize(nType, bNotify ? 1 : 0);
        std::vector<std::wstring> notices = host.Notices();
        wprintf(L"  host window received %u notice(s)%ls%ls\n", static_cast<unsigned>(notices.size()), notices.empty() ? L"" : L": ",
                notices.empty() ? L"" : notices[0].c_str());
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
