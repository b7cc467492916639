// LanCableInfo's wired part: which adapters count, the connected state, the link speed of
// the adapter's interface row, the table buffers and the failures of each table.
#include <objbase.h>

#include <cstddef>
#include <thread>

#include "report_fixture.h"
#include "testing/library_host.h"
#include "win32/raii.h"

namespace network_tests {
namespace {

using Values = std::vector<std::wstring>;

const std::string kGuidA = "{4D36E972-E325-11CE-BFC1-08002BE10318}";
const std::string kGuidB = "{6B29FC40-CA47-1067-B31D-00DD010662DA}";
const std::string kGuidC = "{9E2A3F1B-0C4D-4E5F-8A6B-7C8D9E0F1A2B}";

std::wstring Wide(const std::string& str) { return std::wstring(str.begin(), str.end()); }

class LanReport : public NetworkReport {};

TEST_F(LanReport, SpeedTextOfTheAdaptersInterface)
{
    const struct {
        DWORD dwSpeed;
        const wchar_t* pszText;
    } cases[] = {
        {100000000, L"100 mbps"}, {1000000000, L"1 gbps"}, {1500000, L"1 mbps"},   {10000, L"10 kbps"},
        {999, L"124 bytes/s"},    {7, L"7 bits/s"},        {0xFFFFFFFF, L"4 gbps"}, {999999999, L"999 mbps"},
        {1000, L"1 kbps"},        {8, L"1 bytes/s"},       {0, L"0 bits/s"},
    };
    state.adapters = {WiredAdapter(kGuidA, 11)};
    state.addressIndexes = {11};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.dwSpeed);
        state.interfaces = {{L"Loopback", 10000000, 1}, RowOf(kGuidA, c.dwSpeed, 11)};
        Run();
        EXPECT_EQ(Values{c.pszText}, WritesOf(state, kLanSpeed));
        EXPECT_EQ(c.pszText, ReadResult(kLanSpeed));
    }
}

TEST_F(LanReport, OnlyEthernetAdaptersWithoutBluetoothOrVMwareInTheirDescription)
{
    FakeAdapter wireless = WiredAdapter("{WIRELESS}", 6, "Intel(R) Wireless-N 7260");
    wireless.uType = IF_TYPE_IEEE80211;
    state.adapters = {
        WiredAdapter("{REALTEK}", 1, "Realtek PCIe GbE Family Controller"),
        WiredAdapter("{BT-PAN}", 2, "Bluetooth Device (Personal Area Network)"),
        WiredAdapter("{BRIDGE}", 3, "Network bridge over bluetooth"),  // lower case: not the Bluetooth stack
        WiredAdapter("{VMNET8}", 4, "VMware Virtual Ethernet Adapter for VMnet8"),
        WiredAdapter("{LOWER}", 5, "vmware-style virtual nic"),  // the test is case-sensitive
        wireless,
    };
    Run();
    EXPECT_EQ((Values{L"{LOWER}"}), WritesOf(state, kLanName)) << "the last qualifying adapter, written once";
    EXPECT_EQ((Values{L""}), WritesOf(state, kLanConnected));
    EXPECT_EQ(2u, state.addressCalls.size()) << "one address table read (two calls) for the three qualifying adapters";
}

TEST_F(LanReport, ConnectedStaysSetAndTheLastAdapterGivesNameAndSpeed)
{
    state.adapters = {WiredAdapter(kGuidA, 11), WiredAdapter(kGuidB, 12)};
    state.addressIndexes = {11};
    state.interfaces = {RowOf(kGuidA, 1000000000, 11), RowOf(kGuidB, 100000000, 12)};
    Run();
    EXPECT_EQ((Values{Wide(kGuidB)}), WritesOf(state, kLanName));
    EXPECT_EQ((Values{L"2"}), WritesOf(state, kLanConnected));
    EXPECT_EQ(Values{L"100 mbps"}, WritesOf(state, kLanSpeed));
    EXPECT_EQ(Wide(kGuidB), ReadResult(kLanName));
    EXPECT_EQ(L"2", ReadResult(kLanConnected));
    EXPECT_EQ(L"100 mbps", ReadResult(kLanSpeed));
    // Name, connected and speed, each once in this order: a file without them gets them
    // in the order the writes adapter by adapter gave.
    ASSERT_GE(state.writes.size(), 3u);
    EXPECT_EQ(kLanName, state.writes[0].first);
    EXPECT_EQ(kLanConnected, state.writes[1].first);
    EXPECT_EQ(kLanSpeed, state.writes[2].first);
}

