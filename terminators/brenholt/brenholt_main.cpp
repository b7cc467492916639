// Brenholt.exe: "XTQ" ends the product's programs, "XTR" removes its scheduled tasks,
// "LEXE" ends the programs once after an update and starts them again.
#include <windows.h>
#include <shellapi.h>

#include "brenholt/launch.h"
#include "common/culvane_app.h"
#include "common/data_file.h"
#include "common/process_termination.h"
#include "common/task_removal.h"

CCulvaneApp theApp;
CString g_strCommand;
CString g_strProgramDirectory;

namespace {
const wchar_t kUpdateFlagKey[] = L"IDS_UPD_DONT_KILL";

void OpenFromProgramDirectory(LPCWSTR pszEntry, int nShow)
{
    CString strPath = g_strProgramDirectory + pszEntry;
    ShellExecuteW(nullptr, L"open", strPath, nullptr, g_strProgramDirectory, nShow);
}

void RunPostUpdateSequence()
{
    Sleep(4000);
    CString strFlagFile = GetDataFilePath(L"UPD.dat");
    if (ReadDataValue(strFlagFile, kUpdateFlagKey).CompareNoCase(L"1") != 0) {
        TerminateProductProcessesBrenholt();
        // Without a data folder there is nowhere to remember the termination.
        if (!strFlagFile.IsEmpty())
            WritePrivateProfileStringW(kDataSection, kUpdateFlagKey, L"1", strFlagFile);
    }

    g_strProgramDirectory = ProgramDirectory();
    Sleep(2000);
    LaunchAndWait(g_strProgramDirectory + L"\\ardmoor.exe", true);

    g_strProgramDirectory = ProgramDirectory();
    OpenFromProgramDirectory(L"\\harrowfen.exe", SW_MINIMIZE);
    OpenFromProgramDirectory(L"\\yarrowmead.exe", SW_MINIMIZE);

    g_strProgramDirectory = ProgramDirectory();
    OpenFromProgramDirectory(L"\\ardmoor.exe", SW_SHOWNORMAL);
}
}  // namespace

BOOL CCulvaneApp::InitInstance()
{
    CWinApp::InitInstance();
    g_strCommand = m_lpCmdLine;
    if (IsCommandWord(g_strCommand, L"XTQ"))
        TerminateProductProcessesBrenholt();
    if (IsCommandWord(g_strCommand, L"XTR"))
        RemoveScheduledTasks(L"TESSARYOPTIMIZER_", 17);
    if (IsCommandWord(g_strCommand, L"LEXE"))
        RunPostUpdateSequence();
    return TRUE;
}
