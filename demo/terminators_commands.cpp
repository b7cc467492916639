// "terminators": Culvane.exe and Brenholt.exe at work among stand-ins for the product's
// programs: which processes end, which scheduled tasks go, what "LEXE" starts again.
#include <mstask.h>

#include <fstream>
#include <set>

#include "demo_host.h"
#include "win32/raii.h"

namespace {
const CLSID kClsidCTaskScheduler = {0x148BD52A, 0xA2AB, 0x11CE, {0xB1, 0x1F, 0x00, 0xAA, 0x00, 0x53, 0x05, 0x03}};
const IID kIidITaskScheduler = {0x148BD527, 0xA2AB, 0x11CE, {0xB1, 0x1F, 0x00, 0xAA, 0x00, 0x53, 0x05, 0x03}};
const CLSID kClsidCTask = {0x148BD520, 0xA2AB, 0x11CE, {0xB1, 0x1F, 0x00, 0xAA, 0x00, 0x53, 0x05, 0x03}};
const IID kIidITask = {0x148BD524, 0xA2AB, 0x11CE, {0xB1, 0x1F, 0x00, 0xAA, 0x00, 0x53, 0x05, 0x03}};

std::wstring DemoFolder() { return demo::HostFolder() + L"\\terminators-demo"; }

void Copy(const std::wstring& strFrom, const std::wstring& strName)
{
    CopyFileW(strFrom.c_str(), (DemoFolder() + L"\\" + strName).c_str(), FALSE);
}

// Waits until ended, like a running program of the product.
struct Running {
    std::wstring strName;
    win32::UniqueHandle hProcess;
};

Running StartWaiting(const std::wstring& strName)
{
    Running running{strName, {}};
    std::wstring strPath = DemoFolder() + L"\\" + strName;
    std::wstring strCommandLine = L"\"" + strPath + L"\" wait";
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info = {};
    if (CreateProcessW(strPath.c_str(), &strCommandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info)) {
        running.hProcess.reset(info.hProcess);
        CloseHandle(info.hThread);
    }
    return running;
}

void RunProgram(const wchar_t* pszProgram, const wchar_t* pszWord)
{
    std::wstring strPath = DemoFolder() + L"\\" + pszProgram;
    std::wstring strCommandLine = L"\"" + strPath + L"\" " + pszWord;
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info = {};
    wprintf(L"\n> %ls %ls\n", pszProgram, pszWord);
    if (!CreateProcessW(strPath.c_str(), &strCommandLine[0], nullptr, nullptr, FALSE, 0, nullptr, DemoFolder().c_str(), &startup, &info)) {
        wprintf(L"  cannot start it (error %lu)\n", GetLastError());
        return;
    }
    win32::UniqueHandle hProcess(info.hProcess), hThread(info.hThread);
    DWORD dwStart = GetTickCount();
    WaitForSingleObject(hProcess.get(), INFINITE);
    DWORD dwCode = 0;
    GetExitCodeProcess(hProcess.get(), &dwCode);
    wprintf(L"  exit status %lu after %lu ms\n", dwCode, GetTickCount() - dwStart);
}

void ShowProcesses(std::vector<Running>& running)
{
    Sleep(300);
    for (Running& r : running) {
        DWORD dwCode = 0;
        GetExitCodeProcess(r.hProcess.get(), &dwCode);
        if (dwCode == STILL_ACTIVE)
            wprintf(L"  %-18ls still running\n", r.strName.c_str());
        else
            wprintf(L"  %-18ls ended, exit code %lu\n", r.strName.c_str(), dwCode);
    }
}

// What the programs left running is ended before the demo goes on.
void EndSurvivors(std::vector<Running>& running)
{
    for (Running& r : running) {
        if (WaitForSingleObject(r.hProcess.get(), 0) == WAIT_TIMEOUT)
            TerminateProcess(r.hProcess.get(), 1);
    }
    running.clear();
}

std::set<std::wstring> ListTasks(ITaskScheduler* pScheduler)
{
    std::set<std::wstring> names;
    win32::ComPtr<IEnumWorkItems> items;
    if (FAILED(pScheduler->Enum(items.replace())))
        return names;
    LPWSTR* ppNames = nullptr;
    ULONG nFetched = 0;
    while (SUCCEEDED(items->Next(10, &ppNames, &nFetched)) && nFetched > 0) {
        for (ULONG i = 0; i < nFetched; ++i) {
            names.insert(ppNames[i]);
            CoTaskMemFree(ppNames[i]);
        }
        CoTaskMemFree(ppNames);
    }
    return names;
}

void ShowTasks(ITaskScheduler* pScheduler, const std::set<std::wstring>& before)
{
    std::set<std::wstring> after = ListTasks(pScheduler);
    for (const std::wstring& strName : before)
        wprintf(L"  %-30ls %ls\n", strName.c_str(), after.count(strName) ? L"kept" : L"removed");
}

void CreateTasks(ITaskScheduler* pScheduler, std::initializer_list<const wchar_t*> names)
{
    for (const wchar_t* pszName : names) {
        win32::ComPtr<IUnknown> item;
        win32::ComPtr<IPersistFile> file;
        if (SUCCEEDED(pScheduler->NewWorkItem(pszName, kClsidCTask, kIidITask, item.replace())) &&
            SUCCEEDED(item->QueryInterface(IID_IPersistFile, file.replace_void())))
            file->Save(nullptr, TRUE);
    }
}

// The programs read the Windows version; Windows XP's makes them use Task Scheduler 1.0,
// which Wine provides.
void SetProgramVersion(const wchar_t* pszProgram, const wchar_t* pszVersion)
{
    std::wstring strKey = std::wstring(L"Software\\Wine\\AppDefaults\\") + pszProgram;
    win32::UniqueKey hKey;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, strKey.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, hKey.put(), nullptr) == ERROR_SUCCESS)
        RegSetValueExW(hKey.get(), L"Version", 0, REG_SZ, reinterpret_cast<const BYTE*>(pszVersion),
                       static_cast<DWORD>((wcslen(pszVersion) + 1) * sizeof(wchar_t)));
}

