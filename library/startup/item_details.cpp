#include "startup/item_details.h"

#include <windows.h>
#include <shellapi.h>

#include "frame/module_objects.h"
#include "startup/command_path.h"
#include "startup/version_string.h"

namespace {
// One forward pass over the earlier items: each clash bumps the counter and changes the
// candidate, but items already passed are not looked at again. So A (2), A, A gives
// A (2), A, A (2); host lists have always shown that.
CString UniqueDisplayName(const CString& strDescription, int nItem)
{
    CString strCandidate = strDescription;
    int nCounter = 1;
    for (int j = 0; j < nItem; ++j) {
        if (g_startupItems[j].strDisplayName == strCandidate) {
            ++nCounter;
            CString strSuffix;
            strSuffix.Format(L"(%d)", nCounter);
            strCandidate.Format(L"%s %s", strDescription.GetString(), strSuffix.GetString());
        }
    }
    return strCandidate;
}

int SystemIconIndex(const CString& strPath)
{
    SHFILEINFOW info = {};
    if (!SHGetFileInfoW(strPath, 0, &info, sizeof(info), SHGFI_SYSICONINDEX))
        return 0;
    return info.iIcon;
}
}  // namespace

void FillItemDetails()
{
    for (int i = 0; i < g_startupItems.GetSize(); ++i) {
        CString strPath = NormalizeCommandPath(g_startupItems[i].strCommand);
        CString strDescription = GetVersionString(strPath, L"FileDescription");
        CString strCompany = GetVersionString(strPath, L"CompanyName");
        CString strDisplayName = UniqueDisplayName(strDescription, i);
        int nIcon = SystemIconIndex(strPath);
        STARTUPITEMS& item = g_startupItems[i];
        item.strDisplayName = strDisplayName;
        item.strPath = strPath;
        item.strCompany = strCompany;
        item.nIcon = nIcon;
    }
}
