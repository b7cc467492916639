// ReleaseFreeMemoryOfSytem against a process list that the test chooses, through the
// library's patched imports.
#include <gtest/gtest.h>

#include <windows.h>
#include <psapi.h>

#include <climits>
#include <map>
#include <memory>
#include <set>
#include <vector>

#include "testing/import_patch.h"
#include "testing/library_host.h"

using testing_support::ImportPatch;
using testing_support::Library;

namespace {

struct FakeSystem {
    std::vector<DWORD> processIds;  // what each enumeration reports
    std::set<DWORD> ended;          // listed, but gone by the time they are opened
    bool bXpAccessRules = false;    // masks outside XP's PROCESS_ALL_ACCESS are refused
    bool bEnumFails = false;
    int nEnumCalls = 0;
    DWORD cbLastEnumBuffer = 0;
    std::vector<DWORD> opened;
    std::vector<DWORD> openAccess;
    std::map<HANDLE, int> trims;
    std::vector<HANDLE> closed;
    int nOtherCalls = 0;
};
FakeSystem* g_fake = nullptr;
ImportPatch* g_closePatch = nullptr;

HANDLE FakeHandleFor(DWORD pid) { return reinterpret_cast<HANDLE>(static_cast<UINT_PTR>(0x40000000u + pid * 4)); }
bool IsFakeHandle(HANDLE h) { return reinterpret_cast<UINT_PTR>(h) >= 0x40000000u && reinterpret_cast<UINT_PTR>(h) < 0x50000000u; }

BOOL WINAPI FakeEnumProcesses(DWORD* pIds, DWORD cb, DWORD* pcbNeeded)
{
    ++g_fake->nEnumCalls;
    g_fake->cbLastEnumBuffer = cb;
    if (g_fake->bEnumFails) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    DWORD nFit = cb / sizeof(DWORD);
    DWORD n = static_cast<DWORD>(g_fake->processIds.size());
    if (n > nFit)
        n = nFit;  // like the system: the list is cut to the buffer
    for (DWORD i = 0; i < n; ++i)
        pIds[i] = g_fake->processIds[i];
    *pcbNeeded = n * sizeof(DWORD);
    return TRUE;
}

HANDLE WINAPI FakeOpenProcess(DWORD dwAccess, BOOL bInherit, DWORD pid)
{
    g_fake->opened.push_back(pid);
    g_fake->openAccess.push_back(dwAccess);
    if (bInherit || g_fake->ended.count(pid) || pid == 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    // Windows XP and Server 2003 refuse bits outside their PROCESS_ALL_ACCESS, 0x001F0FFF.
    if (g_fake->bXpAccessRules && (dwAccess & ~0x001F0FFFu)) {
        SetLastError(ERROR_ACCESS_DENIED);
        return nullptr;
    }
    return FakeHandleFor(pid);
}

BOOL WINAPI FakeSetProcessWorkingSetSize(HANDLE h, SIZE_T nMin, SIZE_T nMax)
{
    if (!IsFakeHandle(h) || nMin != static_cast<SIZE_T>(-1) || nMax != static_cast<SIZE_T>(-1)) {
        ++g_fake->nOtherCalls;
        return FALSE;
    }
    ++g_fake->trims[h];
    return TRUE;
}

BOOL WINAPI FakeCloseHandle(HANDLE h)
{
    if (IsFakeHandle(h)) {
        g_fake->closed.push_back(h);
        return TRUE;
    }
    return g_closePatch->Original<BOOL(WINAPI*)(HANDLE)>()(h);
}

class WorkingSetRelease : public ::testing::Test {
protected:
    void SetUp() override
    {
        release = Library::Export<PFN_ReleaseFreeMemoryOfSytem>("ReleaseFreeMemoryOfSytem");
        ASSERT_NE(nullptr, release);
        g_fake = &fake;
        HMODULE h = Library::Handle();
        enumPatch = std::make_unique<ImportPatch>(h, "psapi.dll", "EnumProcesses", reinterpret_cast<void*>(&FakeEnumProcesses));
        openPatch = std::make_unique<ImportPatch>(h, "kernel32.dll", "OpenProcess", reinterpret_cast<void*>(&FakeOpenProcess));
        trimPatch = std::make_unique<ImportPatch>(h, "kernel32.dll", "SetProcessWorkingSetSize",
                                                  reinterpret_cast<void*>(&FakeSetProcessWorkingSetSize));
        closePatch = std::make_unique<ImportPatch>(h, "kernel32.dll", "CloseHandle", reinterpret_cast<void*>(&FakeCloseHandle));
        g_closePatch = closePatch.get();
        ASSERT_TRUE(enumPatch->IsActive() && openPatch->IsActive() && trimPatch->IsActive() && closePatch->IsActive());
    }
    void TearDown() override
    {
        closePatch.reset();
        trimPatch.reset();
        openPatch.reset();
        enumPatch.reset();
        g_closePatch = nullptr;
        g_fake = nullptr;
    }

    FakeSystem fake;
    PFN_ReleaseFreeMemoryOfSytem release = nullptr;
    std::unique_ptr<ImportPatch> enumPatch, openPatch, trimPatch, closePatch;
};

TEST_F(WorkingSetRelease, NoPassForZeroOrNegativeCounts)
{
    fake.processIds = {4, 8, 12};
    release(0);
    release(-5);
    release(INT_MIN);
    EXPECT_EQ(0, fake.nEnumCalls);
    EXPECT_TRUE(fake.opened.empty());
}

TEST_F(WorkingSetRelease, EachPassTakesANewListAndTrimsEachProcessOnce)
{
    fake.processIds = {0, 4, 8, 12};
    release(3);
    EXPECT_EQ(3, fake.nEnumCalls);
    EXPECT_EQ(4096u, fake.cbLastEnumBuffer);
    EXPECT_EQ(12u, fake.opened.size());
    for (DWORD dwAccess : fake.openAccess)
        EXPECT_EQ(0x1FFFFFu, dwAccess);
    // The idle process (0) cannot be opened; the other three are trimmed once a pass.
    ASSERT_EQ(3u, fake.trims.size());
    for (DWORD pid : {4u, 8u, 12u})
        EXPECT_EQ(3, fake.trims[FakeHandleFor(pid)]) << pid;
    EXPECT_EQ(9u, fake.closed.size());
    EXPECT_EQ(0, fake.nOtherCalls);
}

TEST_F(WorkingSetRelease, WhereAllAccessIsRefusedAsOnXpTheQuotaRightIsEnoughToTrim)
{
    fake.processIds = {0, 4, 8};
    fake.ended = {8};
    fake.bXpAccessRules = true;
    release(2);
    // Only a refusal is tried again: the idle process and the ended one are opened once.
    EXPECT_EQ((std::vector<DWORD>{0, 4, 4, 8, 0, 4, 4, 8}), fake.opened);
    EXPECT_EQ(0x1FFFFFu, fake.openAccess[1]);
    EXPECT_EQ(static_cast<DWORD>(PROCESS_SET_QUOTA), fake.openAccess[2]);
    ASSERT_EQ(1u, fake.trims.size());
    EXPECT_EQ(2, fake.trims[FakeHandleFor(4)]);
    EXPECT_EQ(2u, fake.closed.size());
    EXPECT_EQ(0, fake.nOtherCalls);
}

TEST_F(WorkingSetRelease, SkipsAProcessThatEndedAfterTheListing)
{
    fake.processIds = {4, 8, 12};
    fake.ended = {8};
    release(1);
    EXPECT_EQ((std::vector<DWORD>{4, 8, 12}), fake.opened);
    EXPECT_EQ(1, fake.trims[FakeHandleFor(4)]);
    EXPECT_EQ(0u, fake.trims.count(FakeHandleFor(8)));
    EXPECT_EQ(1, fake.trims[FakeHandleFor(12)]);
    EXPECT_EQ(2u, fake.closed.size());
}

TEST_F(WorkingSetRelease, VisitsOnlyTheFirst1024Processes)
{
    for (DWORD pid = 1; pid <= 1500; ++pid)
        fake.processIds.push_back(pid * 4);
    release(1);
    ASSERT_EQ(1024u, fake.opened.size());
    EXPECT_EQ(4u, fake.opened.front());
    EXPECT_EQ(1024u * 4, fake.opened.back());
    EXPECT_EQ(1024u, fake.closed.size());
}

TEST_F(WorkingSetRelease, AFailedEnumerationEndsTheWholeCall)
{
    fake.processIds = {4};
    fake.bEnumFails = true;
    release(5);
    EXPECT_EQ(1, fake.nEnumCalls);
    EXPECT_TRUE(fake.opened.empty());
}

// The real process list: every process the system lists is opened once.
TEST(WorkingSetReleaseOnThePlatform, OpensEveryListedProcess)
{
    auto release = Library::Export<PFN_ReleaseFreeMemoryOfSytem>("ReleaseFreeMemoryOfSytem");
    FakeSystem fake;
    g_fake = &fake;
    {
        ImportPatch open(Library::Handle(), "kernel32.dll", "OpenProcess", reinterpret_cast<void*>(&FakeOpenProcess));
        ASSERT_TRUE(open.IsActive());
        release(1);
    }
    g_fake = nullptr;
    DWORD ids[1024];
    DWORD cb = 0;
    ASSERT_TRUE(EnumProcesses(ids, sizeof(ids), &cb));
    EXPECT_GE(fake.opened.size(), 1u);
    bool bSawSelf = false;
    for (DWORD pid : fake.opened)
        bSawSelf |= pid == GetCurrentProcessId();
    EXPECT_TRUE(bSawSelf);  // the host process is trimmed like every other
}

}  // namespace