TEST_F(LanReport, PulledCableWritesAnEmptyConnectedValueButStillTheSpeed)
{
    // The address table holds the adapter's Index, not its ComboIndex: no address.
    FakeAdapter adapter = WiredAdapter(kGuidA, 21);
    adapter.dwIndex = 20;
    state.adapters = {adapter};
    state.addressIndexes = {20, 1};
    state.interfaces = {RowOf(kGuidA, 10000000, 20)};
    Run();
    EXPECT_EQ(Values{L""}, WritesOf(state, kLanConnected));
    EXPECT_EQ(L"", ReadResult(kLanConnected));
    EXPECT_EQ(L"10 mbps", ReadResult(kLanSpeed));
}

TEST_F(LanReport, WithoutAQualifyingAdapterNameAndConnectedKeepTheirValues)
{
    FakeAdapter wireless = WiredAdapter(kGuidA, 6, "Intel(R) Wireless-N 7260");
    wireless.uType = IF_TYPE_IEEE80211;
    state.adapters = {wireless, WiredAdapter(kGuidB, 7, "VMware Virtual Ethernet Adapter for VMnet1")};
    state.addressIndexes = {6, 7};
    state.interfaces = {RowOf(kGuidA, 54000000, 6), RowOf(kGuidB, 100000000, 7)};
    Run();
    EXPECT_TRUE(WritesOf(state, kLanName).empty());
    EXPECT_TRUE(WritesOf(state, kLanConnected).empty());
    EXPECT_EQ(L"old", ReadResult(kLanName));
    EXPECT_EQ(L"old", ReadResult(kLanConnected));
    EXPECT_EQ(Values{L""}, WritesOf(state, kLanSpeed));
    EXPECT_EQ(L"", ReadResult(kLanSpeed));

    // The empty name then matches a row whose name is itself empty.
    state.interfaces.push_back({L"", 1000, 9});
    Run();
    EXPECT_EQ(Values{L"1 kbps"}, WritesOf(state, kLanSpeed));
}

TEST_F(LanReport, RowNamesMatchFromTheirLastBraceIgnoringCase)
{
    state.adapters = {WiredAdapter(kGuidA, 11)};
    state.addressIndexes = {11};
    std::wstring strLower = L"{4d36e972-e325-11ce-bfc1-08002be10318}";
    const struct {
        std::vector<FakeInterfaceRow> rows;
        const wchar_t* pszSpeed;
    } cases[] = {
        {{{L"\\DEVICE\\TCPIP_" + strLower, 100000000, 11}}, L"100 mbps"},
        {{{strLower, 10000000, 11}}, L"10 mbps"},  // a bare GUID is already the name
        {{{L"\\DEVICE\\{00000000-0000-0000-0000-000000000000}_" + strLower, 1000000, 11}}, L"1 mbps"},
        // The first matching row gives the speed.
        {{RowOf(kGuidA, 1000000000, 11), {L"\\DEVICE\\TCPIP_" + strLower, 1000, 11}}, L"1 gbps"},
        // No closing brace after the last opening one: the whole name is compared.
        {{{L"\\DEVICE\\TCPIP_" + Wide(kGuidA).substr(0, 37), 1000000000, 11}}, L""},
        {{{L"\\DEVICE\\TCPIP_" + Wide(kGuidA) + L"{", 1000000000, 11}}, L""},
        {{{Wide(kGuidA) + L"}", 1000000000, 11}}, L""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.rows.front().strName));
        state.interfaces = c.rows;
        Run();
        EXPECT_EQ(Values{c.pszSpeed}, WritesOf(state, kLanSpeed));
    }
}

