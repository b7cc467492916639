// Seeded round trips through the MSConfig stores: random Run values and shortcuts, among
// store entries that other tools wrote, go through disable and enable twice; afterwards
// every value, store entry and file is byte for byte what it was. Replay a failing seed
// with TESSARY_SEED=<seed> and --gtest_filter=StartupRoundTrip.*.
#include <gtest/gtest.h>
#include <shlobj.h>

#include <algorithm>
#include <map>
#include <random>
#include <set>

#include "action_test_support.h"
#include "win32/raii.h"

using namespace startup_test;

namespace {

constexpr const wchar_t* kPrefix = L"TessaryProbeRT";

// Every Run value, store entry and file of this test: "place|name" -> type and bytes.
using Snapshot = std::map<std::wstring, std::pair<DWORD, std::vector<BYTE>>>;

void AddValues(Snapshot& snapshot, const std::wstring& strPlace, HKEY hRoot, REGSAM samView, const std::wstring& strKey,
               bool bOnlyOurs)
{
    for (const std::wstring& strName : ValueNames(hRoot, samView, strKey)) {
        if (bOnlyOurs && strName.compare(0, wcslen(kPrefix), kPrefix) != 0)
            continue;
        RegValue value = ReadValue(hRoot, samView, strKey, strName);
        snapshot[strPlace + L"|" + strName] = {value.dwType, value.data};
    }
}

Snapshot TakeSnapshot()
{
    Snapshot snapshot;
    for (int nSource : {SI_RUN_HKCU, SI_RUN_HKLM, SI_RUN_HKLM32})
        AddValues(snapshot, std::to_wstring(nSource), RunRoot(nSource), RunView(nSource), kRunKey, true);
    for (const wchar_t* pszStore : {kStartupReg, kStartupFolderStore}) {
        win32::UniqueKey store;
        if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, pszStore, 0, KEY_READ | KEY_WOW64_64KEY, store.put()) != ERROR_SUCCESS)
            continue;
        wchar_t szName[600];
        for (DWORD i = 0, cch = 600; RegEnumKeyExW(store.get(), i, szName, &cch, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
             ++i, cch = 600)
            if (wcsstr(szName, kPrefix))
                AddValues(snapshot, std::wstring(pszStore) + L"\\" + szName, HKEY_LOCAL_MACHINE, KEY_WOW64_64KEY,
                          std::wstring(pszStore) + L"\\" + szName, false);
    }
    for (const std::wstring& strFolder : {StartupFolder(CSIDL_STARTUP), StartupFolder(CSIDL_COMMON_STARTUP), std::wstring(kBackupFolder)}) {
        WIN32_FIND_DATAW found;
        win32::UniqueFind search(FindFirstFileW((strFolder + L"\\" + kPrefix + L"*").c_str(), &found));
        for (bool bMore = static_cast<bool>(search); bMore; bMore = FindNextFileW(search.get(), &found)) {
            const std::string strBytes = ReadFileBytes(strFolder + L"\\" + found.cFileName);
            snapshot[strFolder + L"|" + found.cFileName] = {0, std::vector<BYTE>(strBytes.begin(), strBytes.end())};
        }
    }
    return snapshot;
}

void Sweep()
{
    using namespace testing_support;
    for (int nSource : {SI_RUN_HKCU, SI_RUN_HKLM, SI_RUN_HKLM32})
        RemoveRegistryValues(RunRoot(nSource), RunView(nSource), kRunKey, kPrefix);
    RemoveRegistrySubkeys(HKEY_LOCAL_MACHINE, KEY_WOW64_64KEY, kStartupReg, kPrefix);
    RemoveRegistrySubkeys(HKEY_LOCAL_MACHINE, KEY_WOW64_64KEY, kStartupFolderStore, kPrefix);
    for (const std::wstring& strFolder : {StartupFolder(CSIDL_STARTUP), StartupFolder(CSIDL_COMMON_STARTUP), std::wstring(kBackupFolder)})
        RemoveFiles(strFolder, std::wstring(kPrefix) + L"*");
}

