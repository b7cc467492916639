// StartupItems against the platform calls such a listing cannot avoid, made with nothing
// around them: the Run keys created and counted with full access and their values
// enumerated, the Startup folders searched and each shortcut loaded, the MSConfig store
// created, counted and each entry opened and read, and per distinct program its version
// information (the language file's "unknown" text where no company is given) and icon
// index. A scene of 1,300 entries pointing at 20 shared programs, the growth of the time
// per item from 100 to 10,000 such entries, then 1,300 entries with a program each.
#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>

#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>
#include <vector>

#include "startup_scene.h"
#include "testing/bench_rounds.h"
#include "testing/library_host.h"
#include "win32/raii.h"

using namespace startup_test;
using testing_support::NowMilliseconds;

namespace {

const wchar_t* const kRun = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const wchar_t* const kStore = L"SOFTWARE\\Microsoft\\Shared Tools\\MSConfig\\startupreg";

// The version fields and the icon index of one program, as the listing asks for them.
void ReadVersionAndIcon(const wchar_t* pszPath, const std::wstring& strLanguageFile)
{
    bool bCompany = false;
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
                    bool bFound = VerQueryValueW(info.data(), szQuery, &p, &n) && p && n > 1;
                    if (!bFound) {
                        swprintf(szQuery, 64, L"\\StringFileInfo\\040904e4\\%ls", pszField);
                        bFound = VerQueryValueW(info.data(), szQuery, &p, &n) && p && n > 1;
                    }
                    if (pszField[0] == L'C')
                        bCompany = bFound;
                }
            }
        }
    }
    if (!bCompany) {
        wchar_t szUnknown[130];
        GetPrivateProfileStringW(L"Tessary StartUp Manager", L"IDS_UNKNOWN", L"", szUnknown, 130, strLanguageFile.c_str());
    }
    SHFILEINFOW sfi = {};
    SHGetFileInfoW(pszPath, 0, &sfi, sizeof(sfi), SHGFI_SYSICONINDEX);
}

// A key created (or opened) with full access and counted, as the readers do it.
bool CreateCounted(HKEY hRoot, const wchar_t* pszPath, REGSAM sam, win32::UniqueKey& key, DWORD& nValues, DWORD& nSubkeys)
{
    return RegCreateKeyExW(hRoot, pszPath, 0, nullptr, 0, KEY_ALL_ACCESS | sam, nullptr, key.put(), nullptr) == ERROR_SUCCESS &&
           RegQueryInfoKeyW(key.get(), nullptr, nullptr, nullptr, &nSubkeys, nullptr, nullptr, &nValues, nullptr, nullptr, nullptr,
                            nullptr) == ERROR_SUCCESS;
}

bool QueryText(HKEY hKey, const wchar_t* pszName, wchar_t (&szValue)[261])
{
    DWORD cb = 520, dwType = 0;
    return RegQueryValueExW(hKey, pszName, nullptr, &dwType, reinterpret_cast<BYTE*>(szValue), &cb) == ERROR_SUCCESS;
}

// What the listing has to ask the system, with nothing else around it.
int Baseline()
{
    const std::wstring strLanguageFile = testing_support::ProgramFolder() + L"\\lang\\english.INI";
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
        DWORD nValues = 0, nSubkeys = 0;
        if (!CreateCounted(k.hRoot, kRun, k.sam, key, nValues, nSubkeys))
            continue;
        for (DWORD i = 0; i < nValues; ++i) {
            wchar_t szName[261], szData[261];
            DWORD cchName = 260, cbData = 520, dwType = 0;
            if (RegEnumValueW(key.get(), i, szName, &cchName, nullptr, &dwType, reinterpret_cast<BYTE*>(szData), &cbData) != ERROR_SUCCESS)
                continue;
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
    if (!LibraryUsesApprovedStore()) {
        std::vector<std::wstring> names;
        {
            win32::UniqueKey store;
            DWORD nValues = 0, nSubkeys = 0;
            if (CreateCounted(HKEY_LOCAL_MACHINE, kStore, KEY_WOW64_64KEY, store, nValues, nSubkeys)) {
                for (DWORD i = 0; i < nSubkeys; ++i) {
                    wchar_t szName[521];
                    DWORD cch = 520;
                    if (RegEnumKeyExW(store.get(), i, szName, &cch, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS)
                        names.push_back(szName);
                }
            }
        }
        for (const std::wstring& strName : names) {
            win32::UniqueKey entry;
            if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, (std::wstring(kStore) + L"\\" + strName).c_str(), 0, KEY_ALL_ACCESS | KEY_WOW64_64KEY,
                              entry.put()) != ERROR_SUCCESS)
                continue;
            wchar_t szItem[261] = {}, szCommand[261] = {}, szHive[261] = {}, szKey[261] = {};
            if (QueryText(entry.get(), L"item", szItem) && QueryText(entry.get(), L"command", szCommand) &&
                QueryText(entry.get(), L"hkey", szHive) && (wcscmp(szHive, L"HKCU") == 0 || QueryText(entry.get(), L"key", szKey)))
                paths.push_back(szCommand);
        }
    }
    std::set<std::wstring> distinct(paths.begin(), paths.end());
    for (const std::wstring& strPath : distinct)
        ReadVersionAndIcon(strPath.c_str(), strLanguageFile);
    return static_cast<int>(paths.size());
}

