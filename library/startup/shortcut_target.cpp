#include "startup/shortcut_target.h"

#include <windows.h>
#include <shlobj.h>

#include "win32/raii.h"

namespace {
// The target is read into 520 characters.
constexpr int kTargetChars = 520;
}

CString ResolveShortcutTarget(LPCWSTR pszShortcutPath)
{
    // The apartment stays initialised for the host thread (later calls reuse it).
    if (FAILED(CoInitialize(nullptr)))
        return CString();
    win32::ComPtr<IShellLinkW> link;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW, link.replace_void())))
        return CString();
    win32::ComPtr<IPersistFile> file;
    if (FAILED(link->QueryInterface(IID_IPersistFile, file.replace_void())))
        return CString();
    if (FAILED(file->Load(pszShortcutPath, STGM_READ)))
        return CString();
    wchar_t szTarget[kTargetChars] = {};
    if (FAILED(link->GetPath(szTarget, kTargetChars, nullptr, 0)))
        return CString();
    szTarget[kTargetChars - 1] = L'\0';
    return CString(szTarget);
}
