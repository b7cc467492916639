// Starts a program whose Sleep calls return at once, so a test need not sit out its
// pauses. Before the suspended program's loader has run, its import of kernel32's Sleep
// is renamed to SetLastError, which takes one DWORD like Sleep and returns at once.
#pragma once
#include <windows.h>

#include <string>

#include "win32/raii.h"

namespace terminator_tests {

// Like CreateProcessW with the application name strPath; false when the process could not
// be started or its import could not be renamed (then nothing is left running).
bool StartWithoutSleeps(const std::wstring& strPath, std::wstring strCommandLine, const std::wstring& strFolder,
                        win32::UniqueHandle& hProcess);

}  // namespace terminator_tests
