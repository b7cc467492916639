// The Wi-Fi part of LanCableInfo against the stand-in Wlanapi.dll: interface states, the
// connected network, signal and rate, the failures of each WLAN call, and the release of
// the client handle, the memory the API returned and the library itself.
#include "report_fixture.h"

#include <clocale>

#include "testing/import_patch.h"
#include "testing/library_host.h"
#include "testing/where.h"

namespace network_tests {
namespace {

using Values = std::vector<std::wstring>;
using Calls = std::vector<std::string>;

const std::string kGuid = "{4D36E972-E325-11CE-BFC1-08002BE10318}";

// A connected wired adapter, so that the Wi-Fi step runs after a complete LAN part.
class WifiReport : public NetworkReport {
protected:
    explicit WifiReport(const wchar_t* pszWlanBuild = L"fake_wlanapi.dll") : NetworkReport(pszWlanBuild) {}
    void SetUp() override
    {
        NetworkReport::SetUp();
        state.adapters = {WiredAdapter(kGuid, 11)};
        state.addressIndexes = {11};
        state.interfaces = {RowOf(kGuid, 100000000, 11)};
    }
    // The writes of the Wi-Fi keys, in order.
    std::vector<std::pair<std::wstring, std::wstring>> WifiWrites() const
    {
        std::vector<std::pair<std::wstring, std::wstring>> writes;
        for (const auto& write : state.writes) {
            if (write.first.find(L"WIFI") != std::wstring::npos)
                writes.push_back(write);
        }
        return writes;
    }
    void ExpectWifiKeysUnchanged(testing_support::Where where)
    {
        TESSARY_TRACE_CALLER(where);
        for (const wchar_t* pszKey : {kWifiConnected, kWifiNetwork, kWifiSignal, kWifiSpeed})
            EXPECT_EQ(L"old", ReadResult(pszKey)) << pszKey;
    }
};

// A Wlanapi.dll beside the host (planted there, or left by an installer) never runs in
// it: the library takes the system's own.
TEST_F(WifiReport, AWlanapiBesideTheHostIsNotLoaded)
{
    wlan.SetFixture("interface 1\nnetwork Home 78 1\nquery 0 144400\n");
    wlan.PlantBesideTheHost();
    Run();
    EXPECT_TRUE(wlan.Calls().empty());
    ExpectWifiKeysUnchanged(TESSARY_HERE);
}

TEST_F(WifiReport, ConnectedInterfaceReportsNetworkSignalAndRate)
{
    wlan.SetFixture("interface 1\nnetwork Home 78 1\nquery 0 144400\n");
    // The rate is a fixed text also when the host has set a locale with a decimal comma.
    setlocale(LC_ALL, "German");
    Run();
    setlocale(LC_ALL, "C");
    EXPECT_EQ((std::vector<std::pair<std::wstring, std::wstring>>{
                  {kWifiConnected, L"2"}, {kWifiNetwork, L"Home"}, {kWifiSignal, L"78%"}, {kWifiSpeed, L"144.40 mbps\n"}}),
              WifiWrites());
    EXPECT_EQ(L"2", ReadResult(kWifiConnected));
    EXPECT_EQ(L"Home", ReadResult(kWifiNetwork));
    EXPECT_EQ(L"78%", ReadResult(kWifiSignal));
    EXPECT_EQ(L"78%", ReadResult(L"IDS_CLOUD_WIFI_SIGAL_STRENGTH"));  // how the profile reader sees the blanks
    EXPECT_EQ(0u, ReadResult(kWifiSpeed).find(L"144.40 mbps"));
    EXPECT_EQ((Calls{"attach", "WlanOpenHandle version=2 reserved=null", "WlanEnumInterfaces ok",
                     "WlanGetAvailableNetworkList ok interface=1 flags=0 reserved=null",
                     "WlanQueryInterface ok interface=1 opcode=7 reserved=null", "WlanFreeMemory ok", "WlanFreeMemory ok",
                     "WlanFreeMemory ok", "WlanCloseHandle ok", "detach memory=0 handles=0"}),
              wlan.Calls());
    EXPECT_FALSE(IsWlanapiLoaded());
}

TEST_F(WifiReport, ADisconnectedFirstInterfaceEndsTheStep)
{
    wlan.SetFixture("interface 4\nnetwork Home 78 1\ninterface 1\nnetwork Office 50 1\nquery 0 54000\n");
    Run();
    EXPECT_EQ((std::vector<std::pair<std::wstring, std::wstring>>{{kWifiConnected, L""}}), WifiWrites());
    EXPECT_EQ(L"", ReadResult(kWifiConnected));
    EXPECT_EQ(L"old", ReadResult(kWifiNetwork));
    EXPECT_EQ((Calls{"attach", "WlanOpenHandle version=2 reserved=null", "WlanEnumInterfaces ok",
                     "WlanGetAvailableNetworkList ok interface=1 flags=0 reserved=null", "WlanFreeMemory ok", "WlanFreeMemory ok",
                     "WlanCloseHandle ok", "detach memory=0 handles=0"}),
              wlan.Calls());
}

TEST_F(WifiReport, AnInterfaceInAnotherStateStillReportsTheConnectedNetwork)
{
    for (int nState : {0, 2, 3, 5, 6, 7}) {  // not ready, ad hoc, disconnecting, associating, discovering, authenticating
        SCOPED_TRACE(nState);
        SeedResultFile();
        wlan.SetFixture("interface " + std::to_string(nState) + "\nnetwork Cafe 40 1\nnetwork Other 30 0\nquery 0 54000\n");
        Run();
        EXPECT_EQ((std::vector<std::pair<std::wstring, std::wstring>>{{kWifiNetwork, L"Cafe"}, {kWifiSignal, L"40%"}}), WifiWrites());
        EXPECT_EQ(L"old", ReadResult(kWifiConnected));
        EXPECT_EQ(L"old", ReadResult(kWifiSpeed));
        for (const std::string& strCall : wlan.Calls())
            EXPECT_EQ(std::string::npos, strCall.find("WlanQueryInterface"));
    }
}

TEST_F(WifiReport, EveryNetworkWithAProfileWritesTheRateWhileConnected)
{
    wlan.SetFixture("interface 1\nnetwork Office 60 0\nnetwork Home 78 3\nnetwork Lab 20 0\nquery 0 54000\n");
    Run();
    EXPECT_EQ((Values{L"54.00 mbps\n", L"54.00 mbps\n", L"54.00 mbps\n"}), WritesOf(state, kWifiSpeed));
    EXPECT_EQ(Values{L"Home"}, WritesOf(state, kWifiNetwork));
    EXPECT_EQ(Values{L"78%"}, WritesOf(state, kWifiSignal));
    int nQueries = 0, nFrees = 0;
    for (const std::string& strCall : wlan.Calls()) {
        nQueries += strCall.find("WlanQueryInterface ok interface=1 opcode=7") == 0;
        nFrees += strCall == "WlanFreeMemory ok";
    }
    EXPECT_EQ(3, nQueries);
    EXPECT_EQ(5, nFrees) << "interface list, network list and three connection records";
    EXPECT_EQ("detach memory=0 handles=0", wlan.Calls().back());
}

TEST_F(WifiReport, ANetworkWithoutAProfileNameGetsNoRate)
{
    wlan.SetFixture("interface 1\nnetwork - 90 1\nquery 0 300000\n");
    Run();
    EXPECT_EQ((std::vector<std::pair<std::wstring, std::wstring>>{{kWifiConnected, L"2"}, {kWifiNetwork, L""}, {kWifiSignal, L"90%"}}),
              WifiWrites());
    EXPECT_EQ(L"old", ReadResult(kWifiSpeed));
}

TEST_F(WifiReport, AFailedOrShortConnectionQueryWritesNoRate)
{
    for (const char* pszQuery : {"query 5 54000", "query 0 54000 16"}) {
        SCOPED_TRACE(pszQuery);
        wlan.SetFixture(std::string("interface 1\nnetwork Home 78 1\n") + pszQuery + "\n");
        Run();
        EXPECT_TRUE(WritesOf(state, kWifiSpeed).empty());
        EXPECT_EQ(Values{L"Home"}, WritesOf(state, kWifiNetwork));
        EXPECT_EQ("detach memory=0 handles=0", wlan.Calls().back());
    }
    EXPECT_EQ(L"old", ReadResult(kWifiSpeed));
}

TEST_F(WifiReport, RatesInKilobitsPerSecondAsMegabitsWithTwoDecimals)
{
    const struct {
        const char* pszRate;
        const wchar_t* pszText;
    } cases[] = {{"4", L"0.00 mbps\n"}, {"6", L"0.01 mbps\n"}, {"866700", L"866.70 mbps\n"}, {"4294967290", L"4294967.29 mbps\n"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pszRate);
        wlan.SetFixture(std::string("interface 1\nnetwork Home 78 1\nquery 0 ") + c.pszRate + "\n");
        Run();
        EXPECT_EQ(Values{c.pszText}, WritesOf(state, kWifiSpeed));
    }
}

TEST_F(WifiReport, FailuresOfTheWlanCallsWriteNothingAndReleaseEverything)
{
    const struct {
        const char* pszFixture;
        const char* pszLastCall;  // before the release calls
    } cases[] = {
        {"open 1062\ninterface 1\nnetwork Home 78 1\n", "WlanOpenHandle version=2 reserved=null"},
        {"enum 1062\ninterface 1\nnetwork Home 78 1\n", "WlanEnumInterfaces ok"},
        {"interface 1 1062\nnetwork Home 78 1\n", "WlanGetAvailableNetworkList ok interface=1 flags=0 reserved=null"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pszFixture);
        wlan.SetFixture(c.pszFixture);
        Run();
        EXPECT_TRUE(WifiWrites().empty());
        Calls calls = wlan.Calls();
        auto it = std::find(calls.begin(), calls.end(), c.pszLastCall);
        EXPECT_NE(calls.end(), it);
        EXPECT_EQ("detach memory=0 handles=0", calls.back());
        EXPECT_FALSE(IsWlanapiLoaded());
    }
    ExpectWifiKeysUnchanged(TESSARY_HERE);
}

TEST_F(WifiReport, AnUnreadableNetworkListEndsTheStepAndKeepsEarlierInterfacesWrites)
{
    wlan.SetFixture("interface 1\nnetwork Home 78 1\nquery 0 144400\ninterface 5 1062\nnetwork Cafe 40 1\n");
    Run();
    EXPECT_EQ((std::vector<std::pair<std::wstring, std::wstring>>{
                  {kWifiConnected, L"2"}, {kWifiNetwork, L"Home"}, {kWifiSignal, L"78%"}, {kWifiSpeed, L"144.40 mbps\n"}}),
              WifiWrites());
    Calls calls = wlan.Calls();
    EXPECT_NE(calls.end(), std::find(calls.begin(), calls.end(), "WlanGetAvailableNetworkList ok interface=2 flags=0 reserved=null"));
    EXPECT_EQ("detach memory=0 handles=0", calls.back());
}

TEST_F(WifiReport, TwoInterfacesAreReportedInListOrder)
{
    wlan.SetFixture("interface 1\nnetwork Home 78 1\nquery 0 144400\ninterface 6\nnetwork Cafe 40 1\n");
    Run();
    EXPECT_EQ((Values{L"Home", L"Cafe"}), WritesOf(state, kWifiNetwork));
    EXPECT_EQ(L"Cafe", ReadResult(kWifiNetwork));
    EXPECT_EQ(L"40%", ReadResult(kWifiSignal));
    EXPECT_EQ(L"2", ReadResult(kWifiConnected));
}

// LoadLibraryExW of the library, answering "not found" for wlanapi.dll as on a system
// without the WLAN API.
testing_support::ImportPatch* g_loadPatch = nullptr;
int g_nWlanLoads = 0;
HMODULE WINAPI LoadLibraryWithoutWlan(LPCWSTR pszPath, HANDLE hFile, DWORD dwFlags)
{
    const size_t nLength = pszPath ? wcslen(pszPath) : 0;
    if (nLength >= 12 && _wcsicmp(pszPath + nLength - 12, L"\\wlanapi.dll") == 0) {
        ++g_nWlanLoads;
        SetLastError(ERROR_MOD_NOT_FOUND);
        return nullptr;
    }
    return g_loadPatch->Original<decltype(&LoadLibraryExW)>()(pszPath, hFile, dwFlags);
}

TEST_F(WifiReport, WithoutWlanapiAllFourKeysKeepTheirValues)
{
    wlan.SetFixture("interface 1\nnetwork Home 78 1\nquery 0 144400\n");
    testing_support::ImportPatch load(testing_support::Library::Handle(), "kernel32.dll", "LoadLibraryExW",
                                      reinterpret_cast<void*>(&LoadLibraryWithoutWlan));
    ASSERT_TRUE(load.IsActive());
    g_loadPatch = &load;
    g_nWlanLoads = 0;
    Run();
    g_loadPatch = nullptr;
    EXPECT_EQ(1, g_nWlanLoads);
    EXPECT_TRUE(WifiWrites().empty());
    EXPECT_EQ(L"100 mbps", ReadResult(kLanSpeed));
    ExpectWifiKeysUnchanged(TESSARY_HERE);
}

class WifiReportWithoutQuery : public WifiReport {
protected:
    WifiReportWithoutQuery() : WifiReport(L"fake_wlanapi_noquery.dll") {}
};

TEST_F(WifiReportWithoutQuery, AMissingEntryPointWritesNothingAndReleasesTheLibrary)
{
    wlan.SetFixture("interface 1\nnetwork Home 78 1\nquery 0 144400\n");
    Run();
    EXPECT_EQ((Calls{"attach", "detach memory=0 handles=0"}), wlan.Calls());
    EXPECT_TRUE(WifiWrites().empty());
    EXPECT_FALSE(IsWlanapiLoaded());
    ExpectWifiKeysUnchanged(TESSARY_HERE);
}

class WifiReportWithoutClose : public WifiReport {
protected:
    WifiReportWithoutClose() : WifiReport(L"fake_wlanapi_noclose.dll") {}
};

TEST_F(WifiReportWithoutClose, AMissingCloseFunctionOnlySkipsTheClose)
{
    wlan.SetFixture("interface 1\nnetwork Home 78 1\nquery 0 144400\n");
    Run();
    EXPECT_EQ(Values{L"144.40 mbps\n"}, WritesOf(state, kWifiSpeed));
    EXPECT_EQ("detach memory=0 handles=1", wlan.Calls().back()) << "memory freed; the handle has no way to be closed";
    EXPECT_FALSE(IsWlanapiLoaded());
}

}  // namespace
}  // namespace network_tests
