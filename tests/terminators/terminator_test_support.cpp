#include "terminator_test_support.h"

#include <shlobj.h>
#include <tlhelp32.h>

#include <cstdio>
#include <fstream>

#include "sleep_bypass.h"
#include "testing/library_host.h"

namespace terminator_tests {

std::wstring ScratchFolder::Root()
{
    wchar_t szTemp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, szTemp);
    return std::wstring(szTemp) + L"tessary-terminators";
}

ScratchFolder::ScratchFolder(const std::wstring& strName)
{
    m_strPath = Root();
    CreateDirectoryW(m_strPath.c_str(), nullptr);
    size_t nRootLength = m_strPath.size();
    m_strPath += L"\\" + strName;
    testing_support::RemoveTree(m_strPath);
    // The name may hold sub-folders ("a b\bin"): create each level.
    for (size_t n = m_strPath.find(L'\\', nRootLength + 1); n != std::wstring::npos; n = m_strPath.find(L'\\', n + 1))
        CreateDirectoryW(m_strPath.substr(0, n).c_str(), nullptr);
    CreateDirectoryW(m_strPath.c_str(), nullptr);
}

ScratchFolder::~ScratchFolder() { testing_support::RemoveTree(m_strPath); }

namespace {
std::wstring BinFolder()
{
    wchar_t szFull[MAX_PATH] = {};
    GetFullPathNameW((testing_support::ProgramFolder() + L"\\..\\..\\bin").c_str(), MAX_PATH, szFull, nullptr);
    return szFull;
}

bool IsInSnapshot(DWORD dwProcessId)
{
    win32::UniqueSnapshot hSnapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    PROCESSENTRY32W entry = {};
    entry.dwSize = sizeof(entry);
    for (BOOL b = Process32FirstW(hSnapshot.get(), &entry); b; b = Process32NextW(hSnapshot.get(), &entry)) {
        if (entry.th32ProcessID == dwProcessId)
            return true;
    }
    return false;
}
}  // namespace

void InstallPrograms(const std::wstring& strFolder)
{
    for (const wchar_t* pszName : {L"Culvane.exe", L"Brenholt.exe", L"framework.dll"})
        CopyFileW((BinFolder() + L"\\" + pszName).c_str(), (strFolder + L"\\" + pszName).c_str(), FALSE);
}

std::wstring InstallStandin(const std::wstring& strFolder, const std::wstring& strName)
{
    std::wstring strPath = strFolder + L"\\" + strName;
    CopyFileW((testing_support::ProgramFolder() + L"\\terminator_standin.exe").c_str(), strPath.c_str(), FALSE);
    return strPath;
}

DWORD WaitingProcess::ExitCode() const
{
    DWORD dwCode = 0;
    return GetExitCodeProcess(hProcess.get(), &dwCode) ? dwCode : ~0u;
}

WaitingProcess LaunchWaiting(const std::wstring& strPath)
{
    WaitingProcess process;
    process.strName = strPath.substr(strPath.rfind(L'\\') + 1);
    std::wstring strCommandLine = L"\"" + strPath + L"\" wait";
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info = {};
    if (CreateProcessW(strPath.c_str(), &strCommandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info)) {
        process.hProcess.reset(info.hProcess);
        CloseHandle(info.hThread);
    }
    return process;
}

WaitingProcess StartWaiting(const std::wstring& strPath)
{
    WaitingProcess process = LaunchWaiting(strPath);
    // A walk must see it: wait until the snapshot lists it.
    const DWORD dwProcessId = process.hProcess ? GetProcessId(process.hProcess.get()) : 0;
    for (int i = 0; dwProcessId && i < 200 && !IsInSnapshot(dwProcessId); ++i)
        Sleep(10);
    return process;
}

void EndAll(std::vector<WaitingProcess>& processes)
{
    for (WaitingProcess& process : processes) {
        if (process.hProcess && !process.Ended(0)) {
            TerminateProcess(process.hProcess.get(), 1);
            process.Ended(5000);
        }
    }
}

DWORD RunProgram(const std::wstring& strFolder, const wchar_t* pszProgram, const std::wstring& strTail, const wchar_t* pszVersion,
                 bool bSkipPauses)
{
    RegistryValueOverride version(HKEY_CURRENT_USER, std::wstring(L"Software\\Wine\\AppDefaults\\") + pszProgram, L"Version",
                                  pszVersion);
    std::wstring strPath = strFolder + L"\\" + pszProgram;
    std::wstring strCommandLine = L"\"" + strPath + L"\" " + strTail;
    win32::UniqueHandle hProcess;
    if (!bSkipPauses || !StartWithoutSleeps(strPath, strCommandLine, strFolder, hProcess)) {
        if (bSkipPauses)
            printf("note: the pauses of %ls could not be skipped; it takes its real time\n", pszProgram);
        STARTUPINFOW startup = {};
        startup.cb = sizeof(startup);
        PROCESS_INFORMATION info = {};
        if (!CreateProcessW(strPath.c_str(), &strCommandLine[0], nullptr, nullptr, FALSE, 0, nullptr, strFolder.c_str(), &startup, &info))
            return ~0u;
        hProcess.reset(info.hProcess);
        CloseHandle(info.hThread);
    }
    if (WaitForSingleObject(hProcess.get(), 60000) != WAIT_OBJECT_0) {
        TerminateProcess(hProcess.get(), 1);
        return ~0u;
    }
    DWORD dwCode = ~0u;
    GetExitCodeProcess(hProcess.get(), &dwCode);
    return dwCode;
}

