#include "result_file.h"

#include <shlobj.h>

#include "demo_host.h"
#include "win32/raii.h"

namespace demo {
namespace {
std::vector<std::string> NotifierRecords()
{
    std::vector<std::string> lines;
    std::wstring strLog = HostFolder() + L"\\chimewick.log";
    win32::UniqueFile file(CreateFileW(strLog.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                       FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return lines;
    std::string strData;
    char buffer[4096];
    DWORD dwRead = 0;
    while (ReadFile(file.get(), buffer, sizeof(buffer), &dwRead, nullptr) && dwRead > 0)
        strData.append(buffer, dwRead);
    size_t nStart = 0;
    for (size_t nEnd; (nEnd = strData.find('\n', nStart)) != std::string::npos; nStart = nEnd + 1)
        lines.push_back(strData.substr(nStart, nEnd - nStart));
    return lines;
}
}  // namespace

std::wstring ResultFileValue(const wchar_t* pszKey)
{
    wchar_t szFolder[MAX_PATH] = {};
    SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, szFolder);
    std::wstring strFile = std::wstring(szFolder) + L"\\Tessary\\KELDA\\xmlupd.dat";
    wchar_t szValue[1024] = {};
    GetPrivateProfileStringW(L"Tessary Optimizer", pszKey, L"", szValue, 1024, strFile.c_str());
    return szValue;
}

size_t NotifierRecordCount() { return NotifierRecords().size(); }

void PrintNotifierRecord(size_t nIndex)
{
    std::vector<std::string> records = NotifierRecords();
    for (DWORD dwStart = GetTickCount(); records.size() <= nIndex && GetTickCount() - dwStart < 10000; records = NotifierRecords())
        Sleep(100);
    if (records.size() <= nIndex) {
        wprintf(L"  chimewick.exe recorded nothing (is it beside the demo host?)\n");
        return;
    }
    std::string strRecord = records[nIndex];
    size_t nTab = strRecord.find('\t');
    wprintf(L"  chimewick.exe showed the popup\n    title    \"%hs\"\n    message  \"%hs\"\n", strRecord.substr(0, nTab).c_str(),
            nTab == std::string::npos ? "" : strRecord.substr(nTab + 1).c_str());
}

}  // namespace demo
