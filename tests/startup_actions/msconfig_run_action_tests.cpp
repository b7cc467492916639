// Disabling and enabling Run values where the MSConfig "startupreg" store holds the
// disabled copies: the value moves into the store and back.
#include <gtest/gtest.h>

#include <algorithm>

#include "action_test_support.h"
#include "win32/raii.h"

using namespace startup_test;

namespace {

constexpr const wchar_t* kCommand = L"\"C:\\Program Files\\Probe\\probe.exe\" -tray";
// The running case's Run value, and its entry in the store.
const std::wstring& Name() { return CaseName(L"Run"); }
std::wstring EntryKey() { return std::wstring(kStartupReg) + L"\\" + Name(); }
const std::vector<std::wstring> kStoreOrder = {L"DAY",  L"HOUR",       L"MINUTE", L"MONTH", L"SECOND", L"YEAR",     L"command",
                                               L"hkey", L"inimapping", L"item",   L"key",   L"commandType"};

struct RunCase {
    int nEnabledSource;
    int nDisabledSource;
    const wchar_t* pszHive;
};
const RunCase kCases[] = {
    {SI_RUN_HKCU, SI_MSCONFIG_RUN_HKCU, L"HKCU"},
    {SI_RUN_HKLM, SI_MSCONFIG_RUN_HKLM, L"HKLM"},
    {SI_RUN_HKLM32, SI_MSCONFIG_RUN_HKLM32, L"HKLM"},
};

// "key" as the listing reads it back.
std::wstring ExpectedKeyValue(int nDisabledSource)
{
    if (nDisabledSource == SI_MSCONFIG_RUN_HKLM && SeesWow64())
        return L"SOFTWARE\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Run";
    return L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
}

RegValue RunValue(int nSource)
{
    return ReadValue(RunRoot(nSource), RunView(nSource), kRunKey, Name());
}

class MsconfigRunActions : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (SeesApprovedStore())
            GTEST_SKIP() << "this Windows version marks disabled items in the StartupApproved keys";
        Clean();
    }
    void TearDown() override { Clean(); }
    static void Clean()
    {
        for (const RunCase& c : kCases)
            DeleteValue(RunRoot(c.nEnabledSource), RunView(c.nEnabledSource), kRunKey, Name());
        DeleteTree(HKEY_LOCAL_MACHINE, KEY_WOW64_64KEY, EntryKey());
    }
    static bool Skippable(const RunCase& c) { return c.nEnabledSource == SI_RUN_HKLM32 && !SeesWow64(); }
};

TEST_F(MsconfigRunActions, EveryRunSourceRoundTripsThroughTheStore)
{
    for (const RunCase& c : kCases) {
        if (Skippable(c))
            continue;  // the 32-bit view is its own only on 64-bit Windows: see the next test
        SCOPED_TRACE(c.nEnabledSource);
        SetString(RunRoot(c.nEnabledSource), RunView(c.nEnabledSource), kRunKey, Name(), kCommand);
        using Listing = std::vector<std::pair<int, int>>;
        ASSERT_EQ((Listing{{c.nEnabledSource, 1}}), Listed(Name()));
        STARTUPITEMS item = MakeItem(Name(), kCommand, c.nEnabledSource, 1);
        const time_t tBefore = time(nullptr);
        {
            FailingRegistryWrite writes(FailingRegistryWrite::kNoFailure);
            Act(item, 0);
            EXPECT_EQ(kStoreOrder, writes.Written());
        }
        const time_t tAfter = time(nullptr);
        EXPECT_EQ(c.nDisabledSource, item.nSource);
        EXPECT_EQ(0, item.nEnabled);
        ExpectPassThrough(TESSARY_HERE, item, Name(), kCommand);
        EXPECT_FALSE(RunValue(c.nEnabledSource).bPresent);
        EXPECT_EQ((Listing{{c.nDisabledSource, 0}}), Listed(Name()));

        std::vector<std::wstring> sorted = kStoreOrder;
        std::sort(sorted.begin(), sorted.end());
        EXPECT_EQ(sorted, ValueNames(HKEY_LOCAL_MACHINE, KEY_WOW64_64KEY, EntryKey()));
        ExpectTimeFields(TESSARY_HERE, HKEY_LOCAL_MACHINE, EntryKey(), tBefore, tAfter);
        const std::pair<const wchar_t*, std::wstring> strings[] = {
            {L"command", kCommand}, {L"hkey", c.pszHive}, {L"inimapping", L"0"}, {L"item", Name()},
            {L"key", ExpectedKeyValue(c.nDisabledSource)}};
        for (const auto& expected : strings) {
            RegValue value = ReadValue(HKEY_LOCAL_MACHINE, KEY_WOW64_64KEY, EntryKey(), expected.first);
            EXPECT_EQ(static_cast<DWORD>(REG_SZ), value.dwType) << expected.first;
            EXPECT_EQ(StringBytes(expected.second), value.data) << expected.first;
        }
        EXPECT_EQ(static_cast<DWORD>(REG_SZ), DwordOf(ReadValue(HKEY_LOCAL_MACHINE, KEY_WOW64_64KEY, EntryKey(), L"commandType")));

        Act(item, 2);
        EXPECT_EQ(c.nEnabledSource, item.nSource);
        EXPECT_EQ(2, item.nEnabled);
        ExpectPassThrough(TESSARY_HERE, item, Name(), kCommand);
        RegValue restored = RunValue(c.nEnabledSource);
        EXPECT_EQ(static_cast<DWORD>(REG_SZ), restored.dwType);
        EXPECT_EQ(StringBytes(kCommand), restored.data);
        EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, KEY_WOW64_64KEY, EntryKey()));
        EXPECT_EQ((Listing{{c.nEnabledSource, 1}}), Listed(Name()));
        DeleteValue(RunRoot(c.nEnabledSource), RunView(c.nEnabledSource), kRunKey, Name());
    }
}