RegistryValueOverride::RegistryValueOverride(HKEY hRoot, const std::wstring& strKey, const wchar_t* pszName,
                                             const std::wstring& strValue, DWORD dwType)
    : m_hRoot(hRoot), m_strKey(strKey), m_strName(pszName ? pszName : L"")
{
    win32::UniqueKey hKey;
    DWORD dwDisposition = 0;
    if (RegCreateKeyExW(hRoot, strKey.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, hKey.put(), &dwDisposition) != ERROR_SUCCESS)
        return;
    m_bCreatedKey = dwDisposition == REG_CREATED_NEW_KEY;
    DWORD cb = 0;
    if (RegQueryValueExW(hKey.get(), pszName, nullptr, &m_dwPreviousType, nullptr, &cb) == ERROR_SUCCESS) {
        m_previous.resize(cb);
        m_bHadValue = RegQueryValueExW(hKey.get(), pszName, nullptr, &m_dwPreviousType, m_previous.data(), &cb) == ERROR_SUCCESS;
    }
    RegSetValueExW(hKey.get(), pszName, 0, dwType, reinterpret_cast<const BYTE*>(strValue.c_str()),
                   static_cast<DWORD>((strValue.size() + 1) * sizeof(wchar_t)));
}

RegistryValueOverride::~RegistryValueOverride()
{
    if (m_bCreatedKey) {
        RegDeleteKeyW(m_hRoot, m_strKey.c_str());
        return;
    }
    win32::UniqueKey hKey;
    if (RegOpenKeyExW(m_hRoot, m_strKey.c_str(), 0, KEY_ALL_ACCESS, hKey.put()) != ERROR_SUCCESS)
        return;
    if (m_bHadValue)
        RegSetValueExW(hKey.get(), m_strName.c_str(), 0, m_dwPreviousType, m_previous.data(), static_cast<DWORD>(m_previous.size()));
    else
        RegDeleteValueW(hKey.get(), m_strName.c_str());
}

std::wstring DataFolder()
{
    wchar_t szAppData[MAX_PATH] = {};
    SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, szAppData);
    return std::wstring(szAppData) + L"\\Tessary\\Brimwell";
}

std::wstring DataFile(const wchar_t* pszName) { return DataFolder() + L"\\" + pszName; }

void RemoveDataFolder()
{
    std::wstring strFolder = DataFolder();
    testing_support::RemoveTree(strFolder);
    RemoveDirectoryW(strFolder.substr(0, strFolder.rfind(L'\\')).c_str());  // only when empty
}

void WriteDataFile(const wchar_t* pszName, const std::wstring& strText)
{
    std::wstring strFolder = DataFolder();
    CreateDirectoryW(strFolder.substr(0, strFolder.rfind(L'\\')).c_str(), nullptr);
    CreateDirectoryW(strFolder.c_str(), nullptr);
    testing_support::WriteUtf16File(DataFile(pszName), strText);
}

std::string ReadFileBytes(const std::wstring& strPath)
{
    std::ifstream in(strPath.c_str(), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::vector<std::wstring> ReadLines(const std::wstring& strPath)
{
    std::vector<std::wstring> lines;
    std::string strText = ReadFileBytes(strPath);
    size_t nStart = 0;
    while (nStart < strText.size()) {
        size_t nEnd = strText.find('\n', nStart);
        if (nEnd == std::string::npos)
            nEnd = strText.size();
        std::string strLine = strText.substr(nStart, nEnd - nStart);
        if (!strLine.empty() && strLine.back() == '\r')
            strLine.pop_back();
        int n = MultiByteToWideChar(CP_UTF8, 0, strLine.data(), static_cast<int>(strLine.size()), nullptr, 0);
        std::wstring strWide(static_cast<size_t>(n), L'\0');
        MultiByteToWideChar(CP_UTF8, 0, strLine.data(), static_cast<int>(strLine.size()), &strWide[0], n);
        if (!strWide.empty())
            lines.push_back(strWide);
        nStart = nEnd + 1;
    }
    return lines;
}

std::vector<std::wstring> Split(const std::wstring& strLine, wchar_t chSeparator)
{
    std::vector<std::wstring> parts;
    size_t nStart = 0;
    for (size_t n; (n = strLine.find(chSeparator, nStart)) != std::wstring::npos; nStart = n + 1)
        parts.push_back(strLine.substr(nStart, n - nStart));
    parts.push_back(strLine.substr(nStart));
    return parts;
}

}  // namespace terminator_tests
