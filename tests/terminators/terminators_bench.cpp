// "Culvane.exe LM" against "taskkill /F" with the 17 listed names, each ending the same
// 50 listed processes among 200 running ones.
#include <cstdio>

#include "kill_list_names.h"
#include "terminator_test_support.h"

using namespace terminator_tests;

namespace {
constexpr int kListed = 50;
constexpr int kOthers = 150;

std::vector<WaitingProcess> StartListed(const std::wstring& strFolder)
{
    std::vector<WaitingProcess> processes;
    for (int i = 0; i < kListed; ++i)
        processes.push_back(StartWaiting(strFolder + L"\\" + kDistinctKillListNames[i % kDistinctKillListNames.size()]));
    return processes;
}

int CountEnded(std::vector<WaitingProcess>& processes)
{
    int nEnded = 0;
    for (WaitingProcess& process : processes)
        nEnded += process.Ended(10000);
    return nEnded;
}

DWORD RunTimed(const std::wstring& strFolder, const wchar_t* pszProgram, const std::wstring& strTail)
{
    DWORD dwStart = GetTickCount();
    RunProgram(strFolder, pszProgram, strTail);
    return GetTickCount() - dwStart;
}

// taskkill reports each process it ends; its report goes to NUL so that only the work is timed.
DWORD RunTaskkillTimed(const std::wstring& strTail)
{
    wchar_t szSystem[MAX_PATH] = {};
    GetSystemDirectoryW(szSystem, MAX_PATH);
    std::wstring strPath = std::wstring(szSystem) + L"\\taskkill.exe";
    std::wstring strCommandLine = L"\"" + strPath + L"\" " + strTail;
    SECURITY_ATTRIBUTES inherit = {sizeof(inherit), nullptr, TRUE};
    win32::UniqueFile hNul(CreateFileW(L"NUL", GENERIC_WRITE, FILE_SHARE_WRITE, &inherit, OPEN_EXISTING, 0, nullptr));
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = startup.hStdError = hNul.get();
    PROCESS_INFORMATION info = {};
    DWORD dwStart = GetTickCount();
    if (!CreateProcessW(strPath.c_str(), &strCommandLine[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &info))
        return 0;
    win32::UniqueHandle hProcess(info.hProcess), hThread(info.hThread);
    WaitForSingleObject(hProcess.get(), INFINITE);
    return GetTickCount() - dwStart;
}
}  // namespace

int main()
{
    ScratchFolder programs(L"bench-programs");
    ScratchFolder standins(L"bench-standins");
    InstallPrograms(programs.Path());
    for (const wchar_t* pszName : kDistinctKillListNames)
        InstallStandin(standins.Path(), pszName);
    std::wstring strFiller = InstallStandin(standins.Path(), L"bench-filler.exe");
    std::vector<WaitingProcess> others;
    for (int i = 0; i < kOthers; ++i)
        others.push_back(StartWaiting(strFiller));

    std::vector<WaitingProcess> listed = StartListed(standins.Path());
    DWORD dwCulvane = RunTimed(programs.Path(), L"Culvane.exe", L"LM");
    int nCulvaneEnded = CountEnded(listed);

    std::wstring strTaskkillTail = L"/F";
    for (const wchar_t* pszName : kDistinctKillListNames)
        strTaskkillTail += std::wstring(L" /IM ") + pszName;
    listed = StartListed(standins.Path());
    DWORD dwTaskkill = RunTaskkillTimed(strTaskkillTail);
    int nTaskkillEnded = CountEnded(listed);

    EndAll(others);
    wprintf(L"%d processes running, %d of them with listed names\n", kListed + kOthers, kListed);
    wprintf(L"  Culvane.exe LM            %5lu ms  (%d of %d ended)\n", dwCulvane, nCulvaneEnded, kListed);
    wprintf(L"  taskkill /F, 17 names     %5lu ms  (%d of %d ended)\n", dwTaskkill, nTaskkillEnded, kListed);
    wprintf(L"  Culvane.exe is %ls\n", dwCulvane < dwTaskkill ? L"faster" : L"not faster");
    return 0;
}
