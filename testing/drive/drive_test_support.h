// What the drive report's tests put in place of the platform: WMI served by fake_wbem.dll
// from a fixture, and ATA drives simulated behind the library's device imports.
#pragma once
#include <windows.h>
#include <winioctl.h>

#include <array>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "testing/import_patch.h"

namespace drive_testing {

// ---- WMI --------------------------------------------------------------------------------

// The text of a fixture for fake_wbem.dll (the format is in fake_wbem_fixture.h).
class WmiFixture {
public:
    WmiFixture& Fail(const std::string& strStep);
    WmiFixture& Object(const std::string& strClass);
    WmiFixture& Property(const std::string& strName, const std::string& strType, const std::string& strValue = "");
    WmiFixture& Text(const std::string& strName, const std::string& strValue) { return Property(strName, "bstr", strValue); }
    // A Win32_DiskDrive as WMI gives it (Partitions omitted when nPartitions < 0).
    WmiFixture& Disk(const std::string& strName, const std::string& strSize, const std::string& strCapabilities,
                     const std::string& strModel, const std::string& strStatus = "OK", int nPartitions = 1);
    WmiFixture& Medium(const std::string& strTag, const std::string& strSerial);
    const std::string& str() const { return m_strText; }

private:
    std::string m_strText;
};

// Puts WMI's own server back where a test run that did not end left the machine's
// registration of the locator pointing at fake_wbem.dll.
void RepairLocatorRegistration();

// A registration of the WMI locator's class that restores what was there before.
class ServerRegistration {
public:
    bool Register(HKEY hRoot, const std::wstring& strServer);
    void Restore();

private:
    HKEY m_hRoot = nullptr;
    bool m_bRegistered = false;
    bool m_bHadKey = false;
    std::wstring m_strOldServer, m_strOldModel;
    DWORD m_dwOldServerType = REG_SZ;
};

// fake_wbem.dll registered for CLSID_WbemLocator for the life of the object, and held
// loaded so that its counters survive the library's CoUninitialize.
class FakeWmi {
public:
    FakeWmi();
    ~FakeWmi();
    FakeWmi(const FakeWmi&) = delete;
    FakeWmi& operator=(const FakeWmi&) = delete;

    // CoCreateInstance of the locator reaches the fake.
    bool IsServing() const { return m_bServed; }
    // ... through the per-user registration alone.
    bool IsPerUser() const { return m_bPerUser; }
    void Serve(const WmiFixture& fixture) const;
    // Calls since the last ClearLog, one a line.
    std::wstring Log() const;
    void ClearLog() const;
    LONG LiveObjects() const;
    static std::wstring DllPath();

private:
    bool ServesLocator() const;

    HMODULE m_hModule = nullptr;
    ServerRegistration m_registration;
    bool m_bServed = false;
    bool m_bPerUser = false;
};

// Lines of a log that start with strPrefix.
std::vector<std::wstring> LogLines(const std::wstring& strLog, const std::wstring& strPrefix);

// ---- language file ----------------------------------------------------------------------

// The host's language file (Lang\english.INI beside the test program) with the section
// "Drive SMART"; a text given as nullptr is left out. Removed afterwards.
class LanguageFile {
public:
    LanguageFile(const wchar_t* pszEnabled = L"SMART Enabled", const wchar_t* pszNotEnabled = L"SMART Not Supported",
                 const wchar_t* pszExcellent = L"Excellent", const wchar_t* pszBad = L"Bad", const wchar_t* pszPoor = L"Poor");
    ~LanguageFile();
    LanguageFile(const LanguageFile&) = delete;
    LanguageFile& operator=(const LanguageFile&) = delete;
    static std::wstring Path();
};

// ---- simulated drives -------------------------------------------------------------------

using Block = std::array<BYTE, 512>;

// One ATA drive: what it answers and which requests it refuses.
struct SimulatedDrive {
    Block identify{};
    Block attributes{};
    Block thresholds{};
    bool bRefuseIdentify = false;
    bool bRefuseEnable = false;
    bool bRefuseReadData = false;
    bool bRefuseThresholds = false;
    bool bRefuseOpen = false;  // the path exists for the probe but not for the reads
    // The call succeeds, but the reply's driver status reports that the drive aborted the
    // command; the data bytes still carry the block above.
    bool bErrorReplyIdentify = false;
    bool bErrorReplyReadData = false;
    // The reply to the storage temperature property (IOCTL_STORAGE_QUERY_PROPERTY); when
    // empty the query is refused, as Windows before 10 and ATA disks' drivers do.
    std::vector<BYTE> storageTemperature;
    int nOpens = 0;
};

// A request the library sent, as it sent it.
struct DriveRequest {
    int nDrive;  // the simulated drive the handle belongs to
    DWORD dwCode;
    std::vector<BYTE> input;
    DWORD cbOutput;
};

struct DriveOpen {
    std::wstring strPath;
    DWORD dwAccess, dwShare, dwDisposition, dwFlags;
    bool bSecurity, bTemplate;
};

// Drives 0 to 19 behind "\\.\PHYSICALDRIVEn" in the module's CreateFileW, DeviceIoControl
// and CloseHandle imports (the library's by default); every other call is passed on.
class SimulatedDrives {
public:
    explicit SimulatedDrives(HMODULE hModule = nullptr);
    ~SimulatedDrives();
    SimulatedDrives(const SimulatedDrives&) = delete;
    SimulatedDrives& operator=(const SimulatedDrives&) = delete;

