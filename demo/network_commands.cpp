// "network": the LAN and Wi-Fi report of this machine, as the product's programs read it
// back from the result file.
#include "demo_host.h"

#include <shlobj.h>

namespace {
const wchar_t* const kSection = L"Tessary Optimizer";

std::wstring ResultFile()
{
    wchar_t szFolder[MAX_PATH] = {};
    SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, szFolder);
    return std::wstring(szFolder) + L"\\Tessary\\KELDA\\xmlupd.dat";
}

// The key's value; "(not reported)" when the call did not write it.
std::wstring Value(const wchar_t* pszKey)
{
    wchar_t szValue[512] = {};
    GetPrivateProfileStringW(kSection, pszKey, L"\x1", szValue, 512, ResultFile().c_str());
    std::wstring strValue = szValue;
    if (strValue == L"\x1")
        return L"(not reported)";
    while (!strValue.empty() && (strValue.back() == L'\n' || strValue.back() == L'\r'))
        strValue.pop_back();
    return strValue.empty() ? L"(empty)" : strValue;
}

const wchar_t* const kKeys[] = {L"IDS_CLOUD_LAN_ADAPTER_NAME",         L"IDS_CLOUD_LAN_CONNECTED",
                                L"IDS_CLOUD_LAN_SPEED",                L"IDS_CLOUD_WIFI_CONNECTED",
                                L"IDS_CLOUD_WIFI_CURRENTLY_CONNECTED", L" IDS_CLOUD_WIFI_SIGAL_STRENGTH ",
                                L"IDS_CLOUD_WIFI_SPEED"};

int RunNetwork(const std::vector<std::wstring>&)
{
    auto lanCableInfo = demo::Export<PFN_LanCableInfo>("LanCableInfo");
    // Removes what earlier runs left, so that what is shown is what this call wrote.
    for (const wchar_t* pszKey : kKeys)
        WritePrivateProfileStringW(kSection, pszKey, nullptr, ResultFile().c_str());
    lanCableInfo();
    std::wstring strConnected = Value(L"IDS_CLOUD_LAN_CONNECTED");
    std::wstring strWifi = Value(L"IDS_CLOUD_WIFI_CONNECTED");
    wprintf(L"Network connection (from %ls)\n", ResultFile().c_str());
    wprintf(L"  wired adapter        %ls\n", Value(L"IDS_CLOUD_LAN_ADAPTER_NAME").c_str());
    wprintf(L"  IPv4 address         %ls\n", strConnected == L"2" ? L"yes (2)" : strConnected == L"(empty)" ? L"no (empty)" : strConnected.c_str());
    wprintf(L"  link speed           %ls\n", Value(L"IDS_CLOUD_LAN_SPEED").c_str());
    wprintf(L"  Wi-Fi connected      %ls\n", strWifi == L"2" ? L"yes (2)" : strWifi == L"(empty)" ? L"no (empty)" : strWifi.c_str());
    wprintf(L"  Wi-Fi network        %ls\n", Value(L"IDS_CLOUD_WIFI_CURRENTLY_CONNECTED").c_str());
    wprintf(L"  Wi-Fi signal         %ls\n", Value(L" IDS_CLOUD_WIFI_SIGAL_STRENGTH ").c_str());
    wprintf(L"  Wi-Fi transmit rate  %ls\n", Value(L"IDS_CLOUD_WIFI_SPEED").c_str());
    return 0;
}

demo::RegisterCommand g_network({L"network", L"the wired and Wi-Fi connection report", RunNetwork});
}  // namespace
