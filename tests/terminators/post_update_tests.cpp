// "LEXE": the product's programs are ended once per update flag, then started again from
// Brenholt.exe's own folder. Its 4 s and 2 s pauses are skipped.
#include <algorithm>

#include "terminator_fixture.h"

#include "testing/library_host.h"
#include "testing/where.h"

namespace terminator_tests {
namespace {

struct StartRecord {
    std::wstring strName, strCommandLine, strFolder;
    int nShow;
    DWORD dwPriority;
};

std::vector<StartRecord> ReadRecords(const std::wstring& strLog)
{
    std::vector<StartRecord> records;
    for (const std::wstring& strLine : ReadLines(strLog)) {
        std::vector<std::wstring> parts = Split(strLine, L'|');
        if (parts.size() == 5)
            records.push_back({parts[0], parts[1], parts[2], _wtoi(parts[3].c_str()), static_cast<DWORD>(_wtoi(parts[4].c_str()))});
    }
    return records;
}

// What follows the program's own name (quoted or not) on a command line.
std::wstring Arguments(const std::wstring& strCommandLine)
{
    size_t nEnd = strCommandLine[0] == L'"' ? strCommandLine.find(L'"', 1) + 1 : strCommandLine.find(L' ');
    if (nEnd == std::wstring::npos || nEnd > strCommandLine.size())
        return L"";
    std::wstring strRest = strCommandLine.substr(nEnd);
    return strRest.substr(std::min(strRest.find_first_not_of(L' '), strRest.size()));
}

bool SameFolder(const std::wstring& a, const std::wstring& b) { return _wcsicmp(a.c_str(), b.c_str()) == 0; }

class PostUpdateTest : public TerminatorTest {
protected:
    void SetUp() override
    {
        TerminatorTest::SetUp();
        SetEnvironmentVariableW(L"TESSARY_STANDIN_LOG", m_strLog.c_str());
        m_dwBelowNormalAsSeen = PrioritySeenWhenStartedWith(BELOW_NORMAL_PRIORITY_CLASS);
    }
    // The class a stand-in sees when started with dwClass: Wine 8 starts every process
    // at normal priority, and there the started program cannot tell the difference.
    DWORD PrioritySeenWhenStartedWith(DWORD dwClass)
    {
        std::wstring strPath = InstallStandin(m_standins.Path(), L"probe.exe");
        std::wstring strCommandLine = L"\"" + strPath + L"\"";
        STARTUPINFOW startup = {};
        startup.cb = sizeof(startup);
        PROCESS_INFORMATION info = {};
        DeleteFileW(m_strLog.c_str());
        if (!CreateProcessW(strPath.c_str(), &strCommandLine[0], nullptr, nullptr, FALSE, dwClass, nullptr, nullptr, &startup, &info))
            return 0;
        win32::UniqueHandle hProcess(info.hProcess), hThread(info.hThread);
        WaitForSingleObject(hProcess.get(), 10000);
        std::vector<StartRecord> records = ReadRecords(m_strLog);
        if (records.empty())
            return 0;
        if (records[0].dwPriority != dwClass)
            printf("note: a process started with priority class 0x%lx sees 0x%lx here\n", dwClass, records[0].dwPriority);
        return records[0].dwPriority;
    }
    void TearDown() override
    {
        SetEnvironmentVariableW(L"TESSARY_STANDIN_LOG", nullptr);
        DeleteFileW(m_strLog.c_str());
        TerminatorTest::TearDown();
    }
    // Brenholt.exe and the three relaunched stand-ins in strFolder; runs pszWord there.
    // Returns once the four starts are recorded (or after 10 s).
    std::vector<StartRecord> RunIn(const std::wstring& strFolder, const wchar_t* pszWord)
    {
        InstallPrograms(strFolder);
        for (const wchar_t* pszName : {L"ardmoor.exe", L"harrowfen.exe", L"yarrowmead.exe"})
            InstallStandin(strFolder, pszName);
        DeleteFileW(m_strLog.c_str());
        EXPECT_EQ(0u, RunProgram(strFolder, L"Brenholt.exe", pszWord, L"win7", true));
        std::vector<StartRecord> records = ReadRecords(m_strLog);
        for (int i = 0; i < 100 && records.size() < 4; ++i) {  // stages 2 and 3 are not waited for
            Sleep(100);
            records = ReadRecords(m_strLog);
        }
        return records;
    }
    void ExpectStages(testing_support::Where where, const std::vector<StartRecord>& records, const std::wstring& strFolder, const std::wstring& strStageOneLine)
    {
        TESSARY_TRACE_CALLER(where);
        ASSERT_EQ(4u, records.size());
        // Stage 1 lingers before it records: it comes first only if it was waited for.
        EXPECT_EQ(L"ardmoor.exe", records[0].strName);
        EXPECT_EQ(strStageOneLine, records[0].strCommandLine);
        EXPECT_EQ(-1, records[0].nShow);  // the system's default
        EXPECT_EQ(m_dwBelowNormalAsSeen, records[0].dwPriority);
        // Stages 2 and 3 are not waited for, so they may record in any order; no
        // arguments, in the program folder, each with its show mode.
        std::vector<std::wstring> names;
        for (size_t i = 1; i < records.size(); ++i) {
            const StartRecord& record = records[i];
            names.push_back(record.strName);
            EXPECT_EQ(record.strName == L"ardmoor.exe" ? SW_SHOWNORMAL : SW_MINIMIZE, record.nShow) << testing::PrintToString(record.strName);
            EXPECT_EQ(L"", Arguments(record.strCommandLine)) << testing::PrintToString(record.strCommandLine);
            EXPECT_TRUE(SameFolder(strFolder, record.strFolder)) << testing::PrintToString(record.strFolder);
        }
        std::sort(names.begin(), names.end());
        EXPECT_EQ((std::vector<std::wstring>{L"ardmoor.exe", L"harrowfen.exe", L"yarrowmead.exe"}), names);
    }

