#include "notifier_support.h"

#include <shlobj.h>

#include "testing/library_host.h"
#include "win32/raii.h"

using testing_support::ImportPatch;
using testing_support::Library;
using testing_support::ProgramFolder;

namespace notifier_support {
namespace {
NotifierRecorder* g_recorder = nullptr;
ProfileWriteRecorder* g_writeRecorder = nullptr;
ImportPatch* g_writePatch = nullptr;

BOOL WINAPI RecordProfileWrite(LPCWSTR pszSection, LPCWSTR pszKey, LPCWSTR pszValue, LPCWSTR pszFile)
{
    g_writeRecorder->writes.push_back(
        {pszFile ? pszFile : L"", pszSection ? pszSection : L"", pszKey ? pszKey : L"<null>", pszValue ? pszValue : L"<null>"});
    return g_writePatch->Original<decltype(&WritePrivateProfileStringW)>()(pszSection, pszKey, pszValue, pszFile);
}

HINSTANCE WINAPI RecordShellExecute(HWND hOwner, LPCWSTR pszVerb, LPCWSTR pszFile, LPCWSTR pszParameters, LPCWSTR pszDirectory, INT nShow)
{
    ShellStart start;
    start.strVerb = pszVerb ? pszVerb : L"<null>";
    start.strFile = pszFile ? pszFile : L"<null>";
    start.bParameters = pszParameters != nullptr;
    start.bDirectory = pszDirectory != nullptr;
    start.hOwner = hOwner;
    start.nShow = nShow;
    start.strTitleAtStart = StoredResultValue(L"IDS_CLOUD_POPUP_TITLE");
    start.strMessageAtStart = StoredResultValue(L"IDS_CLOUD_MESSAGE_2");
    start.nWritesBefore = g_writeRecorder ? g_writeRecorder->writes.size() : 0;
    g_recorder->starts.push_back(start);
    return reinterpret_cast<HINSTANCE>(static_cast<INT_PTR>(42));
}

std::wstring NotifierPath() { return ProgramFolder() + L"\\chimewick.exe"; }
}  // namespace

std::wstring ProductDataRoot()
{
    wchar_t szFolder[MAX_PATH] = {};
    SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, szFolder);
    return std::wstring(szFolder) + L"\\Tessary";
}

std::wstring DataFolder() { return ProductDataRoot() + L"\\KELDA"; }
std::wstring ResultFile() { return DataFolder() + L"\\xmlupd.dat"; }
std::wstring ResultValue(const wchar_t* pszKey) { return testing_support::ReadIni(ResultFile(), kOptimizer, pszKey); }