TEST_F(LanReport, TableBuffersComeFromTheProcessHeapInTheirFirstAndReportedSizes)
{
    state.adapters = {WiredAdapter(kGuidA, 11)};
    state.addressIndexes = {3, 11};
    state.interfaces = {RowOf(kGuidB, 1000, 12), RowOf(kGuidA, 100000000, 11)};
    Run();
    const SIZE_T cbAddresses = offsetof(MIB_IPADDRTABLE, table) + 2 * sizeof(MIB_IPADDRROW);
    const SIZE_T cbInterfaces = offsetof(MIB_IFTABLE, table) + 2 * sizeof(MIB_IFROW);
    std::vector<SIZE_T> sizes;
    for (const HeapCall& call : state.allocations) {
        EXPECT_EQ(GetProcessHeap(), call.hHeap);
        EXPECT_EQ(0u, call.dwFlags);
        sizes.push_back(call.cbLength);
    }
    EXPECT_EQ((std::vector<SIZE_T>{kFirstAdapterBuffer, 28, cbAddresses, 864, cbInterfaces}), sizes);
    // One record fits the first buffer, and the list is asked for again all the same.
    ASSERT_EQ(2u, state.adapterCalls.size());
    EXPECT_EQ(kFirstAdapterBuffer, state.adapterCalls[0].cbLength);
    EXPECT_EQ(kFirstAdapterBuffer, state.adapterCalls[1].cbLength);
    // The address table is first asked with a size of 0; both tables unsorted.
    ASSERT_EQ(2u, state.addressCalls.size());
    EXPECT_EQ(0u, state.addressCalls[0].cbLength);
    EXPECT_EQ(cbAddresses, state.addressCalls[1].cbLength);
    ASSERT_EQ(2u, state.interfaceCalls.size());
    EXPECT_EQ(864u, state.interfaceCalls[0].cbLength);
    EXPECT_EQ(cbInterfaces, state.interfaceCalls[1].cbLength);
    for (const auto& call : state.addressCalls)
        EXPECT_FALSE(call.bOrder);
    for (const auto& call : state.interfaceCalls)
        EXPECT_FALSE(call.bOrder);
    EXPECT_EQ(L"2", ReadResult(kLanConnected));
    EXPECT_EQ(L"100 mbps", ReadResult(kLanSpeed));
}

TEST_F(LanReport, AnAdapterListLargerThanOneRecordIsReadIntoTheReportedSize)
{
    state.adapters = {WiredAdapter(kGuidA, 11), WiredAdapter(kGuidB, 12), WiredAdapter(kGuidC, 13)};
    state.addressIndexes = {13};
    state.interfaces = {RowOf(kGuidC, 100000000, 13)};
    Run();
    const ULONG cbList = 3 * sizeof(IP_ADAPTER_INFO);
    ASSERT_EQ(2u, state.adapterCalls.size());
    EXPECT_EQ(kFirstAdapterBuffer, state.adapterCalls[0].cbLength);
    EXPECT_EQ(cbList, state.adapterCalls[1].cbLength);
    ASSERT_GE(state.allocations.size(), 2u);
    EXPECT_EQ(kFirstAdapterBuffer, state.allocations[0].cbLength);
    EXPECT_EQ(cbList, state.allocations[1].cbLength);
    EXPECT_EQ((Values{Wide(kGuidC)}), WritesOf(state, kLanName));
    EXPECT_EQ((Values{L"2"}), WritesOf(state, kLanConnected));
    EXPECT_EQ(L"100 mbps", ReadResult(kLanSpeed));
}

