#include "testing/library_host.h"

#include <shellapi.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

namespace testing_support {

std::wstring ProgramFolder()
{
    wchar_t szPath[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, szPath, MAX_PATH);
    std::wstring strPath(szPath);
    return strPath.substr(0, strPath.rfind(L'\\'));
}

std::wstring LibraryPath()
{
    // hosts\<prefix>\<test>.exe beside bin\wendle.dll
    std::wstring strRelative = ProgramFolder() + L"\\..\\..\\bin\\wendle.dll";
    wchar_t szFull[MAX_PATH] = {};
    GetFullPathNameW(strRelative.c_str(), MAX_PATH, szFull, nullptr);
    return szFull;
}

HMODULE Library::Handle()
{
    static HMODULE hLibrary = [] {
        HMODULE h = LoadLibraryW(LibraryPath().c_str());
        if (!h) {
            fwprintf(stderr, L"cannot load %ls (error %lu)\n", LibraryPath().c_str(), GetLastError());
            exit(2);
        }
        return h;
    }();
    return hLibrary;
}

bool WriteUtf16File(const std::wstring& strPath, const std::wstring& strText)
{
    HANDLE hFile = CreateFileW(strPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (hFile == INVALID_HANDLE_VALUE)
        return false;
    std::wstring strData = L"\xFEFF" + strText;
    DWORD dwWritten = 0;
    BOOL bOk = WriteFile(hFile, strData.data(), static_cast<DWORD>(strData.size() * sizeof(wchar_t)), &dwWritten, nullptr);
    CloseHandle(hFile);
    return bOk != FALSE;
}

std::wstring ReadIni(const std::wstring& strFile, const wchar_t* pszSection, const wchar_t* pszKey)
{
    std::vector<wchar_t> buffer(4096);
    GetPrivateProfileStringW(pszSection, pszKey, L"", buffer.data(), static_cast<DWORD>(buffer.size()), strFile.c_str());
    return buffer.data();
}

}  // namespace testing_support
