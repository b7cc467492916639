// Stand-in for the product's popup notifier. Instead of a popup it appends the title and
// message that the library left in the result file to chimewick.log beside itself, as
// "TITLE<tab>MESSAGE", and writes the same line to its standard output when it has one.
#include <windows.h>
#include <shlobj.h>

#include <cstdio>
#include <string>
#include <vector>

#include "stand_in_records.h"

namespace {
std::wstring ResultValue(const std::wstring& strFile, const wchar_t* pszKey)
{
    std::vector<wchar_t> buffer(4096);
    GetPrivateProfileStringW(L"Tessary Optimizer", pszKey, L"", buffer.data(), static_cast<DWORD>(buffer.size()), strFile.c_str());
    return buffer.data();
}
}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int)
{
    wchar_t szAppData[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, szAppData)))
        return 1;
    std::wstring strResultFile = std::wstring(szAppData) + L"\\Tessary\\KELDA\\xmlupd.dat";
    std::wstring strLine = ResultValue(strResultFile, L"IDS_CLOUD_POPUP_TITLE") + L"\t" + ResultValue(strResultFile, L"IDS_CLOUD_MESSAGE_2");
    stand_ins::AppendRecordLine(stand_ins::BesideProgram(L"chimewick.log"), strLine);
    // A windowless program has no console of its own: borrow the starter's, if any.
    if (!GetStdHandle(STD_OUTPUT_HANDLE))
        AttachConsole(ATTACH_PARENT_PROCESS);
    HANDLE hOut = GetStdHandle(STD_OUTPUT_HANDLE);
    if (hOut && hOut != INVALID_HANDLE_VALUE) {
        std::wstring strOut = L"chimewick: " + strLine + L"\n";
        DWORD dwWritten = 0;
        if (!WriteConsoleW(hOut, strOut.c_str(), static_cast<DWORD>(strOut.size()), &dwWritten, nullptr)) {
            std::string strUtf8(strOut.size() * 3, '\0');
            int cb = WideCharToMultiByte(CP_UTF8, 0, strOut.c_str(), static_cast<int>(strOut.size()), &strUtf8[0],
                                         static_cast<int>(strUtf8.size()), nullptr, nullptr);
            WriteFile(hOut, strUtf8.data(), static_cast<DWORD>(cb > 0 ? cb : 0), &dwWritten, nullptr);
        }
    }
    return 0;
}
