// The two ways results reach the user and the host: the popup notifier program, and a
// notice message to the host's window.
#pragma once
#include "framework/cstring.h"

// Window class of the host's window and the notice message sent to it (WM_USER + 1075).
constexpr const wchar_t* kHostWindowClass = L"VESKARO_CLASS";
constexpr UINT kHostNoticeMessage = 0x0833;

// Writes title and message into the result file, then starts chimewick.exe from the host
// program's folder without waiting for it. With an empty result path nothing is written,
// but the notifier is still started.
void ShowCloudPopup(const CString& strResultFile, const CString& strTitle, const CString& strMessage);

// Sends the notice to a top-level window of the host's class, if there is one, and waits
// until it has been handled, but not on a window that stopped answering: after a few
// seconds, or at once for a window Windows counts as hung, the call goes on without it.
void NotifyHostWindow();
