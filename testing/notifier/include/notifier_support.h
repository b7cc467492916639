// Shared by the tests of the features that report through the result file: the host's
// settings and language files, the result file, the records of the stand-in programs and
// a recorder that takes the library's start of the notifier.
#pragma once
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "testing/import_patch.h"

namespace notifier_support {

constexpr const wchar_t* kOptimizer = L"Tessary Optimizer";

// %APPDATA%\Tessary, %APPDATA%\Tessary\KELDA and the result file in it.
std::wstring ProductDataRoot();
std::wstring DataFolder();
std::wstring ResultFile();
// A key as the profile reader gives it (white space around the value removed).
std::wstring ResultValue(const wchar_t* pszKey);

// Settings.INI and the Lang folder in the host program's folder, removed when the object
// ends (also whatever the library wrote there).
class HostFiles {
public:
    HostFiles();
    ~HostFiles();
    HostFiles(const HostFiles&) = delete;
    HostFiles& operator=(const HostFiles&) = delete;

    static std::wstring SettingsPath();
    static std::wstring LanguagePath(const std::wstring& strName);  // <host>\Lang\NAME
    // Whole files, INI text without the byte-order mark.
    void Settings(const std::wstring& strText);
    void Language(const std::wstring& strName, const std::wstring& strText);
    std::wstring Setting(const wchar_t* pszSection, const wchar_t* pszKey) const;
};

// Watches the library's private-profile writes: the values exactly as handed to the
// writer (which drops leading blanks on its way to the file), and their order.
struct ProfileWrite {
    std::wstring strFile, strSection, strKey, strValue;
};
class ProfileWriteRecorder {
public:
    ProfileWriteRecorder();
    ~ProfileWriteRecorder();
    bool IsActive() const { return m_patch.IsActive(); }
    // Writes of KEY into the result file, in order.
    std::vector<std::wstring> ResultWrites(const wchar_t* pszKey) const;
    std::vector<ProfileWrite> writes;

private:
    testing_support::ImportPatch m_patch;
};

// Takes ShellExecuteW in the library: records each call and what the result file held at
// that moment, and starts nothing.
struct ShellStart {
    std::wstring strVerb, strFile;
    bool bParameters, bDirectory;
    HWND hOwner;
    int nShow;
    std::wstring strTitleAtStart, strMessageAtStart;
    size_t nWritesBefore;  // profile writes recorded before the start, when recording
};
class NotifierRecorder {
public:
    NotifierRecorder();
    ~NotifierRecorder();
    bool IsActive() const { return m_patch.IsActive(); }
    std::vector<ShellStart> starts;

private:
    testing_support::ImportPatch m_patch;
};

// A "chimewick.exe" beside the host: moved aside while the object lives.
class NotifierMovedAway {
public:
    NotifierMovedAway();
    ~NotifierMovedAway();
    bool IsMoved() const { return m_bMoved; }

private:
    bool m_bMoved = false;
};

}  // namespace notifier_support
