#include "result_file.h"

#include <shlobj.h>

#include "demo_host.h"
#include "stand_in_records.h"

namespace demo {
namespace {
std::wstring NotifierLog() { return HostFolder() + L"\\chimewick.log"; }
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

size_t NotifierRecordCount() { return stand_ins::RecordLines(NotifierLog()).size(); }

void PrintNotifierRecord(size_t nIndex)
{
    std::vector<std::wstring> records = stand_ins::WaitForRecordLines(NotifierLog(), nIndex + 1);
    if (records.size() <= nIndex) {
        wprintf(L"  chimewick.exe recorded nothing (is it beside the demo host?)\n");
        return;
    }
    const std::wstring& strRecord = records[nIndex];
    size_t nTab = strRecord.find(L'\t');
    wprintf(L"  chimewick.exe showed the popup\n    title    \"%ls\"\n    message  \"%ls\"\n", strRecord.substr(0, nTab).c_str(),
            nTab == std::wstring::npos ? L"" : strRecord.substr(nTab + 1).c_str());
}

}  // namespace demo
