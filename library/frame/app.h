// The library's application object and the buffers that the features share.
#pragma once
#include "wendle.h"

// Fields 1 to 7 of STARTUPITEMS: the record that StartupAction works on.
struct STARTUPACTIONRECORD {
    CString strName;
    CString strCommand;
    CString strDisplayName;
    CString strPath;
    CString strCompany;
    int nEnabled = 0;
    int nSource = 0;
};

// Lengths of the shared INI value buffers, terminator included.
constexpr DWORD kStartupTextLength = 130;
constexpr DWORD kValueLength = 500;
constexpr DWORD kShortValueLength = 150;
// Short values are always read with this limit (99 characters and the terminator).
constexpr DWORD kShortValueLimit = 100;

class CWendleApp : public CWinApp {
public:
    CWendleApp();
    ~CWendleApp() override;

    BOOL InitInstance() override;
    int ExitInstance() override;

    // Startup manager: the fallback company text, and a working string.
    wchar_t m_szStartupText[kStartupTextLength];
    CString m_strStartupScratch;

    // INI values are read into this buffer (at most 499 characters).
    wchar_t m_szValue[kValueLength];

    // Drive report: the record filled for each medium and appended to the host's list;
    // after a report it holds the last medium's.
    DRIVEINFO m_driveRecord;

    // Short INI values (at most 99 characters).
    wchar_t m_szShortValue[kShortValueLength];

    // Startup manager: the record StartupAction works on.
    STARTUPACTIONRECORD m_actionRecord;

    DECLARE_MESSAGE_MAP()
};
