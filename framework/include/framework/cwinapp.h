// Application object, module state and the start-up and shut-down of a module.
#pragma once
#include "framework/cstring.h"

class CWinApp;

// State of one module (the program or a library). Constant-initialised, so it exists
// before any of the module's own objects are constructed.
struct AFX_MODULE_STATE {
    CWinApp* m_pCurrentWinApp;
    HINSTANCE m_hCurrentInstanceHandle;
    LPCWSTR m_lpszCurrentAppName;
    BOOL m_bDLL;
    AFX_MODULE_STATE* m_pNextModule;  // chain of initialised modules
};

// The state of the module that calls it: each module links its own copy (from the
// framework's start-up library), so the answer depends on where the call is compiled.
extern "C" AFX_MODULE_STATE* AfxGetStaticModuleState();

// The module state current on this thread (the program's, unless a library switched).
extern "C" FX_API AFX_MODULE_STATE* AfxGetModuleState();
// Makes pState current on this thread and returns the one it replaces.
extern "C" FX_API AFX_MODULE_STATE* AfxSetModuleState(AFX_MODULE_STATE* pState);

// Switches the module state for the life of the object and back on every exit path.
class AFX_MAINTAIN_STATE2 {
public:
    explicit AFX_MAINTAIN_STATE2(AFX_MODULE_STATE* pNewState) : m_pPrevState(AfxSetModuleState(pNewState)) {}
    ~AFX_MAINTAIN_STATE2() { AfxSetModuleState(m_pPrevState); }
    AFX_MAINTAIN_STATE2(const AFX_MAINTAIN_STATE2&) = delete;
    AFX_MAINTAIN_STATE2& operator=(const AFX_MAINTAIN_STATE2&) = delete;

private:
    AFX_MODULE_STATE* m_pPrevState;
};
#define AFX_MANAGE_STATE(p) AFX_MAINTAIN_STATE2 _ctlState(p)

// Message maps: the objects of this system handle no commands, so a map is only its link
// to the base class's map.
struct AFX_MSGMAP {
    const AFX_MSGMAP* pBaseMap;
};
#define DECLARE_MESSAGE_MAP() \
protected:                    \
    const AFX_MSGMAP* GetMessageMap() const override;

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                        \
    const AFX_MSGMAP* theClass::GetMessageMap() const                 \
    {                                                                 \
        static const AFX_MSGMAP messageMap = {baseClass::GetThisMessageMap()};
#define END_MESSAGE_MAP() \
    return &messageMap;   \
    }

// Restart-manager support flag of the programs.
#define AFX_RESTART_MANAGER_SUPPORT_RESTART 0x01
// String-table id of the application title.
#define AFX_IDS_APP_TITLE 0xE000

class FX_API CWinApp {
public:
    // Without a name the title comes from the string table (AFX_IDS_APP_TITLE) or, when
    // the module has none, from the module's file name.
    explicit CWinApp(LPCWSTR pszAppName = nullptr) : CWinApp(AfxGetStaticModuleState(), pszAppName) {}
    CWinApp(AFX_MODULE_STATE* pModuleState, LPCWSTR pszAppName);
    virtual ~CWinApp();
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    virtual const AFX_MSGMAP* GetMessageMap() const;
    virtual BOOL InitInstance();
    virtual int ExitInstance();
    // Runs the message loop while there is a main window; this framework's programs have
    // none, so it ends at once with ExitInstance's result.
    virtual int Run();

    void SetAppID(LPCWSTR pszAppID) { m_strAppID = pszAppID; }
    LPCWSTR GetAppID() const { return m_strAppID; }

    static const AFX_MSGMAP* GetThisMessageMap();

    // Filled by AfxWinInit.
    LPCWSTR m_pszAppName;
    LPWSTR m_lpCmdLine;  // the command-line tail (programs only)
    HINSTANCE m_hInstance;
    int m_nCmdShow;
    DWORD m_dwRestartManagerSupportFlags;

private:
    AFX_MODULE_STATE* m_pModuleState;
    CString m_strAppName;
    CString m_strCmdLine;
    CString m_strAppID;
    friend FX_API BOOL AfxWinInitFor(AFX_MODULE_STATE*, HINSTANCE, LPCWSTR, int);
};

// Prepares the current module's application object: instance handle, title and
// command-line tail.
FX_API BOOL AfxWinInitFor(AFX_MODULE_STATE* pState, HINSTANCE hInstance, LPCWSTR pszCmdLineTail, int nCmdShow);
FX_API CWinApp* AfxGetApp();
FX_API HINSTANCE AfxGetInstanceHandle();
FX_API LPCWSTR AfxGetAppName();

// The text of a program's command line after its own name and the blanks that follow.
FX_API LPCWSTR AfxCommandLineTail(LPCWSTR pszCommandLine);

// Start-up and shut-down of the framework's part of a module.
FX_API void AfxInitModule(AFX_MODULE_STATE* pState, HINSTANCE hInstance, BOOL bDLL);
FX_API void AfxTermModule(AFX_MODULE_STATE* pState);
// Whether a module is in the chain of initialised modules.
FX_API BOOL AfxIsModuleRegistered(HINSTANCE hInstance);

// Runs a program: start-up hook, then Run (or ExitInstance when start-up fails).
FX_API int AfxWinMain(HINSTANCE hInstance, LPCWSTR pszCmdLineTail, int nCmdShow);

// OLE support of the framework. AfxOleInit loads ole32.dll (the framework does not import
// it) and initialises COM on the calling thread. AfxOleTerm shuts OLE down; bJustRevoke
// FALSE also uninitialises COM when AfxOleInit initialised it. Without an AfxOleInit
// before it, AfxOleTerm does nothing. Once loaded, ole32.dll stays until the process ends.
FX_API BOOL AfxOleInit();
FX_API void AfxOleTerm(BOOL bJustRevoke = FALSE);
FX_API BOOL AfxOleIsInitialized();
