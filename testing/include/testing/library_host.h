// How the tests load wendle.dll: from the build's bin folder, which is not the folder of
// the test program, just as the product's host loads it from its own install.
#pragma once
#include <windows.h>

#include <string>

#include "testing/cleanup.h"
#include "wendle.h"

namespace testing_support {

// Folder of the running test program, without trailing backslash.
std::wstring ProgramFolder();
// Full path of the library under test.
std::wstring LibraryPath();

// The library, loaded once for the whole test program.
class Library {
public:
    static HMODULE Handle();
    template <class F>
    static F Export(const char* pszName)
    {
        return reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(Handle(), pszName)));
    }
};

// Writes a UTF-16 file with a byte-order mark (the form private-profile files take).
bool WriteUtf16File(const std::wstring& strPath, const std::wstring& strText);
// Reads one key of an INI file ("" when absent), through a large buffer.
std::wstring ReadIni(const std::wstring& strFile, const wchar_t* pszSection, const wchar_t* pszKey);

}  // namespace testing_support
