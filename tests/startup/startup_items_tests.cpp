// The startup list as a host sees it through StartupItems, on Windows versions that
// keep disabled entries in the MSConfig store (5.1, 6.1) and in StartupApproved (6.2).
#include <gtest/gtest.h>

#include <windows.h>
#include <psapi.h>
#include <shellapi.h>
#include <shlobj.h>

#include <algorithm>
#include <random>

#include "startup_scene.h"
#include "testing/cleanup.h"
#include "testing/import_patch.h"
#include "testing/library_host.h"
#include "testing/process_usage.h"
#include "win32/raii.h"

using namespace startup_test;

namespace {

const wchar_t* const kLanguageSection = L"Tessary StartUp Manager";

std::wstring Expanded(const wchar_t* psz)
{
    wchar_t sz[1024] = {};
    ExpandEnvironmentStringsW(psz, sz, 1024);
    return sz;
}

std::wstring LanguageFile() { return testing_support::ProgramFolder() + L"\\lang\\english.INI"; }

// The language file with the "unknown company" text, for the life of the object.
class UnknownText {
public:
    explicit UnknownText(const std::wstring& strText)
    {
        CreateDirectoryW((testing_support::ProgramFolder() + L"\\lang").c_str(), nullptr);
        EXPECT_TRUE(testing_support::WriteUtf16File(LanguageFile(), L"[" + std::wstring(kLanguageSection) + L"]\r\nIDS_UNKNOWN=" +
                                                                       strText + L"\r\n"));
    }
    ~UnknownText() { DeleteFileW(LanguageFile().c_str()); }
};

bool KeyExists(HKEY hRoot, const wchar_t* pszPath, REGSAM samView)
{
    HKEY hKey = nullptr;
    if (RegOpenKeyExW(hRoot, pszPath, 0, KEY_READ | samView, &hKey) != ERROR_SUCCESS)
        return false;
    RegCloseKey(hKey);
    return true;
}

// Names of a Run key's values in the order the registry enumerates them.
std::vector<std::wstring> RunValueOrder(HKEY hRoot)
{
    std::vector<std::wstring> names;
    HKEY hKey = nullptr;
    if (RegOpenKeyExW(hRoot, L"Software\\Microsoft\\Windows\\CurrentVersion\\Run", 0, KEY_READ | KEY_WOW64_64KEY, &hKey) != ERROR_SUCCESS)
        return names;
    for (DWORD i = 0;; ++i) {
        wchar_t szName[300];
        DWORD cch = 300;
        if (RegEnumValueW(hKey, i, szName, &cch, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        names.push_back(szName);
    }
    RegCloseKey(hKey);
    return names;
}

// The display-name rule as it was first written, kept here as the reference: each item
// is compared with every earlier name in one forward pass.
std::vector<std::wstring> ForwardPassNames(const std::vector<std::wstring>& descriptions)
{
    std::vector<std::wstring> names;
    for (const std::wstring& strDescription : descriptions) {
        std::wstring strCandidate = strDescription;
        int nCounter = 1;
        for (const std::wstring& earlier : names)
            if (earlier == strCandidate)
                strCandidate = strDescription + L" (" + std::to_wstring(++nCounter) + L")";
        names.push_back(strCandidate);
    }
    return names;
}

class StartupItemsTest : public ::testing::Test {
protected:
    Scene scene;
};

// ---------------------------------------------------------------------------------------
// Run keys

TEST_F(StartupItemsTest, RunValuesGiveEnabledItemsPerKeyAndTypeRules)
{
    scene.SetRunText(SI_RUN_HKCU, L"Shared", L"C:\\Tools\\user.exe");
    scene.SetRunText(SI_RUN_HKLM, L"Shared", L"C:\\Tools\\machine.exe");
    scene.SetRunText(SI_RUN_HKCU, L"", L"C:\\Tools\\default.exe");
    scene.SetRunText(SI_RUN_HKCU, L"Expand", L"%ProgramFiles%\\Tool\\tool.exe", REG_EXPAND_SZ);
    DWORD dwNumber = 7;
    scene.SetRunValue(SI_RUN_HKCU, L"Number", REG_DWORD, &dwNumber, sizeof(dwNumber));
    scene.SetRunValue(SI_RUN_HKCU, L"Bytes", REG_BINARY, "C:\\x.exe", 9);
    scene.SetRunText(SI_RUN_HKCU, L"Multi", std::wstring(L"C:\\a.exe\0", 9), REG_MULTI_SZ);

    std::vector<Item> items = ListItems();
    ASSERT_EQ(4u, items.size());
    const Item* user = FindItem(items, L"Shared", SI_RUN_HKCU);
    const Item* machine = FindItem(items, L"Shared", SI_RUN_HKLM);
    ASSERT_TRUE(user && machine);
    EXPECT_EQ(L"C:\\Tools\\user.exe", user->strCommand);
    EXPECT_EQ(L"C:\\Tools\\machine.exe", machine->strCommand);
    EXPECT_EQ(1, user->nEnabled);
    EXPECT_EQ(1, machine->nEnabled);
    const Item* unnamed = FindItem(items, L"", SI_RUN_HKCU);
    ASSERT_TRUE(unnamed);
    EXPECT_EQ(L"C:\\Tools\\default.exe", unnamed->strCommand);
    const Item* expand = FindItem(items, L"Expand", SI_RUN_HKCU);
    ASSERT_TRUE(expand);
    EXPECT_EQ(L"%ProgramFiles%\\Tool\\tool.exe", expand->strCommand);
    // User entries come before machine entries.
    EXPECT_EQ(SI_RUN_HKLM, items.back().nSource);
}

TEST_F(StartupItemsTest, CommandLengthLimitAndUnterminatedData)
{
    scene.SetRunText(SI_RUN_HKCU, L"Len259", std::wstring(259, L'a'));
    scene.SetRunText(SI_RUN_HKCU, L"Len260", std::wstring(260, L'b'));
    // Data stored without its terminator: the character after the counted bytes is not
    // null, so the registry keeps exactly the bytes given.
    std::wstring strUnterminated = L"C:\\raw.exeXXXX";
    scene.SetRunValue(SI_RUN_HKCU, L"NoNull", REG_SZ, strUnterminated.c_str(), 10 * sizeof(wchar_t));
    scene.SetRunValue(SI_RUN_HKCU, L"OddBytes", REG_SZ, strUnterminated.c_str(), 10 * sizeof(wchar_t) + 1);
    std::wstring strFull(262, L'c');
    scene.SetRunValue(SI_RUN_HKCU, L"Full260", REG_SZ, strFull.c_str(), 260 * sizeof(wchar_t));
    scene.SetRunValue(SI_RUN_HKCU, L"Inner", REG_SZ, L"C:\\in.exe\0tail", 15 * sizeof(wchar_t));
    scene.SetRunText(SI_RUN_HKCU, std::wstring(259, L'n').c_str(), L"C:\\longname.exe");
    scene.SetRunText(SI_RUN_HKCU, std::wstring(260, L'm').c_str(), L"C:\\toolong.exe");

    std::vector<Item> items = ListItems();
    const Item* len259 = FindItem(items, L"Len259", SI_RUN_HKCU);
    ASSERT_TRUE(len259);
    EXPECT_EQ(std::wstring(259, L'a'), len259->strCommand);
    EXPECT_EQ(nullptr, FindItem(items, L"Len260", SI_RUN_HKCU));
    EXPECT_EQ(nullptr, FindItem(items, L"Full260", SI_RUN_HKCU)) << "260 characters with no room for a terminator";
    const Item* noNull = FindItem(items, L"NoNull", SI_RUN_HKCU);
    ASSERT_TRUE(noNull);
    EXPECT_EQ(L"C:\\raw.exe", noNull->strCommand);
    const Item* odd = FindItem(items, L"OddBytes", SI_RUN_HKCU);
    ASSERT_TRUE(odd);
    EXPECT_EQ(L"C:\\raw.exe", odd->strCommand);
    const Item* inner = FindItem(items, L"Inner", SI_RUN_HKCU);
    ASSERT_TRUE(inner);
    EXPECT_EQ(L"C:\\in.exe", inner->strCommand);
    EXPECT_NE(nullptr, FindItem(items, std::wstring(259, L'n'), SI_RUN_HKCU));
    EXPECT_EQ(nullptr, FindItem(items, std::wstring(260, L'm'), SI_RUN_HKCU));
    EXPECT_EQ(5u, items.size());
}

// A standard user's host (or an administrator's without elevation) may read the machine's
// keys but not write them: its list holds every machine-wide entry and mark all the same,
// and an action it cannot complete changes nothing.
TEST_F(StartupItemsTest, AStandardUserListsWhatAnAdministratorLists)
{
    const wchar_t* const kNative = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
    scene.SetRunText(SI_RUN_HKCU, L"UserRun", L"C:\\user.exe");
    scene.SetRunText(SI_RUN_HKLM, L"MachineRun", HostFile(L"startup_version_full.exe"));
    scene.SetRunText(SI_RUN_HKLM32, L"MachineWow", L"C:\\wow.exe");
    scene.AddShortcut(SI_FOLDER_COMMON, L"Common Tool.lnk", HostFile(L"startup_version_none.exe"));
    scene.SetApproved(SI_APPROVED_RUN_HKLM, L"MachineRun", ApprovalBytes(3, kDisabledTime));
    scene.SetApproved(SI_APPROVED_RUN_HKLM32, L"MachineWow", ApprovalBytes(3, kDisabledTime));
    scene.SetApproved(SI_APPROVED_FOLDER_COMMON, L"Common Tool.lnk", ApprovalBytes(3, kDisabledTime));
    scene.AddMsconfigEntry(L"UserParked", L"UserParked", L"C:\\up.exe", L"HKCU", kNative);
    scene.AddMsconfigEntry(L"MachineParked", L"MachineParked", L"C:\\mp.exe", L"HKLM", kNative);
    const std::vector<Item> administrator = ListItems();
    ASSERT_GE(std::count_if(administrator.begin(), administrator.end(), [](const Item& item) { return item.nEnabled == 0; }), 2);

    MachineKeysReadOnly readOnly;
    EXPECT_EQ(administrator, ListItems());
    // Restoring a parked user entry would leave its stored copy behind, and enabling a
    // machine-wide entry writes the machine's keys: both are refused.
    auto action = testing_support::Library::Export<PFN_StartupAction>("StartupAction");
    STARTUPITEMS item{};
    item.strName = LibraryUsesApprovedStore() ? L"MachineRun" : L"UserParked";
    item.strCommand = LibraryUsesApprovedStore() ? HostFile(L"startup_version_full.exe").c_str() : L"C:\\up.exe";
    item.nSource = LibraryUsesApprovedStore() ? SI_APPROVED_RUN_HKLM : SI_MSCONFIG_RUN_HKCU;
    action(&item, 1);
    EXPECT_EQ(LibraryUsesApprovedStore() ? SI_APPROVED_RUN_HKLM : SI_MSCONFIG_RUN_HKCU, item.nSource);
    EXPECT_EQ(0, item.nEnabled);
    EXPECT_EQ(administrator, ListItems());
}

// The listing only reads: a missing Run key, approval key or store stays missing.
TEST_F(StartupItemsTest, TheListingCreatesNoKey)
{
    const std::wstring strApproved = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\StartupApproved";
    RegDeleteKeyW(HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\CurrentVersion\\Run");
    ASSERT_FALSE(KeyExists(HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\CurrentVersion\\Run", 0));
    EXPECT_TRUE(ListItems().empty());
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\CurrentVersion\\Run", 0));
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, strApproved.c_str(), 0));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, strApproved.c_str(), KEY_WOW64_64KEY));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Shared Tools\\MSConfig\\startupreg", KEY_WOW64_64KEY));
}

TEST_F(StartupItemsTest, ThirtyTwoBitViewOnlyOnSixtyFourBitWindows)
{
    scene.SetRunText(SI_RUN_HKLM, L"Native", L"C:\\native.exe");
    scene.SetRunText(SI_RUN_HKLM32, L"Wow", L"C:\\wow.exe");
    std::vector<Item> items = ListItems();
    EXPECT_NE(nullptr, FindItem(items, L"Native", SI_RUN_HKLM));
    if (LibrarySeesWow64()) {
        EXPECT_NE(nullptr, FindItem(items, L"Wow", SI_RUN_HKLM32));
    } else {
        // The two views are one key on 32-bit Windows; a 64-bit process has its own.
        for (const Item& item : items) {
            EXPECT_NE(SI_RUN_HKLM32, item.nSource);
            EXPECT_NE(SI_MSCONFIG_RUN_HKLM32, item.nSource);
            EXPECT_NE(SI_APPROVED_RUN_HKLM32, item.nSource);
        }
    }
}

// ---------------------------------------------------------------------------------------
// Startup folders

TEST_F(StartupItemsTest, EmptyFoldersGiveNothing) { EXPECT_TRUE(ListItems().empty()); }

TEST_F(StartupItemsTest, ShortcutsOfBothFolders)
{
    std::wstring strTool = HostFile(L"startup_version_full.exe");
    scene.AddShortcut(SI_FOLDER_USER, L"Tool Agent.lnk", strTool);
    scene.AddShortcut(SI_FOLDER_COMMON, L"Tool Agent.lnk", strTool);
    scene.AddShortcut(SI_FOLDER_USER, L"a.b.lnk", HostFile(L"startup_version_none.exe"));
    scene.AddShortcutToControlPanel(SI_FOLDER_USER, L"Panel.lnk");
    scene.AddFile(SI_FOLDER_USER, L"Broken.lnk", std::string("\x4c\0\0\0garbage that is no shell link", 36));
    scene.AddFile(SI_FOLDER_USER, L"notes.txt", "not a shortcut");
    // Short names "TOOL~1.LNK" and "OLD~1.LNK": the search for *.lnk matches them too.
    scene.AddFile(SI_FOLDER_USER, L"Tool.lnkx", "not a shortcut");
    scene.AddFile(SI_FOLDER_USER, L"Old.lnk_old", "a shortcut put aside");
    scene.AddFile(SI_FOLDER_USER, L"desktop.ini", "[.ShellClassInfo]");

    std::vector<Item> items = ListItems();
    ASSERT_EQ(5u, items.size());
    const Item* user = FindItem(items, L"Tool Agent", SI_FOLDER_USER);
    const Item* common = FindItem(items, L"Tool Agent", SI_FOLDER_COMMON);
    ASSERT_TRUE(user && common);
    EXPECT_EQ(0, lstrcmpiW(strTool.c_str(), user->strCommand.c_str())) << std::string(user->strCommand.begin(), user->strCommand.end());
    EXPECT_EQ(0, lstrcmpiW(strTool.c_str(), common->strCommand.c_str()));
    EXPECT_EQ(1, user->nEnabled);
    EXPECT_EQ(L"Fixture Full Tool", user->strDisplayName);
    EXPECT_EQ(L"Fixture Full Tool (2)", common->strDisplayName) << "the common folder is listed after the user's";
    ASSERT_NE(nullptr, FindItem(items, L"a.b", SI_FOLDER_USER));
    const Item* panel = FindItem(items, L"Panel", SI_FOLDER_USER);
    ASSERT_TRUE(panel);
    EXPECT_EQ(L"", panel->strCommand);
    const Item* broken = FindItem(items, L"Broken", SI_FOLDER_USER);
    ASSERT_TRUE(broken);
    EXPECT_EQ(L"", broken->strCommand);
    EXPECT_EQ(SI_FOLDER_COMMON, items.back().nSource);
}

// ---------------------------------------------------------------------------------------
// MSConfig store (Windows that report minor version 0 or 1)

TEST_F(StartupItemsTest, MsconfigEntriesAreListedDisabledAfterEnabledOnes)
{
    if (LibraryUsesApprovedStore())
        GTEST_SKIP() << "this Windows version marks disabled items in StartupApproved";
    const wchar_t* const kNative = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
    const wchar_t* const kWow = L"SOFTWARE\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Run";
    scene.SetRunText(SI_RUN_HKCU, L"Live", L"C:\\live.exe");
    scene.AddShortcut(SI_FOLDER_COMMON, L"Linked.lnk", HostFile(L"startup_version_none.exe"));
    scene.AddMsconfigEntry(L"UserOne", L"UserOne", L"\"C:\\u1.exe\" -q", L"HKCU", kNative);
    scene.AddMsconfigEntry(L"LowerCase", L"LowerCase", L"C:\\lc.exe", L"hkcu", kWow);
    scene.AddMsconfigEntry(L"MachineWow", L"MachineWow", L"C:\\mw.exe", L"HKLM", kWow);
    scene.AddMsconfigEntry(L"MachineNative", L"MachineNative", L"C:\\mn.exe", L"HKLM", kNative);
    scene.AddMsconfigEntry(L"NoCommand", L"NoCommand", nullptr, L"HKCU", kNative);
    scene.AddMsconfigEntry(L"NoKey", L"NoKey", L"C:\\nk.exe", L"HKLM", nullptr);
    scene.AddMsconfigEntry(L"UserNoKey", L"UserNoKey", L"C:\\unk.exe", L"HKCU", nullptr);
    scene.AddMsconfigEntry(L"Overlong", std::wstring(260, L'o').c_str(), L"C:\\o.exe", L"HKCU", kNative);
    scene.AddMsconfigEntry(L"SubkeyName", L"ItemName", L"C:\\s.exe", L"HKCU", kNative);
    DWORD dwItem = 5;
    scene.AddMsconfigEntry(L"NumberItem", nullptr, L"C:\\n.exe", L"HKCU", kNative);
    scene.SetMsconfigValue(L"NumberItem", L"item", REG_DWORD, &dwItem, sizeof(dwItem));

    std::vector<Item> items = ListItems();
    ASSERT_EQ(8u, items.size());
    EXPECT_EQ(SI_RUN_HKCU, items[0].nSource);
    EXPECT_EQ(SI_FOLDER_COMMON, items[1].nSource);
    for (size_t i = 2; i < items.size(); ++i)
        EXPECT_EQ(0, items[i].nEnabled) << i;
    const Item* user = FindItem(items, L"UserOne", SI_MSCONFIG_RUN_HKCU);
    ASSERT_TRUE(user);
    EXPECT_EQ(L"\"C:\\u1.exe\" -q", user->strCommand);
    EXPECT_EQ(L"C:\\u1.exe", user->strPath);
    EXPECT_NE(nullptr, FindItem(items, L"UserNoKey", SI_MSCONFIG_RUN_HKCU)) << "a user entry needs no \"key\"";
    EXPECT_NE(nullptr, FindItem(items, L"ItemName", SI_MSCONFIG_RUN_HKCU)) << "the name comes from \"item\"";
    const int nMachine64 = SI_MSCONFIG_RUN_HKLM;
    const int nMachine32 = LibrarySeesWow64() ? SI_MSCONFIG_RUN_HKLM32 : SI_MSCONFIG_RUN_HKLM;
    EXPECT_NE(nullptr, FindItem(items, L"LowerCase", nMachine64)) << "\"hkcu\" is not HKCU";
    EXPECT_NE(nullptr, FindItem(items, L"MachineWow", nMachine64));
    EXPECT_NE(nullptr, FindItem(items, L"MachineNative", nMachine32));
    EXPECT_EQ(0, CountItems(items, L"NoCommand"));
    EXPECT_EQ(0, CountItems(items, L"NoKey"));
    EXPECT_EQ(0, CountItems(items, std::wstring(260, L'o')));
    EXPECT_EQ(0, CountItems(items, L"NumberItem"));
}

// ---------------------------------------------------------------------------------------
// StartupApproved (Windows that report minor version 2 or higher)

TEST_F(StartupItemsTest, ApprovalValuesMarkItemsByTimeStamp)
{
    scene.SetRunText(SI_RUN_HKCU, L"StateThree", L"C:\\a.exe");
    scene.SetRunText(SI_RUN_HKCU, L"StateTwoStamped", L"C:\\b.exe");
    scene.SetRunText(SI_RUN_HKCU, L"TooLong", L"C:\\c.exe");
    scene.SetRunText(SI_RUN_HKCU, L"Short", L"C:\\d.exe");
    scene.SetRunText(SI_RUN_HKCU, L"Dword", L"C:\\e.exe");
    scene.SetRunText(SI_RUN_HKCU, L"UserOnly", L"C:\\f.exe");
    scene.SetRunText(SI_RUN_HKCU, L"CaseName", L"C:\\g.exe");
    scene.SetRunText(SI_RUN_HKLM, L"MachineEntry", L"C:\\h.exe");
    scene.AddShortcut(SI_FOLDER_USER, L"UserLink.lnk", HostFile(L"startup_version_none.exe"));
    scene.AddShortcut(SI_FOLDER_COMMON, L"CommonLink.lnk", HostFile(L"startup_version_none.exe"));
    scene.AddMsconfigEntry(L"Parked", L"Parked", L"C:\\p.exe", L"HKCU", L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run");

    scene.SetApproved(SI_APPROVED_RUN_HKCU, L"StateThree", ApprovalBytes(3, 0));
    std::vector<BYTE> stamped = ApprovalBytes(2, 0);
    stamped[5] = 1;
    scene.SetApproved(SI_APPROVED_RUN_HKCU, L"StateTwoStamped", stamped);
    std::vector<BYTE> tooLong = ApprovalBytes(3, kDisabledTime);
    tooLong.push_back(0);
    scene.SetApproved(SI_APPROVED_RUN_HKCU, L"TooLong", tooLong);
    scene.SetApproved(SI_APPROVED_RUN_HKCU, L"Short", {3, 0, 0, 0, 0, 0, 0, 9});
    scene.SetApproved(SI_APPROVED_RUN_HKCU, L"Dword", {3, 0, 0, 0}, REG_DWORD);
    scene.SetApproved(SI_APPROVED_RUN_HKCU, L"casename", ApprovalBytes(3, kDisabledTime));
    scene.SetApproved(SI_APPROVED_RUN_HKLM, L"UserOnly", ApprovalBytes(3, kDisabledTime));
    scene.SetApproved(SI_APPROVED_RUN_HKLM, L"MachineEntry", ApprovalBytes(3, kDisabledTime));
    scene.SetApproved(SI_APPROVED_FOLDER_USER, L"UserLink.lnk", ApprovalBytes(3, kDisabledTime));
    scene.SetApproved(SI_APPROVED_FOLDER_USER, L"CommonLink.lnk", ApprovalBytes(3, kDisabledTime));
    scene.SetApproved(SI_APPROVED_FOLDER_COMMON, L"CommonLink.lnk", ApprovalBytes(3, kDisabledTime));
    scene.SetApproved(SI_APPROVED_RUN_HKCU, L"NoSuchEntry", ApprovalBytes(3, kDisabledTime));

    std::vector<Item> items = ListItems();
    if (!LibraryUsesApprovedStore()) {
        // Approval values mean nothing here; the MSConfig store is read instead.
        ASSERT_EQ(11u, items.size());
        for (size_t i = 0; i + 1 < items.size(); ++i)
            EXPECT_EQ(1, items[i].nEnabled) << i;
        EXPECT_NE(nullptr, FindItem(items, L"Parked", SI_MSCONFIG_RUN_HKCU));
        return;
    }
    ASSERT_EQ(10u, items.size()) << "the MSConfig store is not read";
    auto expectState = [&](const wchar_t* pszName, int nSource, int nEnabled) {
        const Item* item = FindItem(items, pszName, nSource);
        ASSERT_TRUE(item) << std::string(pszName, pszName + wcslen(pszName)) << " with " << nSource;
        EXPECT_EQ(nEnabled, item->nEnabled) << std::string(pszName, pszName + wcslen(pszName));
    };
    expectState(L"StateThree", SI_RUN_HKCU, 1);
    expectState(L"StateTwoStamped", SI_APPROVED_RUN_HKCU, 0);
    expectState(L"TooLong", SI_RUN_HKCU, 1);
    expectState(L"Short", SI_APPROVED_RUN_HKCU, 0);
    expectState(L"Dword", SI_RUN_HKCU, 1);
    expectState(L"CaseName", SI_RUN_HKCU, 1);
    expectState(L"UserOnly", SI_RUN_HKCU, 1);
    expectState(L"MachineEntry", SI_APPROVED_RUN_HKLM, 0);
    expectState(L"UserLink", SI_APPROVED_FOLDER_USER, 0);
    expectState(L"CommonLink", SI_APPROVED_FOLDER_COMMON, 0);
}

// ---------------------------------------------------------------------------------------
// Details

TEST_F(StartupItemsTest, CommandPathsOfTheWorkedExamples)
{
    SetEnvironmentVariableW(L"TESSARY_LONG", std::wstring(300, L'L').c_str());
    const std::pair<const wchar_t*, std::wstring> cases[] = {
        {L"\"C:\\Program Files\\Tool\\tool.exe\" /background", L"C:\\Program Files\\Tool\\tool.exe"},
        {L"C:\\Tools\\agent.EXE -min", L"C:\\Tools\\agent.EXE"},
        {L"rundll32.exe C:\\Tools\\agent.dll,Start", L"rundll32.exe C:\\Tools\\agent.dll,Start"},
        {L"\"C:\\Tools\\open.exe -x", L"C:\\Tools\\open.exe"},
        {L"\"\"C:\\Tools\\twice.exe\"\" /a", L"C:\\Tools\\twice.exe"},
        {L"%ProgramFiles(x86)%\\Tool\\tool.exe", Expanded(L"%ProgramFiles(x86)%\\Tool\\tool.exe")},
        {L"%TESSARY_LONG%\\x.exe", L"%TESSARY_LONG%\\x.exe"},
        {L"C:\\%ProgramFiles%\\y.exe", L"C:\\%ProgramFiles%\\y.exe"},
    };
    // On 64-bit Windows this 32-bit library sees the 32-bit program folder and folds it
    // back; elsewhere an expanded path is never folded.
    std::wstring strFolded = Expanded(L"%SystemDrive%\\Program Files (x86)\\Tool\\z.exe");
    std::wstring strProgramFiles = Expanded(L"%ProgramFiles%\\Tool\\tool.exe");
    if (LibrarySeesWow64()) {
        strFolded = Expanded(L"%SystemDrive%\\Program Files\\Tool\\z.exe");
        strProgramFiles = Expanded(L"%SystemDrive%\\Program Files\\Tool\\tool.exe");
    }
    std::vector<std::pair<std::wstring, std::wstring>> expected;
    int n = 0;
    for (const auto& c : cases) {
        std::wstring strName = L"cmd" + std::to_wstring(n++);
        scene.SetRunText(SI_RUN_HKCU, strName.c_str(), c.first, REG_EXPAND_SZ);
        expected.push_back({strName, c.second});
    }
    scene.SetRunText(SI_RUN_HKCU, L"folded", L"%SystemDrive%\\Program Files (x86)\\Tool\\z.exe");
    expected.push_back({L"folded", strFolded});
    scene.SetRunText(SI_RUN_HKCU, L"programfiles", L"%ProgramFiles%\\Tool\\tool.exe");
    expected.push_back({L"programfiles", strProgramFiles});

    std::vector<Item> items = ListItems();
    SetEnvironmentVariableW(L"TESSARY_LONG", nullptr);
    ASSERT_EQ(expected.size(), items.size());
    for (const auto& e : expected) {
        const Item* item = FindItem(items, e.first, SI_RUN_HKCU);
        ASSERT_TRUE(item);
        EXPECT_EQ(e.second, item->strPath) << std::string(e.first.begin(), e.first.end());
    }
}

TEST_F(StartupItemsTest, DescriptionAndCompanyFromVersionResources)
{
    UnknownText unknown(L"Unknown maker");
    scene.SetRunText(SI_RUN_HKCU, L"Full", L"\"" + HostFile(L"startup_version_full.exe") + L"\" /min");
    scene.SetRunText(SI_RUN_HKCU, L"Fallback", HostFile(L"startup_version_fallback.exe"));
    scene.SetRunText(SI_RUN_HKCU, L"None", HostFile(L"startup_version_none.exe"));
    scene.SetRunText(SI_RUN_HKCU, L"Missing", L"C:\\Nowhere\\ghost.tool.exe");

    std::vector<Item> items = ListItems();
    ASSERT_EQ(4u, items.size());
    const Item* full = FindItem(items, L"Full", SI_RUN_HKCU);
    const Item* fallback = FindItem(items, L"Fallback", SI_RUN_HKCU);
    const Item* none = FindItem(items, L"None", SI_RUN_HKCU);
    const Item* missing = FindItem(items, L"Missing", SI_RUN_HKCU);
    ASSERT_TRUE(full && fallback && none && missing);
    EXPECT_EQ(L"Fixture Full Tool", full->strDisplayName);
    EXPECT_EQ(L"Fixture Works Ltd", full->strCompany);
    EXPECT_EQ(L"Western Block Tool", fallback->strDisplayName);
    EXPECT_EQ(L"Western Block Inc", fallback->strCompany);
    EXPECT_EQ(L"startup_version_none", none->strDisplayName);
    EXPECT_EQ(L"Unknown maker", none->strCompany);
    EXPECT_EQ(L"ghost.tool", missing->strDisplayName);
    EXPECT_EQ(L"Unknown maker", missing->strCompany);

    SHFILEINFOW info = {};
    ASSERT_TRUE(SHGetFileInfoW(full->strPath.c_str(), 0, &info, sizeof(info), SHGFI_SYSICONINDEX));
    EXPECT_EQ(info.iIcon, full->nIcon);
}

// A 64-bit program of the system folder, as the library (a 32-bit module) sees it on
// 64-bit Windows: only in the native folder, placed there for the test's life.
class NativeSystemFile {
public:
    NativeSystemFile(const std::wstring& strInSystem, const wchar_t* pszFixture) : m_strNative(SystemPath(L"Sysnative", strInSystem))
    {
        for (size_t n = m_strNative.find(L'\\', SystemPath(L"Sysnative", L"").size()); n != std::wstring::npos;
             n = m_strNative.find(L'\\', n + 1))
            CreateDirectoryW(m_strNative.substr(0, n).c_str(), nullptr);
        EXPECT_TRUE(CopyFileW(HostFile(pszFixture).c_str(), m_strNative.c_str(), FALSE));
    }
    ~NativeSystemFile() { testing_support::RemoveFile(m_strNative); }
    // The Windows folder's subfolder (System32, Sysnative, SysWOW64) and a path in it.
    static std::wstring SystemPath(const wchar_t* pszFolder, const std::wstring& strInSystem)
    {
        wchar_t szWindows[MAX_PATH] = {};
        GetWindowsDirectoryW(szWindows, MAX_PATH);
        return std::wstring(szWindows) + L"\\" + pszFolder + L"\\" + strInSystem;
    }

private:
    std::wstring m_strNative;
};

// A Run value or shortcut naming System32 reads the native program there; one whose program
// lies only in SysWOW64 still reads that; strPath stays the path the user knows.
TEST_F(StartupItemsTest, SixtyFourBitSystemProgramsAreReadWhereTheyAre)
{
    if (!LibrarySeesWow64())
        GTEST_SKIP() << "only a 32-bit library on 64-bit Windows has its system folder redirected";
    const std::wstring strTool = L"tessaryprobe_native64.exe",
                       strStored = L"DriverStore\\FileRepository\\tessaryprobe.inf_amd64\\tessaryprobe_store.exe";
    NativeSystemFile tool(strTool, L"startup_version_native64.exe"), stored(strStored, L"startup_version_native64.exe");
    const std::wstring strWow = NativeSystemFile::SystemPath(L"SysWOW64", L"tessaryprobe_wow.exe");
    ASSERT_TRUE(CopyFileW(HostFile(L"startup_version_full.exe").c_str(), strWow.c_str(), FALSE));
    scene.SetRunText(SI_RUN_HKCU, L"Tool", L"%windir%\\system32\\" + strTool, REG_EXPAND_SZ);
    scene.SetRunText(SI_RUN_HKCU, L"Stored", NativeSystemFile::SystemPath(L"System32", strStored));
    scene.SetRunText(SI_RUN_HKCU, L"Wow", NativeSystemFile::SystemPath(L"System32", L"tessaryprobe_wow.exe"));
    scene.AddShortcut(SI_FOLDER_USER, L"Tool Link.lnk", NativeSystemFile::SystemPath(L"System32", strTool));

    std::vector<Item> items = ListItems();
    testing_support::RemoveFile(strWow);
    ASSERT_EQ(4u, items.size());
    for (const Item& item : items) {
        SCOPED_TRACE(testing::PrintToString(item.strName));
        EXPECT_EQ(item.strName == L"Wow" ? L"Fixture Works Ltd" : L"Western Block Inc", item.strCompany);
        EXPECT_EQ(std::wstring::npos, item.strPath.find(L"Sysnative"));
    }
    EXPECT_EQ(Expanded(L"%windir%\\system32\\") + strTool, FindItem(items, L"Tool", SI_RUN_HKCU)->strPath);
    EXPECT_EQ(L"Fixture Full Tool", FindItem(items, L"Wow", SI_RUN_HKCU)->strDisplayName);
}

// IShellLinkW::GetPath of a 32-bit process on 64-bit Windows, as Windows answers it for a
// shortcut stored with %ProgramFiles% (installers write them so, and links to the Program
// Files known folder resolve alike): the reference expanded in this process, that is in
// the 32-bit program folder. Wine keeps the literal target, so the shortcuts named here
// answer their stored reference expanded, for the life of the object (every shell link of
// the process shares the class's method table).
class StoredWithProgramFiles {
public:
    explicit StoredWithProgramFiles(std::vector<std::pair<std::wstring, std::wstring>> stored)
        : m_patch(GetPathSlot(), reinterpret_cast<void*>(&GetPathAsWindows))
    {
        s_stored = std::move(stored);
        s_pPatch = &m_patch;
    }

private:
    using GetPathMethod = HRESULT(STDMETHODCALLTYPE*)(IShellLinkW*, LPWSTR, int, WIN32_FIND_DATAW*, DWORD);
    static void** GetPathSlot()
    {
        win32::ComPtr<IShellLinkW> link;
        EXPECT_HRESULT_SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW, link.replace_void()));
        return link ? &(*reinterpret_cast<void***>(link.get()))[3] : nullptr;  // after the three methods of IUnknown
    }
    static HRESULT STDMETHODCALLTYPE GetPathAsWindows(IShellLinkW* pLink, LPWSTR pszFile, int cch, WIN32_FIND_DATAW* pFind, DWORD dwFlags)
    {
        win32::ComPtr<IPersistFile> file;
        LPOLESTR pszLoaded = nullptr;
        if (SUCCEEDED(pLink->QueryInterface(IID_IPersistFile, file.replace_void())) && SUCCEEDED(file->GetCurFile(&pszLoaded))) {
            win32::UniqueCoTaskMem owned(pszLoaded);
            for (const auto& stored : s_stored)
                if (_wcsicmp(stored.first.c_str(), pszLoaded) == 0 && ExpandEnvironmentStringsW(stored.second.c_str(), pszFile, cch))
                    return S_OK;
        }
        return s_pPatch->Original<GetPathMethod>()(pLink, pszFile, cch, pFind, dwFlags);
    }
    static inline std::vector<std::pair<std::wstring, std::wstring>> s_stored;
    static inline testing_support::ImportPatch* s_pPatch = nullptr;
    testing_support::ImportPatch m_patch;
};

// Such a shortcut to a 64-bit program names it in "Program Files", where the 64-bit shell
// finds it; one to a 32-bit program keeps "Program Files (x86)", where that program is.
TEST_F(StartupItemsTest, ShortcutsToSixtyFourBitProgramsNameTheProgramWhereItIs)
{
    if (!LibrarySeesWow64())
        GTEST_SKIP() << "only a 32-bit library on 64-bit Windows sees two program folders";
    const std::wstring strNative = Expanded(L"%ProgramW6432%\\TessaryProbe"), strWow = Expanded(L"%ProgramFiles(x86)%\\TessaryProbe");
    for (const std::wstring& strFolder : {strNative, strWow})
        CreateDirectoryW(strFolder.c_str(), nullptr);
    ASSERT_TRUE(CopyFileW(HostFile(L"startup_version_native64.exe").c_str(), (strNative + L"\\tool64.exe").c_str(), FALSE));
    ASSERT_TRUE(CopyFileW(HostFile(L"startup_version_full.exe").c_str(), (strWow + L"\\tool32.exe").c_str(), FALSE));
    scene.AddShortcut(SI_FOLDER_USER, L"Tool64.lnk", strNative + L"\\tool64.exe");
    scene.AddShortcut(SI_FOLDER_COMMON, L"Tool32.lnk", strWow + L"\\tool32.exe");
    std::vector<Item> items;
    {
        StoredWithProgramFiles stored({{Scene::FolderOf(SI_FOLDER_USER) + L"\\Tool64.lnk", L"%ProgramFiles%\\TessaryProbe\\tool64.exe"},
                                       {Scene::FolderOf(SI_FOLDER_COMMON) + L"\\Tool32.lnk", L"%ProgramFiles%\\TessaryProbe\\tool32.exe"}});
        items = ListItems();
    }
    for (const std::wstring& strFolder : {strNative, strWow})
        testing_support::RemoveTree(strFolder);
    ASSERT_EQ(2u, items.size());
    EXPECT_EQ(strWow + L"\\tool64.exe", items[0].strCommand) << "the target as the shell link gives it";
    EXPECT_EQ(strNative + L"\\tool64.exe", items[0].strPath);
    EXPECT_EQ(L"Western Block Tool", items[0].strDisplayName);
    EXPECT_EQ(L"Western Block Inc", items[0].strCompany);
    EXPECT_EQ(strWow + L"\\tool32.exe", items[1].strPath);
    EXPECT_EQ(L"Fixture Works Ltd", items[1].strCompany);
}

TEST_F(StartupItemsTest, CompanyFallbackIsLimitedAndEmptyWithoutLanguageFile)
{
    scene.SetRunText(SI_RUN_HKCU, L"None", HostFile(L"startup_version_none.exe"));
    DeleteFileW(LanguageFile().c_str());
    std::vector<Item> items = ListItems();
    ASSERT_EQ(1u, items.size());
    EXPECT_EQ(L"", items[0].strCompany);

    UnknownText unknown(std::wstring(200, L'u'));
    items = ListItems();
    ASSERT_EQ(1u, items.size());
    EXPECT_EQ(std::wstring(129, L'u'), items[0].strCompany);
}

TEST_F(StartupItemsTest, DisplayNamesMadeUniqueInOneForwardPass)
{
    // Programs without version resources describe themselves by their file names.
    std::wstring strFolder = testing_support::ProgramFolder() + L"\\startup_names";
    CreateDirectoryW(strFolder.c_str(), nullptr);
    std::wstring strNone = HostFile(L"startup_version_none.exe");
    for (const wchar_t* pszName : {L"A (2).exe", L"A.exe", L"Updater.exe"})
        ASSERT_TRUE(CopyFileW(strNone.c_str(), (strFolder + L"\\" + pszName).c_str(), FALSE));
    const std::pair<const wchar_t*, std::wstring> entries[] = {
        {L"e1", strFolder + L"\\A (2).exe"}, {L"e2", strFolder + L"\\A.exe"},       {L"e3", strFolder + L"\\A.exe"},
        {L"e4", strFolder + L"\\Updater.exe"}, {L"e5", strFolder + L"\\Updater.exe"}, {L"e6", strFolder + L"\\Updater.exe"},
        {L"e7", L""},                          {L"e8", L""},
    };
    for (const auto& e : entries)
        scene.SetRunText(SI_RUN_HKCU, e.first, e.second);

    std::vector<Item> items = ListItems();
    testing_support::RemoveTree(strFolder);
    std::vector<std::wstring> order = RunValueOrder(HKEY_CURRENT_USER);
    ASSERT_EQ(order.size(), items.size());
    for (size_t i = 0; i < order.size(); ++i)
        ASSERT_EQ(order[i], items[i].strName) << "items follow the registry's order";
    // Replay the expected pass over the registry's order.
    std::vector<std::wstring> descriptions;
    for (const Item& item : items) {
        std::wstring strDescription;
        for (const auto& e : entries)
            if (item.strName == e.first && !e.second.empty())
                strDescription = e.second.substr(strFolder.size() + 1, e.second.size() - strFolder.size() - 5);
        descriptions.push_back(strDescription);
    }
    std::vector<std::wstring> names = ForwardPassNames(descriptions);
    for (size_t i = 0; i < items.size(); ++i)
        EXPECT_EQ(names[i], items[i].strDisplayName) << std::string(items[i].strName.begin(), items[i].strName.end());
    // When the registry keeps the written order, the worked examples appear literally.
    if (order == std::vector<std::wstring>{L"e1", L"e2", L"e3", L"e4", L"e5", L"e6", L"e7", L"e8"}) {
        const wchar_t* const expectedNames[] = {L"A (2)", L"A", L"A (2)", L"Updater", L"Updater (2)", L"Updater (3)", L"", L" (2)"};
        for (size_t i = 0; i < items.size(); ++i)
            EXPECT_EQ(expectedNames[i], items[i].strDisplayName) << i;
    }
}

TEST_F(StartupItemsTest, DisplayNamesOfLargeRandomListsFollowTheForwardPass)
{
    // Descriptions that collide with each other's suffixed forms, drawn at random (fixed
    // seeds) into long lists, so that counters climb past 100 and suffixed names are
    // taken before and after their turn.
    std::wstring strFolder = testing_support::ProgramFolder() + L"\\startup_random";
    CreateDirectoryW(strFolder.c_str(), nullptr);
    const std::wstring pool[] = {L"A", L"A (2)", L"A (3)", L"A (2) (2)", L"A (12)", L"B", L"B (2)", L""};
    for (const std::wstring& strDescription : pool) {
        const std::wstring strCopy = strFolder + L"\\" + strDescription + L".exe";
        ASSERT_TRUE(strDescription.empty() || CopyFileW(HostFile(L"startup_version_none.exe").c_str(), strCopy.c_str(), FALSE));
    }
    for (unsigned seed : {1u, 2u}) {
        SCOPED_TRACE(seed);
        std::mt19937 random(seed);
        const size_t nPool = seed == 1 ? 4 : 8;  // few descriptions: long chains; all: many kinds of clash
        for (int i = 0; i < 600; ++i) {
            const std::wstring& strDescription = pool[random() % nPool];
            scene.SetRunText(SI_RUN_HKCU, (L"r" + std::to_wstring(i)).c_str(),
                             strDescription.empty() ? L"" : L"\"" + strFolder + L"\\" + strDescription + L".exe\" /x");
        }
        std::vector<Item> items = ListItems();
        ASSERT_EQ(600u, items.size());
        std::vector<std::wstring> descriptions;
        for (const Item& item : items)
            descriptions.push_back(item.strPath.empty() ? L"" : item.strPath.substr(strFolder.size() + 1, item.strPath.size() - strFolder.size() - 5));
        std::vector<std::wstring> names = ForwardPassNames(descriptions);
        int nMismatches = 0;
        for (size_t i = 0; i < items.size(); ++i)
            if (names[i] != items[i].strDisplayName && ++nMismatches <= 5)
                ADD_FAILURE() << i << ": " << testing::PrintToString(items[i].strDisplayName) << " expected " << testing::PrintToString(names[i]);
        EXPECT_EQ(0, nMismatches);
        if (seed == 1) {
            EXPECT_NE(names.end(), std::find(names.begin(), names.end(), L"A (100)")) << "long enough for long chains";
        }
    }
    testing_support::RemoveTree(strFolder);
}

// ---------------------------------------------------------------------------------------
// The host's array

TEST_F(StartupItemsTest, HostContentsReplacedAndRepeatCallsEqual)
{
    auto startupItems = testing_support::Library::Export<PFN_StartupItems>("StartupItems");
    ASSERT_NE(nullptr, startupItems);
    CStartupItemArray items;
    STARTUPITEMS stale{};
    stale.strName = L"stale";
    stale.nSource = 1;
    items.Add(stale);
    items.Add(stale);
    startupItems(&items);
    EXPECT_EQ(0, items.GetSize()) << "nothing is found, and the earlier contents are gone";

    scene.SetRunText(SI_RUN_HKCU, L"One", HostFile(L"startup_version_full.exe"));
    scene.SetRunText(SI_RUN_HKLM, L"Two", L"C:\\two.exe");
    scene.AddShortcut(SI_FOLDER_USER, L"Three.lnk", HostFile(L"startup_version_fallback.exe"));
    startupItems(&items);
    std::vector<Item> first = CopyItems(items);
    startupItems(&items);
    std::vector<Item> second = CopyItems(items);
    ASSERT_EQ(3u, first.size());
    ASSERT_EQ(first.size(), second.size());
    for (size_t i = 0; i < first.size(); ++i) {
        EXPECT_EQ(first[i].strName, second[i].strName);
        EXPECT_EQ(first[i].strCommand, second[i].strCommand);
        EXPECT_EQ(first[i].strDisplayName, second[i].strDisplayName);
        EXPECT_EQ(first[i].strPath, second[i].strPath);
        EXPECT_EQ(first[i].strCompany, second[i].strCompany);
        EXPECT_EQ(first[i].nEnabled, second[i].nEnabled);
        EXPECT_EQ(first[i].nSource, second[i].nSource);
        EXPECT_EQ(first[i].nIcon, second[i].nIcon);
    }
    EXPECT_EQ(SI_RUN_HKCU, first[0].nSource);
    EXPECT_EQ(SI_RUN_HKLM, first[1].nSource);
    EXPECT_EQ(SI_FOLDER_USER, first[2].nSource);
}

TEST_F(StartupItemsTest, HostFreesWhatTheLibraryAllocated)
{
    scene.SetRunText(SI_RUN_HKCU, L"One", HostFile(L"startup_version_full.exe"));
    scene.AddShortcut(SI_FOLDER_USER, L"Two.lnk", HostFile(L"startup_version_none.exe"));
    auto startupItems = testing_support::Library::Export<PFN_StartupItems>("StartupItems");
    ASSERT_NE(nullptr, startupItems);
    LONG nBefore = FxLiveBlockCount();
    {
        CStartupItemArray items;
        startupItems(&items);
        ASSERT_EQ(2, items.GetSize());
        EXPECT_GT(FxLiveBlockCount(), nBefore) << "the strings and the storage are live blocks of the shared heap";
        items[0].strName = L"edited by the host";  // the host may change what it got
    }
    EXPECT_EQ(nBefore, FxLiveBlockCount());
    EXPECT_TRUE(HeapValidate(GetProcessHeap(), 0, nullptr));
}

TEST_F(StartupItemsTest, NothingLeaksAcrossAThousandCalls)
{
    // Windows XP takes the same paths as 7; the loop is long, so it runs once per store.
    OSVERSIONINFOW version = {};
    version.dwOSVersionInfoSize = sizeof(version);
    GetVersionExW(&version);
    if (version.dwMajorVersion != 6)
        GTEST_SKIP() << "covered by the 6.1 and 6.2 runs";
    // Every reader and every detail path, with two items that have real files.
    scene.SetRunText(SI_RUN_HKCU, L"One", HostFile(L"startup_version_full.exe"));
    scene.SetRunText(SI_RUN_HKLM, L"Two", L"");
    scene.AddShortcut(SI_FOLDER_USER, L"Three.lnk", HostFile(L"startup_version_none.exe"));
    scene.AddFile(SI_FOLDER_COMMON, L"Four.lnk", "corrupt");
    scene.AddMsconfigEntry(L"Five", L"Five", L"", L"HKLM", L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run");
    scene.SetApproved(SI_APPROVED_RUN_HKCU, L"One", ApprovalBytes(3, kDisabledTime));
    UnknownText unknown(L"Unknown maker");

    auto startupItems = testing_support::Library::Export<PFN_StartupItems>("StartupItems");
    ASSERT_NE(nullptr, startupItems);

    CStartupItemArray items;
    for (int i = 0; i < 50; ++i)  // caches of the shell and the registry settle first
        startupItems(&items);
    ASSERT_EQ(4 + (LibraryUsesApprovedStore() ? 0 : 1), items.GetSize());
    const DWORD nHandlesBefore = testing_support::OpenHandleCount();
    const SIZE_T cbBefore = testing_support::CommittedPrivateBytes();
    LONG nBlocksBefore = FxLiveBlockCount();
    for (int i = 0; i < 1000; ++i)
        startupItems(&items);
    EXPECT_EQ(nBlocksBefore, FxLiveBlockCount());
    EXPECT_LE(testing_support::OpenHandleCount(), nHandlesBefore + 2);
    EXPECT_LT(testing_support::CommittedPrivateBytes(), cbBefore + 1024 * 1024) << "a leak of 2 KB a call would show as more than 1 MB";
}

}  // namespace
