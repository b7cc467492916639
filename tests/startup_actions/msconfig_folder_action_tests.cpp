// Disabling and enabling Startup folder shortcuts where the MSConfig "startupfolder"
// store records them: the shortcut moves into the backup folder and back.
#include <gtest/gtest.h>
#include <shlobj.h>

#include <algorithm>

#include "action_test_support.h"

using namespace startup_test;

namespace {

// The running case's shortcut title.
const std::wstring& Title() { return CaseName(L"Folder"); }
constexpr const wchar_t* kTarget = L"C:\\windows\\system32\\notepad.exe";
const std::vector<std::wstring> kStoreOrder = {L"DAY",    L"HOUR",            L"MINUTE",  L"MONTH", L"SECOND",   L"YEAR",
                                               L"backup", L"backupExtension", L"command", L"item",  L"location", L"path"};

struct FolderCase {
    int nEnabledSource;
    int nDisabledSource;
    int nCsidl;
    const wchar_t* pszBackupName;
};
const FolderCase kCases[] = {
    {SI_FOLDER_USER, SI_MSCONFIG_FOLDER_USER, CSIDL_STARTUP, L"Startup"},
    {SI_FOLDER_COMMON, SI_MSCONFIG_FOLDER_COMMON, CSIDL_COMMON_STARTUP, L"CommonStartup"},
};

std::wstring ShortcutPath(const FolderCase& c) { return StartupFolder(c.nCsidl) + L"\\" + Title() + L".lnk"; }
// The same title with its case changed.
std::wstring OtherCasePath(const FolderCase& c)
{
    std::wstring strTitle = Title();
    CharLowerBuffW(&strTitle[0], static_cast<DWORD>(strTitle.size()));
    return StartupFolder(c.nCsidl) + L"\\" + strTitle + L".lnk";
}
std::wstring BackupPath(const FolderCase& c) { return std::wstring(kBackupFolder) + L"\\" + Title() + L".lnk." + c.pszBackupName; }
std::wstring EntryKey(const FolderCase& c) { return std::wstring(kStartupFolderStore) + L"\\" + CaretPath(ShortcutPath(c)); }
std::wstring EntryString(const FolderCase& c, const wchar_t* pszName)
{
    RegValue value = ReadValue(HKEY_LOCAL_MACHINE, KEY_WOW64_64KEY, EntryKey(c), pszName);
    if (!value.bPresent || value.dwType != REG_SZ || value.data.size() % 2 || value.data.size() < 2 ||
        value.data[value.data.size() - 2] || value.data.back())
        return L"<not a terminated REG_SZ>";
    return std::wstring(reinterpret_cast<const wchar_t*>(value.data.data()));
}

class MsconfigFolderActions : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (SeesApprovedStore())
            GTEST_SKIP() << "this Windows version marks disabled items in the StartupApproved keys";
        Clean();
        CreateDirectoryW(kBackupFolder, nullptr);
    }
    void TearDown() override { Clean(); }
    static void Clean()
    {
        for (const FolderCase& c : kCases) {
            testing_support::RemoveFile(ShortcutPath(c));
            testing_support::RemoveFile(OtherCasePath(c));
            testing_support::RemoveFile(BackupPath(c));
            DeleteTree(HKEY_LOCAL_MACHINE, KEY_WOW64_64KEY, EntryKey(c));
        }
    }
};

