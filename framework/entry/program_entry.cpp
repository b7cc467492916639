// Entry of a windowless program built on the framework: the program's module state, then
// the application object's start-up hook with the command-line tail; the exit hook's
// result is the exit status.
#include "framework/cwinapp.h"

namespace {
AFX_MODULE_STATE g_moduleState = {nullptr, nullptr, nullptr, FALSE, nullptr};
}

extern "C" AFX_MODULE_STATE* AfxGetStaticModuleState() { return &g_moduleState; }

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE, LPSTR, int nCmdShow)
{
    AfxInitModule(&g_moduleState, hInstance, FALSE);
    int nResult = AfxWinMain(hInstance, AfxCommandLineTail(GetCommandLineW()), nCmdShow);
    AfxTermModule(&g_moduleState);
    return nResult;
}
