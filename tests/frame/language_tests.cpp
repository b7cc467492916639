// Which settings and language files the built library uses: first as loaded from the
// build's bin folder by a host in another folder, then after each language resolution.
// The resolution is observed through OptimizeInternet with an unknown connection type,
// whose popup title and message come from the resolved language file.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "notifier_support.h"
#include "testing/import_patch.h"
#include "testing/library_host.h"
#include "win32/raii.h"

using namespace notifier_support;
using testing_support::ImportPatch;
using testing_support::Library;
using testing_support::ProgramFolder;

namespace {

const wchar_t* const kAbsent = L"<absent>";

// A settings key as stored, telling an empty value from a missing key.
std::wstring StoredSetting(const wchar_t* pszKey)
{
    wchar_t szValue[512] = {};
    GetPrivateProfileStringW(kOptimizer, pszKey, kAbsent, szValue, 512, HostFiles::SettingsPath().c_str());
    return szValue;
}

std::wstring LanguageFile(const std::wstring& strTitle, const std::wstring& strList = L"")
{
    return L"[Tessary Optimizer]\r\nIDS_OPTIMIZEDINTERNET=" + strTitle + L"\r\nIDS_CLOUD_INTERNET_TEXT=text of " + strTitle + L"\r\n" + strList +
           L"[Tessary Internet Speed Optimizer]\r\nIDS_INFO_LAN=LAN in " + strTitle + L"\r\n";
}

const wchar_t* const kFiveLanguages =
    L"IDS_LANGUAGE_0=English\r\nIDS_LANGUAGE_ABR_0=EN\r\nIDS_LANGUAGE_1=Deutsch\r\nIDS_LANGUAGE_ABR_1=DE\r\n"
    L"IDS_LANGUAGE_2=Francais\r\nIDS_LANGUAGE_ABR_2=FR\r\nIDS_LANGUAGE_3=Espanol\r\nIDS_LANGUAGE_ABR_3=ES\r\n"
    L"IDS_LANGUAGE_4=Italiano\r\nIDS_LANGUAGE_ABR_4=IT\r\n";

// The TCP/IP keys of the prefix for one test: the interfaces key (which a fresh prefix
// lacks) while it lives, and no MSTCP key afterwards.
class TcpipKeys {
public:
    TcpipKeys()
    {
        DWORD dwDisposition = 0;
        win32::UniqueKey key;
        RegCreateKeyExW(HKEY_LOCAL_MACHINE, kInterfaces, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, key.put(), &dwDisposition);
        m_bCreated = dwDisposition == REG_CREATED_NEW_KEY;
    }
    ~TcpipKeys()
    {
        RegDeleteKeyW(HKEY_LOCAL_MACHINE, L"SYSTEM\\CurrentControlSet\\Services\\VxD\\MSTCP");
        if (m_bCreated)
            RegDeleteKeyW(HKEY_LOCAL_MACHINE, kInterfaces);
    }

private:
    static constexpr const wchar_t* kInterfaces = L"SYSTEM\\CurrentControlSet\\Services\\TCPIP\\Parameters\\Interfaces";
    bool m_bCreated = false;
};

// Must run first: nothing may have loaded the library before.
TEST(LibraryFrame, LoadsWithoutFilesAndReadsLangEnglishUntilTheFirstResolution)
{
    HostFiles files;  // neither Settings.INI nor a Lang folder beside the host
    ASSERT_NE(nullptr, Library::Handle());
    std::wstring strLibrary = testing_support::LibraryPath();
    ASSERT_NE(0, _wcsicmp(strLibrary.substr(0, strLibrary.rfind(L'\\')).c_str(), ProgramFolder().c_str()));

    files.Settings(L"[Tessary Optimizer]\r\nIDS_LANGUAGE=german\r\n");
    files.Language(L"english.INI", LanguageFile(L"English"));
    files.Language(L"german.ini", LanguageFile(L"Deutsch"));
    TcpipKeys tcpip;  // a tuning that writes nothing reports no result and shows no popup
    auto optimize = Library::Export<PFN_OptimizeInternet>("OptimizeInternet");
    NotifierRecorder recorder;

    optimize(2, 0);
    EXPECT_EQ(L"LAN in English", files.Setting(L"Internet Speed Enhancer", L"IDS_OPTIMIZEDINTERNET"));
    // The description is read before this call resolves the language; the popup after.
    optimize(2, 1);
    EXPECT_EQ(L"LAN in English", ResultValue(L"IDS_CLOUD_INTOPT"));
    EXPECT_EQ(L"2", ResultValue(L"IDS_CLOUD_INTOPT_STATUS"));
    EXPECT_EQ(L"Deutsch", ResultValue(L"IDS_CLOUD_POPUP_TITLE"));
    EXPECT_EQ(L"text of DeutschLAN in English", ResultValue(L"IDS_CLOUD_MESSAGE_2"));
    optimize(2, 0);
    EXPECT_EQ(L"LAN in Deutsch", files.Setting(L"Internet Speed Enhancer", L"IDS_OPTIMIZEDINTERNET"));
    testing_support::RemoveTree(ResultFile());
}

class LanguageResolution : public ::testing::Test {
protected:
    void SetUp() override
    {
        optimize = Library::Export<PFN_OptimizeInternet>("OptimizeInternet");
        ASSERT_NE(nullptr, optimize);
        ASSERT_TRUE(recorder.IsActive());
    }
    void TearDown() override { testing_support::RemoveTree(ResultFile()); }
    // Resolves the language; returns the popup title, i.e. which file won.
    std::wstring Resolve()
    {
        optimize(7, 1);
        return ResultValue(L"IDS_CLOUD_POPUP_TITLE");
    }

