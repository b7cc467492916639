#include "stand_in_records.h"

namespace stand_ins {

std::wstring BesideProgram(const wchar_t* pszName)
{
    wchar_t szPath[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, szPath, MAX_PATH);
    std::wstring strPath(szPath);
    return strPath.substr(0, strPath.rfind(L'\\') + 1) + pszName;
}

void AppendRecordLine(const std::wstring& strPath, const std::wstring& strLine)
{
    std::wstring strText = strLine + L"\n";
    int cbText = WideCharToMultiByte(CP_UTF8, 0, strText.c_str(), static_cast<int>(strText.size()), nullptr, 0, nullptr, nullptr);
    if (cbText <= 0)
        return;
    std::string strUtf8(static_cast<size_t>(cbText), '\0');
    WideCharToMultiByte(CP_UTF8, 0, strText.c_str(), static_cast<int>(strText.size()), &strUtf8[0], cbText, nullptr, nullptr);
    win32::UniqueFile file(CreateFileW(strPath.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                       nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD dwWritten = 0;
    if (file)
        WriteFile(file.get(), strUtf8.data(), static_cast<DWORD>(cbText), &dwWritten, nullptr);
}

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
        int cch = MultiByteToWideChar(CP_UTF8, 0, strData.data() + nStart, static_cast<int>(nEnd - nStart), nullptr, 0);
        std::wstring strLine(static_cast<size_t>(cch), L'\0');
        if (cch > 0)
            MultiByteToWideChar(CP_UTF8, 0, strData.data() + nStart, static_cast<int>(nEnd - nStart), &strLine[0], cch);
        lines.push_back(strLine);
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

HostWindowProgram::HostWindowProgram() : m_strLog(BesideProgram(L"veskaro_window.log"))
{
    // A lifetime of its own, so that an interrupted run does not leave it behind.
    std::wstring strCommand = L"\"" + BesideProgram(L"veskaro_window.exe") + L"\" 60";
    STARTUPINFOW si = {};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessW(nullptr, &strCommand[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        return;
    m_process.reset(pi.hProcess);
    win32::UniqueHandle thread(pi.hThread);
    for (DWORD dwStart = GetTickCount(); !m_hWindow && GetTickCount() - dwStart < 10000; Sleep(50))
        m_hWindow = FindWindowW(L"VESKARO_CLASS", nullptr);
}

HostWindowProgram::~HostWindowProgram()
{
    if (m_hWindow)
        PostMessageW(m_hWindow, WM_CLOSE, 0, 0);
    if (m_process && WaitForSingleObject(m_process.get(), 5000) != WAIT_OBJECT_0)
        TerminateProcess(m_process.get(), 1);
    DeleteFileW(m_strLog.c_str());
}

}  // namespace stand_ins