TEST_F(MsconfigRunActions, TheThirtyTwoBitViewComesBackIntoItself)
{
    if (!SeesWow64())
        GTEST_SKIP() << "only 64-bit Windows has a separate 32-bit registry view (the library runs as a 64-bit module here or on 32-bit Windows)";
    SetString(HKEY_LOCAL_MACHINE, KEY_WOW64_32KEY, kRunKey, Name(), kCommand);
    STARTUPITEMS item = MakeItem(Name(), kCommand, SI_RUN_HKLM32, 1);
    Act(item, 0);
    EXPECT_EQ(SI_MSCONFIG_RUN_HKLM32, item.nSource);
    EXPECT_EQ((std::vector<std::pair<int, int>>{{SI_MSCONFIG_RUN_HKLM32, 0}}), Listed(Name()));
    RegValue key = ReadValue(HKEY_LOCAL_MACHINE, KEY_WOW64_64KEY, EntryKey(), L"key");
    EXPECT_EQ(StringBytes(L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run"), key.data);
    Act(item, 1);
    EXPECT_EQ(SI_RUN_HKLM32, item.nSource);
    EXPECT_TRUE(RunValue(SI_RUN_HKLM32).bPresent);
    EXPECT_FALSE(RunValue(SI_RUN_HKLM).bPresent);
}

// A write failing halfway through the copy: the Run value stays active and the record
// keeps its place.
TEST_F(MsconfigRunActions, AFailedStoreWriteKeepsTheRunValue)
{
    for (const wchar_t* pszFailing : {L"DAY", L"hkey", L"key"}) {
        SCOPED_TRACE(testing::Message() << "failing " << std::string(pszFailing, pszFailing + wcslen(pszFailing)));
        SetString(HKEY_CURRENT_USER, 0, kRunKey, Name(), kCommand);
        STARTUPITEMS item = MakeItem(Name(), kCommand, SI_RUN_HKCU, 1);
        {
            FailingRegistryWrite failing(pszFailing);
            ASSERT_TRUE(failing.IsActive());
            Act(item, 0);
            EXPECT_EQ(1, failing.Failures());
        }
        EXPECT_EQ(SI_RUN_HKCU, item.nSource);
        EXPECT_EQ(1, item.nEnabled);
        RegValue value = RunValue(SI_RUN_HKCU);
        EXPECT_EQ(StringBytes(kCommand), value.data);
        // The half-written copy lacks the failing value and everything after it.
        RegValue failed = ReadValue(HKEY_LOCAL_MACHINE, KEY_WOW64_64KEY, EntryKey(), pszFailing);
        EXPECT_FALSE(failed.bPresent);
        DeleteTree(HKEY_LOCAL_MACHINE, KEY_WOW64_64KEY, EntryKey());
    }
}

// A value deleted after the listing is treated like a shortcut that is gone: no stored
// copy would bring it back later, and the record keeps its place. A value changed since
// the listing stays as it is now, rather than being replaced by the listed command.
TEST_F(MsconfigRunActions, ARunValueGoneOrChangedSinceTheListingStoresNothing)
{
    for (const RunCase& c : kCases) {
        if (Skippable(c))
            continue;
        SCOPED_TRACE(c.nEnabledSource);
        SetString(RunRoot(c.nEnabledSource), RunView(c.nEnabledSource), kRunKey, Name(), kCommand);
        STARTUPITEMS item = MakeItem(Name(), kCommand, c.nEnabledSource, 1);
        DeleteValue(RunRoot(c.nEnabledSource), RunView(c.nEnabledSource), kRunKey, Name());
        Act(item, 0);
        EXPECT_EQ(c.nEnabledSource, item.nSource);
        EXPECT_EQ(1, item.nEnabled);
        EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, KEY_WOW64_64KEY, EntryKey()));
        EXPECT_EQ((std::vector<std::pair<int, int>>{}), Listed(Name()));

        SetString(RunRoot(c.nEnabledSource), RunView(c.nEnabledSource), kRunKey, Name(), L"C:\\Updated\\probe.exe");
        Act(item, 0);
        EXPECT_EQ(c.nEnabledSource, item.nSource);
        EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, KEY_WOW64_64KEY, EntryKey()));
        EXPECT_EQ(StringBytes(L"C:\\Updated\\probe.exe"), RunValue(c.nEnabledSource).data);
        DeleteValue(RunRoot(c.nEnabledSource), RunView(c.nEnabledSource), kRunKey, Name());
    }
}

