// Which processes the two terminations end, and the don't-kill flag of Culvane.exe.
#include "terminator_fixture.h"
#include "testing/where.h"

namespace terminator_tests {
namespace {

class TerminationTest : public TerminatorTest {
protected:
    void ExpectOnlyListedNamesEnd(testing_support::Where where, const wchar_t* pszProgram, const wchar_t* pszWord)
    {
        TESSARY_TRACE_CALLER(where);
        // Ended: row 9 in upper case, both instances of row 13, row 1 (also row 14), row 18.
        std::vector<size_t> ended = {Start(L"ARDMOOR.EXE"), Start(L"yarrowmead.exe"), Start(L"yarrowmead.exe"),
                                     Start(L"harrowfen.exe"), Start(L"nethermoss.exe")};
        // Left: names that only begin or end with a listed one, a Kelvin sign that other
        // case rules fold to "k" (kestin.exe), and the two programs' own names.
        std::vector<size_t> left = {Start(L"ardmoor.exe.exe"), Start(L"xardmoor.exe"), Start(L"\x212A" L"estin.exe"),
                                    Start(L"Culvane.exe"), Start(L"Brenholt.exe")};
        EXPECT_EQ(0u, Run(pszProgram, pszWord));
        for (size_t n : ended)
            EXPECT_TRUE(EndedCleanly(n)) << testing::PrintToString(Process(n).strName);
        for (size_t n : left)
            EXPECT_TRUE(StillRunning(n)) << testing::PrintToString(Process(n).strName);
    }
};

TEST_F(TerminationTest, CulvaneEndsExactlyTheListedNames)
{
    ExpectOnlyListedNamesEnd(TESSARY_HERE, L"Culvane.exe", L"LM");
    // Asking for the flag made the data folders.
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(DataFolder().c_str()));
}

TEST_F(TerminationTest, BrenholtEndsExactlyTheListedNamesWhateverTheUpdateFlag)
{
    WriteDataFile(L"UPD.dat", L"[Tessary Optimizer]\r\nIDS_UPD_DONT_KILL=1\r\n");
    ExpectOnlyListedNamesEnd(TESSARY_HERE, L"Brenholt.exe", L"XTQ");
}

TEST_F(TerminationTest, DontKillFlagOneStopsCulvaneBeforeAnyProcess)
{
    const std::wstring strFlag = L"[Tessary Optimizer]\r\nIDS_DONT_KILL=1\r\n";
    WriteDataFile(L"xmlka.dat", strFlag);
    std::string strBefore = ReadFileBytes(DataFile(L"xmlka.dat"));
    for (const wchar_t* pszWord : {L"LM", L"TQ"}) {
        size_t witness = Start(L"kestin.exe");
        EXPECT_EQ(0u, Run(L"Culvane.exe", pszWord));
        EXPECT_FALSE(Process(witness).Ended(1000)) << testing::PrintToString(std::wstring(pszWord));
    }
    EXPECT_EQ(strBefore, ReadFileBytes(DataFile(L"xmlka.dat")));  // never written
}

TEST_F(TerminationTest, AnyOtherFlagStateLetsCulvaneTerminate)
{
    struct Case {
        const wchar_t* pszName;
        const wchar_t* pszFileText;  // nullptr: no file
    };
    const Case cases[] = {
        {L"zero", L"[Tessary Optimizer]\r\nIDS_DONT_KILL=0\r\n"},
        {L"empty", L"[Tessary Optimizer]\r\nIDS_DONT_KILL=\r\n"},
        {L"missing key", L"[Tessary Optimizer]\r\nIDS_OTHER=1\r\n"},
        {L"flag in another section", L"[Other]\r\nIDS_DONT_KILL=1\r\n"},
        {L"missing file", nullptr},
    };
    for (const Case& c : cases) {
        RemoveDataFolder();
        if (c.pszFileText)
            WriteDataFile(L"xmlka.dat", c.pszFileText);
        size_t witness = Start(L"lumhollow.exe");
        EXPECT_EQ(0u, Run(L"Culvane.exe", L"LM"));
        EXPECT_TRUE(EndedCleanly(witness)) << testing::PrintToString(std::wstring(c.pszName));
    }
}

TEST_F(TerminationTest, UnresolvableDataFolderLetsCulvaneTerminate)
{
    // The flag is set where the folder would be, but the shell cannot make that folder.
    WriteDataFile(L"xmlka.dat", L"[Tessary Optimizer]\r\nIDS_DONT_KILL=1\r\n");
    size_t witness = Start(L"sorrelby.exe");
    {
        RegistryValueOverride appData(HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders",
                                      L"AppData", L"Q:\\no such drive\\AppData", REG_EXPAND_SZ);
        EXPECT_EQ(0u, Run(L"Culvane.exe", L"LM"));
    }
    EXPECT_TRUE(EndedCleanly(witness));
}

}  // namespace
}  // namespace terminator_tests
