// "Culvane.exe LM" against a minimal windowless program making the same walk
// (minimal_walk.exe, start-up included) and against "taskkill /F" with the 17 listed
// names, each ending the same 50 listed processes among 200 running ones; also the
// start-up alone of the minimal program. Min / median / max over 15 rounds, each round
// taking the three in a different order.
#include <cstdio>

#include "testing/bench_rounds.h"
#include "testing/library_host.h"

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

double RunTimed(const std::wstring& strFolder, const wchar_t* pszProgram, const std::wstring& strTail)
{
    double dStart = testing_support::NowMilliseconds();
    RunProgram(strFolder, pszProgram, strTail);
    return testing_support::NowMilliseconds() - dStart;
}

// taskkill reports each process it ends; its report goes to NUL so that only the work is timed.
double RunTaskkillTimed(const std::wstring& strTail)
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
    double dStart = testing_support::NowMilliseconds();
    if (!CreateProcessW(strPath.c_str(), &strCommandLine[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &info))
        return 0;
    win32::UniqueHandle hProcess(info.hProcess), hThread(info.hThread);
    WaitForSingleObject(hProcess.get(), INFINITE);
    return testing_support::NowMilliseconds() - dStart;
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

    CopyFileW((testing_support::ProgramFolder() + L"\\minimal_walk.exe").c_str(), (programs.Path() + L"\\minimal_walk.exe").c_str(), FALSE);
    std::wstring strTaskkillTail = L"/F";
    for (const wchar_t* pszName : kDistinctKillListNames)
        strTaskkillTail += std::wstring(L" /IM ") + pszName;

    constexpr int kRounds = 15;
    std::vector<double> culvane, walk, taskkill, start, walkRatio, taskkillRatio;
    int nMissed = 0;  // listed processes that a run left running
    for (int round = 0; round < kRounds; ++round) {
        double dRun[3] = {};
        for (int nStep = 0; nStep < 3; ++nStep) {
            int nWhich = (nStep + round) % 3;
            std::vector<WaitingProcess> listed = StartListed(standins.Path());
            if (nWhich == 0)
                dRun[0] = RunTimed(programs.Path(), L"Culvane.exe", L"LM");
            else if (nWhich == 1)
                dRun[1] = RunTimed(programs.Path(), L"minimal_walk.exe", L"walk");
            else
                dRun[2] = RunTaskkillTimed(strTaskkillTail);
            nMissed += kListed - CountEnded(listed);
        }
        culvane.push_back(dRun[0]);
        walk.push_back(dRun[1]);
        taskkill.push_back(dRun[2]);
        walkRatio.push_back(dRun[0] / dRun[1]);
        taskkillRatio.push_back(dRun[0] / dRun[2]);
        start.push_back(RunTimed(programs.Path(), L"minimal_walk.exe", L"start"));
    }
    EndAll(others);

    std::printf("%d processes running, %d of them with listed names; min / median / max of %d rounds\n", kListed + kOthers, kListed,
                kRounds);
    testing_support::PrintSpread("Culvane.exe LM", testing_support::SpreadOf(culvane), "ms");
    testing_support::PrintSpread("minimal program, same walk", testing_support::SpreadOf(walk), "ms");
    testing_support::PrintSpread("taskkill /F, 17 names", testing_support::SpreadOf(taskkill), "ms");
    testing_support::PrintSpread("minimal program, start-up alone", testing_support::SpreadOf(start), "ms");
    testing_support::PrintSpread("ratio Culvane / minimal walk", testing_support::SpreadOf(walkRatio), "");
    testing_support::PrintSpread("ratio Culvane / taskkill", testing_support::SpreadOf(taskkillRatio), "");
    if (nMissed)
        std::printf("note: %d listed processes survived a run: the figures are not comparable\n", nMissed);
    return 0;
}