TEST_F(MsconfigRunActions, AFailedRestoreKeepsTheStoredCopyAndTheRecord)
{
    SetString(HKEY_CURRENT_USER, 0, kRunKey, Name(), kCommand);
    STARTUPITEMS item = MakeItem(Name(), kCommand, SI_RUN_HKCU, 1);
    Act(item, 0);
    ASSERT_EQ(SI_MSCONFIG_RUN_HKCU, item.nSource);
    {
        FailingRegistryWrite failing(Name().c_str());
        Act(item, 1);
        EXPECT_EQ(1, failing.Failures());
    }
    EXPECT_EQ(SI_MSCONFIG_RUN_HKCU, item.nSource);
    EXPECT_EQ(0, item.nEnabled);
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, KEY_WOW64_64KEY, EntryKey()));
    EXPECT_FALSE(RunValue(SI_RUN_HKCU).bPresent);
}

// A value of the same name that appeared meanwhile is not replaced; an equal one is.
TEST_F(MsconfigRunActions, RestoringNeverReplacesADifferentRunValue)
{
    SetString(HKEY_CURRENT_USER, 0, kRunKey, Name(), kCommand);
    STARTUPITEMS item = MakeItem(Name(), kCommand, SI_RUN_HKCU, 1);
    Act(item, 0);
    ASSERT_EQ(SI_MSCONFIG_RUN_HKCU, item.nSource);
    SetString(HKEY_CURRENT_USER, 0, kRunKey, Name(), L"C:\\Other\\other.exe");
    Act(item, 1);
    EXPECT_EQ(SI_MSCONFIG_RUN_HKCU, item.nSource);
    EXPECT_EQ(0, item.nEnabled);
    EXPECT_EQ(StringBytes(L"C:\\Other\\other.exe"), RunValue(SI_RUN_HKCU).data);
    EXPECT_EQ(StringBytes(kCommand), ReadValue(HKEY_LOCAL_MACHINE, KEY_WOW64_64KEY, EntryKey(), L"command").data);

    SetString(HKEY_CURRENT_USER, 0, kRunKey, Name(), kCommand);
    Act(item, 1);
    EXPECT_EQ(SI_RUN_HKCU, item.nSource);
    EXPECT_EQ(1, item.nEnabled);
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, KEY_WOW64_64KEY, EntryKey()));
}

// Two Run keys holding a value of the same name: the second disable would overwrite the
// first one's stored copy, so it is refused.
TEST_F(MsconfigRunActions, DisablingNeverOverwritesAnotherStoredEntry)
{
    SetString(HKEY_CURRENT_USER, 0, kRunKey, Name(), kCommand);
    SetString(HKEY_LOCAL_MACHINE, KEY_WOW64_64KEY, kRunKey, Name(), L"C:\\Machine\\probe.exe");
    STARTUPITEMS user = MakeItem(Name(), kCommand, SI_RUN_HKCU, 1);
    Act(user, 0);
    ASSERT_EQ(SI_MSCONFIG_RUN_HKCU, user.nSource);
    STARTUPITEMS machine = MakeItem(Name(), L"C:\\Machine\\probe.exe", SI_RUN_HKLM, 1);
    Act(machine, 0);
    EXPECT_EQ(SI_RUN_HKLM, machine.nSource);
    EXPECT_EQ(1, machine.nEnabled);
    EXPECT_EQ(StringBytes(L"C:\\Machine\\probe.exe"), RunValue(SI_RUN_HKLM).data);
    EXPECT_EQ(StringBytes(kCommand), ReadValue(HKEY_LOCAL_MACHINE, KEY_WOW64_64KEY, EntryKey(), L"command").data);
    EXPECT_EQ(StringBytes(L"HKCU"), ReadValue(HKEY_LOCAL_MACHINE, KEY_WOW64_64KEY, EntryKey(), L"hkey").data);
}

