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
    start.strTitleAtStart = ResultValue(L"IDS_CLOUD_POPUP_TITLE");
    start.strMessageAtStart = ResultValue(L"IDS_CLOUD_MESSAGE_2");
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