class Random {
public:
    explicit Random(unsigned seed) : m_rng(seed) {}
    int Below(int n) { return std::uniform_int_distribution<int>(0, n - 1)(m_rng); }
    bool OneIn(int n) { return Below(n) == 0; }
    template <class T, size_t N>
    const T& Pick(const T (&items)[N]) { return items[Below(static_cast<int>(N))]; }
    // Pieces of real commands: references (set and unset), quotes, arguments, other scripts.
    std::wstring Text(int nLength, bool bFileName)
    {
        static const wchar_t* const kPieces[] = {L"%ProgramFiles%", L"%windir%", L"%TESSARY_UNSET%", L"\"", L"C:\\",
                                                 L"Program Files (x86)\\", L"tool", L".exe", L" /min", L" -tray",
                                                 L"\u00e9", L"\u4e2d", L"%", L" ", L"a", L".", L","};
        static const wchar_t* const kFilePieces[] = {L"Tool", L" ", L".", L"%", L"(2)", L"\u00e9", L"x", L"-"};
        std::wstring str;
        while (static_cast<int>(str.size()) < nLength)
            str += bFileName ? Pick(kFilePieces) : Pick(kPieces);
        return str.substr(0, nLength);
    }
    std::string Bytes(int nLength)
    {
        std::string str;
        while (static_cast<int>(str.size()) < nLength)
            str += static_cast<char>(Below(256));
        return str;
    }
    // Mostly short; now and then around the 259-character limit of a command.
    int Length() { return OneIn(8) ? 250 + Below(20) : Below(60); }

private:
    std::mt19937 m_rng;
};

unsigned Seed()
{
    wchar_t sz[32] = {};
    if (GetEnvironmentVariableW(L"TESSARY_SEED", sz, 32))
        return static_cast<unsigned>(wcstoul(sz, nullptr, 10));
    return GetTickCount();
}

