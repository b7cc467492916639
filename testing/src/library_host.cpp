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

void RemoveTree(const std::wstring& strPath)
{
    DWORD dwAttributes = GetFileAttributesW(strPath.c_str());
    if (dwAttributes == INVALID_FILE_ATTRIBUTES)
        return;
    if (!(dwAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
        SetFileAttributesW(strPath.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileW(strPath.c_str());
        return;
    }
    WIN32_FIND_DATAW data;
    HANDLE hFind = FindFirstFileW((strPath + L"\\*").c_str(), &data);
    if (hFind != INVALID_HANDLE_VALUE) {
        do {
            std::wstring strName = data.cFileName;
            if (strName != L"." && strName != L"..")
                RemoveTree(strPath + L"\\" + strName);
        } while (FindNextFileW(hFind, &data));
        FindClose(hFind);
    }
    RemoveDirectoryW(strPath.c_str());
}

}  // namespace testing_support
