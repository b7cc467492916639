// Brimwell through the built library, with the memory figures, the 7-second wait and the
// process list under the test's control, so that a run takes a few milliseconds.
#include <gtest/gtest.h>

#include <windows.h>
#include <psapi.h>

#include <clocale>
#include <cwchar>
#include <deque>
#include <memory>
#include <string>

#include "frame/app.h"
#include "notifier_support.h"
#include "stand_in_records.h"
#include "testing/import_patch.h"
#include "testing/library_host.h"

using namespace notifier_support;
using testing_support::ImportPatch;
using testing_support::Library;
using testing_support::ProgramFolder;

namespace {

struct FakePlatform {
    std::deque<ULONGLONG> availPhys;  // one value per status query
    int nQueries = 0;
    bool bRecordCleared = true;
    std::wstring strStatusAtFirstQuery;
    std::wstring strAmountAtFirstQuery;
    int nEnumCalls = 0;
    int nLongSleeps = 0;
    int nEnumCallsAtSleep = -1;
    AFX_MODULE_STATE* pStateInSleep = nullptr;
    CWinApp* pAppInSleep = nullptr;
    std::wstring strValueInSleep;  // the shared value buffer during the wait
    bool bDriveRecordIntact = false;
};
FakePlatform* g_fake = nullptr;
ImportPatch* g_sleepPatch = nullptr;

BOOL WINAPI FakeGlobalMemoryStatusEx(MEMORYSTATUSEX* pStatus)
{
    ++g_fake->nQueries;
    const BYTE* pBytes = reinterpret_cast<const BYTE*>(pStatus);
    bool bCleared = pStatus->dwLength == 64;
    for (size_t i = sizeof(DWORD); i < sizeof(MEMORYSTATUSEX); ++i)
        bCleared &= pBytes[i] == 0;
    g_fake->bRecordCleared &= bCleared;
    if (g_fake->nQueries == 1) {
        g_fake->strStatusAtFirstQuery = ResultValue(L"IDS_CLOUD_MEMOPT_STATUS");
        g_fake->strAmountAtFirstQuery = ResultValue(L"IDS_CLOUD_MEMOPT");
    }
    pStatus->ullTotalPhys = 8ull << 30;
    pStatus->ullAvailPhys = g_fake->availPhys.empty() ? 0 : g_fake->availPhys.front();
    if (!g_fake->availPhys.empty())
        g_fake->availPhys.pop_front();
    return TRUE;
}

void WINAPI FakeSleep(DWORD dwMilliseconds)
{
    if (dwMilliseconds != 7000) {
        g_sleepPatch->Original<void(WINAPI*)(DWORD)>()(dwMilliseconds);
        return;
    }
    ++g_fake->nLongSleeps;
    g_fake->nEnumCallsAtSleep = g_fake->nEnumCalls;
    g_fake->pStateInSleep = AfxGetModuleState();
    g_fake->pAppInSleep = AfxGetApp();
    if (auto* pApp = static_cast<CWendleApp*>(g_fake->pAppInSleep)) {
        g_fake->strValueInSleep = pApp->m_szValue;
        const DRIVEINFO& drive = pApp->m_driveRecord;
        g_fake->bDriveRecordIntact = drive.strDevicePath.IsEmpty() && drive.strMediaType.IsEmpty() && drive.strInterfaceType.IsEmpty() &&
                                     drive.nPartitions == 0;
    }
}

BOOL WINAPI FakeEnumProcesses(DWORD*, DWORD, DWORD* pcbNeeded)
{
    ++g_fake->nEnumCalls;
    *pcbNeeded = 0;  // an empty list: a pass costs nothing
    return TRUE;
}

const wchar_t* const kCloudText = L"of memory were freed.";

class MemoryRun : public ::testing::Test {
protected:
    void SetUp() override
    {
        brimwell = Library::Export<PFN_Brimwell>("Brimwell");
        ASSERT_NE(nullptr, brimwell);
        g_fake = &fake;
        HMODULE h = Library::Handle();
        memoryPatch = std::make_unique<ImportPatch>(h, "kernel32.dll", "GlobalMemoryStatusEx", reinterpret_cast<void*>(&FakeGlobalMemoryStatusEx));
        sleepPatch = std::make_unique<ImportPatch>(h, "kernel32.dll", "Sleep", reinterpret_cast<void*>(&FakeSleep));
        enumPatch = std::make_unique<ImportPatch>(h, "psapi.dll", "EnumProcesses", reinterpret_cast<void*>(&FakeEnumProcesses));
        g_sleepPatch = sleepPatch.get();
        ASSERT_TRUE(memoryPatch->IsActive() && sleepPatch->IsActive() && enumPatch->IsActive());
        files.Settings(L"[Tessary Optimizer]\r\nIDS_LANGUAGE=english\r\n");
        files.Language(L"english.ini", std::wstring(L"[Tessary Optimizer]\r\nIDS_BRIMWELL=Memory optimised\r\nIDS_CLOUD_TEXT=") + kCloudText + L"\r\n");
        testing_support::RemoveTree(ResultFile());
    }
    void TearDown() override
    {
        enumPatch.reset();
        sleepPatch.reset();
        memoryPatch.reset();
        g_sleepPatch = nullptr;
        g_fake = nullptr;
        testing_support::RemoveTree(ResultFile());
    }
    // One run with these two measurements; the notifier start is recorded, not made.
    void RunWithGain(ULONGLONG ullBefore, ULONGLONG ullAfter)
    {
        fake.availPhys = {ullBefore, ullAfter};
        ProfileWriteRecorder writeRecorder;
        NotifierRecorder recorder;
        ASSERT_TRUE(recorder.IsActive() && writeRecorder.IsActive());
        brimwell();
        starts = recorder.starts;
        writes = writeRecorder.writes;
        for (const ProfileWrite& write : writes) {
            if (_wcsicmp(write.strFile.c_str(), ResultFile().c_str()) == 0)
                resultWrites.push_back(write.strKey + L"=" + write.strValue);
        }
    }