    bool IsActive() const;
    SimulatedDrive& Add(int nDrive) { return m_drives[nDrive]; }
    SimulatedDrive& operator[](int nDrive) { return m_drives[nDrive]; }
    void RemoveAll() { m_drives.clear(); }
    void ClearRecords();

    std::vector<DriveOpen> opens;
    std::vector<DriveRequest> requests;         // SMART requests
    std::vector<DriveRequest> storageQueries;  // storage property queries
    int nOpenHandles = 0;     // handles given out and not yet closed
    int nForeignCalls = 0;    // device calls on handles that are no drive of ours

    // The handle a test can use for CATADevice directly.
    HANDLE Open(int nDrive);
    BOOL Close(HANDLE h);

private:
    static HANDLE WINAPI FakeCreateFileW(LPCWSTR, DWORD, DWORD, LPSECURITY_ATTRIBUTES, DWORD, DWORD, HANDLE);
    static BOOL WINAPI FakeDeviceIoControl(HANDLE, DWORD, LPVOID, DWORD, LPVOID, DWORD, LPDWORD, LPOVERLAPPED);
    static BOOL WINAPI FakeCloseHandle(HANDLE);
    BOOL Answer(int nDrive, DWORD dwCode, const BYTE* pIn, DWORD cbIn, BYTE* pOut, DWORD cbOut, DWORD* pcbReturned);

    std::map<int, SimulatedDrive> m_drives;
    std::map<HANDLE, int> m_handles;
    UINT_PTR m_nNextHandle = 0x7D000000;
    std::unique_ptr<testing_support::ImportPatch> m_create, m_control, m_close;
};

// Builders of drive data.
// An IDENTIFY block with texts stored as the drive stores them (two characters a word,
// high byte first); bit 0 and 1 of word 53 set.
Block IdentifyBlock(const std::string& strSerial, const std::string& strModel, const std::string& strFirmware);
// A SMART table (attribute or threshold layout): revision 0x10 and the given entries at
// their positions; abRawRest are raw bytes 1 to 5, after the lowest one.
struct SmartEntry {
    int nPosition;
    BYTE bId;
    BYTE bWorst;
    BYTE bRaw;
    std::array<BYTE, 5> abRawRest = {};
};
Block SmartTable(const std::vector<SmartEntry>& entries);
// A temperature property reply: the 24-byte header with the warning temperature and one
// 16-byte entry per sensor, cut to cbLength bytes when that is given.
std::vector<BYTE> StorageTemperatureReply(SHORT nWarning, const std::vector<SHORT>& sensors, size_t cbLength = ~size_t(0));

// Worked examples of the temperature rule: a model, its attribute table's entries and the
// degrees Celsius and Fahrenheit the drive reports.
struct TemperatureExample {
    const char* pszModel;
    std::vector<SmartEntry> entries;
    int nTempC, nTempMaxC, nTempF, nTempMaxF;
};
const std::vector<TemperatureExample>& TemperatureExamples();

// A Seagate desktop disk's attribute table as smartctl listed it (ID, flags, value, worst,
// raw value), 24 entries with 190 (raw 36, worst 47) before 194 (raw 36, worst 53). The
// raw values of 190 and 194 carry their other bytes as smartctl showed them after the
// temperature in byte 0.
Block CapturedSeagateTable();

}  // namespace drive_testing