std::wstring StoredResultValue(const wchar_t* pszKey)
{
    WritePrivateProfileStringW(nullptr, nullptr, nullptr, ResultFile().c_str());  // flush cached writes
    win32::UniqueFile file(CreateFileW(ResultFile().c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                       FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return L"<absent>";
    std::string strData;
    char buffer[4096];
    DWORD dwRead = 0;
    while (ReadFile(file.get(), buffer, sizeof(buffer), &dwRead, nullptr) && dwRead > 0)
        strData.append(buffer, dwRead);
    std::wstring strText;
    if (strData.size() >= 2 && static_cast<unsigned char>(strData[0]) == 0xFF && static_cast<unsigned char>(strData[1]) == 0xFE) {
        strText.assign(reinterpret_cast<const wchar_t*>(strData.data() + 2), (strData.size() - 2) / sizeof(wchar_t));
    } else {
        int cch = MultiByteToWideChar(CP_ACP, 0, strData.data(), static_cast<int>(strData.size()), nullptr, 0);
        strText.assign(cch, L'\0');
        MultiByteToWideChar(CP_ACP, 0, strData.data(), static_cast<int>(strData.size()), &strText[0], cch);
    }
    std::wstring strPrefix = std::wstring(pszKey) + L"=";
    for (size_t nStart = 0; nStart < strText.size();) {
        size_t nEnd = strText.find_first_of(L"\r\n", nStart);
        if (nEnd == std::wstring::npos)
            nEnd = strText.size();
        std::wstring strLine = strText.substr(nStart, nEnd - nStart);
        if (_wcsnicmp(strLine.c_str(), strPrefix.c_str(), strPrefix.size()) == 0)
            return strLine.substr(strPrefix.size());
        nStart = nEnd + 1;
    }
    return L"<absent>";
}

HostFiles::HostFiles()
{
    testing_support::RemoveTree(SettingsPath());
    testing_support::RemoveTree(ProgramFolder() + L"\\Lang");
}

HostFiles::~HostFiles()
{
    WritePrivateProfileStringW(nullptr, nullptr, nullptr, SettingsPath().c_str());  // drop cached profile data
    testing_support::RemoveTree(SettingsPath());
    testing_support::RemoveTree(ProgramFolder() + L"\\Lang");
}

std::wstring HostFiles::SettingsPath() { return ProgramFolder() + L"\\Settings.INI"; }
std::wstring HostFiles::LanguagePath(const std::wstring& strName) { return ProgramFolder() + L"\\Lang\\" + strName; }

void HostFiles::Settings(const std::wstring& strText) { testing_support::WriteUtf16File(SettingsPath(), strText); }

void HostFiles::Language(const std::wstring& strName, const std::wstring& strText)
{
    CreateDirectoryW((ProgramFolder() + L"\\Lang").c_str(), nullptr);
    testing_support::WriteUtf16File(LanguagePath(strName), strText);
}

std::wstring HostFiles::Setting(const wchar_t* pszSection, const wchar_t* pszKey) const
{
    return testing_support::ReadIni(SettingsPath(), pszSection, pszKey);
}

ProfileWriteRecorder::ProfileWriteRecorder()
    : m_patch(Library::Handle(), "kernel32.dll", "WritePrivateProfileStringW", reinterpret_cast<void*>(&RecordProfileWrite))
{
    g_writeRecorder = this;
    g_writePatch = &m_patch;
}

ProfileWriteRecorder::~ProfileWriteRecorder()
{
    g_writeRecorder = nullptr;
    g_writePatch = nullptr;
}

std::vector<std::wstring> ProfileWriteRecorder::ResultWrites(const wchar_t* pszKey) const
{
    std::vector<std::wstring> values;
    for (const ProfileWrite& write : writes) {
        if (_wcsicmp(write.strFile.c_str(), ResultFile().c_str()) == 0 && write.strSection == kOptimizer && write.strKey == pszKey)
            values.push_back(write.strValue);
    }
    return values;
}

NotifierRecorder::NotifierRecorder()
    : m_patch(Library::Handle(), "shell32.dll", "ShellExecuteW", reinterpret_cast<void*>(&RecordShellExecute))
{
    g_recorder = this;
}

NotifierRecorder::~NotifierRecorder() { g_recorder = nullptr; }

std::vector<std::wstring> RecordLines(const std::wstring& strPath)
{
    std::vector<std::wstring> lines;
    win32::UniqueFile file(CreateFileW(strPath.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                       OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return lines;
    std::string strData;
    char buffer[4096];
    DWORD dwRead = 0;
    while (ReadFile(file.get(), buffer, sizeof(buffer), &dwRead, nullptr) && dwRead > 0)
        strData.append(buffer, dwRead);
    size_t nStart = 0;
    for (size_t nEnd; (nEnd = strData.find('\n', nStart)) != std::string::npos; nStart = nEnd + 1) {
        std::string strLine = strData.substr(nStart, nEnd - nStart);
        int cch = MultiByteToWideChar(CP_UTF8, 0, strLine.data(), static_cast<int>(strLine.size()), nullptr, 0);
        std::wstring strWide(cch, L'\0');
        MultiByteToWideChar(CP_UTF8, 0, strLine.data(), static_cast<int>(strLine.size()), &strWide[0], cch);
        lines.push_back(strWide);
    }
    return lines;
}

std::vector<std::wstring> WaitForRecordLines(const std::wstring& strPath, size_t nLines, DWORD dwTimeout)
{
    DWORD dwStart = GetTickCount();
    std::vector<std::wstring> lines = RecordLines(strPath);
    while (lines.size() < nLines && GetTickCount() - dwStart < dwTimeout) {
        Sleep(50);
        lines = RecordLines(strPath);
    }
    return lines;
}

NotifierMovedAway::NotifierMovedAway()
{
    m_bMoved = MoveFileExW(NotifierPath().c_str(), (NotifierPath() + L".aside").c_str(), MOVEFILE_REPLACE_EXISTING) != FALSE;
}

NotifierMovedAway::~NotifierMovedAway()
{
    if (m_bMoved)
        MoveFileExW((NotifierPath() + L".aside").c_str(), NotifierPath().c_str(), MOVEFILE_REPLACE_EXISTING);
}

}  // namespace notifier_support
