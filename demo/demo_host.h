// The demo host: loads wendle.dll as the product's main program does and runs one
// subcommand per feature. Each feature's file registers its subcommands.
#pragma once
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "wendle.h"

namespace demo {

struct Command {
    const wchar_t* pszName;
    const wchar_t* pszUsage;
    // args: the words after the subcommand's name. Returns the exit status.
    int (*pfnRun)(const std::vector<std::wstring>& args);
};

// Adds a subcommand to the table; used through a static object in each feature's file.
struct RegisterCommand {
    explicit RegisterCommand(const Command& command);
};

// The loaded library (beside the demo host) and its exports.
HMODULE Library();
template <class F>
F Export(const char* pszName)
{
    F pfn = reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(Library(), pszName)));
    if (!pfn) {
        fwprintf(stderr, L"wendle.dll does not export %hs\n", pszName);
        exit(2);
    }
    return pfn;
}

// Folder of the demo host, without trailing backslash.
std::wstring HostFolder();
// Available physical memory in bytes.
ULONGLONG AvailablePhysicalMemory();
// "1,234.5 MB"-style text for a byte count.
std::wstring ByteText(ULONGLONG ullBytes);

}  // namespace demo
