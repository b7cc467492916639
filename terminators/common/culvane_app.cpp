#include "common/culvane_app.h"

BEGIN_MESSAGE_MAP(CCulvaneApp, CWinApp)
END_MESSAGE_MAP()

// No application name: the title "Culvane" comes from the string table.
CCulvaneApp::CCulvaneApp()
{
    m_dwRestartManagerSupportFlags = AFX_RESTART_MANAGER_SUPPORT_RESTART;
    SetAppID(L"Culvane.AppID.NoVersion");
}

int CCulvaneApp::ExitInstance()
{
    AfxOleTerm(FALSE);
    return CWinApp::ExitInstance();
}

bool IsCommandWord(const CString& strCommand, LPCWSTR pszWord) { return strCommand.CompareNoCase(pszWord) == 0; }
