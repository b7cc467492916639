#include "fake_task_store.h"

#include <windows.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

extern "C" IMAGE_DOS_HEADER __ImageBase;

namespace fake_taskschd {
namespace {
std::wstring StoreFile(const wchar_t* pszExtension)
{
    wchar_t szPath[MAX_PATH] = {};
    GetModuleFileNameW(reinterpret_cast<HMODULE>(&__ImageBase), szPath, MAX_PATH);
    std::wstring strPath(szPath);
    return strPath.substr(0, strPath.rfind(L'.')) + pszExtension;
}

std::string Utf8(const std::wstring& str)
{
    int n = WideCharToMultiByte(CP_UTF8, 0, str.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, str.c_str(), -1, &out[0], n, nullptr, nullptr);
    out.pop_back();
    return out;
}

std::wstring Wide(const std::string& str)
{
    int n = MultiByteToWideChar(CP_UTF8, 0, str.c_str(), -1, nullptr, 0);
    std::wstring out(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, str.c_str(), -1, &out[0], n);
    out.pop_back();
    return out;
}

std::vector<std::string> Lines(const wchar_t* pszExtension)
{
    std::vector<std::string> lines;
    std::ifstream in(StoreFile(pszExtension).c_str());
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (!line.empty())
            lines.push_back(line);
    }
    return lines;
}
}  // namespace

std::vector<StoredTask> LoadTasks()
{
    std::vector<StoredTask> tasks;
    for (const std::string& line : Lines(L".tasks")) {
        if (line.size() > 2 && line[1] == '|')
            tasks.push_back({Wide(line.substr(2)), line[0] == 'H'});
    }
    return tasks;
}

void SaveTasks(const std::vector<StoredTask>& tasks)
{
    std::ofstream out(StoreFile(L".tasks").c_str(), std::ios::trunc);
    for (const StoredTask& task : tasks)
        out << (task.bHidden ? "H|" : "-|") << Utf8(task.strPath) << "\n";
}

void AppendJournal(const std::wstring& strLine)
{
    std::ofstream out(StoreFile(L".log").c_str(), std::ios::app);
    out << Utf8(strLine) << "\n";
}

bool NextConnectionFails()
{
    std::vector<std::string> fail = Lines(L".fail");
    if (fail.empty())
        return false;
    int nConnections = 0;
    for (const std::string& line : Lines(L".log"))
        nConnections += line == "connect" || line == "connect-failed";
    return nConnections + 1 == atoi(fail[0].c_str());
}

}  // namespace fake_taskschd
