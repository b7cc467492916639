#include "frame/data_folder.h"

#include "win32/data_folder.h"
#include "win32/raii.h"

namespace {
// The profile writer makes a missing file in the ANSI code page, where a title, message or
// network name outside it (Russian, Greek, Chinese) would reach the notifier as "???"; a
// file that starts with the UTF-16 mark stays Unicode under the writer. A file that is
// there already is not touched and keeps every key, in whatever form it has.
void CreateUnicodeFileIfMissing(const CString& strPath)
{
    win32::UniqueFile file(CreateFileW(strPath, GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    static const BYTE kUtf16Mark[] = {0xFF, 0xFE};
    DWORD cbWritten = 0;
    if (file)
        WriteFile(file.get(), kUtf16Mark, sizeof(kUtf16Mark), &cbWritten, nullptr);
}
}  // namespace

CString GetDataFilePath(LPCWSTR pszName)
{
    wchar_t szPath[2 * MAX_PATH];
    if (!win32::GetProductDataFilePath(L"KELDA", pszName, szPath, ARRAYSIZE(szPath)))
        return CString();
    return CString(szPath);
}

void WriteResultValue(const CString& strResultFile, LPCWSTR pszKey, LPCWSTR pszValue)
{
    if (strResultFile.IsEmpty())
        return;
    CreateUnicodeFileIfMissing(strResultFile);
    WritePrivateProfileStringW(kResultSection, pszKey, pszValue, strResultFile);
}
