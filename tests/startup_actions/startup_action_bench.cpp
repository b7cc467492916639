// Disable-and-enable round trips through StartupAction (a Run value, then a shortcut)
// against the platform calls that the same round trip must make, made directly with one
// key handle per key. A Run value: its value read (it must still hold the listed command,
// and its type is kept), the store entry written with the type, the value deleted; then
// the entry opened with the right to delete it and read (item, command, place, type), the
// value written back (the Run key made where missing, a value of that name looked for)
// and the entry deleted in the 64-bit view. A shortcut: the folder and the shortcut
// looked up, its backup's name checked, the store entry written, the move; then the entry
// opened and read (item, command, backup, path), the move back and the entry deleted. The
// shortcut is measured alone in its folder and among 200 others. Both sides' registry
// calls are counted once before the timing, so that a gap in calls shows apart from a gap
// in time.
#include <windows.h>
#include <shlobj.h>

#include <cstdio>
#include <cstring>
#include <ctime>
#include <memory>
#include <vector>

#include "action_test_support.h"
#include "testing/bench_rounds.h"
#include "win32/raii.h"

using namespace startup_test;

namespace {
constexpr int kRounds = 101;
constexpr int kCallsPerRound = 50;
constexpr const wchar_t* kName = L"TessaryBenchProbe";
constexpr const wchar_t* kCommand = L"C:\\Bench\\bench.exe /tray";
constexpr REGSAM kFull = KEY_ALL_ACCESS | KEY_WOW64_64KEY;
constexpr REGSAM kRunAccess = KEY_QUERY_VALUE | KEY_SET_VALUE | KEY_WOW64_64KEY;
constexpr REGSAM kRestoreAccess = KEY_QUERY_VALUE | DELETE | KEY_WOW64_64KEY;

// Registry calls, counted through the import entries of a module (the library, or this
// program for the baseline), and through what the library looks up at run time.
int g_nRegistryCalls = 0;
template <class F>
F System(const char* pszName)
{
    return reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"advapi32.dll"), pszName)));
}
#define COUNTED(name, params, args)                                     \
    LONG WINAPI Counted##name params                                    \
    {                                                                    \
        static const auto pfn = System<decltype(&name)>(#name);          \
        ++g_nRegistryCalls;                                              \
        return pfn args;                                                 \
    }
COUNTED(RegOpenKeyExW, (HKEY h, LPCWSTR s, DWORD o, REGSAM m, PHKEY r), (h, s, o, m, r))
COUNTED(RegCreateKeyExW, (HKEY h, LPCWSTR s, DWORD r, LPWSTR c, DWORD o, REGSAM m, LPSECURITY_ATTRIBUTES a, PHKEY k, LPDWORD d),
        (h, s, r, c, o, m, a, k, d))
COUNTED(RegQueryValueExW, (HKEY h, LPCWSTR n, LPDWORD r, LPDWORD t, LPBYTE d, LPDWORD c), (h, n, r, t, d, c))
COUNTED(RegSetValueExW, (HKEY h, LPCWSTR n, DWORD r, DWORD t, const BYTE* d, DWORD c), (h, n, r, t, d, c))
COUNTED(RegDeleteValueW, (HKEY h, LPCWSTR n), (h, n))
COUNTED(RegDeleteKeyW, (HKEY h, LPCWSTR s), (h, s))
COUNTED(RegDeleteKeyExW, (HKEY h, LPCWSTR s, REGSAM m, DWORD r), (h, s, m, r))
COUNTED(RegCloseKey, (HKEY h), (h))
COUNTED(RegEnumKeyExW, (HKEY h, DWORD i, LPWSTR n, LPDWORD c, LPDWORD r, LPWSTR s, LPDWORD sc, PFILETIME t), (h, i, n, c, r, s, sc, t))
COUNTED(RegEnumValueW, (HKEY h, DWORD i, LPWSTR n, LPDWORD c, LPDWORD r, LPDWORD t, LPBYTE d, LPDWORD dc), (h, i, n, c, r, t, d, dc))
COUNTED(RegQueryInfoKeyW,
        (HKEY h, LPWSTR c, LPDWORD cc, LPDWORD r, LPDWORD s, LPDWORD sm, LPDWORD cm, LPDWORD v, LPDWORD vn, LPDWORD vm, LPDWORD sd,
         PFILETIME t),
        (h, c, cc, r, s, sm, cm, v, vn, vm, sd, t))
#undef COUNTED

FARPROC WINAPI CountedGetProcAddress(HMODULE hModule, LPCSTR pszName)
{
    if (HIWORD(pszName) && strcmp(pszName, "RegDeleteKeyExW") == 0)
        return reinterpret_cast<FARPROC>(&CountedRegDeleteKeyExW);
    return GetProcAddress(hModule, pszName);
}

// The registry calls that one run of work makes through hModule's imports.
template <class Work>
int RegistryCallsOf(HMODULE hModule, Work work)
{
    using testing_support::ImportPatch;
    const std::pair<const char*, void*> counted[] = {
        {"RegOpenKeyExW", reinterpret_cast<void*>(&CountedRegOpenKeyExW)},
        {"RegCreateKeyExW", reinterpret_cast<void*>(&CountedRegCreateKeyExW)},
        {"RegQueryValueExW", reinterpret_cast<void*>(&CountedRegQueryValueExW)},
        {"RegSetValueExW", reinterpret_cast<void*>(&CountedRegSetValueExW)},
        {"RegDeleteValueW", reinterpret_cast<void*>(&CountedRegDeleteValueW)},
        {"RegDeleteKeyW", reinterpret_cast<void*>(&CountedRegDeleteKeyW)},
        {"RegDeleteKeyExW", reinterpret_cast<void*>(&CountedRegDeleteKeyExW)},
        {"RegCloseKey", reinterpret_cast<void*>(&CountedRegCloseKey)},
        {"RegEnumKeyExW", reinterpret_cast<void*>(&CountedRegEnumKeyExW)},
        {"RegEnumValueW", reinterpret_cast<void*>(&CountedRegEnumValueW)},
        {"RegQueryInfoKeyW", reinterpret_cast<void*>(&CountedRegQueryInfoKeyW)},
    };
    std::vector<std::unique_ptr<ImportPatch>> patches;
    for (const auto& entry : counted)
        patches.push_back(std::make_unique<ImportPatch>(hModule, "advapi32.dll", entry.first, entry.second));
    patches.push_back(std::make_unique<ImportPatch>(hModule, "kernel32.dll", "GetProcAddress", reinterpret_cast<void*>(&CountedGetProcAddress)));
    g_nRegistryCalls = 0;
    work();
    return g_nRegistryCalls;
}

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

// A string value read into the 520 bytes that the stores' texts take.
void QueryText(HKEY hKey, const wchar_t* pszName)
{
    wchar_t szValue[261];
    DWORD dwType = 0, cb = 520;
    RegQueryValueExW(hKey, pszName, nullptr, &dwType, reinterpret_cast<BYTE*>(szValue), &cb);
}

void BareRunRoundTrip()
{
    const std::wstring strEntry = std::wstring(kStartupReg) + L"\\" + kName;
    AskVersion();
    {
        win32::UniqueKey run;
        RegOpenKeyExW(HKEY_CURRENT_USER, kRunKey, 0, kRunAccess, run.put());
        QueryText(run.get(), kName);
        {
            win32::UniqueKey entry;
            DWORD dwDisposition = 0;
            RegCreateKeyExW(HKEY_LOCAL_MACHINE, strEntry.c_str(), 0, nullptr, 0, kFull, nullptr, entry.put(), &dwDisposition);
            SetTimestamp(entry.get());
            for (const wchar_t* pszValue : {L"command", L"hkey", L"inimapping", L"item", L"key"})
                SetText(entry.get(), pszValue, kCommand);
            const DWORD dwType = REG_SZ;
            RegSetValueExW(entry.get(), L"commandType", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dwType), sizeof(dwType));
        }
        RegDeleteValueW(run.get(), kName);
    }
    AskVersion();
    {
        win32::UniqueKey entry;
        RegOpenKeyExW(HKEY_LOCAL_MACHINE, strEntry.c_str(), 0, kRestoreAccess, entry.put());
        for (const wchar_t* pszValue : {L"item", L"command", L"hkey"})
            QueryText(entry.get(), pszValue);
        DWORD dwType = 0, dwStored = 0, cb = sizeof(dwStored);
        RegQueryValueExW(entry.get(), L"commandType", nullptr, &dwType, reinterpret_cast<BYTE*>(&dwStored), &cb);
    }
    {
        win32::UniqueKey run;
        RegCreateKeyExW(HKEY_CURRENT_USER, kRunKey, 0, nullptr, 0, kRunAccess, nullptr, run.put(), nullptr);
        RegQueryValueExW(run.get(), kName, nullptr, nullptr, nullptr, nullptr);
        SetText(run.get(), kName, kCommand);
    }
    RegDeleteKeyExW(HKEY_LOCAL_MACHINE, strEntry.c_str(), KEY_WOW64_64KEY, 0);
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
    GetFileAttributesW(strBackup.c_str());
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
        RegOpenKeyExW(HKEY_LOCAL_MACHINE, strEntry.c_str(), 0, kRestoreAccess, entry.put());
        for (const wchar_t* pszValue : {L"item", L"command", L"backup", L"path"})
            QueryText(entry.get(), pszValue);
    }
    MoveFileW(strBackup.c_str(), strShortcut.c_str());
    RegDeleteKeyExW(HKEY_LOCAL_MACHINE, strEntry.c_str(), KEY_WOW64_64KEY, 0);
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
    const HMODULE hLibrary = testing_support::Library::Handle(), hBaseline = GetModuleHandleW(nullptr);
    const int nRunCalls = RegistryCallsOf(hLibrary, [&] {
        Act(run, 0);
        Act(run, 1);
    });
    const int nBareRunCalls = RegistryCallsOf(hBaseline, BareRunRoundTrip);
    testing_support::RoundFigures runFigures = testing_support::MeasureRounds(
        kRounds, kCallsPerRound,
        [&] {
            Act(run, 0);
            Act(run, 1);
        },
        BareRunRoundTrip);
    DeleteValue(HKEY_CURRENT_USER, 0, kRunKey, kName);
    testing_support::PrintRounds("Run value round trip", "StartupAction, disable and enable", "the same platform calls", runFigures);
    printf("  registry calls per round trip: StartupAction %d, the same platform calls %d\n", nRunCalls, nBareRunCalls);

    const std::wstring strFolder = StartupFolder(CSIDL_STARTUP);
    const std::wstring strShortcut = strFolder + L"\\" + kName + L".lnk";
    CreateDirectoryW(kBackupFolder, nullptr);
    CreateShortcut(strShortcut, L"C:\\windows\\system32\\notepad.exe");
    STARTUPITEMS shortcut = MakeItem(kName, L"C:\\windows\\system32\\notepad.exe", SI_FOLDER_USER, 1);
    bool bBack = run.nSource == SI_RUN_HKCU;
    for (int nOthers : {0, 200}) {
        for (int i = 0; i < nOthers; ++i)
            CopyFileW(strShortcut.c_str(), (strFolder + L"\\Other" + std::to_wstring(i) + L".lnk").c_str(), FALSE);
        const int nCalls = RegistryCallsOf(hLibrary, [&] {
            Act(shortcut, 0);
            Act(shortcut, 1);
        });
        const int nBareCalls = RegistryCallsOf(hBaseline, BareShortcutRoundTrip);
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
        printf("  registry calls per round trip: StartupAction %d, the same platform calls %d\n", nCalls, nBareCalls);
        for (int i = 0; i < nOthers; ++i)
            DeleteFileW((strFolder + L"\\Other" + std::to_wstring(i) + L".lnk").c_str());
    }
    DeleteFileW(strShortcut.c_str());
    if (!bBack)
        printf("an item did not come back: the figures are not comparable\n");
    return 0;
}
