#include "framework/cwinapp.h"

namespace {
// The framework's own state; it stands for the program when the program does not use
// the framework's program entry.
AFX_MODULE_STATE g_frameworkState = {nullptr, nullptr, nullptr, TRUE, nullptr};
AFX_MODULE_STATE* g_pProgramState = nullptr;
DWORD g_dwStateSlot = TLS_OUT_OF_INDEXES;
AFX_MODULE_STATE* g_pModuleChain = nullptr;
CRITICAL_SECTION g_chainLock;
}  // namespace

// The framework DLL's own copy; programs and libraries link theirs from the start-up library.
extern "C" AFX_MODULE_STATE* AfxGetStaticModuleState() { return &g_frameworkState; }

extern "C" FX_API AFX_MODULE_STATE* AfxGetModuleState()
{
    if (g_dwStateSlot != TLS_OUT_OF_INDEXES) {
        DWORD dwError = GetLastError();  // callers may be between a call and its error check
        auto* pState = static_cast<AFX_MODULE_STATE*>(TlsGetValue(g_dwStateSlot));
        SetLastError(dwError);
        if (pState)
            return pState;
    }
    return g_pProgramState ? g_pProgramState : &g_frameworkState;
}

extern "C" FX_API AFX_MODULE_STATE* AfxSetModuleState(AFX_MODULE_STATE* pState)
{
    AFX_MODULE_STATE* pPrevious = AfxGetModuleState();
    if (g_dwStateSlot != TLS_OUT_OF_INDEXES) {
        DWORD dwError = GetLastError();
        TlsSetValue(g_dwStateSlot, pState == (g_pProgramState ? g_pProgramState : &g_frameworkState) ? nullptr : pState);
        SetLastError(dwError);
    }
    return pPrevious;
}

FX_API void AfxInitModule(AFX_MODULE_STATE* pState, HINSTANCE hInstance, BOOL bDLL)
{
    pState->m_hCurrentInstanceHandle = hInstance;
    pState->m_bDLL = bDLL;
    if (!bDLL)
        g_pProgramState = pState;
    EnterCriticalSection(&g_chainLock);
    pState->m_pNextModule = g_pModuleChain;
    g_pModuleChain = pState;
    LeaveCriticalSection(&g_chainLock);
}

FX_API void AfxTermModule(AFX_MODULE_STATE* pState)
{
    EnterCriticalSection(&g_chainLock);
    for (AFX_MODULE_STATE** pp = &g_pModuleChain; *pp; pp = &(*pp)->m_pNextModule) {
        if (*pp == pState) {
            *pp = pState->m_pNextModule;
            break;
        }
    }
    LeaveCriticalSection(&g_chainLock);
    pState->m_pNextModule = nullptr;
    if (g_pProgramState == pState)
        g_pProgramState = nullptr;
}

FX_API BOOL AfxIsModuleRegistered(HINSTANCE hInstance)
{
    BOOL bFound = FALSE;
    EnterCriticalSection(&g_chainLock);
    for (AFX_MODULE_STATE* p = g_pModuleChain; p && !bFound; p = p->m_pNextModule)
        bFound = p->m_hCurrentInstanceHandle == hInstance;
    LeaveCriticalSection(&g_chainLock);
    return bFound;
}

BOOL WINAPI DllMain(HINSTANCE hInstance, DWORD dwReason, LPVOID)
{
    if (dwReason == DLL_PROCESS_ATTACH) {
        InitializeCriticalSection(&g_chainLock);
        g_dwStateSlot = TlsAlloc();
        g_frameworkState.m_hCurrentInstanceHandle = hInstance;
        DisableThreadLibraryCalls(hInstance);
    } else if (dwReason == DLL_PROCESS_DETACH) {
        if (g_dwStateSlot != TLS_OUT_OF_INDEXES)
            TlsFree(g_dwStateSlot);
        g_dwStateSlot = TLS_OUT_OF_INDEXES;
        DeleteCriticalSection(&g_chainLock);
    }
    return TRUE;
}
