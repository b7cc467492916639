// The least a program can do for "Culvane.exe LM", as a yardstick for its time: a plain
// windowless program, without the framework, that reads the same don't-kill flag and
// makes the same walk over a process snapshot (open every process, compare its name with
// the kill list ignoring the case of A to Z, end the listed ones). Given "start" it ends
// at once, which measures the start-up of such a program alone.
#include <windows.h>
#include <shlobj.h>
#include <tlhelp32.h>

#include <cwchar>

namespace {
const wchar_t* const kNames[] = {
    L"harrowfen.exe", L"quillery.exe",   L"tarnfell.exe",    L"dunmere.exe",   L"oxlith.exe",    L"pondrill.exe",
    L"ganwick.exe",   L"glimmerdown.exe", L"ardmoor.exe",    L"sorrelby.exe",  L"kestin.exe",    L"lumhollow.exe",
    L"yarrowmead.exe", L"harrowfen.exe",  L"thistlecote.exe", L"ivorsett.exe", L"calderin.exe",  L"nethermoss.exe",
};

bool SameName(const wchar_t* a, const wchar_t* b)
{
    for (;; ++a, ++b) {
        wchar_t ca = *a >= L'A' && *a <= L'Z' ? *a + 32 : *a, cb = *b >= L'A' && *b <= L'Z' ? *b + 32 : *b;
        if (ca != cb)
            return false;
        if (!ca)
            return true;
    }
}

bool DontKill()
{
    wchar_t szPath[MAX_PATH + 40] = {};
    if (SHGetFolderPathW(nullptr, CSIDL_APPDATA | CSIDL_FLAG_CREATE, nullptr, 0, szPath) != S_OK)
        return false;
    wcscat(szPath, L"\\Tessary");
    CreateDirectoryW(szPath, nullptr);
    wcscat(szPath, L"\\Brimwell");
    CreateDirectoryW(szPath, nullptr);
    wcscat(szPath, L"\\xmlka.dat");
    wchar_t szValue[2000] = {};
    GetPrivateProfileStringW(L"Tessary Optimizer", L"IDS_DONT_KILL", L"", szValue, 2000, szPath);
    return _wcsicmp(szValue, L"1") == 0;
}
}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR pszCommandLine, int)
{
    if (_wcsicmp(pszCommandLine, L"start") == 0 || DontKill())
        return 0;
    HANDLE hSnapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (hSnapshot == INVALID_HANDLE_VALUE)
        return 0;
    PROCESSENTRY32W entry = {};
    entry.dwSize = sizeof(entry);
    for (BOOL bMore = Process32FirstW(hSnapshot, &entry); bMore; bMore = Process32NextW(hSnapshot, &entry)) {
        HANDLE hProcess = OpenProcess(0x001FFFFF, FALSE, entry.th32ProcessID);
        if (!hProcess)
            hProcess = OpenProcess(PROCESS_TERMINATE, TRUE, entry.th32ProcessID);
        if (!hProcess)
            continue;
        for (const wchar_t* pszName : kNames) {
            if (SameName(entry.szExeFile, pszName)) {
                DWORD dwCode = 0;
                if (!TerminateProcess(hProcess, 0) && GetExitCodeProcess(hProcess, &dwCode))
                    TerminateProcess(hProcess, dwCode);
                break;
            }
        }
        CloseHandle(hProcess);
    }
    CloseHandle(hSnapshot);
    return 0;
}
