// StartupItems on a large startup list (1,000 Run values over the three Run keys, 200
// shortcuts, 100 MSConfig entries) against the raw platform calls that such a listing
// cannot avoid: value enumeration, folder search, shortcut load, version-information
// read and icon index. Prints both figures and their ratio.
#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "startup_scene.h"
#include "testing/library_host.h"
#include "win32/raii.h"

using namespace startup_test;

namespace {

constexpr int kRunValues = 1000;
constexpr int kShortcuts = 200;
constexpr int kMsconfigEntries = 100;
constexpr int kPrograms = 20;  // distinct executables the entries point at
constexpr int kRounds = 3;

const wchar_t* const kRun = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const wchar_t* const kStore = L"SOFTWARE\\Microsoft\\Shared Tools\\MSConfig\\startupreg";

double Now()
{
    LARGE_INTEGER count, frequency;
    QueryPerformanceCounter(&count);
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(count.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

void ReadVersionAndIcon(const wchar_t* pszPath)
{
    DWORD dwIgnored = 0;
    DWORD cb = GetFileVersionInfoSizeW(pszPath, &dwIgnored);
    if (cb) {
        std::vector<BYTE> info(cb);
        if (GetFileVersionInfoW(pszPath, 0, cb, info.data())) {
            void* p = nullptr;
            UINT n = 0;
            if (VerQueryValueW(info.data(), L"\\VarFileInfo\\Translation", &p, &n) && n >= 4) {
                const WORD* pw = static_cast<const WORD*>(p);
                wchar_t szQuery[64];
                for (const wchar_t* pszField : {L"FileDescription", L"CompanyName"}) {
                    swprintf(szQuery, 64, L"\\StringFileInfo\\%04x%04x\\%ls", pw[0], pw[1], pszField);
                    VerQueryValueW(info.data(), szQuery, &p, &n);
                }
            }
        }
    }
    SHFILEINFOW sfi = {};
    SHGetFileInfoW(pszPath, 0, &sfi, sizeof(sfi), SHGFI_SYSICONINDEX);
}

// What the listing has to ask the system, with nothing else around it.
int Baseline()
{
    std::vector<std::wstring> paths;
    struct Key {
        HKEY hRoot;
        REGSAM sam;
    };
    std::vector<Key> keys = {{HKEY_CURRENT_USER, KEY_WOW64_64KEY}, {HKEY_LOCAL_MACHINE, KEY_WOW64_64KEY}};
    if (LibrarySeesWow64())
        keys.push_back({HKEY_LOCAL_MACHINE, KEY_WOW64_32KEY});
    for (const Key& k : keys) {
        win32::UniqueKey key;
        if (RegOpenKeyExW(k.hRoot, kRun, 0, KEY_READ | k.sam, key.put()) != ERROR_SUCCESS)
            continue;
        for (DWORD i = 0;; ++i) {
            wchar_t szName[260], szData[261];
            DWORD cchName = 260, cbData = 520, dwType = 0;
            if (RegEnumValueW(key.get(), i, szName, &cchName, nullptr, &dwType, reinterpret_cast<BYTE*>(szData), &cbData) != ERROR_SUCCESS)
                break;
            szData[cbData / 2] = 0;
            // The entries are written as "path" /startup.
            std::wstring strData = szData;
            size_t nClose = strData.find(L'"', 1);
            paths.push_back(strData[0] == L'"' && nClose != std::wstring::npos ? strData.substr(1, nClose - 1) : strData);
        }
    }
    for (int nSource : {SI_FOLDER_USER, SI_FOLDER_COMMON}) {
        std::wstring strFolder = Scene::FolderOf(nSource);
        WIN32_FIND_DATAW found;
        win32::UniqueFind search(FindFirstFileW((strFolder + L"\\*.lnk").c_str(), &found));
        if (!search)
            continue;
        do {
            win32::ComPtr<IShellLinkW> link;
            win32::ComPtr<IPersistFile> file;
            wchar_t szTarget[520] = {};
            if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW, link.replace_void())) &&
                SUCCEEDED(link->QueryInterface(IID_IPersistFile, file.replace_void())) &&
                SUCCEEDED(file->Load((strFolder + L"\\" + found.cFileName).c_str(), STGM_READ)))
                link->GetPath(szTarget, 520, nullptr, 0);
            paths.push_back(szTarget);
        } while (FindNextFileW(search.get(), &found));
    }
    {
        win32::UniqueKey store;
        if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kStore, 0, KEY_READ | KEY_WOW64_64KEY, store.put()) == ERROR_SUCCESS) {
            for (DWORD i = 0;; ++i) {
                wchar_t szName[520];
                DWORD cch = 520;
                if (RegEnumKeyExW(store.get(), i, szName, &cch, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
                    break;
                win32::UniqueKey entry;
                if (RegOpenKeyExW(store.get(), szName, 0, KEY_READ, entry.put()) != ERROR_SUCCESS)
                    continue;
                wchar_t szValue[261] = {};
                for (const wchar_t* pszValue : {L"item", L"hkey", L"key", L"command"}) {
                    DWORD cb = 520;
                    RegQueryValueExW(entry.get(), pszValue, nullptr, nullptr, reinterpret_cast<BYTE*>(szValue), &cb);
                }
                paths.push_back(szValue);
            }
        }
    }
    for (const std::wstring& strPath : paths)
        ReadVersionAndIcon(strPath.c_str());
    return static_cast<int>(paths.size());
}

}  // namespace

