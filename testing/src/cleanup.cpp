#include "testing/cleanup.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "win32/raii.h"

namespace testing_support {
namespace {

std::string Narrow(const std::wstring& str) { return std::string(str.begin(), str.end()); }

std::wstring Lower(std::wstring str)
{
    CharLowerBuffW(&str[0], static_cast<DWORD>(str.size()));
    return str;
}

bool IsGone(DWORD dwError) { return dwError == ERROR_FILE_NOT_FOUND || dwError == ERROR_PATH_NOT_FOUND; }

// Retries an operation for up to two seconds while it fails with a sharing violation.
template <class Op>
DWORD RetrySharing(Op op)
{
    DWORD dwError = ERROR_SUCCESS;
    for (int nTry = 0; nTry < 100; ++nTry) {
        if (op())
            return ERROR_SUCCESS;
        dwError = GetLastError();
        if (dwError != ERROR_SHARING_VIOLATION && dwError != ERROR_LOCK_VIOLATION)
            return dwError;
        Sleep(20);
    }
    return dwError;
}

std::vector<std::wstring> SubkeyNames(HKEY hKey)
{
    std::vector<std::wstring> names;
    for (DWORD i = 0;; ++i) {
        wchar_t szName[256];
        DWORD cch = 256;
        if (RegEnumKeyExW(hKey, i, szName, &cch, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            return names;
        names.push_back(szName);
    }
}

}  // namespace

void RemoveFile(const std::wstring& strPath)
{
    SetFileAttributesW(strPath.c_str(), FILE_ATTRIBUTE_NORMAL);
    DWORD dwError = RetrySharing([&] { return DeleteFileW(strPath.c_str()) != FALSE; });
    if (dwError != ERROR_SUCCESS && !IsGone(dwError))
        ADD_FAILURE() << "cannot delete " << Narrow(strPath) << " (error " << dwError << ")";
}

void RemoveTree(const std::wstring& strPath)
{
    DWORD dwAttributes = GetFileAttributesW(strPath.c_str());
    if (dwAttributes == INVALID_FILE_ATTRIBUTES)
        return;
    if (!(dwAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return RemoveFile(strPath);
    WIN32_FIND_DATAW data;
    win32::UniqueFind search(FindFirstFileW((strPath + L"\\*").c_str(), &data));
    if (search) {
        do {
            std::wstring strName = data.cFileName;
            if (strName != L"." && strName != L"..")
                RemoveTree(strPath + L"\\" + strName);
        } while (FindNextFileW(search.get(), &data));
    }
    search.reset();
    DWORD dwError = RetrySharing([&] { return RemoveDirectoryW(strPath.c_str()) != FALSE; });
    if (dwError != ERROR_SUCCESS && !IsGone(dwError))
        ADD_FAILURE() << "cannot remove the folder " << Narrow(strPath) << " (error " << dwError << ")";
}

void RemoveFiles(const std::wstring& strFolder, const std::wstring& strPattern)
{
    std::vector<std::wstring> paths;
    WIN32_FIND_DATAW data;
    win32::UniqueFind search(FindFirstFileW((strFolder + L"\\" + strPattern).c_str(), &data));
    if (!search)
        return;
    do {
        if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            paths.push_back(strFolder + L"\\" + data.cFileName);
    } while (FindNextFileW(search.get(), &data));
    search.reset();
    for (const std::wstring& strPath : paths)
        RemoveFile(strPath);
}

void RemoveRegistryValue(HKEY hRoot, REGSAM samView, const std::wstring& strKey, const std::wstring& strName)
{
    win32::UniqueKey key;
    LONG lResult = RegOpenKeyExW(hRoot, strKey.c_str(), 0, KEY_SET_VALUE | samView, key.put());
    if (lResult == ERROR_SUCCESS)
        lResult = RegDeleteValueW(key.get(), strName.c_str());
    if (lResult != ERROR_SUCCESS && lResult != ERROR_FILE_NOT_FOUND)
        ADD_FAILURE() << "cannot delete the value " << Narrow(strKey) << "\\" << Narrow(strName) << " (error " << lResult << ")";
}

void RemoveRegistryTree(HKEY hRoot, REGSAM samView, const std::wstring& strKey)
{
    {
        win32::UniqueKey key;
        LONG lResult = RegOpenKeyExW(hRoot, strKey.c_str(), 0, KEY_READ | samView, key.put());
        if (lResult == ERROR_FILE_NOT_FOUND)
            return;
        if (lResult == ERROR_SUCCESS) {
            for (const std::wstring& strChild : SubkeyNames(key.get()))
                RemoveRegistryTree(hRoot, samView, strKey + L"\\" + strChild);
        }
    }
    LONG lResult = RegDeleteKeyExW(hRoot, strKey.c_str(), samView, 0);
    if (lResult != ERROR_SUCCESS && lResult != ERROR_FILE_NOT_FOUND)
        ADD_FAILURE() << "cannot delete the key " << Narrow(strKey) << " (error " << lResult << ")";
}

void RemoveRegistryValues(HKEY hRoot, REGSAM samView, const std::wstring& strKey, const std::wstring& strPrefix)
{
    std::vector<std::wstring> names;
    {
        win32::UniqueKey key;
        if (RegOpenKeyExW(hRoot, strKey.c_str(), 0, KEY_READ | samView, key.put()) != ERROR_SUCCESS)
            return;
        const std::wstring strWanted = Lower(strPrefix);
        for (DWORD i = 0;; ++i) {
            wchar_t szName[16384];
            DWORD cch = 16384;
            if (RegEnumValueW(key.get(), i, szName, &cch, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
                break;
            if (Lower(szName).compare(0, strWanted.size(), strWanted) == 0)
                names.push_back(szName);
        }
    }
    for (const std::wstring& strName : names)
        RemoveRegistryValue(hRoot, samView, strKey, strName);
}

void RemoveRegistrySubkeys(HKEY hRoot, REGSAM samView, const std::wstring& strKey, const std::wstring& strPart)
{
    std::vector<std::wstring> names;
    {
        win32::UniqueKey key;
        if (RegOpenKeyExW(hRoot, strKey.c_str(), 0, KEY_READ | samView, key.put()) != ERROR_SUCCESS)
            return;
        names = SubkeyNames(key.get());
    }
    const std::wstring strWanted = Lower(strPart);
    for (const std::wstring& strName : names)
        if (Lower(strName).find(strWanted) != std::wstring::npos)
            RemoveRegistryTree(hRoot, samView, strKey + L"\\" + strName);
}

}  // namespace testing_support
