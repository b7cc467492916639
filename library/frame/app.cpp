#include "frame/app.h"

#include "frame/host_paths.h"
#include "frame/module_objects.h"

BEGIN_MESSAGE_MAP(CWendleApp, CWinApp)
END_MESSAGE_MAP()

CWendleApp::CWendleApp() : m_szStartupText{}, m_szValue{}, m_driveRecord{}, m_szShortValue{} {}

CWendleApp::~CWendleApp() = default;

BOOL CWendleApp::InitInstance()
{
    CWinApp::InitInstance();
    // The settings and language files belong to the host program, wherever this library
    // was loaded from.
    g_strAppFolder = HostProgramFolder();
    g_strSettingsFile.Format(L"%s%s", g_strAppFolder.GetString(), L"\\Settings.INI");
    g_strLanguageFile.Format(L"%s%s", g_strAppFolder.GetString(), L"\\lang\\english.INI");
    return TRUE;
}

int CWendleApp::ExitInstance()
{
    CWinApp::ExitInstance();
    return 0;
}
