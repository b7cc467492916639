#include "brenholt/launch.h"

#include <shellapi.h>

#include <cwchar>
#include <vector>

#include "win32/raii.h"

#if !defined(_WIN64)
static_assert(sizeof(STARTUPINFOW) == 68, "STARTUPINFOW has its documented size");
static_assert(sizeof(SHELLEXECUTEINFOW) == 60, "SHELLEXECUTEINFOW has its documented size");
#endif

CString LaunchCommandLine(const CString& strPath, bool bUpdateArgument)
{
    CString strCommandLine;
    if (strPath.Find(L' ') >= 0) {
        strCommandLine = L"\"";
        strCommandLine += strPath;
        strCommandLine += L"\"";
    } else {
        strCommandLine = strPath;
    }
    if (bUpdateArgument)
        strCommandLine += L" UDS";
    return strCommandLine;
}

void LaunchAndWait(const CString& strPath, bool bUpdateArgument)
{
    CString strCommandLine = LaunchCommandLine(strPath, bUpdateArgument);
    // CreateProcessW may write into the command line; the buffer holds 260 characters or,
    // for a longer line, all of it.
    std::vector<wchar_t> commandLine(static_cast<size_t>(strCommandLine.GetLength()) + 1 > MAX_PATH
                                         ? static_cast<size_t>(strCommandLine.GetLength()) + 1
                                         : MAX_PATH,
                                     L'\0');
    wmemcpy(commandLine.data(), strCommandLine, static_cast<size_t>(strCommandLine.GetLength()));

    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    // The application name keeps a folder with blanks from starting some other program.
    if (CreateProcessW(strPath, commandLine.data(), nullptr, nullptr, TRUE, BELOW_NORMAL_PRIORITY_CLASS, nullptr, nullptr,
                       &startup, &process)) {
        win32::UniqueHandle hProcess(process.hProcess);
        win32::UniqueHandle hThread(process.hThread);
        WaitForSingleObject(hProcess.get(), INFINITE);
        return;
    }

    SHELLEXECUTEINFOW execute = {};
    execute.cbSize = sizeof(execute);
    execute.fMask = SEE_MASK_NOCLOSEPROCESS;
    execute.lpFile = strPath;
    execute.lpParameters = bUpdateArgument ? L"UDS" : L"";
    execute.nShow = SW_SHOW;
    ShellExecuteExW(&execute);
    win32::UniqueHandle hProcess(execute.hProcess);
    if (hProcess)
        WaitForSingleObject(hProcess.get(), INFINITE);
}

CString ProgramDirectory()
{
    wchar_t szPath[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, szPath, MAX_PATH);
    CString strPath(szPath);
    int nSlash = strPath.ReverseFind(L'\\');
    return nSlash >= 0 ? strPath.Left(nSlash) : strPath;
}