    FakePlatform fake;
    HostFiles files;
    PFN_Brimwell brimwell = nullptr;
    std::vector<ShellStart> starts;
    std::vector<ProfileWrite> writes;
    std::vector<std::wstring> resultWrites;  // "KEY=value" as handed to the writer, in order
    std::unique_ptr<ImportPatch> memoryPatch, sleepPatch, enumPatch;
};

TEST_F(MemoryRun, EachGainGivesItsAmountText)
{
    struct Case {
        ULONGLONG ullGain;
        const wchar_t* pszAmount;
    };
    const Case cases[] = {
        {1000, L"   0.00 KB"},         {2047, L"   1.00 KB"},          {1048575, L"1023.00 KB"},
        {1048576, L"   1.00 MB"},      {1572864, L"   1.50 MB"},       {12939428, L"  12.34 MB"},
        {1073741824, L"   1.00 GB"},   {5905580032ull, L"   5.50 GB"}, {1, L"   0.00 KB"},
    };
    // The texts are fixed formats, also in a host that set a locale with a decimal comma.
    setlocale(LC_ALL, "German");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.ullGain);
        fake.nQueries = 0;
        resultWrites.clear();
        RunWithGain(3ull << 30, (3ull << 30) + c.ullGain);
        std::wstring strAmount = c.pszAmount;
        const std::vector<std::wstring> expected = {L"IDS_CLOUD_MEMOPT_STATUS=1", L"IDS_CLOUD_MEMOPT=" + strAmount, L"IDS_CLOUD_MEMOPT_STATUS=2",
                                                    L"IDS_CLOUD_POPUP_TITLE=Memory optimised",
                                                    L"IDS_CLOUD_MESSAGE_2=" + strAmount + L" " + kCloudText};
        EXPECT_EQ(expected, resultWrites);
        // The file itself holds what the profile writer keeps: the value without its padding.
        EXPECT_EQ(strAmount.substr(strAmount.find_first_not_of(L' ')), ResultValue(L"IDS_CLOUD_MEMOPT"));
        EXPECT_EQ(L"2", ResultValue(L"IDS_CLOUD_MEMOPT_STATUS"));
        ASSERT_EQ(1u, starts.size());
        EXPECT_EQ(writes.size(), starts[0].nWritesBefore);
    }
    setlocale(LC_ALL, "C");
    EXPECT_TRUE(fake.bRecordCleared);
}

TEST_F(MemoryRun, StatusIsStartedBeforeTheFirstMeasurementAndTextsPrecedeTheNotifier)
{
    WritePrivateProfileStringW(kOptimizer, L"IDS_CLOUD_MEMOPT", L"  99.00 MB", ResultFile().c_str());
    WritePrivateProfileStringW(kOptimizer, L"IDS_CLOUD_MEMOPT_STATUS", L"2", ResultFile().c_str());
    RunWithGain(100 << 20, 200 << 20);
    EXPECT_EQ(2, fake.nQueries);
    EXPECT_EQ(L"1", fake.strStatusAtFirstQuery);
    EXPECT_EQ(L"99.00 MB", fake.strAmountAtFirstQuery);
    EXPECT_EQ(1, fake.nLongSleeps);
    ASSERT_EQ(1u, starts.size());
    const ShellStart& start = starts[0];
    EXPECT_EQ(L"open", start.strVerb);
    EXPECT_EQ(0, _wcsicmp((ProgramFolder() + L"\\chimewick.exe").c_str(), start.strFile.c_str())) << start.strFile;
    EXPECT_FALSE(start.bParameters);
    EXPECT_FALSE(start.bDirectory);
    EXPECT_EQ(nullptr, start.hOwner);
    EXPECT_EQ(SW_SHOWNORMAL, start.nShow);
    EXPECT_EQ(L"Memory optimised", start.strTitleAtStart);
    EXPECT_EQ(std::wstring(L"100.00 MB ") + kCloudText, start.strMessageAtStart);
    EXPECT_EQ(writes.size(), start.nWritesBefore);
}

