// Culvane.exe: "LM" ends the product's programs; "TQ" also removes its scheduled tasks.
#include "common/culvane_app.h"
#include "common/process_termination.h"
#include "common/task_removal.h"

CCulvaneApp theApp;
CString g_strCommand;

namespace {
struct TaskPrefix {
    const wchar_t* pszPrefix;
    int nCount;
};
// Task Scheduler 1.0 compares respecting case, so the first two remove different tasks.
const TaskPrefix kTaskPrefixes[] = {
    {L"TessaryOptimizer", 16},
    {L"TESSARYOPTIMIZER_", 17},
    {L"QV_Startup_LITE_TaskMgr", 23},
};
}  // namespace

BOOL CCulvaneApp::InitInstance()
{
    CWinApp::InitInstance();
    g_strCommand = m_lpCmdLine;
    if (IsCommandWord(g_strCommand, L"LM"))
        TerminateProductProcessesCulvane();
    if (IsCommandWord(g_strCommand, L"TQ")) {
        TerminateProductProcessesCulvane();
        for (const TaskPrefix& prefix : kTaskPrefixes)
            RemoveScheduledTasks(prefix.pszPrefix, prefix.nCount);
        Sleep(2000);
    }
    return TRUE;
}