TEST_F(MsconfigFolderActions, EveryFolderRoundTripsThroughTheBackupFolder)
{
    for (const FolderCase& c : kCases) {
        SCOPED_TRACE(c.nEnabledSource);
        ASSERT_TRUE(CreateShortcut(ShortcutPath(c), kTarget));
        const std::string strShortcut = ReadFileBytes(ShortcutPath(c));
        using Listing = std::vector<std::pair<int, int>>;
        ASSERT_EQ((Listing{{c.nEnabledSource, 1}}), Listed(Title()));
        STARTUPITEMS item = MakeItem(Title(), kTarget, c.nEnabledSource, 1);
        const time_t tBefore = time(nullptr);
        {
            FailingRegistryWrite writes(FailingRegistryWrite::kNoFailure);
            Act(item, 0);
            EXPECT_EQ(kStoreOrder, writes.Written());
        }
        const time_t tAfter = time(nullptr);
        EXPECT_EQ(c.nDisabledSource, item.nSource);
        EXPECT_EQ(0, item.nEnabled);
        ExpectPassThrough(TESSARY_HERE, item, Title(), kTarget);
        EXPECT_FALSE(FileExists(ShortcutPath(c)));
        EXPECT_EQ(strShortcut, ReadFileBytes(BackupPath(c)));
        EXPECT_EQ(Listing{}, Listed(Title()));  // only the host's record knows a moved shortcut

        std::vector<std::wstring> sorted = kStoreOrder;
        std::sort(sorted.begin(), sorted.end());
        EXPECT_EQ(sorted, ValueNames(HKEY_LOCAL_MACHINE, KEY_WOW64_64KEY, EntryKey(c)));
        EXPECT_NE(std::wstring::npos, EntryKey(c).find(L"^"));
        ExpectTimeFields(TESSARY_HERE, HKEY_LOCAL_MACHINE, EntryKey(c), tBefore, tAfter);
        EXPECT_EQ(BackupPath(c), EntryString(c, L"backup"));
        EXPECT_EQ(std::wstring(L".") + c.pszBackupName, EntryString(c, L"backupExtension"));
        EXPECT_EQ(kTarget, EntryString(c, L"command"));
        EXPECT_EQ(Title(), EntryString(c, L"item"));
        EXPECT_EQ(StartupFolder(c.nCsidl), EntryString(c, L"location"));
        EXPECT_EQ(ShortcutPath(c), EntryString(c, L"path"));

        Act(item, 2);
        EXPECT_EQ(c.nEnabledSource, item.nSource);
        EXPECT_EQ(2, item.nEnabled);
        ExpectPassThrough(TESSARY_HERE, item, Title(), kTarget);
        EXPECT_EQ(strShortcut, ReadFileBytes(ShortcutPath(c)));
        EXPECT_FALSE(FileExists(BackupPath(c)));
        EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, KEY_WOW64_64KEY, EntryKey(c)));
        EXPECT_EQ((Listing{{c.nEnabledSource, 1}}), Listed(Title()));
        testing_support::RemoveFile(ShortcutPath(c));
    }
}

// A fresh Windows has no backup folder: it is made, so that the shortcut really moves.
TEST_F(MsconfigFolderActions, AMissingBackupFolderIsCreated)
{
    const FolderCase& c = kCases[0];
    ASSERT_TRUE(RemoveDirectoryW(kBackupFolder)) << "the backup folder should hold nothing but this test's files";
    ASSERT_TRUE(CreateShortcut(ShortcutPath(c), kTarget));
    STARTUPITEMS item = MakeItem(Title(), kTarget, c.nEnabledSource, 1);
    Act(item, 0);
    EXPECT_EQ(c.nDisabledSource, item.nSource);
    EXPECT_TRUE(FileExists(BackupPath(c)));
    EXPECT_FALSE(FileExists(ShortcutPath(c)));
}

TEST_F(MsconfigFolderActions, AShortcutGoneSinceTheListingWritesAndMovesNothing)
{
    const FolderCase& c = kCases[0];
    ASSERT_TRUE(CreateShortcut(OtherCasePath(c), kTarget));  // the title differs in case
    STARTUPITEMS item = MakeItem(Title(), kTarget, c.nEnabledSource, 1);
    Act(item, 0);
    testing_support::RemoveFile(OtherCasePath(c));
    EXPECT_EQ(c.nEnabledSource, item.nSource);
    EXPECT_EQ(1, item.nEnabled);
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, KEY_WOW64_64KEY, EntryKey(c)));
    EXPECT_FALSE(FileExists(BackupPath(c)));

    // The shortcut is looked up by its name: a title that would read as a pattern or as a
    // path to it names no shortcut, as no file title equals it.
    ASSERT_TRUE(CreateShortcut(ShortcutPath(c), kTarget));
    const std::wstring strFolder = StartupFolder(c.nCsidl);
    const std::wstring strFolderName = strFolder.substr(strFolder.rfind(L'\\') + 1);
    const std::wstring strPattern = Title().substr(0, Title().size() - 1) + L"?";
    for (const std::wstring& strTitle : {strPattern, std::wstring(L"*"), L"..\\" + strFolderName + L"\\" + Title()}) {
        SCOPED_TRACE(testing::PrintToString(strTitle));
        STARTUPITEMS probe = MakeItem(strTitle, kTarget, c.nEnabledSource, 1);
        Act(probe, 0);
        EXPECT_EQ(c.nEnabledSource, probe.nSource);
        EXPECT_TRUE(FileExists(ShortcutPath(c)));
        EXPECT_FALSE(FileExists(BackupPath(c)));
    }
}

