// Enabling and disabling where the StartupApproved keys mark disabled items: the entry
// stays in place and only its 12-byte approval value changes.
#include <gtest/gtest.h>
#include <shlobj.h>

#include "action_test_support.h"

using namespace startup_test;

namespace {

struct ApprovedCase {
    int nEnabledSource;
    int nDisabledSource;
    HKEY hRoot;
    REGSAM samView;
    const wchar_t* pszKey;  // last component
    bool bShortcut;
};
const ApprovedCase kCases[] = {
    {SI_RUN_HKCU, SI_APPROVED_RUN_HKCU, HKEY_CURRENT_USER, 0, L"Run", false},
    {SI_RUN_HKLM, SI_APPROVED_RUN_HKLM, HKEY_LOCAL_MACHINE, KEY_WOW64_64KEY, L"Run", false},
    {SI_RUN_HKLM32, SI_APPROVED_RUN_HKLM32, HKEY_LOCAL_MACHINE, KEY_WOW64_64KEY, L"Run32", false},
    {SI_FOLDER_USER, SI_APPROVED_FOLDER_USER, HKEY_CURRENT_USER, 0, L"StartupFolder", true},
    {SI_FOLDER_COMMON, SI_APPROVED_FOLDER_COMMON, HKEY_LOCAL_MACHINE, KEY_WOW64_64KEY, L"StartupFolder", true},
};

// The entry of one source (its enabled code) in the running case.
std::wstring Name(int nSource) { return CaseName(L"Approved" + std::to_wstring(nSource)); }
constexpr const wchar_t* kCommand = L"C:\\Probe\\probe.exe /quiet";

ULONGLONG FileTimeNow()
{
    FILETIME ft;
    GetSystemTimeAsFileTime(&ft);
    return (static_cast<ULONGLONG>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
}

class ApprovedActions : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!SeesApprovedStore())
            GTEST_SKIP() << "this Windows version keeps disabled items in the MSConfig store";
        for (const ApprovedCase& c : kCases)  // a disable makes them
            DeleteTree(c.hRoot, c.samView, std::wstring(kApprovedPrefix) + c.pszKey);
    }
    void TearDown() override
    {
        for (const ApprovedCase& c : kCases) {
            DeleteValue(c.hRoot, c.samView, std::wstring(kApprovedPrefix) + c.pszKey, ValueName(c));
            RemoveEntry(c);
        }
    }
    // The Run value or shortcut that the approval value is about.
    static std::wstring ShortcutPath(const ApprovedCase& c)
    {
        return StartupFolder(c.nEnabledSource == SI_FOLDER_USER ? CSIDL_STARTUP : CSIDL_COMMON_STARTUP) + L"\\" + Name(c.nEnabledSource) + L".lnk";
    }
    static void PlaceEntry(const ApprovedCase& c)
    {
        if (c.bShortcut)
            ASSERT_TRUE(CreateShortcut(ShortcutPath(c), L"C:\\windows\\system32\\notepad.exe"));
        else
            SetString(RunRoot(c.nEnabledSource), RunView(c.nEnabledSource), kRunKey, Name(c.nEnabledSource), kCommand);
    }
    static bool EntryInPlace(const ApprovedCase& c)
    {
        return c.bShortcut ? FileExists(ShortcutPath(c))
                           : ReadValue(RunRoot(c.nEnabledSource), RunView(c.nEnabledSource), kRunKey, Name(c.nEnabledSource)).bPresent;
    }
    static void RemoveEntry(const ApprovedCase& c)
    {
        if (c.bShortcut)
            testing_support::RemoveFile(ShortcutPath(c));
        else
            DeleteValue(RunRoot(c.nEnabledSource), RunView(c.nEnabledSource), kRunKey, Name(c.nEnabledSource));
    }
    static std::wstring ValueName(const ApprovedCase& c) { return Name(c.nEnabledSource) + (c.bShortcut ? L".lnk" : L""); }
    // Disable, then enable with the flag 2, checking the record, the value and the listing.
    void RoundTrip(const ApprovedCase& c);
    static RegValue Approval(const ApprovedCase& c)
    {
        return ReadValue(c.hRoot, c.samView, std::wstring(kApprovedPrefix) + c.pszKey, ValueName(c));
    }
};