// An expandable value comes back expandable. Entries stored without a type (earlier
// versions, other tools) come back expandable when their references expand, else plain.
TEST_F(MsconfigRunActions, AValueComesBackWithItsType)
{
    const std::wstring strExpandable = L"%ProgramFiles%\\Tool\\tool.exe";
    const std::vector<BYTE> bytes = StringBytes(strExpandable);
    {
        win32::UniqueKey run;
        ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_CURRENT_USER, kRunKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, run.put(), nullptr));
        ASSERT_EQ(ERROR_SUCCESS, RegSetValueExW(run.get(), Name().c_str(), 0, REG_EXPAND_SZ, bytes.data(), static_cast<DWORD>(bytes.size())));
    }
    ASSERT_EQ((std::vector<std::pair<int, int>>{{SI_RUN_HKCU, 1}}), Listed(Name()));
    STARTUPITEMS item = MakeItem(Name(), strExpandable, SI_RUN_HKCU, 1);
    Act(item, 0);
    ASSERT_EQ(SI_MSCONFIG_RUN_HKCU, item.nSource);
    EXPECT_EQ(static_cast<DWORD>(REG_SZ), ReadValue(HKEY_LOCAL_MACHINE, KEY_WOW64_64KEY, EntryKey(), L"command").dwType);
    Act(item, 1);
    EXPECT_EQ(SI_RUN_HKCU, item.nSource);
    EXPECT_EQ(static_cast<DWORD>(REG_EXPAND_SZ), RunValue(SI_RUN_HKCU).dwType);
    EXPECT_EQ(bytes, RunValue(SI_RUN_HKCU).data);

    for (const auto& legacy : {std::make_pair(strExpandable, REG_EXPAND_SZ), std::make_pair(std::wstring(L"C:\\100%\\a.exe"), REG_SZ),
                               std::make_pair(std::wstring(L"%TESSARY_UNSET%\\a.exe"), REG_SZ)}) {
        DeleteValue(HKEY_CURRENT_USER, 0, kRunKey, Name());
        for (const wchar_t* pszValue : {L"item", L"command", L"hkey"})
            SetString(HKEY_LOCAL_MACHINE, KEY_WOW64_64KEY, EntryKey(), pszValue,
                      pszValue[0] == L'i' ? Name() : pszValue[0] == L'c' ? legacy.first : L"HKCU");
        STARTUPITEMS stored = MakeItem(Name(), legacy.first, SI_MSCONFIG_RUN_HKCU, 0);
        Act(stored, 1);
        EXPECT_EQ(SI_RUN_HKCU, stored.nSource);
        EXPECT_EQ(static_cast<DWORD>(legacy.second), RunValue(SI_RUN_HKCU).dwType) << testing::PrintToString(legacy.first);
    }
}

