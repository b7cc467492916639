#include <gtest/gtest.h>

#include <objbase.h>

#include <string>
#include <vector>

#include "framework/framework.h"
#include "testing/import_patch.h"

TEST(CommandLineTail, SkipsTheProgramNameAndBlanks)
{
    EXPECT_STREQ(L"LM", AfxCommandLineTail(L"Culvane.exe LM"));
    EXPECT_STREQ(L"TQ", AfxCommandLineTail(L"\"C:\\Program Files\\T\\Culvane.exe\"   TQ"));
    EXPECT_STREQ(L"LM extra", AfxCommandLineTail(L"C:\\T\\Culvane.exe \tLM extra"));
    EXPECT_STREQ(L"/LM", AfxCommandLineTail(L"Culvane.exe /LM"));
    EXPECT_STREQ(L"", AfxCommandLineTail(L"Culvane.exe"));
    EXPECT_STREQ(L"", AfxCommandLineTail(L"\"C:\\unterminated"));
    EXPECT_STREQ(L"", AfxCommandLineTail(nullptr));
}

namespace {
class CProbeApp : public CWinApp {
public:
    explicit CProbeApp(AFX_MODULE_STATE* pState, LPCWSTR pszName) : CWinApp(pState, pszName) {}
    BOOL InitInstance() override
    {
        ++m_nInits;
        return m_bInitResult;
    }
    int ExitInstance() override
    {
        ++m_nExits;
        return 7;
    }
    int m_nInits = 0;
    int m_nExits = 0;
    BOOL m_bInitResult = TRUE;
};
}  // namespace

TEST(CWinApp, RunsStartUpAndExitHooks)
{
    AFX_MODULE_STATE state = {};
    CProbeApp app(&state, nullptr);
    EXPECT_EQ(&app, state.m_pCurrentWinApp);
    AFX_MANAGE_STATE(&state);
    EXPECT_EQ(&app, AfxGetApp());
    // Without a name or a title string, the module's file name is the title.
    EXPECT_EQ(7, AfxWinMain(GetModuleHandleW(nullptr), L"XTQ", SW_HIDE));
    EXPECT_EQ(1, app.m_nInits);
    EXPECT_EQ(1, app.m_nExits);
    EXPECT_STREQ(L"XTQ", app.m_lpCmdLine);
    EXPECT_STRNE(L"", app.m_pszAppName);
    EXPECT_EQ(nullptr, wcschr(app.m_pszAppName, L'.'));
    EXPECT_STREQ(app.m_pszAppName, AfxGetAppName());

    app.m_bInitResult = FALSE;
    EXPECT_EQ(7, AfxWinMain(GetModuleHandleW(nullptr), L"", SW_HIDE));
    EXPECT_EQ(2, app.m_nExits);
}

TEST(CWinApp, KeepsAGivenNameAndSettings)
{
    AFX_MODULE_STATE state = {};
    CProbeApp app(&state, L"Named");
    app.SetAppID(L"Culvane.AppID.NoVersion");
    app.m_dwRestartManagerSupportFlags = AFX_RESTART_MANAGER_SUPPORT_RESTART;
    AfxWinInitFor(&state, GetModuleHandleW(nullptr), L"", SW_HIDE);
    EXPECT_STREQ(L"Named", app.m_pszAppName);
    EXPECT_STREQ(L"Culvane.AppID.NoVersion", app.GetAppID());
    EXPECT_NE(nullptr, app.GetMessageMap());
}

TEST(ModuleState, SwitchesAndRestores)
{
    AFX_MODULE_STATE* pOriginal = AfxGetModuleState();
    AFX_MODULE_STATE inner = {};
    {
        AFX_MANAGE_STATE(&inner);
        EXPECT_EQ(&inner, AfxGetModuleState());
        SetLastError(1234);
        AFX_MODULE_STATE nested = {};
        {
            AFX_MANAGE_STATE(&nested);
            EXPECT_EQ(&nested, AfxGetModuleState());
        }
        EXPECT_EQ(1234u, GetLastError());  // switching does not disturb the error code
        EXPECT_EQ(&inner, AfxGetModuleState());
    }
    EXPECT_EQ(pOriginal, AfxGetModuleState());
}

TEST(ModuleState, ChainsInitialisedModules)
{
    AFX_MODULE_STATE state = {};
    HINSTANCE hFake = reinterpret_cast<HINSTANCE>(0x12340000);
    AfxInitModule(&state, hFake, TRUE);
    EXPECT_TRUE(AfxIsModuleRegistered(hFake));
    AfxTermModule(&state);
    EXPECT_FALSE(AfxIsModuleRegistered(hFake));
}

TEST(AfxOleTerm, UninitialisesOnlyWhatTheFrameworkInitialised)
{
    ASSERT_TRUE(AfxOleInit());
    EXPECT_TRUE(AfxOleIsInitialized());
    AfxOleTerm(TRUE);  // revoke only: COM stays
    EXPECT_TRUE(AfxOleIsInitialized());
    AfxOleTerm(FALSE);
    EXPECT_FALSE(AfxOleIsInitialized());
    // COM is now uninitialised on this thread: a new initialisation answers S_OK, not S_FALSE.
    EXPECT_EQ(S_OK, CoInitialize(nullptr));
    CoUninitialize();
    AfxOleTerm(FALSE);  // nothing to undo
}

namespace {
std::vector<std::wstring> g_loadedByFramework;
HMODULE WINAPI RecordingLoadLibraryW(LPCWSTR pszName)
{
    g_loadedByFramework.push_back(pszName);
    return LoadLibraryW(pszName);
}
}  // namespace

// Only AfxOleInit loads ole32.dll; AfxOleTerm without it loads nothing. (That framework.dll
// does not import ole32.dll, the package test's host checks.)
TEST(AfxOleTerm, WithoutAfxOleInitLoadsNothingAndOnlyAfxOleInitLoadsOle32)
{
    testing_support::ImportPatch patch(GetModuleHandleW(L"framework.dll"), "kernel32.dll", "LoadLibraryW",
                                       reinterpret_cast<void*>(&RecordingLoadLibraryW));
    ASSERT_TRUE(patch.IsActive());
    AfxOleTerm(FALSE);
    AfxOleTerm(TRUE);
    EXPECT_TRUE(g_loadedByFramework.empty());
    ASSERT_TRUE(AfxOleInit());
    AfxOleTerm(FALSE);
    EXPECT_EQ(std::vector<std::wstring>{L"ole32.dll"}, g_loadedByFramework);
    EXPECT_FALSE(AfxOleIsInitialized());
}
