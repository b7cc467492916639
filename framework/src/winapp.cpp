#include "framework/cwinapp.h"

#include "win32/proc_address.h"

namespace {
// OLE support takes ole32.dll when AfxOleInit first asks for it, rather than importing
// it: a module that never initialises OLE (the two programs, most hosts) does not load
// COM at its start. Loaded, it stays until the process ends, through AfxOleTerm and this
// DLL's unload alike: unloading COM while its threads or RPC state may live on is not
// supported, and a FreeLibrary from a DLL's detach runs under the loader lock.
struct OleLibrary {
    HMODULE hModule = nullptr;
    HRESULT(WINAPI* CoInitialize)(LPVOID pvReserved) = nullptr;
    void(WINAPI* CoUninitialize)() = nullptr;
    void(WINAPI* CoFreeUnusedLibraries)() = nullptr;

    bool Load()
    {
        if (CoInitialize)
            return true;
        // A known DLL of every Windows: the bare name loads the system's own copy.
        if (!hModule)
            hModule = LoadLibraryW(L"ole32.dll");
        if (hModule && win32::ResolveProc(hModule, "CoInitialize", CoInitialize) &&
            win32::ResolveProc(hModule, "CoUninitialize", CoUninitialize) &&
            win32::ResolveProc(hModule, "CoFreeUnusedLibraries", CoFreeUnusedLibraries))
            return true;
        CoInitialize = nullptr;
        return false;
    }
};

OleLibrary g_ole;
BOOL g_bOleInitialized = FALSE;

// The title: string AFX_IDS_APP_TITLE of the module, else its file name without folder
// and extension.
CString ModuleTitle(HINSTANCE hInstance)
{
    const wchar_t* pchTitle = nullptr;
    int nLength = LoadStringW(hInstance, AFX_IDS_APP_TITLE, reinterpret_cast<LPWSTR>(&pchTitle), 0);
    if (nLength > 0 && pchTitle)
        return CString(pchTitle, nLength);
    wchar_t szPath[MAX_PATH + 1] = {};
    DWORD dwLength = GetModuleFileNameW(hInstance, szPath, MAX_PATH);
    if (dwLength == 0 || dwLength >= MAX_PATH)
        return CString();
    CString strPath(szPath);
    CString strName = strPath.Mid(strPath.ReverseFind(L'\\') + 1);
    int nDot = strName.ReverseFind(L'.');
    return nDot >= 0 ? strName.Left(nDot) : strName;
}
}  // namespace

CWinApp::CWinApp(AFX_MODULE_STATE* pModuleState, LPCWSTR pszAppName)
    : m_pszAppName(nullptr),
      m_lpCmdLine(nullptr),
      m_hInstance(nullptr),
      m_nCmdShow(SW_SHOWNORMAL),
      m_dwRestartManagerSupportFlags(0),
      m_pModuleState(pModuleState),
      m_strAppName(pszAppName)
{
    if (pszAppName)
        m_pszAppName = m_strAppName;
    pModuleState->m_pCurrentWinApp = this;
}

CWinApp::~CWinApp()
{
    if (m_pModuleState->m_pCurrentWinApp == this)
        m_pModuleState->m_pCurrentWinApp = nullptr;
    if (m_pModuleState->m_lpszCurrentAppName == m_pszAppName)
        m_pModuleState->m_lpszCurrentAppName = nullptr;
}

const AFX_MSGMAP* CWinApp::GetThisMessageMap()
{
    static const AFX_MSGMAP messageMap = {nullptr};
    return &messageMap;
}

const AFX_MSGMAP* CWinApp::GetMessageMap() const { return GetThisMessageMap(); }

BOOL CWinApp::InitInstance() { return TRUE; }

int CWinApp::ExitInstance() { return 0; }

int CWinApp::Run() { return ExitInstance(); }

FX_API BOOL AfxWinInitFor(AFX_MODULE_STATE* pState, HINSTANCE hInstance, LPCWSTR pszCmdLineTail, int nCmdShow)
{
    CWinApp* pApp = pState->m_pCurrentWinApp;
    if (!pApp)
        return FALSE;
    pApp->m_hInstance = hInstance;
    pApp->m_nCmdShow = nCmdShow;
    pApp->m_strCmdLine = pszCmdLineTail;
    pApp->m_lpCmdLine = const_cast<LPWSTR>(pApp->m_strCmdLine.GetString());
    if (!pApp->m_pszAppName) {
        pApp->m_strAppName = ModuleTitle(hInstance);
        pApp->m_pszAppName = pApp->m_strAppName;
    }
    pState->m_lpszCurrentAppName = pApp->m_pszAppName;
    return TRUE;
}

FX_API CWinApp* AfxGetApp() { return AfxGetModuleState()->m_pCurrentWinApp; }

FX_API HINSTANCE AfxGetInstanceHandle() { return AfxGetModuleState()->m_hCurrentInstanceHandle; }

FX_API LPCWSTR AfxGetAppName() { return AfxGetModuleState()->m_lpszCurrentAppName; }

FX_API LPCWSTR AfxCommandLineTail(LPCWSTR pszCommandLine)
{
    if (!pszCommandLine)
        return L"";
    LPCWSTR p = pszCommandLine;
    // The program's name, quoted or ended by the first blank or control character.
    if (*p == L'"') {
        ++p;
        while (*p && *p != L'"')
            ++p;
        if (*p == L'"')
            ++p;
    } else {
        while (*p > L' ')
            ++p;
    }
    while (*p && *p <= L' ')
        ++p;
    return p;
}

FX_API int AfxWinMain(HINSTANCE hInstance, LPCWSTR pszCmdLineTail, int nCmdShow)
{
    AFX_MODULE_STATE* pState = AfxGetModuleState();
    if (!AfxWinInitFor(pState, hInstance, pszCmdLineTail, nCmdShow))
        return -1;
    CWinApp* pApp = pState->m_pCurrentWinApp;
    if (!pApp->InitInstance())
        return pApp->ExitInstance();
    return pApp->Run();
}

FX_API BOOL AfxOleInit()
{
    if (g_bOleInitialized)
        return TRUE;
    if (!g_ole.Load())
        return FALSE;
    g_bOleInitialized = SUCCEEDED(g_ole.CoInitialize(nullptr));
    return g_bOleInitialized;
}

FX_API void AfxOleTerm(BOOL bJustRevoke)
{
    // Without an AfxOleInit there is nothing of OLE's to shut down, and no COM to load.
    if (bJustRevoke || !g_ole.CoInitialize)
        return;
    g_ole.CoFreeUnusedLibraries();
    if (g_bOleInitialized) {
        g_ole.CoUninitialize();
        g_bOleInitialized = FALSE;
    }
}

FX_API BOOL AfxOleIsInitialized() { return g_bOleInitialized; }