TEST_F(MemoryRun, NoGainKeepsTheEarlierAmountAndStillStartsTheNotifier)
{
    for (ULONGLONG ullAfter : {500ull << 20, 400ull << 20}) {
        SCOPED_TRACE(ullAfter);
        WritePrivateProfileStringW(kOptimizer, L"IDS_CLOUD_MEMOPT", L"   7.00 MB", ResultFile().c_str());
        WritePrivateProfileStringW(kOptimizer, L"IDS_CLOUD_MEMOPT_STATUS", L"2", ResultFile().c_str());
        resultWrites.clear();
        RunWithGain(500ull << 20, ullAfter);
        const std::vector<std::wstring> expected = {L"IDS_CLOUD_MEMOPT_STATUS=1", L"IDS_CLOUD_POPUP_TITLE=Memory optimised",
                                                    std::wstring(L"IDS_CLOUD_MESSAGE_2= ") + kCloudText};
        EXPECT_EQ(expected, resultWrites);
        EXPECT_EQ(L"1", ResultValue(L"IDS_CLOUD_MEMOPT_STATUS"));
        EXPECT_EQ(L"7.00 MB", ResultValue(L"IDS_CLOUD_MEMOPT"));
        EXPECT_EQ(1u, starts.size());
    }
}

TEST_F(MemoryRun, PassCountComesFromTheHostFoldersSettingsFile)
{
    struct Case {
        const wchar_t* pszValue;
        int nPasses;
    };
    const Case cases[] = {{L"3", 3}, {L"  +4 passes", 4}, {L"none", 0}, {L"-2", 0}, {nullptr, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pszValue ? c.pszValue : L"(missing)");
        std::wstring strSettings = L"[Tessary Optimizer]\r\nIDS_LANGUAGE=english\r\n";
        if (c.pszValue)
            strSettings += std::wstring(L"IDS_MEM_TO_FREE=") + c.pszValue + L"\r\n";
        files.Settings(strSettings);
        fake.nEnumCalls = 0;
        RunWithGain(1 << 20, 2 << 20);
        // Every pass is made before the wait, none after it.
        EXPECT_EQ(c.nPasses, fake.nEnumCallsAtSleep);
        EXPECT_EQ(c.nPasses, fake.nEnumCalls);
        EXPECT_EQ(L"2", ResultValue(L"IDS_CLOUD_MEMOPT_STATUS"));
    }
}

TEST_F(MemoryRun, RunsInTheLibrarysModuleStateAndRestoresTheHosts)
{
    AFX_MODULE_STATE* pHostState = AfxGetModuleState();
    RunWithGain(1 << 20, 2 << 20);
    ASSERT_NE(nullptr, fake.pStateInSleep);
    EXPECT_NE(pHostState, fake.pStateInSleep);
    EXPECT_EQ(reinterpret_cast<HINSTANCE>(Library::Handle()), fake.pStateInSleep->m_hCurrentInstanceHandle);
    ASSERT_NE(nullptr, fake.pAppInSleep);
    EXPECT_EQ(fake.pStateInSleep->m_pCurrentWinApp, fake.pAppInSleep);
    EXPECT_EQ(reinterpret_cast<HINSTANCE>(Library::Handle()), fake.pAppInSleep->m_hInstance);
    EXPECT_EQ(pHostState, AfxGetModuleState());
}