// A file of the backup's name already there is kept, and the shortcut stays active.
TEST_F(MsconfigFolderActions, AnOccupiedBackupNameKeepsBothFiles)
{
    const FolderCase& c = kCases[1];
    ASSERT_TRUE(WriteFileBytes(BackupPath(c), "earlier backup"));
    ASSERT_TRUE(CreateShortcut(ShortcutPath(c), kTarget));
    STARTUPITEMS item = MakeItem(Title(), kTarget, c.nEnabledSource, 1);
    Act(item, 0);
    EXPECT_EQ(c.nEnabledSource, item.nSource);
    EXPECT_EQ(1, item.nEnabled);
    EXPECT_EQ("earlier backup", ReadFileBytes(BackupPath(c)));
    EXPECT_TRUE(FileExists(ShortcutPath(c)));
}

TEST_F(MsconfigFolderActions, RestoringOntoAnOccupiedPathKeepsTheBackupAndItsEntry)
{
    const FolderCase& c = kCases[0];
    ASSERT_TRUE(CreateShortcut(ShortcutPath(c), kTarget));
    const std::string strShortcut = ReadFileBytes(ShortcutPath(c));
    STARTUPITEMS item = MakeItem(Title(), kTarget, c.nEnabledSource, 1);
    Act(item, 0);
    ASSERT_EQ(c.nDisabledSource, item.nSource);
    ASSERT_TRUE(WriteFileBytes(ShortcutPath(c), "new shortcut"));
    Act(item, 1);
    EXPECT_EQ(c.nDisabledSource, item.nSource);
    EXPECT_EQ(0, item.nEnabled);
    EXPECT_EQ("new shortcut", ReadFileBytes(ShortcutPath(c)));
    EXPECT_EQ(strShortcut, ReadFileBytes(BackupPath(c)));
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, KEY_WOW64_64KEY, EntryKey(c)));
}

TEST_F(MsconfigFolderActions, FailedMovesAndWritesKeepTheShortcutWhereItWas)
{
    const FolderCase& c = kCases[0];
    ASSERT_TRUE(CreateShortcut(ShortcutPath(c), kTarget));
    STARTUPITEMS item = MakeItem(Title(), kTarget, c.nEnabledSource, 1);
    {
        FailingRegistryWrite failing(L"backupExtension");
        Act(item, 0);
        EXPECT_EQ(1, failing.Failures());
    }
    EXPECT_EQ(c.nEnabledSource, item.nSource);
    EXPECT_TRUE(FileExists(ShortcutPath(c)));
    EXPECT_FALSE(FileExists(BackupPath(c)));
    {
        FailingMove failing;
        ASSERT_TRUE(failing.IsActive());
        Act(item, 0);
        EXPECT_EQ(1, failing.Calls());
    }
    EXPECT_EQ(c.nEnabledSource, item.nSource);
    EXPECT_EQ(1, item.nEnabled);
    EXPECT_TRUE(FileExists(ShortcutPath(c)));

    Act(item, 0);
    ASSERT_EQ(c.nDisabledSource, item.nSource);
    {
        FailingMove failing;
        Act(item, 1);
        EXPECT_EQ(1, failing.Calls());
    }
    EXPECT_EQ(c.nDisabledSource, item.nSource);
    EXPECT_EQ(0, item.nEnabled);
    EXPECT_TRUE(FileExists(BackupPath(c)));
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, KEY_WOW64_64KEY, EntryKey(c)));
}

TEST_F(MsconfigFolderActions, EnablingWithoutAStoreEntryChangesNothing)
{
    STARTUPITEMS item = MakeItem(Title(), kTarget, SI_MSCONFIG_FOLDER_COMMON, 0);
    Act(item, 1);
    EXPECT_EQ(SI_MSCONFIG_FOLDER_COMMON, item.nSource);
    EXPECT_EQ(0, item.nEnabled);
    EXPECT_FALSE(FileExists(ShortcutPath(kCases[1])));
}

}  // namespace
