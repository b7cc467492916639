// Scheduled task removal as "TQ" and "XTR" do it: on Windows XP through Task Scheduler 1.0
// (Wine's own, names compared respecting case), on Windows 7 through Task Scheduler 2.0 (a
// fake server over a task file, names compared ignoring case). The programs run under
// this test program's Windows version.
#include <mstask.h>

#include <algorithm>
#include <fstream>
#include <set>

#include "common/task_removal.h"
#include "testing/import_patch.h"
#include "terminator_fixture.h"
#include "testing/library_host.h"
#include "testing/where.h"

namespace terminator_tests {
namespace {

const CLSID kClsidCTaskScheduler = {0x148BD52A, 0xA2AB, 0x11CE, {0xB1, 0x1F, 0x00, 0xAA, 0x00, 0x53, 0x05, 0x03}};
const IID kIidITaskScheduler = {0x148BD527, 0xA2AB, 0x11CE, {0xB1, 0x1F, 0x00, 0xAA, 0x00, 0x53, 0x05, 0x03}};
const CLSID kClsidCTask = {0x148BD520, 0xA2AB, 0x11CE, {0xB1, 0x1F, 0x00, 0xAA, 0x00, 0x53, 0x05, 0x03}};
const IID kIidITask = {0x148BD524, 0xA2AB, 0x11CE, {0xB1, 0x1F, 0x00, 0xAA, 0x00, 0x53, 0x05, 0x03}};

DWORD OwnMajorVersion()
{
    OSVERSIONINFOW version = {};
    version.dwOSVersionInfoSize = sizeof(version);
    GetVersionExW(&version);
    return version.dwMajorVersion;
}

using Names = std::set<std::wstring>;

// Task Scheduler 1.0 of the prefix, driven from the test.
class WorkItems {
public:
    WorkItems() : m_com(CoInitialize(nullptr))
    {
        CoCreateInstance(kClsidCTaskScheduler, nullptr, CLSCTX_INPROC_SERVER, kIidITaskScheduler, m_scheduler.replace_void());
    }
    bool Available() const { return static_cast<bool>(m_scheduler); }
    bool Create(const std::wstring& strName)
    {
        win32::ComPtr<IUnknown> item;
        win32::ComPtr<IPersistFile> file;
        return SUCCEEDED(m_scheduler->NewWorkItem(strName.c_str(), kClsidCTask, kIidITask, item.replace())) &&
               SUCCEEDED(item->QueryInterface(IID_IPersistFile, file.replace_void())) && SUCCEEDED(file->Save(nullptr, TRUE));
    }
    // Names without their ".job" extension.
    Names List()
    {
        Names names;
        win32::ComPtr<IEnumWorkItems> items;
        if (FAILED(m_scheduler->Enum(items.replace())))
            return names;
        LPWSTR* ppNames = nullptr;
        ULONG nFetched = 0;
        while (SUCCEEDED(items->Next(5, &ppNames, &nFetched)) && nFetched > 0) {
            for (ULONG i = 0; i < nFetched; ++i) {
                std::wstring strName = ppNames[i];
                names.insert(strName.substr(0, strName.size() - 4));
                CoTaskMemFree(ppNames[i]);
            }
            CoTaskMemFree(ppNames);
        }
        return names;
    }
    void DeleteAll()
    {
        for (const std::wstring& strName : List())
            m_scheduler->Delete(strName.c_str());
    }

private:
    win32::ComInitGuard m_com;
    win32::ComPtr<ITaskScheduler> m_scheduler;
};

// The fake Task Scheduler 2.0 server beside the test hosts, registered in place of Wine's
// own for the test's life. Wine's COM looks classes up only under HKLM\Software\Classes
// (not per user), so the machine's registration is replaced and then put back.
class FakeScheduler {
public:
    FakeScheduler()
        : m_bRepaired(RepairLeftRegistration()),
          m_server(HKEY_LOCAL_MACHINE, kServerKey, nullptr, testing_support::ProgramFolder() + L"\\fake_taskschd.dll"),
          m_threading(HKEY_LOCAL_MACHINE, kServerKey, L"ThreadingModel", L"Both")
    {
        Reset();
    }
    ~FakeScheduler()
    {
        Reset();
        testing_support::RemoveFile(File(L".tasks"));
    }
    void Reset()
    {
        testing_support::RemoveFile(File(L".log"));
        testing_support::RemoveFile(File(L".fail"));
    }
    // Lines "H|\path" or "-|\path".
    void SetTasks(const std::vector<std::wstring>& lines) { WriteLines(File(L".tasks"), lines); }
    void FailConnection(int nConnection) { WriteLines(File(L".fail"), {std::to_wstring(nConnection)}); }
    Names Paths() const
    {
        Names paths;
        for (const std::wstring& strLine : ReadLines(File(L".tasks")))
            paths.insert(strLine.substr(2));
        return paths;
    }
    std::vector<std::wstring> Journal() const { return ReadLines(File(L".log")); }

private:
    static constexpr const wchar_t* kServerKey = L"Software\\Classes\\CLSID\\{0F87369F-A4E5-4CFC-BD3E-73E6154572DD}\\InprocServer32";
    // A run that did not end left the fake registered: Wine's own server belongs there,
    // and it is what the registration puts back.
    static bool RepairLeftRegistration()
    {
        win32::UniqueKey key;
        if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kServerKey, 0, KEY_ALL_ACCESS, key.put()) != ERROR_SUCCESS)
            return false;
        wchar_t szServer[MAX_PATH * 2] = {};
        DWORD cb = sizeof(szServer) - sizeof(wchar_t);
        if (RegQueryValueExW(key.get(), nullptr, nullptr, nullptr, reinterpret_cast<BYTE*>(szServer), &cb) != ERROR_SUCCESS ||
            !wcsstr(szServer, L"fake_taskschd.dll"))
            return false;
        wchar_t szSystem[MAX_PATH] = {};
        GetSystemDirectoryW(szSystem, MAX_PATH);
        std::wstring strServer = std::wstring(szSystem) + L"\\taskschd.dll";
        return RegSetValueExW(key.get(), nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(strServer.c_str()),
                              static_cast<DWORD>((strServer.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
    }
    static std::wstring File(const wchar_t* pszExtension) { return testing_support::ProgramFolder() + L"\\fake_taskschd" + pszExtension; }
    static void WriteLines(const std::wstring& strPath, const std::vector<std::wstring>& lines)
    {
        std::string strText;
        for (const std::wstring& strLine : lines) {
            int n = WideCharToMultiByte(CP_UTF8, 0, strLine.c_str(), -1, nullptr, 0, nullptr, nullptr);
            std::string strUtf8(static_cast<size_t>(n), '\0');
            WideCharToMultiByte(CP_UTF8, 0, strLine.c_str(), -1, &strUtf8[0], n, nullptr, nullptr);
            strUtf8.back() = '\n';
            strText += strUtf8;
        }
        std::ofstream(strPath.c_str(), std::ios::binary | std::ios::trunc) << strText;
    }
    bool m_bRepaired;
    RegistryValueOverride m_server;
    RegistryValueOverride m_threading;
};

class TaskRemovalTest : public TerminatorTest {
protected:
    const wchar_t* Version() const { return OwnMajorVersion() == 5 ? L"winxp" : L"win7"; }
};

class TaskScheduler1Test : public TaskRemovalTest {
protected:
    void SetUp() override
    {
        if (OwnMajorVersion() != 5)
            GTEST_SKIP() << "Task Scheduler 1.0 is the path of Windows XP";
        TaskRemovalTest::SetUp();
        ASSERT_TRUE(m_items.Available());
        m_items.DeleteAll();
    }
    void TearDown() override
    {
        if (m_items.Available())
            m_items.DeleteAll();
        TaskRemovalTest::TearDown();
    }
    void CreateAll(const Names& names)
    {
        for (const std::wstring& strName : names)
            ASSERT_TRUE(m_items.Create(strName)) << testing::PrintToString(strName);
    }
    WorkItems m_items;
};

TEST_F(TaskScheduler1Test, TqRemovesEachPrefixRespectingCase)
{
    // Work items are files: names differing only in case would be one item.
    CreateAll({L"TessaryOptimizer", L"TessaryOptimizerAgent", L"TESSARYOPTIMIZER_Update", L"tessaryoptimizer_lower",
               L"TessaryOptimize", L"QV_Startup_LITE_TaskMgr", L"QV_Startup_LITE_TaskMgr2", L"qv_startup_lite_taskmgr_other",
               L"Other"});
    EXPECT_EQ(0u, Run(L"Culvane.exe", L"TQ", Version()));
    EXPECT_EQ((Names{L"tessaryoptimizer_lower", L"TessaryOptimize", L"qv_startup_lite_taskmgr_other", L"Other"}), m_items.List());
}

TEST_F(TaskScheduler1Test, XtrRemovesMatchesAcrossBatches)
{
    Names names = {L"TessaryOptimizerKeep", L"Tessaryoptimizer_Keep", L"Zeta 1", L"Zeta 2", L"Zeta 3"};
    Names kept = names;
    for (int i = 0; i < 25; ++i)
        names.insert(L"TESSARYOPTIMIZER_" + std::to_wstring(i));
    CreateAll(names);
    ASSERT_EQ(30u, m_items.List().size());
    EXPECT_EQ(0u, Run(L"Brenholt.exe", L"XTR", Version()));
    EXPECT_EQ(kept, m_items.List());
}

class TaskScheduler2Test : public TaskRemovalTest {
protected:
    void SetUp() override
    {
        if (OwnMajorVersion() != 6)
            GTEST_SKIP() << "Task Scheduler 2.0 is the path of Windows Vista to 8.1";
        TaskRemovalTest::SetUp();
        m_fake.reset(new FakeScheduler);
    }
    void TearDown() override
    {
        m_fake.reset();
        TaskRemovalTest::TearDown();
    }
    // Every deletion comes right after a connection of its own.
    void ExpectFreshConnectionPerDeletion(testing_support::Where where, const std::vector<std::wstring>& journal)
    {
        TESSARY_TRACE_CALLER(where);
        for (size_t i = 0; i < journal.size(); ++i) {
            if (journal[i].compare(0, 7, L"delete ") == 0) {
                EXPECT_TRUE(i > 0 && journal[i - 1] == L"connect") << "line " << i;
            }
        }
    }
    std::unique_ptr<FakeScheduler> m_fake;
};

TEST_F(TaskScheduler2Test, TqIgnoresCaseAndTakesHiddenRootTasksOnly)
{
    m_fake->SetTasks({L"-|\\TessaryOptimizer", L"-|\\tessaryoptimizer_lower", L"H|\\TESSARYOPTIMIZER_Hidden",
                      L"-|\\Sub\\TessaryOptimizerDeep", L"-|\\TessaryOptimize", L"-|\\qv_startup_lite_taskmgr", L"-|\\Other"});
    EXPECT_EQ(0u, Run(L"Culvane.exe", L"TQ", Version()));
    EXPECT_EQ((Names{L"\\Sub\\TessaryOptimizerDeep", L"\\TessaryOptimize", L"\\Other"}), m_fake->Paths());
    std::vector<std::wstring> journal = m_fake->Journal();
    EXPECT_EQ(3, std::count(journal.begin(), journal.end(), L"gettasks 1"));  // one run per prefix
    EXPECT_EQ(4, std::count_if(journal.begin(), journal.end(), [](const std::wstring& s) { return s.compare(0, 7, L"delete ") == 0; }));
    EXPECT_EQ(3 + 4, std::count(journal.begin(), journal.end(), L"connect"));
    ExpectFreshConnectionPerDeletion(TESSARY_HERE, journal);
}

TEST_F(TaskScheduler2Test, XtrKeepsTheNameWithoutUnderscore)
{
    m_fake->SetTasks({L"-|\\TessaryOptimizerAgent", L"-|\\tessaryOptimizer_update", L"-|\\TESSARYOPTIMIZER_"});
    EXPECT_EQ(0u, Run(L"Brenholt.exe", L"XTR", Version()));
    EXPECT_EQ((Names{L"\\TessaryOptimizerAgent"}), m_fake->Paths());
    ExpectFreshConnectionPerDeletion(TESSARY_HERE, m_fake->Journal());
}

TEST_F(TaskScheduler2Test, FailedFreshConnectionEndsTheRun)
{
    m_fake->SetTasks({L"-|\\TESSARYOPTIMIZER_1", L"-|\\TESSARYOPTIMIZER_2", L"-|\\TESSARYOPTIMIZER_3"});
    m_fake->FailConnection(3);  // 1: the listing, 2: the first deletion, 3: the second
    EXPECT_EQ(0u, Run(L"Brenholt.exe", L"XTR", Version()));
    EXPECT_EQ((Names{L"\\TESSARYOPTIMIZER_2", L"\\TESSARYOPTIMIZER_3"}), m_fake->Paths());
    EXPECT_EQ((std::vector<std::wstring>{L"connect", L"gettasks 1", L"connect", L"delete TESSARYOPTIMIZER_1", L"connect-failed"}),
              m_fake->Journal());
}

TEST_F(TaskScheduler2Test, DontKillFlagLeavesEveryTask)
{
    WriteDataFile(L"xmlka.dat", L"[Tessary Optimizer]\r\nIDS_DONT_KILL=1\r\n");
    m_fake->SetTasks({L"-|\\TessaryOptimizer"});
    EXPECT_EQ(0u, Run(L"Culvane.exe", L"TQ", Version()));
    EXPECT_EQ((Names{L"\\TessaryOptimizer"}), m_fake->Paths());
    EXPECT_TRUE(m_fake->Journal().empty());
}

// The programs' task removal, run here as "TQ" runs it: three times. COM comes with the
// first run and stays: unloading it while its threads or RPC state may live on is not
// supported and can crash.
// This program's own imports are patched: the originals are taken from the system.
int g_nComLoads = 0, g_nComFrees = 0;
HMODULE WINAPI CountingLoadLibraryW(LPCWSTR pszName)
{
    g_nComLoads += _wcsicmp(pszName, L"ole32.dll") == 0 || _wcsicmp(pszName, L"oleaut32.dll") == 0;
    static const auto pfnLoad = reinterpret_cast<decltype(&LoadLibraryW)>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "LoadLibraryW")));
    return pfnLoad(pszName);
}
BOOL WINAPI CountingFreeLibrary(HMODULE hModule)
{
    g_nComFrees += hModule == GetModuleHandleW(L"ole32.dll") || hModule == GetModuleHandleW(L"oleaut32.dll");
    static const auto pfnFree = reinterpret_cast<decltype(&FreeLibrary)>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "FreeLibrary")));
    return pfnFree(hModule);
}

TEST(TaskRemovalRuns, LoadComOnceAndNeverUnloadIt)
{
    testing_support::ImportPatch load(GetModuleHandleW(nullptr), "kernel32.dll", "LoadLibraryW", reinterpret_cast<void*>(&CountingLoadLibraryW));
    // A program that does not import FreeLibrary frees nothing.
    testing_support::ImportPatch free(GetModuleHandleW(nullptr), "kernel32.dll", "FreeLibrary", reinterpret_cast<void*>(&CountingFreeLibrary));
    ASSERT_TRUE(load.IsActive());
    for (int i = 0; i < 3; ++i)
        RemoveScheduledTasks(L"TessaryProbeNoSuchTask", 22);
    EXPECT_EQ(2, g_nComLoads) << "ole32.dll and oleaut32.dll, once each";
    EXPECT_EQ(0, g_nComFrees);
}

}  // namespace
}  // namespace terminator_tests
