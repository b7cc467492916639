// The records the stand-in programs keep beside themselves (one UTF-8 line per event),
// and the stand-in host window run as a child process. Used by the stand-ins, the tests
// and the demo host.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "win32/raii.h"

namespace stand_ins {

// Path of NAME in the folder of the running program.
std::wstring BesideProgram(const wchar_t* pszName);
// Appends strLine and a line feed to the file in one write, so a reader polling the file
// never sees half a line.
void AppendRecordLine(const std::wstring& strPath, const std::wstring& strLine);
// Complete lines of a record file as it is now.
std::vector<std::wstring> RecordLines(const std::wstring& strPath);
// The same, waiting up to dwTimeout ms until there are at least nLines.
std::vector<std::wstring> WaitForRecordLines(const std::wstring& strPath, size_t nLines, DWORD dwTimeout = 10000);

// veskaro_window.exe from the running program's folder, for the life of the object: it
// owns the "VESKARO_CLASS" window and records each notice in veskaro_window.log.
class HostWindowProgram {
public:
    HostWindowProgram();
    ~HostWindowProgram();
    HostWindowProgram(const HostWindowProgram&) = delete;
    HostWindowProgram& operator=(const HostWindowProgram&) = delete;

    HWND Window() const { return m_hWindow; }
    std::vector<std::wstring> Notices() const { return RecordLines(m_strLog); }

private:
    std::wstring m_strLog;
    win32::UniqueHandle m_process;
    HWND m_hWindow = nullptr;
};

}  // namespace stand_ins
