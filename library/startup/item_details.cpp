#include "startup/item_details.h"

#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <cstring>
#include <cwchar>
#include <new>
#include <string>
#include <unordered_map>
#include <vector>

#include "frame/module_objects.h"
#include "startup/command_path.h"
#include "startup/startup_sources.h"
#include "startup/system_folder.h"
#include "startup/version_string.h"

namespace {
// Display names are compared as the framework's strings compare, up to the first null.
std::wstring ComparedText(const CString& str) { return std::wstring(str.GetString()); }

// Makes display names unique in one forward pass over the earlier items: each clash bumps
// the counter and changes the candidate, but items already passed are not looked at
// again. So A (2), A, A gives A (2), A, A (2); host lists have always shown that.
//
// The pass for a description d visits the earlier names in order and stops at the first
// one equal to d, then at the first later one equal to "d (2)", and so on; the candidate
// that finds no such name is the result. Names are only ever added after all earlier
// ones, so a stop found for one item holds for every later item of the same description:
// each description keeps where its pass got to, and each step looks up the first
// position of a name after the previous stop. That keeps the whole list linear instead
// of comparing every item with every earlier one.
class CDisplayNames {
public:
    CString Add(const CString& strDescription)
    {
        Progress& progress = m_progress[ComparedText(strDescription)];
        CString strCandidate = CandidateFor(strDescription, progress.nCounter);
        for (;;) {
            int nFound = FirstAfter(strCandidate, progress.nLastStop);
            if (nFound < 0)
                break;
            progress.nLastStop = nFound;
            ++progress.nCounter;
            strCandidate = CandidateFor(strDescription, progress.nCounter);
        }
        m_positions[ComparedText(strCandidate)].push_back(m_nItems++);
        return strCandidate;
    }

private:
    struct Progress {
        int nCounter = 1;    // the counter of the candidate not yet found
        int nLastStop = -1;  // position of the name that bumped the counter last
    };

    // The description, a space and the counter in parentheses: what "%s %s" makes of the
    // description and "(%d)", put together without the printf family, which under Wine
    // took a good part of the time of an item.
    static CString CandidateFor(const CString& strDescription, int nCounter)
    {
        if (nCounter == 1)
            return strDescription;
        wchar_t szSuffix[16];  // " (" digits ")", built from the end
        int nSuffixStart = 16;
        szSuffix[--nSuffixStart] = L')';
        unsigned n = static_cast<unsigned>(nCounter);  // 2 or more
        do
            szSuffix[--nSuffixStart] = static_cast<wchar_t>(L'0' + n % 10);
        while (n /= 10);
        szSuffix[--nSuffixStart] = L'(';
        szSuffix[--nSuffixStart] = L' ';
        const int nSuffix = 16 - nSuffixStart;
        const wchar_t* pszDescription = strDescription.GetString();  // "%s" stops at a null
        const int nDescription = static_cast<int>(wcslen(pszDescription));
        CString strCandidate;
        LPWSTR pszCandidate = strCandidate.GetBuffer(nDescription + nSuffix);
        if (!pszCandidate) {
            strCandidate.Format(L"%s (%d)", pszDescription, nCounter);
            return strCandidate;
        }
        memcpy(pszCandidate, pszDescription, nDescription * sizeof(wchar_t));
        memcpy(pszCandidate + nDescription, szSuffix + nSuffixStart, nSuffix * sizeof(wchar_t));
        strCandidate.ReleaseBuffer(nDescription + nSuffix);
        return strCandidate;
    }

    // The first position after nAfter that holds the name, or -1.
    int FirstAfter(const CString& strName, int nAfter) const
    {
        auto it = m_positions.find(ComparedText(strName));
        if (it == m_positions.end())
            return -1;
        const std::vector<int>& positions = it->second;  // ascending
        auto next = std::upper_bound(positions.begin(), positions.end(), nAfter);
        return next == positions.end() ? -1 : *next;
    }

    std::unordered_map<std::wstring, std::vector<int>> m_positions;  // name -> where it was given
    std::unordered_map<std::wstring, Progress> m_progress;         // description -> its pass so far
    int m_nItems = 0;
};

// The icon of the file read; where the shell cannot take that path (Wine's does not take
// a Sysnative one), the icon it gives for the path as written.
int SystemIconIndex(const CString& strRead, const CString& strPath)
{
    SHFILEINFOW info = {};
    if (SHGetFileInfoW(strRead, 0, &info, sizeof(info), SHGFI_SYSICONINDEX))
        return info.iIcon;
    if (strRead != strPath && SHGetFileInfoW(strPath, 0, &info, sizeof(info), SHGFI_SYSICONINDEX))
        return info.iIcon;
    return 0;
}

// What the version resource and the shell say about one executable.
struct FileDetails {
    CString strDescription;
    CString strCompany;
    int nIcon = 0;
};

FileDetails ReadFileDetails(const CString& strPath, const CNativeSystemFolder& systemFolder)
{
    FileDetails details;
    const CString strRead = systemFolder.ReadablePath(strPath);
    CVersionInfo version(strRead);  // one read of the file for both fields
    details.strDescription = GetVersionString(version, L"FileDescription");
    details.strCompany = GetVersionString(version, L"CompanyName");
    details.nIcon = SystemIconIndex(strRead, strPath);
    return details;
}
}  // namespace

void FillItemDetails()
{
    try {
        // Many entries often name the same program: within this pass each distinct path
        // is read once. Nothing is kept for the next listing, which sees the files as
        // they are then.
        std::unordered_map<std::wstring, FileDetails> files;
        const CNativeSystemFolder systemFolder;
        CDisplayNames names;
        for (int i = 0; i < g_startupItems.GetSize(); ++i) {
            CString strPath = NormalizeCommandPath(g_startupItems[i].strCommand);
            if (IsShortcutItem(g_startupItems[i].nSource))
                strPath = ShortcutProgramPath(strPath);
            std::wstring strKey(strPath.GetString(), static_cast<size_t>(strPath.GetLength()));
            auto found = files.find(strKey);
            if (found == files.end())
                found = files.emplace(std::move(strKey), ReadFileDetails(strPath, systemFolder)).first;
            const FileDetails& details = found->second;
            STARTUPITEMS& item = g_startupItems[i];
            item.strDisplayName = names.Add(details.strDescription);
            item.strPath = std::move(strPath);
            item.strCompany = details.strCompany;
            item.nIcon = details.nIcon;
        }
    } catch (const std::bad_alloc&) {
        // Out of memory for the lookup tables: the items not reached keep empty details.
        // No exception may reach the host.
    }
}