void ApprovedActions::RoundTrip(const ApprovedCase& c)
{
    SCOPED_TRACE(c.nEnabledSource);
    PlaceEntry(c);
    using Listing = std::vector<std::pair<int, int>>;
    ASSERT_EQ((Listing{{c.nEnabledSource, 1}}), Listed(Name(c.nEnabledSource))) << "the entry is not listed where it was placed";
    STARTUPITEMS item = MakeItem(Name(c.nEnabledSource), kCommand, c.nEnabledSource, 1);
    const ULONGLONG ullBefore = FileTimeNow();
    Act(item, 0);
    const ULONGLONG ullAfter = FileTimeNow();
    EXPECT_EQ(c.nDisabledSource, item.nSource);
    EXPECT_EQ(0, item.nEnabled);
    ExpectPassThrough(TESSARY_HERE, item, Name(c.nEnabledSource), kCommand);

    RegValue value = Approval(c);
    ASSERT_TRUE(value.bPresent);
    EXPECT_EQ(static_cast<DWORD>(REG_BINARY), value.dwType);
    ASSERT_EQ(12u, value.data.size());
    EXPECT_EQ((std::vector<BYTE>{3, 0, 0, 0}), std::vector<BYTE>(value.data.begin(), value.data.begin() + 4));
    ULONGLONG ullStamp = 0;
    for (int i = 11; i >= 4; --i)
        ullStamp = (ullStamp << 8) | value.data[i];  // low half first, each little-endian
    EXPECT_GE(ullStamp + 10000000, ullBefore);  // within a second: GetSystemTime has millisecond steps
    EXPECT_LE(ullStamp, ullAfter);
    EXPECT_TRUE(EntryInPlace(c));  // only the approval value changed
    EXPECT_EQ((Listing{{c.nDisabledSource, 0}}), Listed(Name(c.nEnabledSource)));

    Act(item, 2);
    EXPECT_EQ(c.nEnabledSource, item.nSource);
    EXPECT_EQ(2, item.nEnabled);  // the flag as passed
    ExpectPassThrough(TESSARY_HERE, item, Name(c.nEnabledSource), kCommand);
    value = Approval(c);
    ASSERT_TRUE(value.bPresent);
    EXPECT_EQ(static_cast<DWORD>(REG_BINARY), value.dwType);
    EXPECT_EQ((std::vector<BYTE>{2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}), value.data);
    EXPECT_EQ((Listing{{c.nEnabledSource, 1}}), Listed(Name(c.nEnabledSource)));
    RemoveEntry(c);
}

TEST_F(ApprovedActions, EverySourceRoundTripsThroughItsApprovalValue)
{
    for (const ApprovedCase& c : kCases)
        if (c.nEnabledSource != SI_RUN_HKLM32) {
            RoundTrip(c);
            if (HasFatalFailure())
                return;
        }
}

TEST_F(ApprovedActions, TheThirtyTwoBitViewRoundTripsThroughRun32)
{
    if (!SeesWow64())
        GTEST_SKIP() << "the 32-bit view is listed only where the library is a 32-bit module on 64-bit Windows";
    RoundTrip(kCases[2]);
}

TEST_F(ApprovedActions, AnEnabledItemOnlyTakesTheFlagAndADisabledOneStaysAsItIs)
{
    STARTUPITEMS item = MakeItem(Name(SI_RUN_HKCU), kCommand, SI_RUN_HKCU, 1);
    Act(item, 5);
    EXPECT_EQ(SI_RUN_HKCU, item.nSource);
    EXPECT_EQ(5, item.nEnabled);
    EXPECT_FALSE(Approval(kCases[0]).bPresent);

    item = MakeItem(Name(SI_RUN_HKCU), kCommand, SI_APPROVED_RUN_HKCU, 0);
    Act(item, 0);
    EXPECT_EQ(SI_APPROVED_RUN_HKCU, item.nSource);
    EXPECT_EQ(0, item.nEnabled);
    EXPECT_FALSE(Approval(kCases[0]).bPresent);

    // Codes of the other store pass through both ways.
    item = MakeItem(Name(SI_RUN_HKCU), kCommand, SI_MSCONFIG_RUN_HKCU, 0);
    Act(item, 0);
    EXPECT_EQ(SI_MSCONFIG_RUN_HKCU, item.nSource);
    EXPECT_EQ(0, item.nEnabled);
    ExpectPassThrough(TESSARY_HERE, item, Name(SI_RUN_HKCU), kCommand);
}

TEST_F(ApprovedActions, AFailedWriteLeavesTheRecordAsItWas)
{
    {
        FailingRegistryWrite failing(nullptr);
        ASSERT_TRUE(failing.IsActive());
        STARTUPITEMS item = MakeItem(Name(SI_FOLDER_USER), kCommand, SI_FOLDER_USER, 1);
        Act(item, 0);
        EXPECT_EQ(1, failing.Failures());
        EXPECT_EQ(SI_FOLDER_USER, item.nSource);
        EXPECT_EQ(1, item.nEnabled);

        item = MakeItem(Name(SI_RUN_HKCU), kCommand, SI_APPROVED_RUN_HKCU, 0);
        Act(item, 1);
        EXPECT_EQ(SI_APPROVED_RUN_HKCU, item.nSource);
        EXPECT_EQ(0, item.nEnabled);
    }
    EXPECT_FALSE(Approval(kCases[3]).bPresent);
    EXPECT_FALSE(Approval(kCases[0]).bPresent);
}

TEST_F(ApprovedActions, OnlyDisablingMakesAMissingApprovalKey)
{
    // Without the key nothing was disabled there: enabling has nothing to mark.
    const std::wstring strKey = std::wstring(kApprovedPrefix) + L"Run";
    STARTUPITEMS item = MakeItem(Name(SI_RUN_HKCU), kCommand, SI_APPROVED_RUN_HKCU, 0);
    Act(item, 1);
    EXPECT_EQ(SI_APPROVED_RUN_HKCU, item.nSource);
    EXPECT_EQ(0, item.nEnabled);
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, 0, strKey));
    item = MakeItem(Name(SI_RUN_HKCU), kCommand, SI_RUN_HKCU, 1);
    Act(item, 0);
    EXPECT_EQ(SI_APPROVED_RUN_HKCU, item.nSource);
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, 0, strKey));
}

}  // namespace
