// Stand-in for the product's window that listens for the library's notice. It owns a
// top-level window of class "VESKARO_CLASS" and appends one line per notice message
// (0x0833) to veskaro_window.log beside itself: "0x0833 WPARAM LPARAM". The log is
// emptied at start. It ends on WM_CLOSE, or by itself after the number of seconds given
// on its command line (default 120), so that no run leaves it behind.
#include <windows.h>

#include <cstdlib>
#include <string>

#include "stand_in_records.h"

namespace {
constexpr UINT kNoticeMessage = 0x0833;
constexpr UINT_PTR kLifetimeTimer = 1;
std::wstring g_strLog;

LRESULT CALLBACK WindowProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    switch (uMsg) {
    case kNoticeMessage: {
        stand_ins::AppendRecordLine(g_strLog, L"0x0833 " + std::to_wstring(static_cast<unsigned long long>(wParam)) + L" " +
                                       std::to_wstring(static_cast<long long>(lParam)));
        return 0;
    }
    case WM_TIMER:
        DestroyWindow(hWnd);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(hWnd, uMsg, wParam, lParam);
}
}  // namespace

int WINAPI wWinMain(HINSTANCE hInstance, HINSTANCE, LPWSTR pszCmdLine, int)
{
    g_strLog = stand_ins::BesideProgram(L"veskaro_window.log");
    { win32::UniqueFile truncate(CreateFileW(g_strLog.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr)); }
    int nSeconds = pszCmdLine && *pszCmdLine ? _wtoi(pszCmdLine) : 120;
    if (nSeconds <= 0)
        nSeconds = 120;

    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = hInstance;  // a class belongs to its module
    windowClass.lpszClassName = L"VESKARO_CLASS";
    if (!RegisterClassW(&windowClass))
        return 1;
    HWND hWnd = CreateWindowExW(0, L"VESKARO_CLASS", L"Tessary host window", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT, 200, 100,
                                nullptr, nullptr, hInstance, nullptr);
    if (!hWnd)
        return 1;
    SetTimer(hWnd, kLifetimeTimer, static_cast<UINT>(nSeconds) * 1000, nullptr);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return 0;
}
