#include <gtest/gtest.h>

#include <objbase.h>

#include <string>
#include <vector>

#include "framework/framework.h"
#include "testing/import_patch.h"
#include "testing/library_host.h"

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
int g_nOle32Frees = 0;
HMODULE WINAPI RecordingLoadLibraryW(LPCWSTR pszName)
{
    g_loadedByFramework.push_back(pszName);
    return LoadLibraryW(pszName);
}
BOOL WINAPI RecordingFreeLibrary(HMODULE hModule)
{
    g_nOle32Frees += hModule == GetModuleHandleW(L"ole32.dll");
    return FreeLibrary(hModule);
}
}  // namespace

// In a fresh copy of the framework (the one this program links has met OLE already): only
// AfxOleInit loads ole32.dll, once; neither AfxOleTerm nor the framework's own unload frees
// it, since COM may not be unloaded under threads it may keep. (That framework.dll does not
// import ole32.dll, the package test's host checks.)
TEST(AfxOleTerm, OnlyAfxOleInitLoadsOle32AndNothingUnloadsIt)
{
    const std::wstring strCopy = testing_support::ProgramFolder() + L"\\framework_unload_probe.dll";
    ASSERT_TRUE(CopyFileW((testing_support::ProgramFolder() + L"\\framework.dll").c_str(), strCopy.c_str(), FALSE));
    HMODULE hCopy = LoadLibraryW(strCopy.c_str());
    ASSERT_NE(nullptr, hCopy);
    // Never destroyed: the copy is unloaded under them.
    auto* pLoad = new testing_support::ImportPatch(hCopy, "kernel32.dll", "LoadLibraryW", reinterpret_cast<void*>(&RecordingLoadLibraryW));
    auto* pFree = new testing_support::ImportPatch(hCopy, "kernel32.dll", "FreeLibrary", reinterpret_cast<void*>(&RecordingFreeLibrary));
    ASSERT_TRUE(pLoad->IsActive() && pFree->IsActive());
    auto init = reinterpret_cast<BOOL (*)()>(reinterpret_cast<void*>(GetProcAddress(hCopy, "_Z10AfxOleInitv")));
    auto term = reinterpret_cast<void (*)(BOOL)>(reinterpret_cast<void*>(GetProcAddress(hCopy, "_Z10AfxOleTermi")));
    ASSERT_TRUE(init && term);
    term(FALSE);
    term(TRUE);
    EXPECT_TRUE(g_loadedByFramework.empty());
    for (int i = 0; i < 2; ++i) {
        ASSERT_TRUE(init());
        term(FALSE);
    }
    EXPECT_EQ(std::vector<std::wstring>{L"ole32.dll"}, g_loadedByFramework);
    ASSERT_TRUE(FreeLibrary(hCopy));
    EXPECT_EQ(0, g_nOle32Frees);
    testing_support::RemoveFile(strCopy);
}
