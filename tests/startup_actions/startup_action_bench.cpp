// Time of one disable-and-enable round trip through StartupAction (a Run value, then a
// shortcut), against the bare registry and file calls that such a round trip needs.
#include <windows.h>
#include <shlobj.h>

#include <cstdio>

#include "action_test_support.h"

using namespace startup_test;

namespace {
constexpr int kRounds = 200;
constexpr const wchar_t* kName = L"TessaryBenchProbe";
constexpr const wchar_t* kCommand = L"C:\\Bench\\bench.exe /tray";

double Milliseconds(LARGE_INTEGER start, LARGE_INTEGER end)
{
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(end.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// The registry work of one Run round trip, done directly: eleven values into a store
// subkey and the Run value deleted, then written back and the subkey deleted.
void BareRunRoundTrip()
{
    const std::wstring strEntry = std::wstring(kStartupReg) + L"\\" + kName;
    for (const wchar_t* pszValue : {L"DAY", L"HOUR", L"MINUTE", L"MONTH", L"SECOND", L"YEAR", L"command", L"hkey",
                                    L"inimapping", L"item", L"key"})
        SetString(HKEY_LOCAL_MACHINE, KEY_WOW64_64KEY, strEntry, pszValue, kCommand);
    DeleteValue(HKEY_CURRENT_USER, 0, kRunKey, kName);
    SetString(HKEY_CURRENT_USER, 0, kRunKey, kName, kCommand);
    DeleteTree(HKEY_LOCAL_MACHINE, KEY_WOW64_64KEY, strEntry);
}

template <class F>
double Time(F round)
{
    LARGE_INTEGER start, end;
    QueryPerformanceCounter(&start);
    for (int i = 0; i < kRounds; ++i)
        round();
    QueryPerformanceCounter(&end);
    return Milliseconds(start, end) / kRounds;
}
}  // namespace

int main()
{
    if (SeesApprovedStore()) {
        printf("run under a Windows version that uses the MSConfig store (winxp, win7)\n");
        return 0;
    }
    SetString(HKEY_CURRENT_USER, 0, kRunKey, kName, kCommand);
    STARTUPITEMS run = MakeItem(kName, kCommand, SI_RUN_HKCU, 1);
    const double dRun = Time([&] {
        Act(run, 0);
        Act(run, 1);
    });
    const double dBareRun = Time(BareRunRoundTrip);
    DeleteValue(HKEY_CURRENT_USER, 0, kRunKey, kName);

    const std::wstring strShortcut = StartupFolder(CSIDL_STARTUP) + L"\\" + kName + L".lnk";
    const std::wstring strBackup = std::wstring(kBackupFolder) + L"\\" + kName + L".lnk.Startup";
    CreateDirectoryW(kBackupFolder, nullptr);
    CreateShortcut(strShortcut, L"C:\\windows\\system32\\notepad.exe");
    STARTUPITEMS shortcut = MakeItem(kName, L"C:\\windows\\system32\\notepad.exe", SI_FOLDER_USER, 1);
    const double dShortcut = Time([&] {
        Act(shortcut, 0);
        Act(shortcut, 1);
    });
    const double dBareMoves = Time([&] {
        MoveFileW(strShortcut.c_str(), strBackup.c_str());
        MoveFileW(strBackup.c_str(), strShortcut.c_str());
    });
    DeleteFileW(strShortcut.c_str());
    const bool bBack = run.nSource == SI_RUN_HKCU && shortcut.nSource == SI_FOLDER_USER;

    printf("%d rounds each%s\n", kRounds, bBack ? "" : " (an item did not come back: figures are not comparable)");
    printf("  Run value round trip   %7.3f ms   bare registry calls %7.3f ms\n", dRun, dBareRun);
    printf("  shortcut round trip    %7.3f ms   two bare moves      %7.3f ms\n", dShortcut, dBareMoves);
    return 0;
}
