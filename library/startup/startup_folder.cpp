#include "startup/startup_folder.h"

#include <windows.h>
#include <shlobj.h>

#include "frame/module_objects.h"
#include "startup/enumerate.h"
#include "startup/shortcut_target.h"
#include "win32/raii.h"

namespace {
int FolderFor(int nSource)
{
    switch (nSource) {
    case SI_FOLDER_USER:
        return CSIDL_STARTUP;
    case SI_FOLDER_COMMON:
        return CSIDL_COMMON_STARTUP;
    default:
        return -1;
    }
}

// "Tool Agent.lnk" gives "Tool Agent"; only the last extension goes.
CString FileTitle(const CString& strFileName)
{
    int nDot = strFileName.ReverseFind(L'.');
    return nDot < 0 ? strFileName : strFileName.Left(nDot);
}
}  // namespace

void ReadStartupFolder(int nSource)
{
    int nFolder = FolderFor(nSource);
    if (nFolder < 0)
        return;
    wchar_t szFolder[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathW(nullptr, nFolder, nullptr, SHGFP_TYPE_CURRENT, szFolder)))
        return;
    szFolder[MAX_PATH - 1] = L'\0';
    CString strFolder(szFolder);
    WIN32_FIND_DATAW found;
    win32::UniqueFind search(FindFirstFileW(strFolder + L"\\*.lnk", &found));
    if (!search)
        return;
    do {
        found.cFileName[MAX_PATH - 1] = L'\0';
        CString strFileName(found.cFileName);
        STARTUPITEMS item{};
        item.strName = FileTitle(strFileName);
        item.strCommand = ResolveShortcutTarget(strFolder + L"\\" + strFileName);
        item.nEnabled = 1;
        item.nSource = nSource;
        AppendStartupItem(item);
    } while (FindNextFileW(search.get(), &found));
}