// A scene of nItems entries in the proportions of a large real list: ten in thirteen
// Run values (over the three Run keys), two shortcuts, one MSConfig entry. Entries point
// at nPrograms programs in turn.
class BenchScene {
public:
    BenchScene(int nItems, int nPrograms)
    {
        wchar_t szTemp[MAX_PATH];
        GetTempPathW(MAX_PATH, szTemp);
        m_strFolder = std::wstring(szTemp) + L"startup_bench";
        CreateDirectoryW(m_strFolder.c_str(), nullptr);
        const wchar_t* const fixtures[] = {L"startup_version_full.exe", L"startup_version_fallback.exe", L"startup_version_none.exe"};
        std::vector<std::wstring> programs;
        for (int i = 0; i < nPrograms; ++i) {
            std::wstring strPath = m_strFolder + L"\\program" + std::to_wstring(i) + L".exe";
            std::wstring strFixture = HostFile(fixtures[i % 3]);
            // Links keep a program per entry cheap on disk; a copy where links fail.
            if (!CreateHardLinkW(strPath.c_str(), strFixture.c_str(), nullptr))
                CopyFileW(strFixture.c_str(), strPath.c_str(), FALSE);
            programs.push_back(strPath);
        }
        const int nRun = nItems * 10 / 13, nShortcuts = nItems * 2 / 13, nMsconfig = nItems - nRun - nShortcuts;
        int nEntry = 0;
        const int runSources[] = {SI_RUN_HKCU, SI_RUN_HKLM, SI_RUN_HKLM32};
        for (int i = 0; i < nRun; ++i, ++nEntry)
            m_scene.SetRunText(runSources[i % 3], (L"Entry" + std::to_wstring(i)).c_str(), L"\"" + programs[nEntry % nPrograms] + L"\" /startup");
        for (int i = 0; i < nShortcuts; ++i, ++nEntry)
            m_scene.AddShortcut(i % 2 ? SI_FOLDER_COMMON : SI_FOLDER_USER, L"Link" + std::to_wstring(i) + L".lnk", programs[nEntry % nPrograms]);
        for (int i = 0; i < nMsconfig; ++i, ++nEntry) {
            std::wstring strName = L"Parked" + std::to_wstring(i);
            m_scene.AddMsconfigEntry(strName, strName.c_str(), programs[nEntry % nPrograms].c_str(), i % 2 ? L"HKCU" : L"HKLM",
                                     L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run");
        }
    }
    ~BenchScene() { testing_support::RemoveTree(m_strFolder); }

private:
    Scene m_scene;
    std::wstring m_strFolder;
};

// Rounds of one scene; returns the figures.
testing_support::RoundFigures MeasureScene(PFN_StartupItems startupItems, int nRounds, int& nListed, int& nVisited)
{
    CStartupItemArray items;
    startupItems(&items);  // warm the caches both sides share
    nVisited = Baseline();
    testing_support::RoundFigures figures = testing_support::MeasureRounds(
        nRounds, 1, [&] { startupItems(&items); }, [] { Baseline(); });
    nListed = items.GetSize();
    return figures;
}

}  // namespace

int main(int argc, char** argv)
{
    auto startupItems = testing_support::Library::Export<PFN_StartupItems>("StartupItems");
    if (!startupItems) {
        fwprintf(stderr, L"StartupItems is not exported\n");
        return 1;
    }
    // "startup_items_bench N" stops the growth curve at N items; "... N shared" leaves
    // out the scene of distinct programs (minutes under Wine).
    const int nCurveLimit = argc > 1 ? std::atoi(argv[1]) : 10000;
    const bool bDistinctScene = !(argc > 2 && std::string(argv[2]) == "shared");
    const int kRounds = 15;
    std::printf("%s; 15 rounds each\n", LibrarySeesWow64() ? "64-bit Windows: three Run keys" : "32-bit Windows: the 32-bit Run view is not read");
    auto measureScene = [&](const char* pszTitle, int nPrograms) {
        BenchScene bench(1300, nPrograms);
        int nListed = 0, nVisited = 0;
        testing_support::RoundFigures figures = MeasureScene(startupItems, kRounds, nListed, nVisited);
        char szTitle[200];
        std::snprintf(szTitle, sizeof(szTitle), "%s: %d listed, baseline visited %d", pszTitle, nListed, nVisited);
        testing_support::PrintRounds(szTitle, "StartupItems", "platform calls", figures);
    };
    measureScene("1,300 entries, 20 shared programs", 20);

    // The 20 programs are read once a call whatever the length of the list, so their cost
    // spreads over more items as the list grows; a pass that compared every item with
    // every earlier one would show here as a time per item that climbs.
    std::printf("growth, 20 shared programs: median a call and per item; ratio min / median / max\n");
    for (int nItems : {100, 300, 1000, 3000, 10000}) {
        if (nItems > nCurveLimit)
            break;
        BenchScene bench(nItems, 20);
        int nListed = 0, nVisited = 0;
        testing_support::RoundFigures figures = MeasureScene(startupItems, kRounds, nListed, nVisited);
        testing_support::Spread feature = testing_support::SpreadOf(figures.feature);
        testing_support::Spread baseline = testing_support::SpreadOf(figures.baseline);
        testing_support::Spread ratio = testing_support::SpreadOf(figures.ratio);
        std::printf("  %6d items: StartupItems %8.1f ms, %6.3f ms/item; platform calls %8.1f ms, %6.3f ms/item; ratio %.2f / %.2f / %.2f\n",
                    nListed, feature.dMedian, feature.dMedian / nListed, baseline.dMedian, baseline.dMedian / nListed, ratio.dMin,
                    ratio.dMedian, ratio.dMax);
        std::fflush(stdout);
    }

    // Last, as it takes the longest: minutes under Wine.
    if (bDistinctScene)
        measureScene("1,300 entries, a program of its own for each", 1300);
    return 0;
}