int main()
{
    Scene scene;
    // Copies of the fixture programs in a folder on C:, as installed programs would be.
    wchar_t szTemp[MAX_PATH];
    GetTempPathW(MAX_PATH, szTemp);
    std::wstring strFolder = std::wstring(szTemp) + L"startup_bench";
    CreateDirectoryW(strFolder.c_str(), nullptr);
    const wchar_t* const fixtures[] = {L"startup_version_full.exe", L"startup_version_fallback.exe", L"startup_version_none.exe"};
    std::vector<std::wstring> programs;
    for (int i = 0; i < kPrograms; ++i) {
        std::wstring strPath = strFolder + L"\\program" + std::to_wstring(i) + L".exe";
        CopyFileW(HostFile(fixtures[i % 3]).c_str(), strPath.c_str(), FALSE);
        programs.push_back(strPath);
    }
    const int runSources[] = {SI_RUN_HKCU, SI_RUN_HKLM, SI_RUN_HKLM32};
    for (int i = 0; i < kRunValues; ++i)
        scene.SetRunText(runSources[i % 3], (L"Entry" + std::to_wstring(i)).c_str(), L"\"" + programs[i % kPrograms] + L"\" /startup");
    for (int i = 0; i < kShortcuts; ++i)
        scene.AddShortcut(i % 2 ? SI_FOLDER_COMMON : SI_FOLDER_USER, L"Link" + std::to_wstring(i) + L".lnk", programs[i % kPrograms]);
    for (int i = 0; i < kMsconfigEntries; ++i) {
        std::wstring strName = L"Parked" + std::to_wstring(i);
        scene.AddMsconfigEntry(strName, strName.c_str(), programs[i % kPrograms].c_str(), i % 2 ? L"HKCU" : L"HKLM",
                               L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run");
    }

    auto startupItems = testing_support::Library::Export<PFN_StartupItems>("StartupItems");
    if (!startupItems) {
        fwprintf(stderr, L"StartupItems is not exported\n");
        return 1;
    }
    CStartupItemArray items;
    startupItems(&items);  // warm the caches both sides share
    int nBaselineItems = Baseline();
    std::vector<double> library, baseline;
    for (int round = 0; round < kRounds; ++round) {
        double t0 = Now();
        startupItems(&items);
        double t1 = Now();
        Baseline();
        double t2 = Now();
        library.push_back(t1 - t0);
        baseline.push_back(t2 - t1);
    }
    std::sort(library.begin(), library.end());
    std::sort(baseline.begin(), baseline.end());
    double dLibrary = library[kRounds / 2], dBaseline = baseline[kRounds / 2];
    wprintf(L"items listed: %d (baseline visited %d)%ls\n", items.GetSize(), nBaselineItems,
            LibrarySeesWow64() ? L"" : L"; the 32-bit Run view is not read on 32-bit Windows");
    wprintf(L"StartupItems  median of %d: %8.1f ms\n", kRounds, dLibrary);
    wprintf(L"raw calls     median of %d: %8.1f ms\n", kRounds, dBaseline);
    wprintf(L"ratio: %.2f (target at most 1.30)\n", dLibrary / dBaseline);
    testing_support::RemoveTree(strFolder);
    return 0;
}
