// Stand-in for a program of the product, copied under the names the terminators know.
// "wait": stays until something ends it (the starter reads how from the exit code); when
// TESSARY_STANDIN_READY names a semaphore, it first releases that once, so a starter that
// times work over running programs can wait until all of them have finished starting.
// Otherwise it appends one line to the file named by TESSARY_STANDIN_LOG:
//   name|command line|working folder|show mode (-1: none given)|priority class
// and ends; given "UDS" it first lingers a moment, so a starter that waits is seen to.
#include <windows.h>

#include <cwchar>
#include <string>

#include "win32/raii.h"

namespace {
std::wstring ModuleName()
{
    wchar_t szPath[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, szPath, MAX_PATH);
    const wchar_t* pszName = wcsrchr(szPath, L'\\');
    return pszName ? pszName + 1 : szPath;
}

void AppendRecord(const std::wstring& strLine)
{
    wchar_t szLog[MAX_PATH] = {};
    if (!GetEnvironmentVariableW(L"TESSARY_STANDIN_LOG", szLog, MAX_PATH))
        return;
    int nBytes = WideCharToMultiByte(CP_UTF8, 0, strLine.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string strUtf8(static_cast<size_t>(nBytes), '\0');
    WideCharToMultiByte(CP_UTF8, 0, strLine.c_str(), -1, &strUtf8[0], nBytes, nullptr, nullptr);
    strUtf8.back() = '\n';
    // Starters may run several stand-ins at once: retry while another holds the file.
    for (int nTry = 0; nTry < 200; ++nTry) {
        HANDLE hFile = CreateFileW(szLog, FILE_APPEND_DATA, 0, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (hFile != INVALID_HANDLE_VALUE) {
            DWORD dwWritten = 0;
            WriteFile(hFile, strUtf8.data(), static_cast<DWORD>(strUtf8.size()), &dwWritten, nullptr);
            CloseHandle(hFile);
            return;
        }
        Sleep(10);
    }
}
}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR pszArguments, int)
{
    if (wcscmp(pszArguments, L"wait") == 0) {
        wchar_t szReady[MAX_PATH] = {};
        if (GetEnvironmentVariableW(L"TESSARY_STANDIN_READY", szReady, MAX_PATH)) {
            win32::UniqueHandle hReady(OpenSemaphoreW(SEMAPHORE_MODIFY_STATE, FALSE, szReady));
            if (hReady)
                ReleaseSemaphore(hReady.get(), 1, nullptr);
        }
        Sleep(INFINITE);
        return 0;
    }
    if (wcsstr(pszArguments, L"UDS"))
        Sleep(500);
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    GetStartupInfoW(&startup);
    int nShow = (startup.dwFlags & STARTF_USESHOWWINDOW) ? startup.wShowWindow : -1;
    wchar_t szFolder[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, szFolder);
    wchar_t szNumbers[64] = {};
    swprintf(szNumbers, 64, L"|%d|%lu", nShow, GetPriorityClass(GetCurrentProcess()));
    AppendRecord(ModuleName() + L"|" + GetCommandLineW() + L"|" + szFolder + szNumbers);
    return 0;
}
