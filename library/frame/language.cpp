#include "frame/language.h"

#include "frame/host_paths.h"
#include "frame/module_objects.h"
#include "frame/profile.h"
#include "win32/raii.h"

namespace {
// Local buffers of the resolution: the language name and the table entries are read with
// up to 399 characters, the default language with up to 499.
constexpr DWORD kLanguageValueLength = 400;
constexpr DWORD kDefaultLanguageLength = 500;

CString LanguageFileFor(LPCWSTR pszLanguage)
{
    CString strPath;
    strPath.Format(L"%s\\%s\\%s%s", g_strAppFolder.GetString(), L"Lang", pszLanguage, L".ini");
    return strPath;
}

CString IndexedKey(LPCWSTR pszPrefix, int nIndex)
{
    CString strKey;
    strKey.Format(L"%s%d", pszPrefix, nIndex);
    return strKey;
}

void LoadLanguageTables(wchar_t* pszBuffer)
{
    for (int i = 0; i < kLanguageCount; ++i) {
        g_astrLanguageName[i] = ReadProfileText(g_strLanguageFile, kOptimizerSection, IndexedKey(L"IDS_LANGUAGE_", i), pszBuffer,
                                                kLanguageValueLength);
        g_astrLanguageAbbr[i] = ReadProfileText(g_strLanguageFile, kOptimizerSection, IndexedKey(L"IDS_LANGUAGE_ABR_", i),
                                                pszBuffer, kLanguageValueLength);
    }
}

// A file that exists but cannot be opened for reading (locked without read sharing)
// counts as missing: its texts could not be read either.
bool CanOpenForReading(LPCWSTR pszPath)
{
    win32::UniqueFile file(CreateFileW(pszPath, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    return static_cast<bool>(file);
}
}  // namespace

void WriteSettingText(LPCWSTR pszSection, LPCWSTR pszKey, LPCWSTR pszValue)
{
    WritePrivateProfileStringW(pszSection, pszKey, pszValue, g_strSettingsFile);
}

void ResolveLanguageFile()
{
    try {
        g_strAppFolder = HostProgramFolder(MAX_PATH);
        g_strSettingsFile.Format(L"%s%s", g_strAppFolder.GetString(), L"\\settings.ini");

        wchar_t szValue[kLanguageValueLength];
        CString strLanguage = ReadProfileText(g_strSettingsFile, kOptimizerSection, L"IDS_LANGUAGE", szValue, kLanguageValueLength);
        g_strLanguageFile = LanguageFileFor(strLanguage);
        LoadLanguageTables(szValue);
        if (CanOpenForReading(g_strLanguageFile))
            return;

        wchar_t szDefault[kDefaultLanguageLength];
        ReadProfileText(g_strSettingsFile, kOptimizerSection, L"IDS_DEFAULT_LANGUAGE", szDefault, kDefaultLanguageLength);
        WriteSettingText(kOptimizerSection, L"IDS_LANGUAGE", szDefault);
        g_strLanguageFile = LanguageFileFor(szDefault);
        for (int i = 0; i < kLanguageCount; ++i)
            g_astrLanguageName[i].Empty();
        LoadLanguageTables(szValue);
        // The abbreviation is looked up in the default language's own list: the list just
        // read from the missing file is empty.
        for (int i = 0; i < kLanguageCount; ++i) {
            if (g_astrLanguageName[i].CompareNoCase(szDefault) == 0) {
                WriteSettingText(kOptimizerSection, L"IDS_LANGUAGE_ABR", g_astrLanguageAbbr[i]);
                break;
            }
        }
    } catch (...) {
        // The paths and tables keep whatever state was reached.
    }
}
