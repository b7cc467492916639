#include "record_file.h"

#include <vector>

#include "win32/raii.h"

std::wstring BesideProgram(const wchar_t* pszName)
{
    wchar_t szPath[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, szPath, MAX_PATH);
    std::wstring strPath(szPath);
    return strPath.substr(0, strPath.rfind(L'\\') + 1) + pszName;
}

void AppendRecordLine(const std::wstring& strPath, const std::wstring& strLine)
{
    std::wstring strText = strLine + L"\n";
    int cbText = WideCharToMultiByte(CP_UTF8, 0, strText.c_str(), static_cast<int>(strText.size()), nullptr, 0, nullptr, nullptr);
    std::vector<char> utf8(cbText > 0 ? cbText : 1);
    WideCharToMultiByte(CP_UTF8, 0, strText.c_str(), static_cast<int>(strText.size()), utf8.data(), cbText, nullptr, nullptr);
    win32::UniqueFile file(CreateFileW(strPath.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                       nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return;
    DWORD dwWritten = 0;
    WriteFile(file.get(), utf8.data(), static_cast<DWORD>(cbText), &dwWritten, nullptr);
}