    HostFiles files;
    NotifierRecorder recorder;
    PFN_OptimizeInternet optimize = nullptr;
};

TEST_F(LanguageResolution, AnExistingChosenLanguageStandsAndTheSettingsStayAsTheyAre)
{
    files.Settings(L"[Tessary Optimizer]\r\nIDS_LANGUAGE=german\r\nIDS_DEFAULT_LANGUAGE=english\r\n");
    files.Language(L"german.ini", LanguageFile(L"Deutsch", kFiveLanguages));
    files.Language(L"english.ini", LanguageFile(L"English", kFiveLanguages));
    EXPECT_EQ(L"Deutsch", Resolve());
    EXPECT_EQ(L"text of Deutsch", ResultValue(L"IDS_CLOUD_MESSAGE_2"));
    EXPECT_EQ(L"german", StoredSetting(L"IDS_LANGUAGE"));
    EXPECT_EQ(kAbsent, StoredSetting(L"IDS_LANGUAGE_ABR"));
}

TEST_F(LanguageResolution, AMissingLanguageFallsBackToTheDefaultComparedWithoutCase)
{
    files.Settings(L"[Tessary Optimizer]\r\nIDS_LANGUAGE=klingon\r\nIDS_DEFAULT_LANGUAGE=deutsch\r\n");
    files.Language(L"deutsch.ini", LanguageFile(L"Deutsch", kFiveLanguages));
    EXPECT_EQ(L"Deutsch", Resolve());
    EXPECT_EQ(L"deutsch", StoredSetting(L"IDS_LANGUAGE"));
    EXPECT_EQ(L"DE", StoredSetting(L"IDS_LANGUAGE_ABR"));
    // The rewritten choice holds for the next resolution without another fallback.
    WritePrivateProfileStringW(kOptimizer, L"IDS_DEFAULT_LANGUAGE", L"english", HostFiles::SettingsPath().c_str());
    EXPECT_EQ(L"Deutsch", Resolve());
    EXPECT_EQ(L"deutsch", StoredSetting(L"IDS_LANGUAGE"));
}

TEST_F(LanguageResolution, AShortListMatchesItsLastEntryAndLeavesTheRestEmpty)
{
    files.Settings(L"[Tessary Optimizer]\r\nIDS_LANGUAGE=\r\nIDS_DEFAULT_LANGUAGE=ESPANOL\r\n");
    files.Language(L"espanol.ini", LanguageFile(L"Espanol", L"IDS_LANGUAGE_0=English\r\nIDS_LANGUAGE_ABR_0=EN\r\n"
                                                            L"IDS_LANGUAGE_1=Espanol\r\nIDS_LANGUAGE_ABR_1=ES\r\n"));
    EXPECT_EQ(L"Espanol", Resolve());
    EXPECT_EQ(L"ES", StoredSetting(L"IDS_LANGUAGE_ABR"));
    // A default that its own file does not list writes no abbreviation.
    files.Settings(L"[Tessary Optimizer]\r\nIDS_LANGUAGE=none\r\nIDS_DEFAULT_LANGUAGE=other\r\n");
    files.Language(L"other.ini", LanguageFile(L"Other", L"IDS_LANGUAGE_0=English\r\nIDS_LANGUAGE_ABR_0=EN\r\n"));
    EXPECT_EQ(L"Other", Resolve());
    EXPECT_EQ(L"other", StoredSetting(L"IDS_LANGUAGE"));
    EXPECT_EQ(kAbsent, StoredSetting(L"IDS_LANGUAGE_ABR"));
}

TEST_F(LanguageResolution, WithNeitherKeyTheEmptyLanguageIsWrittenAndTextsAreEmpty)
{
    files.Language(L"english.ini", LanguageFile(L"English", kFiveLanguages));
    ASSERT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(HostFiles::SettingsPath().c_str()));
    EXPECT_EQ(L"", Resolve());
    EXPECT_EQ(L"", ResultValue(L"IDS_CLOUD_MESSAGE_2"));
    EXPECT_EQ(L"", StoredSetting(L"IDS_LANGUAGE"));
    EXPECT_EQ(1u, recorder.starts.size());
}

TEST_F(LanguageResolution, AFileLockedWithoutReadSharingCountsAsMissing)
{
    files.Settings(L"[Tessary Optimizer]\r\nIDS_LANGUAGE=german\r\nIDS_DEFAULT_LANGUAGE=english\r\n");
    files.Language(L"german.ini", LanguageFile(L"Deutsch", kFiveLanguages));
    files.Language(L"english.ini", LanguageFile(L"English", kFiveLanguages));
    {
        win32::UniqueFile lock(CreateFileW(HostFiles::LanguagePath(L"german.ini").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                           FILE_ATTRIBUTE_NORMAL, nullptr));
        ASSERT_TRUE(lock);
        EXPECT_EQ(L"English", Resolve());
    }
    EXPECT_EQ(L"english", StoredSetting(L"IDS_LANGUAGE"));
    EXPECT_EQ(L"EN", StoredSetting(L"IDS_LANGUAGE_ABR"));
}

}  // namespace
