#include "startup/startup_folder.h"

#include <windows.h>
#include <shlobj.h>

#include <cwchar>

#include "frame/module_objects.h"
#include "startup/enumerate.h"
#include "startup/shortcut_target.h"
#include "startup/startup_sources.h"
#include "win32/raii.h"

bool GetStartupFolderPath(const StartupSource& source, CString& strFolder)
{
    wchar_t szFolder[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathW(nullptr, source.nFolder, nullptr, SHGFP_TYPE_CURRENT, szFolder)))
        return false;
    szFolder[MAX_PATH - 1] = L'\0';
    strFolder = szFolder;
    return true;
}

CString ShortcutTitle(const CString& strFileName)
{
    int nDot = strFileName.ReverseFind(L'.');
    return nDot < 0 ? strFileName : strFileName.Left(nDot);
}

namespace {
// The search for "*.lnk" also matches a file whose 8.3 short name ends in ".LNK"
// ("Tool.lnkx", "Old.lnk_old"): only a long name ending in ".lnk" is a shortcut.
bool IsShortcutFileName(const wchar_t* pszFileName)
{
    const size_t nLength = wcslen(pszFileName);
    return nLength >= 4 && _wcsicmp(pszFileName + nLength - 4, L".lnk") == 0;
}
}  // namespace

void ReadStartupFolder(int nSource)
{
    const StartupSource* pSource = FindSourceByCode(nSource);
    CString strFolder;
    if (!pSource || !IsShortcutSource(*pSource) || !GetStartupFolderPath(*pSource, strFolder))
        return;
    WIN32_FIND_DATAW found;
    win32::UniqueFind search(FindFirstFileW(strFolder + L"\\*.lnk", &found));
    if (!search)
        return;
    do {
        found.cFileName[MAX_PATH - 1] = L'\0';
        if (!IsShortcutFileName(found.cFileName))
            continue;
        CString strFileName(found.cFileName);
        STARTUPITEMS item{};
        item.strName = ShortcutTitle(strFileName);
        item.strCommand = ResolveShortcutTarget(strFolder + L"\\" + strFileName);
        item.nEnabled = 1;
        item.nSource = nSource;
        AppendStartupItem(item);
    } while (FindNextFileW(search.get(), &found));
}
