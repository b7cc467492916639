#include "demo_host.h"

#include <cwchar>

namespace demo {
namespace {
std::vector<Command>& Table()
{
    static std::vector<Command> commands;
    return commands;
}

int Usage()
{
    fwprintf(stderr, L"usage: tessary-demo COMMAND [ARGUMENTS]\n\n");
    for (const Command& command : Table())
        fwprintf(stderr, L"  %-10ls %ls\n", command.pszName, command.pszUsage);
    return 2;
}
}  // namespace

RegisterCommand::RegisterCommand(const Command& command) { Table().push_back(command); }

std::wstring HostFolder()
{
    wchar_t szPath[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, szPath, MAX_PATH);
    std::wstring strPath(szPath);
    return strPath.substr(0, strPath.rfind(L'\\'));
}

HMODULE Library()
{
    static HMODULE hLibrary = [] {
        std::wstring strPath = HostFolder() + L"\\wendle.dll";
        HMODULE h = LoadLibraryW(strPath.c_str());
        if (!h) {
            fwprintf(stderr, L"cannot load %ls (error %lu)\n", strPath.c_str(), GetLastError());
            exit(2);
        }
        return h;
    }();
    return hLibrary;
}

ULONGLONG AvailablePhysicalMemory()
{
    MEMORYSTATUSEX status = {};
    status.dwLength = sizeof(status);
    GlobalMemoryStatusEx(&status);
    return status.ullAvailPhys;
}

std::wstring ByteText(ULONGLONG ullBytes)
{
    wchar_t szText[64];
    if (ullBytes >= (1ull << 30))
        swprintf(szText, 64, L"%.2f GB", static_cast<double>(ullBytes) / (1ull << 30));
    else if (ullBytes >= (1ull << 20))
        swprintf(szText, 64, L"%.2f MB", static_cast<double>(ullBytes) / (1ull << 20));
    else
        swprintf(szText, 64, L"%.2f KB", static_cast<double>(ullBytes) / 1024);
    return szText;
}

}  // namespace demo

int wmain(int argc, wchar_t** argv)
{
    if (argc < 2)
        return demo::Usage();
    std::vector<std::wstring> args(argv + 2, argv + argc);
    for (const demo::Command& command : demo::Table()) {
        if (_wcsicmp(command.pszName, argv[1]) == 0)
            return command.pfnRun(args);
    }
    return demo::Usage();
}
