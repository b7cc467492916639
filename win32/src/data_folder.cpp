#include "win32/data_folder.h"

#include <shlobj.h>

#include <cwchar>

namespace win32 {
namespace {

// Appends pszPart to the text in pszPath; false when it would not fit.
bool Append(wchar_t* pszPath, size_t cchPath, const wchar_t* pszPart)
{
    const size_t cchUsed = wcslen(pszPath);
    const size_t cchPart = wcslen(pszPart);
    if (cchUsed + cchPart >= cchPath)
        return false;
    wmemcpy(pszPath + cchUsed, pszPart, cchPart + 1);
    return true;
}

}  // namespace

bool GetProductDataFilePath(const wchar_t* pszSubfolder, const wchar_t* pszName, wchar_t* pszPath, size_t cchPath)
{
    if (!pszPath || cchPath == 0)
        return false;
    pszPath[0] = L'\0';
    wchar_t szFolder[MAX_PATH] = {};
    // The Unicode function answers S_OK with the path, or an error; S_FALSE ("the folder
    // does not exist") is documented for the ANSI one only. Anything but S_OK leaves no
    // path to build on.
    if (SHGetFolderPathW(nullptr, CSIDL_APPDATA | CSIDL_FLAG_CREATE, nullptr, SHGFP_TYPE_CURRENT, szFolder) != S_OK)
        return false;
    bool bFits = Append(pszPath, cchPath, szFolder) && Append(pszPath, cchPath, L"\\Tessary");
    if (bFits)
        CreateDirectoryW(pszPath, nullptr);  // fails harmlessly when it exists
    bFits = bFits && Append(pszPath, cchPath, L"\\") && Append(pszPath, cchPath, pszSubfolder);
    if (bFits)
        CreateDirectoryW(pszPath, nullptr);
    bFits = bFits && Append(pszPath, cchPath, L"\\") && Append(pszPath, cchPath, pszName);
    if (!bFits)
        pszPath[0] = L'\0';
    return bFits;
}

}  // namespace win32
