// Disable-and-enable round trips through StartupAction (a Run value, then a shortcut)
// against the platform calls that the same round trip must make, made directly with one
// key handle per key: the store entry written and the Run value deleted, then the value
// written back and the entry deleted; for a shortcut the folder and the shortcut looked
// up, the store entry written, the move, then the entry read, the move back and the
// entry deleted. The shortcut is measured alone in its folder and among 200 others.
#include <windows.h>
#include <shlobj.h>

#include <cstdio>
#include <ctime>

#include "action_test_support.h"
#include "testing/bench_rounds.h"
#include "win32/raii.h"

using namespace startup_test;

namespace {
constexpr int kRounds = 31;
constexpr int kCallsPerRound = 50;
constexpr const wchar_t* kName = L"TessaryBenchProbe";
constexpr const wchar_t* kCommand = L"C:\\Bench\\bench.exe /tray";
constexpr REGSAM kFull = KEY_ALL_ACCESS | KEY_WOW64_64KEY;

void AskVersion()
{
    OSVERSIONINFOW version = {};
    version.dwOSVersionInfoSize = sizeof(version);
    GetVersionExW(&version);
}

bool SetText(HKEY hKey, const wchar_t* pszName, const std::wstring& strText)
{
    return RegSetValueExW(hKey, pszName, 0, REG_SZ, reinterpret_cast<const BYTE*>(strText.c_str()),
                          static_cast<DWORD>((strText.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
}

void SetTimestamp(HKEY hKey)
{
    time_t tNow = time(nullptr);
    for (const wchar_t* pszName : {L"DAY", L"HOUR", L"MINUTE", L"MONTH", L"SECOND", L"YEAR"}) {
        DWORD dw = static_cast<DWORD>(localtime(&tNow)->tm_sec);
        RegSetValueExW(hKey, pszName, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dw), sizeof(dw));
    }
}

void BareRunRoundTrip()
{
    const std::wstring strEntry = std::wstring(kStartupReg) + L"\\" + kName;
    AskVersion();
    {
        win32::UniqueKey entry;
        DWORD dwDisposition = 0;
        RegCreateKeyExW(HKEY_LOCAL_MACHINE, strEntry.c_str(), 0, nullptr, 0, kFull, nullptr, entry.put(), &dwDisposition);
        SetTimestamp(entry.get());
        for (const wchar_t* pszValue : {L"command", L"hkey", L"inimapping", L"item", L"key"})
            SetText(entry.get(), pszValue, kCommand);
    }
    {
        win32::UniqueKey run;
        RegOpenKeyExW(HKEY_CURRENT_USER, kRunKey, 0, kFull, run.put());
        RegDeleteValueW(run.get(), kName);
    }
    AskVersion();
    {
        win32::UniqueKey run;
        RegOpenKeyExW(HKEY_CURRENT_USER, kRunKey, 0, kFull, run.put());
        DWORD dwType = 0, cb = 0;
        RegQueryValueExW(run.get(), kName, nullptr, &dwType, nullptr, &cb);
        SetText(run.get(), kName, kCommand);
    }
    win32::UniqueKey store;
    RegOpenKeyExW(HKEY_LOCAL_MACHINE, kStartupReg, 0, kFull, store.put());
    RegDeleteKeyW(store.get(), kName);
}

void BareShortcutRoundTrip()
{
    wchar_t szFolder[MAX_PATH] = {};
    AskVersion();
    SHGetFolderPathW(nullptr, CSIDL_STARTUP, nullptr, SHGFP_TYPE_CURRENT, szFolder);
    const std::wstring strShortcut = std::wstring(szFolder) + L"\\" + kName + L".lnk";
    const std::wstring strBackup = std::wstring(kBackupFolder) + L"\\" + kName + L".lnk.Startup";
    const std::wstring strEntry = std::wstring(kStartupFolderStore) + L"\\" + CaretPath(strShortcut);
    {
        WIN32_FIND_DATAW found;
        win32::UniqueFind search(FindFirstFileW(strShortcut.c_str(), &found));
    }
    {
        win32::UniqueKey entry;
        RegCreateKeyExW(HKEY_LOCAL_MACHINE, strEntry.c_str(), 0, nullptr, 0, kFull, nullptr, entry.put(), nullptr);
        SetTimestamp(entry.get());
        for (const std::wstring& strValue : {strBackup, std::wstring(L".Startup"), std::wstring(kCommand), std::wstring(kName),
                                             std::wstring(szFolder), strShortcut})
            SetText(entry.get(), L"v", strValue);
    }
    CreateDirectoryW(kBackupFolder, nullptr);
    MoveFileW(strShortcut.c_str(), strBackup.c_str());

    AskVersion();
    SHGetFolderPathW(nullptr, CSIDL_STARTUP, nullptr, SHGFP_TYPE_CURRENT, szFolder);
    {
        win32::UniqueKey entry;
        RegOpenKeyExW(HKEY_LOCAL_MACHINE, strEntry.c_str(), 0, kFull, entry.put());
        wchar_t szValue[261];
        for (const wchar_t* pszValue : {L"backup", L"path"}) {
            DWORD dwType = 0, cb = 520;
            RegQueryValueExW(entry.get(), pszValue, nullptr, &dwType, reinterpret_cast<BYTE*>(szValue), &cb);
        }
    }
    MoveFileW(strBackup.c_str(), strShortcut.c_str());
    win32::UniqueKey store;
    RegOpenKeyExW(HKEY_LOCAL_MACHINE, kStartupFolderStore, 0, kFull, store.put());
    RegDeleteKeyW(store.get(), CaretPath(strShortcut).c_str());
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
    testing_support::RoundFigures runFigures = testing_support::MeasureRounds(
        kRounds, kCallsPerRound,
        [&] {
            Act(run, 0);
            Act(run, 1);
        },
        BareRunRoundTrip);
    DeleteValue(HKEY_CURRENT_USER, 0, kRunKey, kName);
    testing_support::PrintRounds("Run value round trip", "StartupAction, disable and enable", "the same platform calls", runFigures);

    const std::wstring strFolder = StartupFolder(CSIDL_STARTUP);
    const std::wstring strShortcut = strFolder + L"\\" + kName + L".lnk";
    CreateDirectoryW(kBackupFolder, nullptr);
    CreateShortcut(strShortcut, L"C:\\windows\\system32\\notepad.exe");
    STARTUPITEMS shortcut = MakeItem(kName, L"C:\\windows\\system32\\notepad.exe", SI_FOLDER_USER, 1);
    bool bBack = run.nSource == SI_RUN_HKCU;
    for (int nOthers : {0, 200}) {
        for (int i = 0; i < nOthers; ++i)
            CopyFileW(strShortcut.c_str(), (strFolder + L"\\Other" + std::to_wstring(i) + L".lnk").c_str(), FALSE);
        testing_support::RoundFigures figures = testing_support::MeasureRounds(
            kRounds, kCallsPerRound,
            [&] {
                Act(shortcut, 0);
                Act(shortcut, 1);
            },
            BareShortcutRoundTrip);
        bBack = bBack && shortcut.nSource == SI_FOLDER_USER;
        char szTitle[100];
        snprintf(szTitle, sizeof(szTitle), "shortcut round trip, %d other shortcuts in the folder", nOthers);
        testing_support::PrintRounds(szTitle, "StartupAction, disable and enable", "the same platform calls", figures);
        for (int i = 0; i < nOthers; ++i)
            DeleteFileW((strFolder + L"\\Other" + std::to_wstring(i) + L".lnk").c_str());
    }
    DeleteFileW(strShortcut.c_str());
    if (!bBack)
        printf("an item did not come back: the figures are not comparable\n");
    return 0;
}