// Store subkeys need not be named after their item: enabling takes the entry that holds
// the item and leaves the one named like it, which holds another, alone.
TEST_F(MsconfigRunActions, EnablingTakesOnlyTheEntryThatHoldsTheItem)
{
    const std::wstring strShared = CaseName(L"Shared"), strOther = CaseName(L"Other"), strX = CaseName(L"X");
    const std::wstring strSharedKey = std::wstring(kStartupReg) + L"\\" + strShared, strXKey = std::wstring(kStartupReg) + L"\\" + strX;
    const std::pair<std::wstring, std::wstring> entries[] = {{strSharedKey, strOther}, {strXKey, strShared}};
    for (const auto& entry : entries) {
        SetString(HKEY_LOCAL_MACHINE, KEY_WOW64_64KEY, entry.first, L"item", entry.second);
        SetString(HKEY_LOCAL_MACHINE, KEY_WOW64_64KEY, entry.first, L"command", entry.second == strOther ? L"C:\\b\\two.exe" : L"C:\\a\\one.exe");
        SetString(HKEY_LOCAL_MACHINE, KEY_WOW64_64KEY, entry.first, L"hkey", L"HKCU");
    }
    EXPECT_EQ((std::vector<std::pair<int, int>>{{SI_MSCONFIG_RUN_HKCU, 0}}), Listed(strOther));
    STARTUPITEMS item = MakeItem(strShared, L"C:\\a\\one.exe", SI_MSCONFIG_RUN_HKCU, 0);
    // A record whose command the store does not hold has nothing to restore.
    STARTUPITEMS unknown = MakeItem(strShared, L"C:\\a\\changed.exe", SI_MSCONFIG_RUN_HKCU, 0);
    Act(unknown, 1);
    EXPECT_EQ(SI_MSCONFIG_RUN_HKCU, unknown.nSource);
    EXPECT_FALSE(ReadValue(HKEY_CURRENT_USER, 0, kRunKey, strShared).bPresent);
    Act(item, 1);
    EXPECT_EQ(SI_RUN_HKCU, item.nSource);
    EXPECT_EQ(StringBytes(L"C:\\a\\one.exe"), ReadValue(HKEY_CURRENT_USER, 0, kRunKey, strShared).data);
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, KEY_WOW64_64KEY, strXKey));
    EXPECT_EQ(StringBytes(strOther), ReadValue(HKEY_LOCAL_MACHINE, KEY_WOW64_64KEY, strSharedKey, L"item").data);
    EXPECT_EQ((std::vector<std::pair<int, int>>{{SI_RUN_HKCU, 1}}), Listed(strShared));
    EXPECT_EQ((std::vector<std::pair<int, int>>{{SI_MSCONFIG_RUN_HKCU, 0}}), Listed(strOther));
    DeleteValue(HKEY_CURRENT_USER, 0, kRunKey, strShared);
    DeleteTree(HKEY_LOCAL_MACHINE, KEY_WOW64_64KEY, strSharedKey);
}

// Disabled entries and codes that belong to the approval keys pass through untouched.
TEST_F(MsconfigRunActions, CodesWithoutAnOperationLeaveEverythingAlone)
{
    SetString(HKEY_CURRENT_USER, 0, kRunKey, Name(), kCommand);
    for (int nSource : std::initializer_list<int>{SI_RUN_HKCU, SI_APPROVED_RUN_HKCU, SI_APPROVED_FOLDER_USER, 0, 9999}) {
        STARTUPITEMS item = MakeItem(Name(), kCommand, nSource, 7);
        Act(item, nSource == SI_RUN_HKCU ? 1 : 0);
        EXPECT_EQ(nSource, item.nSource);
        EXPECT_EQ(7, item.nEnabled);
        ExpectPassThrough(TESSARY_HERE, item, Name(), kCommand);
    }
    EXPECT_TRUE(RunValue(SI_RUN_HKCU).bPresent);
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, KEY_WOW64_64KEY, EntryKey()));
}

}  // namespace

namespace {

const std::tm* CDECL FailingLocalTime(const time_t*) { return nullptr; }

// Where local time cannot be computed, each field holds its fallback.
TEST_F(MsconfigRunActions, TimeFieldsFallBackWhenLocalTimeFails)
{
    // The C run-time's name for it depends on the width of time_t.
    testing_support::ImportPatch narrow(testing_support::Library::Handle(), "msvcrt.dll", "localtime",
                                        reinterpret_cast<void*>(&FailingLocalTime));
    testing_support::ImportPatch wide(testing_support::Library::Handle(), "msvcrt.dll", "_localtime64",
                                      reinterpret_cast<void*>(&FailingLocalTime));
    ASSERT_TRUE(narrow.IsActive() || wide.IsActive());
    SetString(HKEY_CURRENT_USER, 0, kRunKey, Name(), kCommand);
    STARTUPITEMS item = MakeItem(Name(), kCommand, SI_RUN_HKCU, 1);
    Act(item, 0);
    EXPECT_EQ(SI_MSCONFIG_RUN_HKCU, item.nSource);
    const std::pair<const wchar_t*, DWORD> expected[] = {{L"DAY", 0},    {L"HOUR", 0xFFFFFFFF},   {L"MINUTE", 0xFFFFFFFF},
                                                         {L"MONTH", 0}, {L"SECOND", 0xFFFFFFFF}, {L"YEAR", 0}};
    for (const auto& field : expected)
        EXPECT_EQ(field.second, DwordOf(ReadValue(HKEY_LOCAL_MACHINE, KEY_WOW64_64KEY, EntryKey(), field.first)));
}

}  // namespace