// The report writes each key once with its final value; the file must end exactly as it
// did when every qualifying adapter wrote its name and the connected flag in turn (the
// write sequences below were captured from that report), whether the keys were there
// before or not.
TEST_F(LanReport, SameResultFileAsWritingEachAdapterInTurn)
{
    using Writes = std::vector<std::pair<std::wstring, std::wstring>>;
    FakeAdapter wireless = WiredAdapter("{WIRELESS}", 6, "Intel(R) Wireless-N 7260");
    wireless.uType = IF_TYPE_IEEE80211;
    const std::wstring a = Wide(kGuidA), b = Wide(kGuidB), c = Wide(kGuidC);
    const struct {
        std::vector<FakeAdapter> adapters;
        std::vector<DWORD> addressIndexes;
        Writes adapterWrites;
    } cases[] = {
        {{WiredAdapter(kGuidA, 11), WiredAdapter(kGuidB, 12)}, {11}, {{kLanName, a}, {kLanConnected, L"2"}, {kLanName, b}, {kLanConnected, L"2"}}},
        {{WiredAdapter(kGuidA, 11), WiredAdapter(kGuidB, 12), WiredAdapter(kGuidC, 13)},
         {13},
         {{kLanName, a}, {kLanConnected, L""}, {kLanName, b}, {kLanConnected, L""}, {kLanName, c}, {kLanConnected, L"2"}}},
        {{WiredAdapter("{REALTEK}", 1, "Realtek PCIe GbE Family Controller"), WiredAdapter("{BT-PAN}", 2, "Bluetooth Device (Personal Area Network)"),
          WiredAdapter("{BRIDGE}", 3, "Network bridge over bluetooth"), wireless},
         {2, 6},
         {{kLanName, L"{REALTEK}"}, {kLanConnected, L""}, {kLanName, L"{BRIDGE}"}, {kLanConnected, L""}}},
        {{wireless, WiredAdapter(kGuidB, 7, "VMware Virtual Ethernet Adapter for VMnet1")}, {6, 7}, {}},
    };
    auto fileBytes = [] {
        std::string strBytes;
        win32::UniqueFile file(CreateFileW(ResultFile().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
        char buffer[4096];
        DWORD cbRead = 0;
        while (file && ReadFile(file.get(), buffer, sizeof(buffer), &cbRead, nullptr) && cbRead)
            strBytes.append(buffer, cbRead);
        return strBytes;
    };
    for (const auto& t : cases) {
        for (bool bSeeded : {true, false}) {
            SCOPED_TRACE(testing::Message() << t.adapters.size() << " adapters, keys there before: " << bSeeded);
            state.adapters = t.adapters;
            state.addressIndexes = t.addressIndexes;
            state.interfaces = {RowOf(kGuidA, 1000000000, 11), RowOf(kGuidB, 100000000, 12), RowOf(kGuidC, 10000000, 13)};
            auto reset = [&] {
                DeleteFileW(ResultFile().c_str());
                if (bSeeded)
                    SeedResultFile();
            };
            reset();
            Run();
            const std::string strReport = fileBytes();
            // The earlier sequence: the adapters' writes, then the same speed and Wi-Fi writes.
            Writes replay = t.adapterWrites;
            for (const auto& write : state.writes)
                if (write.first != kLanName && write.first != kLanConnected)
                    replay.push_back(write);
            reset();
            if (!bSeeded)  // a new result file is a UTF-16 one
                ASSERT_TRUE(testing_support::WriteUtf16File(ResultFile(), L""));
            for (const auto& write : replay)
                WritePrivateProfileStringW(L"Tessary Optimizer", write.first.c_str(), write.second.c_str(), ResultFile().c_str());
            EXPECT_EQ(fileBytes(), strReport);
        }
    }
    SeedResultFile();
}

TEST_F(LanReport, AnUnreadableAdapterListEndsTheReportBeforeAnyWrite)
{
    wlan.SetFixture("interface 1\nnetwork Home 78 1\n");
    state.addressIndexes = {11};
    state.interfaces = {RowOf(kGuidA, 100000000, 11)};
    for (int nAdapters : {0, 1, 3}) {
        SCOPED_TRACE(nAdapters);
        state.adapters.assign(nAdapters, WiredAdapter(kGuidA, 11));
        state.dwAdapterListError = nAdapters ? ERROR_NOT_SUPPORTED : 0;  // none at all: ERROR_NO_DATA
        Run();
        EXPECT_EQ(2u, state.adapterCalls.size());
        EXPECT_TRUE(state.addressCalls.empty());
        EXPECT_TRUE(state.interfaceCalls.empty());
        EXPECT_TRUE(state.writes.empty());
        EXPECT_TRUE(wlan.Calls().empty()) << "no Wi-Fi step";
    }
    for (const wchar_t* pszKey : kAllKeys)
        EXPECT_EQ(L"old", ReadResult(pszKey)) << pszKey;
}

TEST_F(LanReport, AnAddressTableThatFailsAfterItsSizeStopsTheReportQuietly)
{
    wlan.SetFixture("interface 1\nnetwork Home 78 1\n");
    state.adapters = {WiredAdapter(kGuidA, 11), WiredAdapter(kGuidB, 12)};
    state.addressIndexes = {11};
    state.interfaces = {RowOf(kGuidB, 100000000, 12)};
    state.dwAddressTableError = ERROR_NOT_SUPPORTED;
    Run();  // returns: the host process goes on
    EXPECT_EQ(2u, state.addressCalls.size());
    EXPECT_EQ((std::vector<std::pair<std::wstring, std::wstring>>{{kLanName, Wide(kGuidA)}}), state.writes);
    EXPECT_TRUE(state.interfaceCalls.empty());
    EXPECT_TRUE(wlan.Calls().empty()) << "no Wi-Fi step";
    EXPECT_EQ(L"old", ReadResult(kLanConnected));
    EXPECT_EQ(L"old", ReadResult(kLanSpeed));
}

TEST_F(LanReport, OutOfHeapMemory)
{
    wlan.SetFixture("interface 1\nnetwork Home 78 1\n");
    state.adapters = {WiredAdapter(kGuidA, 11)};
    state.addressIndexes = {3, 11};
    state.interfaces = {RowOf(kGuidA, 100000000, 11), RowOf(kGuidB, 10, 12)};
    const SIZE_T cbAddresses = offsetof(MIB_IPADDRTABLE, table) + 2 * sizeof(MIB_IPADDRROW);
    const SIZE_T cbInterfaces = offsetof(MIB_IFTABLE, table) + 2 * sizeof(MIB_IFROW);

    state.cbFailedAllocation = kFirstAdapterBuffer;
    Run();
    EXPECT_TRUE(state.adapterCalls.empty());
    EXPECT_TRUE(state.writes.empty());
    EXPECT_TRUE(wlan.Calls().empty());

    for (SIZE_T cbFailed : {static_cast<SIZE_T>(28), cbAddresses}) {
        SCOPED_TRACE(cbFailed);
        state.cbFailedAllocation = cbFailed;
        Run();
        EXPECT_EQ(Values{Wide(kGuidA)}, WritesOf(state, kLanName));
        EXPECT_EQ(1u, state.writes.size());
        EXPECT_TRUE(wlan.Calls().empty()) << "no Wi-Fi step";
    }

    // Without memory for the interface table there is no speed, but the Wi-Fi step runs.
    for (SIZE_T cbFailed : {static_cast<SIZE_T>(864), cbInterfaces}) {
        SCOPED_TRACE(cbFailed);
        state.cbFailedAllocation = cbFailed;
        wlan.SetFixture("interface 1\nnetwork Home 78 1\n");
        Run();
        EXPECT_EQ(Values{L"2"}, WritesOf(state, kLanConnected));
        EXPECT_TRUE(WritesOf(state, kLanSpeed).empty());
        EXPECT_EQ(Values{L"Home"}, WritesOf(state, kWifiNetwork));
    }
}

TEST_F(LanReport, AnUnreadableInterfaceTableLeavesTheSpeedAndStillReportsWifi)
{
    wlan.SetFixture("interface 1\nnetwork Home 78 1\n");
    state.adapters = {WiredAdapter(kGuidA, 11)};
    state.addressIndexes = {11};
    state.interfaces = {RowOf(kGuidA, 100000000, 11)};
    state.dwInterfaceTableError = ERROR_NOT_SUPPORTED;
    Run();
    EXPECT_EQ(2u, state.interfaceCalls.size());
    EXPECT_TRUE(WritesOf(state, kLanSpeed).empty());
    EXPECT_EQ(L"old", ReadResult(kLanSpeed));
    EXPECT_EQ(Values{L"2"}, WritesOf(state, kWifiConnected));
}

TEST_F(LanReport, DamagedRecordsAreReadOnlyWithinTheirBounds)
{
    // A name that fills its field without a terminator, and an interface table that
    // claims more rows than it holds (its block ends at an inaccessible page).
    std::string strLongName(MAX_ADAPTER_NAME_LENGTH + 4, 'N');
    FakeAdapter adapter = WiredAdapter(strLongName, 11);
    adapter.strDescription.assign(MAX_ADAPTER_DESCRIPTION_LENGTH + 4, 'D');
    state.adapters = {adapter};
    state.addressIndexes = {11};
    state.interfaces = {RowOf(kGuidB, 1000, 12)};
    state.nClaimedInterfaceRows = 1000;
    Run();
    EXPECT_EQ(Values{Wide(strLongName)}, WritesOf(state, kLanName));
    EXPECT_EQ(Values{L""}, WritesOf(state, kLanSpeed));
}

// The Wi-Fi step needs a single-threaded apartment on the calling thread; the one the
// report makes stays in place for the host.
TEST_F(LanReport, ApartmentOfTheCallingThread)
{
    wlan.SetFixture("interface 1\nnetwork Home 78 1\n");
    state.adapters = {WiredAdapter(kGuidA, 11)};
    state.addressIndexes = {11};
    state.interfaces = {RowOf(kGuidA, 100000000, 11)};

    HRESULT hrAfter = S_OK;
    std::thread([&] {
        Run();
        hrAfter = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
        if (SUCCEEDED(hrAfter))
            CoUninitialize();
        CoUninitialize();
    }).join();
    EXPECT_EQ(RPC_E_CHANGED_MODE, hrAfter) << "the report's apartment stays";
    EXPECT_EQ(Values{L"Home"}, WritesOf(state, kWifiNetwork));

    wlan.SetFixture("interface 1\nnetwork Home 78 1\n");
    std::thread([&] {
        HRESULT hr = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
        Run();
        if (SUCCEEDED(hr))
            CoUninitialize();
    }).join();
    EXPECT_EQ(Values{L"100 mbps"}, WritesOf(state, kLanSpeed));
    EXPECT_TRUE(WritesOf(state, kWifiNetwork).empty());
    EXPECT_TRUE(wlan.Calls().empty()) << "no Wi-Fi step in a multithreaded apartment";
}

}  // namespace
}  // namespace network_tests
