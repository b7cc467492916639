#include "frame/notifier.h"

#include <shellapi.h>

#include "frame/data_folder.h"
#include "frame/host_paths.h"

namespace {
// The notifier's path is formed in a larger buffer than other paths.
constexpr DWORD kNotifierPathLength = 520;
// How long the host window may take over the notice. A window whose thread has stopped
// answering would otherwise hold the call for ever; Windows also gives up at once on a
// window it already counts as hung.
constexpr UINT kNoticeTimeoutMilliseconds = 5000;
}

void ShowCloudPopup(const CString& strResultFile, const CString& strTitle, const CString& strMessage)
{
    // The notifier reads these as it starts, so they are written first.
    WriteResultValue(strResultFile, L"IDS_CLOUD_POPUP_TITLE", strTitle);
    WriteResultValue(strResultFile, L"IDS_CLOUD_MESSAGE_2", strMessage);
    CString strNotifier = HostProgramFolder(kNotifierPathLength) + L"\\chimewick.exe";
    // A missing or refused notifier goes unnoticed: the result file already holds the texts.
    ShellExecuteW(nullptr, L"open", strNotifier, nullptr, nullptr, SW_SHOWNORMAL);
}

void NotifyHostWindow()
{
    HWND hWindow = FindWindowW(kHostWindowClass, nullptr);
    DWORD_PTR dwResult = 0;  // the reply is not looked at
    if (hWindow)
        SendMessageTimeoutW(hWindow, kHostNoticeMessage, 0, 0, SMTO_ABORTIFHUNG, kNoticeTimeoutMilliseconds, &dwResult);
}
