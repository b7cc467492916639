// A LanCableInfo call against a platform the test chooses: the IP Helper tables and the
// heap through the library's patched imports, the stand-in Wlanapi.dll beside the host,
// and a result file whose keys all start as "old", so that a key not written stays "old".
#pragma once
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "fake_wlan.h"
#include "network_platform.h"
#include "wendle.h"

namespace network_tests {

// Keys of the report, spelled as the product's programs read them.
constexpr const wchar_t* kLanName = L"IDS_CLOUD_LAN_ADAPTER_NAME";
constexpr const wchar_t* kLanConnected = L"IDS_CLOUD_LAN_CONNECTED";
constexpr const wchar_t* kLanSpeed = L"IDS_CLOUD_LAN_SPEED";
constexpr const wchar_t* kWifiConnected = L"IDS_CLOUD_WIFI_CONNECTED";
constexpr const wchar_t* kWifiNetwork = L"IDS_CLOUD_WIFI_CURRENTLY_CONNECTED";
constexpr const wchar_t* kWifiSignal = L" IDS_CLOUD_WIFI_SIGAL_STRENGTH ";
constexpr const wchar_t* kWifiSpeed = L"IDS_CLOUD_WIFI_SPEED";
constexpr const wchar_t* kAllKeys[] = {kLanName, kLanConnected, kLanSpeed, kWifiConnected, kWifiNetwork, kWifiSignal, kWifiSpeed};

// %APPDATA%\Tessary\KELDA\xmlupd.dat, its folders created.
std::wstring ResultFile();
std::wstring ReadResult(const wchar_t* pszKey);
// Sets every key of the report to "old".
void SeedResultFile();

// The size of the first adapter buffer: one record with 64-bit lease times.
#if defined(_WIN64)
constexpr SIZE_T kFirstAdapterBuffer = 704;
#else
constexpr SIZE_T kFirstAdapterBuffer = 648;
#endif

FakeAdapter WiredAdapter(const std::string& strName, DWORD dwComboIndex, const std::string& strDescription = "Intel(R) PRO/1000 MT Network Connection");
// The interface row of an adapter, named as Windows names it: \DEVICE\TCPIP_{GUID}.
FakeInterfaceRow RowOf(const std::string& strAdapterName, DWORD dwSpeed, DWORD dwIndex = 0);

class NetworkReport : public ::testing::Test {
protected:
    explicit NetworkReport(const wchar_t* pszWlanBuild = L"fake_wlanapi.dll") : wlan(pszWlanBuild) {}
    void SetUp() override;
    void TearDown() override;
    // One call of the export; the platform's records start empty.
    void Run();

    FakeNetworkState state;
    FakeWlan wlan;
    std::unique_ptr<FakeNetworkPlatform> platform;
    PFN_LanCableInfo lanCableInfo = nullptr;
};

}  // namespace network_tests