    DWORD m_dwBelowNormalAsSeen = 0;
    std::wstring m_strLog = testing_support::ProgramFolder() + L"\\terminator_starts.log";
};

TEST_F(PostUpdateTest, TerminatesOncePerFlagAndRelaunchesFromItsFolder)
{
    // First run, no flag yet: the product's programs end, the flag becomes "1".
    size_t first = Start(L"ganwick.exe");
    std::wstring strPlain = m_programs.Path();
    std::vector<StartRecord> records = RunIn(strPlain, L"lexe");
    EXPECT_TRUE(EndedCleanly(first));
    EXPECT_EQ(L"1", testing_support::ReadIni(DataFile(L"UPD.dat"), L"Tessary Optimizer", L"IDS_UPD_DONT_KILL"));
    ExpectStages(TESSARY_HERE, records, strPlain, strPlain + L"\\ardmoor.exe UDS");

    // Second run, from a folder with blanks whose first word names another program: the
    // flag set by the first run keeps every process alive and stays as it is.
    ScratchFolder outer(L"Tessary Test");
    ScratchFolder blanks(L"Tessary Test\\bin");
    std::wstring strDecoyFolder = blanks.Path().substr(0, blanks.Path().rfind(L'\\'));
    std::wstring strDecoy = InstallStandin(strDecoyFolder.substr(0, strDecoyFolder.rfind(L'\\')), L"Tessary.exe");
    std::string strFlagBefore = ReadFileBytes(DataFile(L"UPD.dat"));
    size_t second = Start(L"ganwick.exe");
    records = RunIn(blanks.Path(), L"LEXE");
    EXPECT_TRUE(StillRunning(second));
    EXPECT_EQ(strFlagBefore, ReadFileBytes(DataFile(L"UPD.dat")));
    ExpectStages(TESSARY_HERE, records, blanks.Path(), L"\"" + blanks.Path() + L"\\ardmoor.exe\" UDS");
    DeleteFileW(strDecoy.c_str());
}

}  // namespace
}  // namespace terminator_tests

namespace terminator_tests {
namespace {

TEST_F(PostUpdateTest, StageOneCommandLineLongerThanAPathIsPassedWhole)
{
    // The folder takes the longest length at which Brenholt.exe and framework.dll still have
    // paths below 260 characters; its stage-1 command line is then 260 characters long.
    const size_t nFolderLength = 244;
    std::wstring strRoot = ScratchFolder::Root();
    ASSERT_LT(strRoot.size() + 2, nFolderLength);
    ScratchFolder longFolder(std::wstring(nFolderLength - strRoot.size() - 1, L'x'));
    ASSERT_EQ(nFolderLength, longFolder.Path().size());
    WriteDataFile(L"UPD.dat", L"[Tessary Optimizer]\r\nIDS_UPD_DONT_KILL=1\r\n");
    std::vector<StartRecord> records = RunIn(longFolder.Path(), L"LEXE");
    ASSERT_FALSE(records.empty());
    std::wstring strExpected = longFolder.Path() + L"\\ardmoor.exe UDS";
    EXPECT_EQ(260u, strExpected.size());
    EXPECT_EQ(strExpected, records[0].strCommandLine);
}

}  // namespace
}  // namespace terminator_tests
