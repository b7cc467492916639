// "drives": the drive report, one line per physical medium.
#include "demo_host.h"

namespace {
// The table has a degree sign: written as UTF-8, whatever the console's code page.
void PrintLine(const std::wstring& strLine)
{
    std::wstring strText = strLine + L"\n";
    int cb = WideCharToMultiByte(CP_UTF8, 0, strText.c_str(), static_cast<int>(strText.size()), nullptr, 0, nullptr, nullptr);
    std::string strBytes(cb, '\0');
    WideCharToMultiByte(CP_UTF8, 0, strText.c_str(), static_cast<int>(strText.size()), &strBytes[0], cb, nullptr, nullptr);
    fwrite(strBytes.data(), 1, strBytes.size(), stdout);
}

std::wstring Cell(const CString& str, size_t nWidth)
{
    std::wstring strCell = str.IsEmpty() ? L"-" : str.GetString();
    if (strCell.size() > nWidth)
        strCell = strCell.substr(0, nWidth - 1) + L"~";
    return strCell + std::wstring(nWidth + 2 - strCell.size(), L' ');
}

std::wstring Temperature(int nValue, int nMax)
{
    wchar_t szText[32];
    swprintf(szText, 32, L"%3d/%-3d", nValue, nMax);
    return szText;
}

int RunDrives(const std::vector<std::wstring>&)
{
    auto report = demo::Export<PFN_OnCalcDriveTemperature>("OnCalcDriveTemperature");
    CDriveInfoList list;
    DWORD dwStart = GetTickCount();
    report(&list);
    DWORD dwElapsed = GetTickCount() - dwStart;
    wchar_t szHeader[160];
    swprintf(szHeader, 160, L"Drive report: %d medium(s) in %lu ms (temperatures now/max)", list.GetCount(), dwElapsed);
    PrintLine(szHeader);
    PrintLine(L"  device                 model                     serial                size      status      SMART                 \u00B0C now/max   \u00B0F now/max");
    for (POSITION pos = list.GetHeadPosition(); pos;) {
        const DRIVEINFO& r = list.GetNext(pos);
        PrintLine(L"  " + Cell(r.strDevicePath, 21) + Cell(r.strModel, 24) + Cell(r.strSerialNumber, 20) + Cell(r.strSize, 8) +
                  Cell(r.strStatus, 10) + Cell(r.strSmart, 20) + Temperature(r.nTempC, r.nTempMaxC) + L"     " +
                  Temperature(r.nTempF, r.nTempMaxF));
    }
    fflush(stdout);
    return 0;
}

demo::RegisterCommand g_drives({L"drives", L"the drive report: model, size, status, SMART and temperatures", RunDrives});
}  // namespace
