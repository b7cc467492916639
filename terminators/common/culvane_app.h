// The application object of both programs: a windowless start-up hook that runs the
// command word and a shut-down hook whose result, 0, is the exit status.
#pragma once
#include "framework/cwinapp.h"

class CCulvaneApp : public CWinApp {
public:
    CCulvaneApp();
    // Each program defines its own: the command words differ.
    BOOL InitInstance() override;
    int ExitInstance() override;

    DECLARE_MESSAGE_MAP()
};

// Whether the command-line tail is exactly pszWord, ignoring case.
bool IsCommandWord(const CString& strCommand, LPCWSTR pszWord);
