// "Culvane.exe LM" against a minimal windowless program making the same walk
// (minimal_walk.exe, start-up and don't-kill gate included) and against "taskkill /F" with
// the 17 listed names, each ending the same 50 listed processes among 200 running ones;
// also the start-up alone of both programs (Culvane given no word). Every stand-in has
// finished starting before a timed run begins, so no start-up of theirs is timed.
// Min / median / max over kRounds rounds, the two programs taking turns to go first;
// taskkill, seconds a run, in every kTaskkillEvery-th round.
#include <cstdio>

#include "testing/bench_rounds.h"
#include "testing/library_host.h"

#include "kill_list_names.h"
#include "terminator_test_support.h"

using namespace terminator_tests;

namespace {
constexpr int kListed = 50;
constexpr int kOthers = 150;

// Starts the stand-ins at strPaths all at once and returns when each has released hReady,
// the semaphore that TESSARY_STANDIN_READY names (see standins/terminator_standin.cpp).
std::vector<WaitingProcess> StartAll(HANDLE hReady, const std::vector<std::wstring>& strPaths)
{
    std::vector<WaitingProcess> processes;
    for (const std::wstring& strPath : strPaths) {
        WaitingProcess process = LaunchWaiting(strPath);
        if (process.hProcess)
            processes.push_back(std::move(process));
    }
    for (size_t i = 0; i < processes.size(); ++i)
        WaitForSingleObject(hReady, 10000);
    return processes;
}

std::vector<WaitingProcess> StartListed(HANDLE hReady, const std::wstring& strFolder)
{
    std::vector<std::wstring> strPaths;
    for (int i = 0; i < kListed; ++i)
        strPaths.push_back(strFolder + L"\\" + kDistinctKillListNames[i % kDistinctKillListNames.size()]);
    return StartAll(hReady, strPaths);
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
    std::wstring strReady = L"TessaryBenchReady" + std::to_wstring(GetCurrentProcessId());
    win32::UniqueHandle hReady(CreateSemaphoreW(nullptr, 0, MAXLONG, strReady.c_str()));
    SetEnvironmentVariableW(L"TESSARY_STANDIN_READY", strReady.c_str());
    std::vector<WaitingProcess> others = StartAll(hReady.get(), std::vector<std::wstring>(kOthers, strFiller));

    CopyFileW((testing_support::ProgramFolder() + L"\\minimal_walk.exe").c_str(), (programs.Path() + L"\\minimal_walk.exe").c_str(), FALSE);
    std::wstring strTaskkillTail = L"/F";
    for (const wchar_t* pszName : kDistinctKillListNames)
        strTaskkillTail += std::wstring(L" /IM ") + pszName;

    // On a busy 2-core machine single runs of about 200 ms spread by a factor of 3, and so
    // does the per-round ratio: its median needs about a hundred rounds to settle.
    constexpr int kRounds = 101;
    constexpr int kTaskkillEvery = 10;
    std::vector<double> culvane, walk, taskkill, culvaneStart, start, walkRatio, startRatio, taskkillRatio;
    int nMissed = 0;  // listed processes that a run left running
    auto timed = [&](auto run) {
        std::vector<WaitingProcess> listed = StartListed(hReady.get(), standins.Path());
        double dTime = run();
        nMissed += kListed - CountEnded(listed);
        return dTime;
    };
    auto culvaneRun = [&] { return RunTimed(programs.Path(), L"Culvane.exe", L"LM"); };
    auto walkRun = [&] { return RunTimed(programs.Path(), L"minimal_walk.exe", L"walk"); };
    for (int round = 0; round < kRounds; ++round) {
        const auto [dCulvane, dWalk] =
            testing_support::TimeInTurn(round, [&] { return timed(culvaneRun); }, [&] { return timed(walkRun); });
        culvane.push_back(dCulvane);
        walk.push_back(dWalk);
        walkRatio.push_back(dCulvane / dWalk);
        if (round % kTaskkillEvery == 0) {
            taskkill.push_back(timed([&] { return RunTaskkillTimed(strTaskkillTail); }));
            taskkillRatio.push_back(dCulvane / taskkill.back());
        }
        const auto [dCulvaneStart, dStart] =
            testing_support::TimeInTurn(round, [&] { return RunTimed(programs.Path(), L"Culvane.exe", L""); },
                                        [&] { return RunTimed(programs.Path(), L"minimal_walk.exe", L"start"); });
        culvaneStart.push_back(dCulvaneStart);
        start.push_back(dStart);
        startRatio.push_back(dCulvaneStart / dStart);
    }
    EndAll(others);

    std::printf("%d processes running, %d of them with listed names; min / median / max of %d rounds (taskkill: %u)\n",
                kListed + kOthers, kListed, kRounds, static_cast<unsigned>(taskkill.size()));
    testing_support::PrintSpread("Culvane.exe LM", testing_support::SpreadOf(culvane), "ms");
    testing_support::PrintSpread("minimal program, same walk", testing_support::SpreadOf(walk), "ms");
    testing_support::PrintSpread("taskkill /F, 17 names", testing_support::SpreadOf(taskkill), "ms");
    testing_support::PrintSpread("Culvane.exe, no word: start-up alone", testing_support::SpreadOf(culvaneStart), "ms");
    testing_support::PrintSpread("minimal program, start-up alone", testing_support::SpreadOf(start), "ms");
    testing_support::PrintSpread("ratio Culvane / minimal walk", testing_support::SpreadOf(walkRatio), "");
    testing_support::PrintSpread("ratio of the start-ups alone", testing_support::SpreadOf(startRatio), "");
    testing_support::PrintSpread("ratio Culvane / taskkill", testing_support::SpreadOf(taskkillRatio), "");
    if (nMissed)
        std::printf("note: %d listed processes survived a run: the figures are not comparable\n", nMissed);
    return 0;
}
