// Many LanCableInfo calls in a row, with every table and the Wi-Fi step taking their full
// path, leave the host with as many handles and as much private memory as before.
#include "report_fixture.h"

#include <vector>

#include "testing/library_host.h"
#include "testing/process_usage.h"

namespace network_tests {
namespace {

using testing_support::CommittedPrivateBytes;
using testing_support::OpenHandleCount;

// The meters see a leak under Wine too: a handle and 2 KB a call, for as many calls as
// the leak checks make, go past the largest of their allowances (2 handles, 1 MB).
TEST(LeakMeters, SeeADeliberateLeakOfAHandleAndTwoKilobytesACall)
{
    const DWORD nHandlesBefore = OpenHandleCount();
    const SIZE_T cbBefore = CommittedPrivateBytes();
    std::vector<HANDLE> events;
    std::vector<void*> blocks;
    for (int i = 0; i < 1000; ++i) {
        events.push_back(CreateEventW(nullptr, TRUE, FALSE, nullptr));
        blocks.push_back(HeapAlloc(GetProcessHeap(), 0, 2048));
    }
    EXPECT_GE(OpenHandleCount(), nHandlesBefore + 1000);
    EXPECT_GT(CommittedPrivateBytes(), cbBefore + 1024 * 1024);
    for (HANDLE hEvent : events)
        CloseHandle(hEvent);
    for (void* pBlock : blocks)
        HeapFree(GetProcessHeap(), 0, pBlock);
}

TEST(NetworkReportRepeated, AThousandCallsLeaveHandlesAndPrivateBytesFlat)
{
    auto lanCableInfo = testing_support::Library::Export<PFN_LanCableInfo>("LanCableInfo");
    ASSERT_NE(nullptr, lanCableInfo);
    FakeWlan wlan;
    ASSERT_TRUE(wlan.IsInstalled());
    wlan.SetFixture("quiet\ninterface 1\nnetwork Home 78 1\nnetwork Office 60 0\nquery 0 144400\ninterface 6\nnetwork Cafe 40 1\n");
    FakeNetworkState state;
    state.adapters = {WiredAdapter("{A}", 11), WiredAdapter("{B}", 12), WiredAdapter("{C}", 13)};
    // Tables of some size, so that leaking any one block a call adds up to far more than
    // the allowance below: 40 address rows (964 bytes), 10 interface rows (8.6 KB).
    for (DWORD i = 0; i < 40; ++i)
        state.addressIndexes.push_back(i < 2 ? 11 + i : 100 + i);
    for (DWORD i = 0; i < 7; ++i)
        state.interfaces.push_back({L"Other " + std::to_wstring(i), 1000, 100 + i});
    state.interfaces.insert(state.interfaces.end(), {RowOf("{A}", 1000, 11), RowOf("{B}", 10000, 12), RowOf("{C}", 100000000, 13)});
    // The real process heap: what the library leaks there shows in private bytes.
    FakeNetworkPlatform platform(state, false);
    ASSERT_TRUE(platform.IsActive());

    size_t nLastWrites = 0;
    auto call = [&] {
        lanCableInfo();
        nLastWrites = state.writes.size();
        // The fake's own records would grow: empty them, keeping their capacity.
        state.adapterCalls.clear();
        state.addressCalls.clear();
        state.interfaceCalls.clear();
        state.writes.clear();
    };
    for (int i = 0; i < 50; ++i)  // caches of the profile writer and the loader settle
        call();
    ASSERT_EQ(L"144.40 mbps", ReadResult(kWifiSpeed).substr(0, 11));
    ASSERT_EQ(L"100 mbps", ReadResult(kLanSpeed));
    const size_t nWritesPerCall = nLastWrites;  // the three LAN keys, then both interfaces' Wi-Fi keys
    ASSERT_EQ(3u + 5u + 2u, nWritesPerCall);
    // The system's profile writer rewrites the file on every write; it is not what is
    // measured here, and leaving it out keeps the run short.
    state.bPassWritesOn = false;
    DWORD nHandlesBefore = OpenHandleCount();
    SIZE_T cbPrivateBefore = CommittedPrivateBytes();
    ASSERT_NE(0u, nHandlesBefore);
    ASSERT_NE(0u, cbPrivateBefore);

    for (int i = 0; i < 1000; ++i)
        call();

    EXPECT_EQ(nWritesPerCall, nLastWrites) << "the last call took the same full path";
    DWORD nHandlesAfter = OpenHandleCount();
    SIZE_T cbPrivateAfter = CommittedPrivateBytes();
    EXPECT_LE(nHandlesAfter, nHandlesBefore + 2);
    // A leak of one table buffer or one WLAN block a call would be 600 KB and more.
    EXPECT_LT(cbPrivateAfter, cbPrivateBefore + 256 * 1024) << cbPrivateBefore << " -> " << cbPrivateAfter;
    EXPECT_FALSE(IsWlanapiLoaded());
}

}  // namespace
}  // namespace network_tests
