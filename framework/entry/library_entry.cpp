// Entry of a library built on the framework: its module state, and the calls of the
// application object's start-up and exit hooks on process attach and detach. The C++
// runtime constructs the module's objects before this entry runs and destroys them after.
#include "framework/cwinapp.h"

namespace {
AFX_MODULE_STATE g_moduleState = {nullptr, nullptr, nullptr, TRUE, nullptr};
}

extern "C" AFX_MODULE_STATE* AfxGetStaticModuleState() { return &g_moduleState; }

extern "C" BOOL WINAPI DllMain(HINSTANCE hInstance, DWORD dwReason, LPVOID)
{
    if (dwReason == DLL_PROCESS_ATTACH) {
        AfxInitModule(&g_moduleState, hInstance, TRUE);
        CWinApp* pApp = g_moduleState.m_pCurrentWinApp;
        if (pApp) {
            AFX_MANAGE_STATE(&g_moduleState);
            AfxWinInitFor(&g_moduleState, hInstance, L"", SW_SHOWNORMAL);
            if (!pApp->InitInstance()) {
                pApp->ExitInstance();
                AfxTermModule(&g_moduleState);
                return FALSE;
            }
        }
    } else if (dwReason == DLL_PROCESS_DETACH) {
        CWinApp* pApp = g_moduleState.m_pCurrentWinApp;
        if (pApp) {
            AFX_MANAGE_STATE(&g_moduleState);
            pApp->ExitInstance();
        }
        AfxTermModule(&g_moduleState);
    }
    return TRUE;
}