// A store entry that another tool wrote, named as it liked.
using EntryValues = std::initializer_list<std::pair<const wchar_t*, std::wstring>>;
void WriteForeignEntry(const wchar_t* pszStore, const std::wstring& strSubkey, EntryValues values)
{
    for (const auto& value : values)
        SetString(HKEY_LOCAL_MACHINE, KEY_WOW64_64KEY, std::wstring(pszStore) + L"\\" + strSubkey, value.first, value.second);
}
void WriteForeignRunEntry(const std::wstring& strSubkey, const std::wstring& strItem, const std::wstring& strCommand, int nSource)
{
    WriteForeignEntry(kStartupReg, strSubkey,
                      {{L"item", strItem},
                       {L"command", strCommand},
                       {L"hkey", nSource == SI_RUN_HKCU ? L"HKCU" : L"HKLM"},
                       {L"key", nSource == SI_RUN_HKLM && SeesWow64() ? L"SOFTWARE\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Run"
                                                                      : L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run"}});
}

TEST(StartupRoundTrip, RandomEntriesAmongForeignOnesComeBackByteForByte)
{
    if (SeesApprovedStore())
        GTEST_SKIP() << "this Windows version leaves entries in place and marks them in the StartupApproved keys";
    const unsigned seed = Seed();
    std::printf("StartupRoundTrip seed %u (replay: TESSARY_SEED=%u)\n", seed, seed);
    SCOPED_TRACE(testing::Message() << "seed " << seed);
    Random random(seed);
    Sweep();
    CreateDirectoryW(kBackupFolder, nullptr);

    std::vector<int> runSources = {SI_RUN_HKCU, SI_RUN_HKLM};
    if (SeesWow64())
        runSources.push_back(SI_RUN_HKLM32);
    std::vector<STARTUPITEMS> items;
    std::set<std::pair<int, std::wstring>> taken;
    for (int i = 0; i < 1000; ++i) {
        const int nSource = runSources[random.Below(static_cast<int>(runSources.size()))];
        // Now and then the name of an earlier value of another Run key; rarely one no store
        // subkey can be named after (a backslash, over 255 characters).
        std::wstring strName = kPrefix + std::to_wstring(i) + random.Text(random.Below(6), false);
        if (!items.empty() && random.OneIn(10))
            strName = items[random.Below(static_cast<int>(items.size()))].strName.GetString();
        else if (random.OneIn(50))
            strName += random.OneIn(2) ? L"\\x" : std::wstring(250, L'n');
        const bool bStorable = strName.find(L'\\') == std::wstring::npos && strName.size() <= 255;
        if (!taken.insert({nSource, strName}).second)
            continue;
        const std::wstring strCommand = random.Text(random.Length(), false);
        const DWORD dwType = random.OneIn(2) ? REG_SZ : REG_EXPAND_SZ;
        win32::UniqueKey key;
        ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(RunRoot(nSource), kRunKey, 0, nullptr, 0, KEY_ALL_ACCESS | RunView(nSource),
                                                 nullptr, key.put(), nullptr));
        const std::vector<BYTE> bytes = StringBytes(strCommand);
        ASSERT_EQ(ERROR_SUCCESS, RegSetValueExW(key.get(), strName.c_str(), 0, dwType, bytes.data(), static_cast<DWORD>(bytes.size())));
        // Store entries of other tools: one under this value's name holding another item,
        // which disabling must not overwrite; one under another name holding this item
        // (the same command or another), which must stay when this value comes back.
        if (bStorable && random.OneIn(15))
            WriteForeignRunEntry(strName, strName + L"other", strCommand, nSource);
        if (random.OneIn(10))
            WriteForeignRunEntry(std::wstring(kPrefix) + L"Foreign" + std::to_wstring(i), strName,
                                 random.OneIn(2) ? strCommand : strCommand + L"x", nSource);
        items.push_back(MakeItem(strName, strCommand, nSource, 1));
    }
    const int nRunItems = static_cast<int>(items.size());
    for (int i = 0; i < 200; ++i) {
        const bool bUser = random.OneIn(2);
        const int nCsidl = bUser ? CSIDL_STARTUP : CSIDL_COMMON_STARTUP;
        const std::wstring strTitle = kPrefix + std::to_wstring(i) + random.Text(random.Below(8), true);
        const std::wstring strPath = StartupFolder(nCsidl) + L"\\" + strTitle + L".lnk";
        const std::wstring strBackup = std::wstring(kBackupFolder) + L"\\" + strTitle + (bUser ? L".lnk.Startup" : L".lnk.CommonStartup");
        const std::wstring strCommand = random.Text(random.Length(), false);
        ASSERT_TRUE(WriteFileBytes(strPath, random.Bytes(1 + random.Below(40))));
        // A file already at the backup's name, another shortcut's entry under this one's
        // name, this shortcut's entry under another name with another command.
        if (random.OneIn(15)) {
            ASSERT_TRUE(WriteFileBytes(strBackup, "another tool's backup"));
        }
        if (random.OneIn(15))
            WriteForeignEntry(kStartupFolderStore, CaretPath(strPath),
                              {{L"item", strTitle + L"other"}, {L"command", strCommand}, {L"backup", strBackup + L"other"}, {L"path", strPath + L"other"}});
        if (random.OneIn(10))
            WriteForeignEntry(kStartupFolderStore, std::wstring(kPrefix) + L"Foreign" + std::to_wstring(i),
                              {{L"item", strTitle}, {L"command", strCommand + L"x"}, {L"backup", strBackup}, {L"path", strPath}});
        items.push_back(MakeItem(strTitle, strCommand, bUser ? SI_FOLDER_USER : SI_FOLDER_COMMON, 1));
    }

    const Snapshot before = TakeSnapshot();
    // On 64-bit Windows the store entries lie in the 64-bit view, beyond RegDeleteKeyW.
    DeletesIn32BitView windowsDeletes;
    ASSERT_TRUE(windowsDeletes.IsActive());
    int nMoved = 0;
    for (int nRound = 0; nRound < 2; ++nRound) {
        std::vector<int> order(items.size());
        for (size_t i = 0; i < order.size(); ++i)
            order[i] = static_cast<int>(i);
        std::shuffle(order.begin(), order.end(), std::mt19937(seed + nRound));
        std::vector<int> moved;
        for (int i : order) {
            const int nSource = items[i].nSource;
            Act(items[i], 0);
            if (items[i].nSource != nSource)
                moved.push_back(i);
        }
        nMoved += static_cast<int>(moved.size());
        std::shuffle(moved.begin(), moved.end(), std::mt19937(seed - nRound));
        for (int i : moved) {
            const int nDisabled = items[i].nSource;
            Act(items[i], 1);
            EXPECT_NE(nDisabled, items[i].nSource) << "a disabled entry did not come back: "
                                                   << testing::PrintToString(std::wstring(items[i].strName.GetString()))
                                                   << (i < nRunItems ? " (Run value)" : " (shortcut)");
        }
    }
    const Snapshot after = TakeSnapshot();
    // Most entries really moved, twice; whatever an action refused stayed as it was.
    EXPECT_GT(nMoved, static_cast<int>(items.size()));
    std::vector<std::wstring> changed;
    for (const auto& entry : before)
        if (!after.count(entry.first) || after.at(entry.first) != entry.second)
            changed.push_back(L"changed or gone: " + entry.first);
    for (const auto& entry : after)
        if (!before.count(entry.first))
            changed.push_back(L"left behind: " + entry.first);
    EXPECT_EQ(0u, changed.size()) << "the first: " << testing::PrintToString(changed.empty() ? L"" : changed.front());
    Sweep();
}

}  // namespace