TEST_F(MemoryRun, OverlongValuesAreCutToTheirBuffers)
{
    files.Settings(L"[Tessary Optimizer]\r\nIDS_LANGUAGE=english\r\nIDS_MEM_TO_FREE=2" + std::wstring(599, L'x') + L"\r\n");
    files.Language(L"english.ini", L"[Tessary Optimizer]\r\nIDS_BRIMWELL=" + std::wstring(600, L't') + L"\r\nIDS_CLOUD_TEXT=" +
                                       std::wstring(600, L'c') + L"\r\n");
    RunWithGain(1 << 20, 1 << 20);  // finds the application object
    auto* pApp = static_cast<CWendleApp*>(fake.pAppInSleep);
    ASSERT_NE(nullptr, pApp);
    // Poison the unused tail of the short buffer: reads with a limit of 100 leave it alone.
    wmemset(pApp->m_szShortValue + 100, L'Q', kShortValueLength - 100);
    fake = FakePlatform();
    RunWithGain(1 << 20, 2 << 20);
    EXPECT_EQ(2, fake.nEnumCalls);
    ASSERT_EQ(499u, fake.strValueInSleep.size());
    EXPECT_EQ(L'2', fake.strValueInSleep[0]);
    EXPECT_TRUE(fake.bDriveRecordIntact);
    EXPECT_EQ(std::wstring(99, L't'), ResultValue(L"IDS_CLOUD_POPUP_TITLE"));
    EXPECT_EQ(L"1.00 MB " + std::wstring(99, L'c'), ResultValue(L"IDS_CLOUD_MESSAGE_2"));
    EXPECT_EQ(std::wstring(kShortValueLength - 100, L'Q'), std::wstring(pApp->m_szShortValue + 100, kShortValueLength - 100));
    EXPECT_TRUE(pApp->m_actionRecord.strName.IsEmpty());
    EXPECT_EQ(0, pApp->m_actionRecord.nEnabled);
}

TEST_F(MemoryRun, FirstUseCreatesTheDataFoldersAndKeepsOtherKeysLater)
{
    // A title that no ANSI code page holds whole reaches the notifier as it is.
    const std::wstring strTitle = L"\u041F\u0430\u043C\u044F\u0442\u044C \u039C\u03BD\u03AE\u03BC\u03B7 \u5185\u5B58";
    files.Language(L"english.ini", L"[Tessary Optimizer]\r\nIDS_BRIMWELL=" + strTitle + L"\r\n");
    testing_support::RemoveTree(ProductDataRoot());
    RunWithGain(1 << 20, 3 << 20);
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(DataFolder().c_str()));
    EXPECT_EQ(L"2.00 MB", ResultValue(L"IDS_CLOUD_MEMOPT"));
    EXPECT_EQ(strTitle, ResultValue(L"IDS_CLOUD_POPUP_TITLE"));

    WritePrivateProfileStringW(kOptimizer, L"IDS_CLOUD_LAN_SPEED", L"100 Mbps", ResultFile().c_str());
    WritePrivateProfileStringW(kOptimizer, L"IDS_CLOUD_INTOPT_STATUS", L"3", ResultFile().c_str());
    RunWithGain(1 << 20, 4 << 20);
    EXPECT_EQ(L"3.00 MB", ResultValue(L"IDS_CLOUD_MEMOPT"));
    EXPECT_EQ(L"100 Mbps", ResultValue(L"IDS_CLOUD_LAN_SPEED"));
    EXPECT_EQ(L"3", ResultValue(L"IDS_CLOUD_INTOPT_STATUS"));
}

TEST_F(MemoryRun, TheNotifierReadsTheNewTitleAndMessage)
{
    std::wstring strLog = ProgramFolder() + L"\\chimewick.log";
    testing_support::RemoveTree(strLog);
    WritePrivateProfileStringW(kOptimizer, L"IDS_CLOUD_POPUP_TITLE", L"old title", ResultFile().c_str());
    WritePrivateProfileStringW(kOptimizer, L"IDS_CLOUD_MESSAGE_2", L"old message", ResultFile().c_str());
    fake.availPhys = {1 << 20, 3 << 20};
    brimwell();
    std::vector<std::wstring> lines = stand_ins::WaitForRecordLines(strLog, 1);
    ASSERT_EQ(1u, lines.size());
    // The notifier reads through the profile reader, which drops the padding.
    EXPECT_EQ(std::wstring(L"Memory optimised\t2.00 MB ") + kCloudText, lines[0]);
    testing_support::RemoveTree(strLog);
}

TEST_F(MemoryRun, WithoutANotifierTheResultFileIsStillWritten)
{
    NotifierMovedAway aside;
    ASSERT_TRUE(aside.IsMoved());
    fake.availPhys = {1 << 20, 3 << 20};
    brimwell();
    EXPECT_EQ(L"2", ResultValue(L"IDS_CLOUD_MEMOPT_STATUS"));
    EXPECT_EQ(L"2.00 MB", ResultValue(L"IDS_CLOUD_MEMOPT"));
    EXPECT_EQ(L"Memory optimised", ResultValue(L"IDS_CLOUD_POPUP_TITLE"));
}

}  // namespace