int RunTerminators(const std::vector<std::wstring>&)
{
    CreateDirectoryW(DemoFolder().c_str(), nullptr);
    for (const wchar_t* pszName : {L"Culvane.exe", L"Brenholt.exe", L"framework.dll"})
        Copy(demo::HostFolder() + L"\\" + pszName, pszName);
    const wchar_t* aszStandins[] = {L"harrowfen.exe", L"ardmoor.exe", L"yarrowmead.exe", L"kestin.exe", L"ARDMOOR.EXE.bak.exe", L"notes.exe"};
    for (const wchar_t* pszName : aszStandins)
        Copy(demo::HostFolder() + L"\\terminator_standin.exe", pszName);
    SetProgramVersion(L"Culvane.exe", L"winxp");
    SetProgramVersion(L"Brenholt.exe", L"winxp");

    wprintf(L"Stand-ins for the product's programs, started from %ls\n", DemoFolder().c_str());
    std::vector<Running> running;
    for (const wchar_t* pszName : {L"harrowfen.exe", L"ardmoor.exe", L"yarrowmead.exe", L"yarrowmead.exe", L"ARDMOOR.EXE.bak.exe", L"notes.exe"})
        running.push_back(StartWaiting(pszName));
    Sleep(500);
    RunProgram(L"Culvane.exe", L"LM");
    ShowProcesses(running);

    win32::ComInitGuard com(CoInitialize(nullptr));
    win32::ComPtr<ITaskScheduler> scheduler;
    if (FAILED(CoCreateInstance(kClsidCTaskScheduler, nullptr, CLSCTX_INPROC_SERVER, kIidITaskScheduler, scheduler.replace_void()))) {
        wprintf(L"no Task Scheduler 1.0 here\n");
        return 1;
    }
    CreateTasks(scheduler.get(), {L"TessaryOptimizerAgent", L"TESSARYOPTIMIZER_Update", L"tessaryoptimizer_lower",
                                  L"QV_Startup_LITE_TaskMgr", L"Backup Nightly"});
    std::set<std::wstring> tasks = ListTasks(scheduler.get());
    EndSurvivors(running);
    running.push_back(StartWaiting(L"kestin.exe"));
    Sleep(500);
    RunProgram(L"Culvane.exe", L"TQ");
    ShowProcesses(running);
    ShowTasks(scheduler.get(), tasks);

    CreateTasks(scheduler.get(), {L"TESSARYOPTIMIZER_Again", L"TessaryOptimizerKeep"});
    tasks = ListTasks(scheduler.get());
    RunProgram(L"Brenholt.exe", L"XTR");
    ShowTasks(scheduler.get(), tasks);
    for (const std::wstring& strName : ListTasks(scheduler.get()))
        scheduler->Delete(strName.substr(0, strName.size() - 4).c_str());

    // The post-update flag starts unset, so the first "LEXE" terminates and the second not.
    wchar_t szAppData[MAX_PATH] = {};
    GetEnvironmentVariableW(L"APPDATA", szAppData, MAX_PATH);
    DeleteFileW((std::wstring(szAppData) + L"\\Tessary\\Brimwell\\UPD.dat").c_str());
    std::wstring strLog = DemoFolder() + L"\\starts.log";
    DeleteFileW(strLog.c_str());
    SetEnvironmentVariableW(L"TESSARY_STANDIN_LOG", strLog.c_str());
    for (int nRun = 1; nRun <= 2; ++nRun) {
        EndSurvivors(running);
        running.push_back(StartWaiting(L"harrowfen.exe"));
        Sleep(500);
        RunProgram(L"Brenholt.exe", L"LEXE");
        ShowProcesses(running);
        Sleep(1000);
        wprintf(L"  programs started (name|command line|folder|show mode|priority class):\n");
        std::ifstream in(strLog.c_str());
        for (std::string strLine; std::getline(in, strLine);)
            wprintf(L"    %hs\n", strLine.c_str());
        in.close();
        DeleteFileW(strLog.c_str());
    }
    SetEnvironmentVariableW(L"TESSARY_STANDIN_LOG", nullptr);
    EndSurvivors(running);
    return 0;
}

demo::RegisterCommand g_terminators({L"terminators", L"run Culvane.exe and Brenholt.exe among stand-in programs", RunTerminators});
}  // namespace
