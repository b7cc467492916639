#include "drive_test_support.h"

#include <shlwapi.h>
#include <wbemcli.h>

#include <algorithm>
#include <cstring>

#include "fake_wbem_fixture.h"
#include "testing/library_host.h"
#include "win32/raii.h"

namespace drive_testing {

// ---- WMI --------------------------------------------------------------------------------

WmiFixture& WmiFixture::Fail(const std::string& strStep)
{
    m_strText += "fail " + strStep + "\n";
    return *this;
}

WmiFixture& WmiFixture::Object(const std::string& strClass)
{
    m_strText += "object " + strClass + "\n";
    return *this;
}

WmiFixture& WmiFixture::Property(const std::string& strName, const std::string& strType, const std::string& strValue)
{
    m_strText += strName + "\t" + strType + "\t" + strValue + "\n";
    return *this;
}

WmiFixture& WmiFixture::Disk(const std::string& strName, const std::string& strSize, const std::string& strCapabilities,
                             const std::string& strModel, const std::string& strStatus, int nPartitions)
{
    Object("Win32_DiskDrive").Text("Name", strName).Text("DeviceID", strName).Text("Size", strSize);
    Property("Capabilities", "i4array", strCapabilities).Text("Model", strModel).Text("Status", strStatus);
    Text("InterfaceType", "IDE").Text("MediaType", "Fixed hard disk media");
    if (nPartitions >= 0)
        Property("Partitions", "i4", std::to_string(nPartitions));
    return *this;
}

WmiFixture& WmiFixture::Medium(const std::string& strTag, const std::string& strSerial)
{
    return Object("Win32_PhysicalMedia").Text("Tag", strTag).Text("SerialNumber", strSerial);
}

namespace {
const wchar_t kLocatorKey[] = L"Software\\Classes\\CLSID\\{4590F811-1D3A-11D0-891F-00AA004B2E24}";
const wchar_t kServerKey[] = L"Software\\Classes\\CLSID\\{4590F811-1D3A-11D0-891F-00AA004B2E24}\\InprocServer32";

// A string value with its type (a server path may be REG_EXPAND_SZ).
struct StringValue {
    std::wstring strText;
    DWORD dwType = REG_SZ;
};

StringValue ReadString(HKEY hKey, const wchar_t* pszName)
{
    wchar_t szValue[MAX_PATH * 2] = {};
    DWORD cb = sizeof(szValue) - sizeof(wchar_t), dwType = REG_SZ;
    if (RegQueryValueExW(hKey, pszName, nullptr, &dwType, reinterpret_cast<BYTE*>(szValue), &cb) != ERROR_SUCCESS)
        return StringValue();
    return StringValue{szValue, dwType};
}

void WriteString(HKEY hKey, const wchar_t* pszName, const std::wstring& strValue, DWORD dwType = REG_SZ)
{
    RegSetValueExW(hKey, pszName, 0, dwType, reinterpret_cast<const BYTE*>(strValue.c_str()),
                   static_cast<DWORD>((strValue.size() + 1) * sizeof(wchar_t)));
}

std::wstring FixturePath() { return testing_support::ProgramFolder() + L"\\" FAKE_WBEM_FIXTURE_NAME; }

template <class F>
F FakeExport(HMODULE hModule, const char* pszName)
{
    return reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(hModule, pszName)));
}

// Left behind by a test run that did not end: WMI's own server is what belongs here.
std::wstring WmiServerPath()
{
    wchar_t szSystem[MAX_PATH] = {};
    GetSystemDirectoryW(szSystem, MAX_PATH);
    return std::wstring(szSystem) + L"\\wbem\\wbemprox.dll";
}
}  // namespace

void RepairLocatorRegistration()
{
    win32::UniqueKey key;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kServerKey, 0, KEY_READ | KEY_SET_VALUE, key.put()) == ERROR_SUCCESS &&
        ReadString(key.get(), nullptr).strText.find(FAKE_WBEM_DLL_NAME) != std::wstring::npos)
        WriteString(key.get(), nullptr, WmiServerPath());
}

std::wstring FakeWmi::DllPath() { return testing_support::ProgramFolder() + L"\\" FAKE_WBEM_DLL_NAME; }

bool ServerRegistration::Register(HKEY hRoot, const std::wstring& strServer)
{
    m_hRoot = hRoot;
    win32::UniqueKey key;
    m_bHadKey = RegOpenKeyExW(hRoot, kServerKey, 0, KEY_READ, key.put()) == ERROR_SUCCESS;
    if (m_bHadKey) {
        StringValue server = ReadString(key.get(), nullptr);
        m_strOldServer = server.strText;
        m_dwOldServerType = server.dwType;
        m_strOldModel = ReadString(key.get(), L"ThreadingModel").strText;
        if (m_strOldServer.find(FAKE_WBEM_DLL_NAME) != std::wstring::npos) {
            m_strOldServer = WmiServerPath();
            m_dwOldServerType = REG_SZ;
        }
    }
    key.reset();
    m_bRegistered = RegCreateKeyExW(hRoot, kServerKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, key.put(), nullptr) ==
                    ERROR_SUCCESS;
    if (m_bRegistered) {
        WriteString(key.get(), nullptr, strServer);
        WriteString(key.get(), L"ThreadingModel", L"Both");
    }
    return m_bRegistered;
}

void ServerRegistration::Restore()
{
    if (m_bHadKey) {
        win32::UniqueKey key;
        if (RegOpenKeyExW(m_hRoot, kServerKey, 0, KEY_SET_VALUE, key.put()) == ERROR_SUCCESS) {
            WriteString(key.get(), nullptr, m_strOldServer, m_dwOldServerType);
            WriteString(key.get(), L"ThreadingModel", m_strOldModel);
        }
    } else if (m_bRegistered) {
        SHDeleteKeyW(m_hRoot, kLocatorKey);
    }
    m_bHadKey = m_bRegistered = false;
}

namespace {
// Whether CoCreateInstance of the WMI locator reaches the fake: asked on a thread of its
// own, so that the caller's apartment stays as it was.
DWORD WINAPI ProbeLocator(void* pParameter)
{
    auto pfnLive = reinterpret_cast<LONG(__cdecl*)()>(pParameter);
    win32::ComInitGuard com(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
    win32::ComPtr<IWbemLocator> locator;
    CoCreateInstance(__uuidof(WbemLocator), nullptr, CLSCTX_INPROC_SERVER, __uuidof(IWbemLocator), locator.replace_void());
    return locator && pfnLive() > 0;
}
}  // namespace

bool FakeWmi::ServesLocator() const
{
    auto pfnLive = FakeExport<LONG(__cdecl*)()>(m_hModule, "FakeWbemLiveObjects");
    if (!pfnLive)
        return false;
    win32::UniqueHandle thread(CreateThread(nullptr, 0, ProbeLocator, reinterpret_cast<void*>(pfnLive), 0, nullptr));
    DWORD dwServed = 0;
    WaitForSingleObject(thread.get(), INFINITE);
    GetExitCodeThread(thread.get(), &dwServed);
    return dwServed != 0;
}

FakeWmi::FakeWmi()
{
    // Else a machine registration left pointing here would pass for the per-user one.
    RepairLocatorRegistration();
    m_hModule = LoadLibraryW(DllPath().c_str());
    Serve(WmiFixture());
    // A per-user class is what a test should need; where COM reads only the machine's
    // classes (Wine 8 does), the machine's registration is replaced for the test's life.
    m_registration.Register(HKEY_CURRENT_USER, DllPath());
    m_bServed = ServesLocator();
    m_bPerUser = m_bServed;
    if (!m_bServed) {
        m_registration.Restore();
        m_registration.Register(HKEY_LOCAL_MACHINE, DllPath());
        m_bServed = ServesLocator();
    }
}

FakeWmi::~FakeWmi()
{
    m_registration.Restore();
    DeleteFileW(FixturePath().c_str());
    if (m_hModule)
        FreeLibrary(m_hModule);
}

void FakeWmi::Serve(const WmiFixture& fixture) const
{
    win32::UniqueFile file(CreateFileW(FixturePath().c_str(),
                                       GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    DWORD cbWritten = 0;
    WriteFile(file.get(), fixture.str().data(), static_cast<DWORD>(fixture.str().size()), &cbWritten, nullptr);
}

std::wstring FakeWmi::Log() const
{
    auto pfn = FakeExport<const wchar_t*(__cdecl*)()>(m_hModule, "FakeWbemCallLog");
    return pfn ? pfn() : L"";
}

void FakeWmi::ClearLog() const
{
    if (auto pfn = FakeExport<void(__cdecl*)()>(m_hModule, "FakeWbemClearLog"))
        pfn();
}

LONG FakeWmi::LiveObjects() const
{
    auto pfn = FakeExport<LONG(__cdecl*)()>(m_hModule, "FakeWbemLiveObjects");
    return pfn ? pfn() : -1;
}

std::vector<std::wstring> LogLines(const std::wstring& strLog, const std::wstring& strPrefix)
{
    std::vector<std::wstring> lines;
    size_t nStart = 0;
    while (nStart < strLog.size()) {
        size_t nEnd = strLog.find(L'\n', nStart);
        if (nEnd == std::wstring::npos)
            nEnd = strLog.size();
        std::wstring strLine = strLog.substr(nStart, nEnd - nStart);
        if (strLine.compare(0, strPrefix.size(), strPrefix) == 0)
            lines.push_back(strLine);
        nStart = nEnd + 1;
    }
    return lines;
}

// ---- language file ----------------------------------------------------------------------

std::wstring LanguageFile::Path() { return testing_support::ProgramFolder() + L"\\lang\\english.INI"; }

LanguageFile::LanguageFile(const wchar_t* pszEnabled, const wchar_t* pszNotEnabled, const wchar_t* pszExcellent,
                           const wchar_t* pszBad, const wchar_t* pszPoor)
{
    CreateDirectoryW((testing_support::ProgramFolder() + L"\\lang").c_str(), nullptr);
    std::wstring strText = L"[Drive SMART]\r\n";
    auto add = [&](const wchar_t* pszKey, const wchar_t* pszValue) {
        if (pszValue)
            strText += std::wstring(pszKey) + L"=" + pszValue + L"\r\n";
    };
    add(L"IDS_SMART_ENABLED", pszEnabled);
    add(L"IDS_SMART_NOT_ENABLED", pszNotEnabled);
    add(L"IDS_STATUS_EXCELLENT", pszExcellent);
    add(L"IDS_STATUS_BAD", pszBad);
    add(L"IDS_STATUS_POOR", pszPoor);
    testing_support::WriteUtf16File(Path(), strText);
}

LanguageFile::~LanguageFile()
{
    DeleteFileW(Path().c_str());
    RemoveDirectoryW((testing_support::ProgramFolder() + L"\\lang").c_str());  // only when empty
}

// ---- simulated drives -------------------------------------------------------------------

namespace {
// The patches live inside the object, so this is set whenever a fake is called.
SimulatedDrives* g_pActive = nullptr;
constexpr DWORD kReplyHeader = sizeof(SENDCMDOUTPARAMS) - 1;
}  // namespace

SimulatedDrives::SimulatedDrives(HMODULE hModule)
{
    if (!hModule)
        hModule = testing_support::Library::Handle();
    g_pActive = this;
    m_create = std::make_unique<testing_support::ImportPatch>(hModule, "kernel32.dll", "CreateFileW",
                                                              reinterpret_cast<void*>(&FakeCreateFileW));
    m_control = std::make_unique<testing_support::ImportPatch>(hModule, "kernel32.dll", "DeviceIoControl",
                                                               reinterpret_cast<void*>(&FakeDeviceIoControl));
    m_close = std::make_unique<testing_support::ImportPatch>(hModule, "kernel32.dll", "CloseHandle",
                                                             reinterpret_cast<void*>(&FakeCloseHandle));
}

SimulatedDrives::~SimulatedDrives()
{
    m_close.reset();
    m_control.reset();
    m_create.reset();
    g_pActive = nullptr;
}

bool SimulatedDrives::IsActive() const { return m_create->IsActive() && m_control->IsActive() && m_close->IsActive(); }

void SimulatedDrives::ClearRecords()
{
    opens.clear();
    requests.clear();
    storageQueries.clear();
    for (auto& drive : m_drives)
        drive.second.nOpens = 0;
}

HANDLE SimulatedDrives::Open(int nDrive)
{
    HANDLE h = reinterpret_cast<HANDLE>(m_nNextHandle += 4);
    m_handles[h] = nDrive;
    ++m_drives[nDrive].nOpens;
    ++nOpenHandles;
    return h;
}

BOOL SimulatedDrives::Close(HANDLE h)
{
    if (!m_handles.erase(h))
        return FALSE;
    --nOpenHandles;
    return TRUE;
}

HANDLE WINAPI SimulatedDrives::FakeCreateFileW(LPCWSTR pszPath, DWORD dwAccess, DWORD dwShare,
                                               LPSECURITY_ATTRIBUTES pSecurity, DWORD dwDisposition, DWORD dwFlags,
                                               HANDLE hTemplate)
{
    SimulatedDrives* pSelf = g_pActive;
    const wchar_t kPrefix[] = L"\\\\.\\PHYSICALDRIVE";
    if (!pszPath || _wcsnicmp(pszPath, kPrefix, wcslen(kPrefix)) != 0)
        return pSelf->m_create->Original<decltype(&CreateFileW)>()(pszPath, dwAccess, dwShare, pSecurity, dwDisposition,
                                                                   dwFlags, hTemplate);
    pSelf->opens.push_back(DriveOpen{pszPath, dwAccess, dwShare, dwDisposition, dwFlags, pSecurity != nullptr,
                                     hTemplate != nullptr});
    const wchar_t* pszNumber = pszPath + wcslen(kPrefix);
    wchar_t* pszEnd = nullptr;
    long nDrive = wcstol(pszNumber, &pszEnd, 10);
    auto it = pSelf->m_drives.find(static_cast<int>(nDrive));
    // The drive's own path only, opened for reading and writing.
    bool bOpens = pszEnd != pszNumber && *pszEnd == L'\0' && it != pSelf->m_drives.end() &&
                  (dwAccess & (GENERIC_READ | GENERIC_WRITE)) == (GENERIC_READ | GENERIC_WRITE) &&
                  dwDisposition == OPEN_EXISTING && !(it->second.bRefuseOpen && it->second.nOpens > 0);
    if (!bOpens) {
        if (it != pSelf->m_drives.end())
            ++it->second.nOpens;
        SetLastError(it == pSelf->m_drives.end() ? ERROR_FILE_NOT_FOUND : ERROR_ACCESS_DENIED);
        return INVALID_HANDLE_VALUE;
    }
    return pSelf->Open(static_cast<int>(nDrive));
}

BOOL WINAPI SimulatedDrives::FakeDeviceIoControl(HANDLE h, DWORD dwCode, LPVOID pIn, DWORD cbIn, LPVOID pOut, DWORD cbOut,
                                                 LPDWORD pcbReturned, LPOVERLAPPED pOverlapped)
{
    SimulatedDrives* pSelf = g_pActive;
    auto it = pSelf->m_handles.find(h);
    if (it == pSelf->m_handles.end()) {
        ++pSelf->nForeignCalls;
        return pSelf->m_control->Original<decltype(&DeviceIoControl)>()(h, dwCode, pIn, cbIn, pOut, cbOut, pcbReturned,
                                                                        pOverlapped);
    }
    const BYTE* pBytes = static_cast<const BYTE*>(pIn);
    DriveRequest request{it->second, dwCode, std::vector<BYTE>(pBytes, pBytes + (pIn ? cbIn : 0)), cbOut};
    if (dwCode == IOCTL_STORAGE_QUERY_PROPERTY) {
        pSelf->storageQueries.push_back(request);
        const std::vector<BYTE>& reply = pSelf->m_drives[it->second].storageTemperature;
        if (reply.empty() || !pcbReturned || !pOut) {
            SetLastError(ERROR_INVALID_FUNCTION);
            return FALSE;
        }
        *pcbReturned = static_cast<DWORD>(std::min<size_t>(reply.size(), cbOut));
        memcpy(pOut, reply.data(), *pcbReturned);
        return TRUE;
    }
    pSelf->requests.push_back(request);
    if (!pcbReturned || pOverlapped) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    return pSelf->Answer(it->second, dwCode, pBytes, cbIn, static_cast<BYTE*>(pOut), cbOut, pcbReturned);
}

BOOL SimulatedDrives::Answer(int nDrive, DWORD dwCode, const BYTE* pIn, DWORD cbIn, BYTE* pOut, DWORD cbOut,
                             DWORD* pcbReturned)
{
    if (!pIn || cbIn < sizeof(SENDCMDINPARAMS) - 1) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    SENDCMDINPARAMS request;
    memcpy(&request, pIn, sizeof(request) - 1);
    const IDEREGS& regs = request.irDriveRegs;
    SimulatedDrive& drive = m_drives[nDrive];
    const Block* pData = nullptr;
    bool bRefused = true;
    bool bErrorReply = false;
    if (dwCode == SMART_RCV_DRIVE_DATA && regs.bCommandReg == ID_CMD) {
        pData = &drive.identify;
        bRefused = drive.bRefuseIdentify;
        bErrorReply = drive.bErrorReplyIdentify;
    } else if (dwCode == SMART_SEND_DRIVE_COMMAND && regs.bCommandReg == SMART_CMD && regs.bFeaturesReg == ENABLE_SMART) {
        bRefused = drive.bRefuseEnable;
    } else if (dwCode == SMART_RCV_DRIVE_DATA && regs.bCommandReg == SMART_CMD && regs.bFeaturesReg == READ_ATTRIBUTES) {
        pData = &drive.attributes;
        bRefused = drive.bRefuseReadData;
        bErrorReply = drive.bErrorReplyReadData;
    } else if (dwCode == SMART_RCV_DRIVE_DATA && regs.bCommandReg == SMART_CMD && regs.bFeaturesReg == READ_THRESHOLDS) {
        pData = &drive.thresholds;
        bRefused = drive.bRefuseThresholds;
    }
    if (bRefused) {
        SetLastError(ERROR_INVALID_FUNCTION);
        return FALSE;
    }
    DWORD cbData = pData ? static_cast<DWORD>(pData->size()) : 0;
    if (!pOut || cbOut < kReplyHeader + cbData) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    memset(pOut, 0, kReplyHeader);
    memcpy(pOut, &cbData, sizeof(cbData));
    if (bErrorReply) {
        reinterpret_cast<SENDCMDOUTPARAMS*>(pOut)->DriverStatus.bDriverError = SMART_IDE_ERROR;
        reinterpret_cast<SENDCMDOUTPARAMS*>(pOut)->DriverStatus.bIDEError = 0x04;  // command aborted
    }
    if (pData)
        memcpy(pOut + kReplyHeader, pData->data(), cbData);
    *pcbReturned = kReplyHeader + cbData;
    return TRUE;
}

BOOL WINAPI SimulatedDrives::FakeCloseHandle(HANDLE h)
{
    SimulatedDrives* pSelf = g_pActive;
    if (pSelf->Close(h))
        return TRUE;
    return pSelf->m_close->Original<decltype(&CloseHandle)>()(h);
}

// ---- drive data -------------------------------------------------------------------------

namespace {
void PutText(Block& block, int nFirstWord, int nLength, const std::string& strText)
{
    std::string strField = strText.substr(0, nLength);
    strField.resize(nLength, ' ');
    for (int i = 0; i < nLength; i += 2) {
        block[2 * nFirstWord + i] = static_cast<BYTE>(strField[i + 1]);
        block[2 * nFirstWord + i + 1] = static_cast<BYTE>(strField[i]);
    }
}
}  // namespace

Block IdentifyBlock(const std::string& strSerial, const std::string& strModel, const std::string& strFirmware)
{
    Block block{};
    PutText(block, 10, 20, strSerial);
    PutText(block, 23, 8, strFirmware);
    PutText(block, 27, 40, strModel);
    block[2 * 53] = 0x03;
    return block;
}

Block SmartTable(const std::vector<SmartEntry>& entries)
{
    Block block{};
    block[0] = 0x10;
    for (const SmartEntry& entry : entries) {
        BYTE* p = &block[2 + 12 * entry.nPosition];
        p[0] = entry.bId;
        p[1] = 0x03;
        p[3] = 100;
        p[4] = entry.bWorst;
        p[5] = entry.bRaw;
        std::copy(entry.abRawRest.begin(), entry.abRawRest.end(), p + 6);
    }
    return block;
}

const std::vector<TemperatureExample>& TemperatureExamples()
{
    static const std::vector<TemperatureExample> examples = {
        {"WDC WD5000AAKS", {{0, 194, 30, 41}}, 41, 56, 105, 132},
        {"ST3500418AS", {{0, 194, 30, 41}}, 41, 41, 105, 105},  // worst 30: not below 41
        {"wd green", {{4, 194, 30, 41}}, 41, 56, 105, 132},
        {"TOSHIBA MK", {{4, 194, 30, 41}}, 41, 56, 105, 132},
        {"hds721010", {{4, 194, 30, 41}}, 41, 56, 105, 132},
        {"HD", {{4, 194, 30, 41}}, 41, 41, 105, 105},
        {"ST", {{1, 190, 62, 35}, {5, 194, 30, 40}}, 35, 62, 95, 143},
        {"WDC", {{1, 194, 30, 40}, {5, 190, 62, 35}}, 35, 62, 95, 143},
        {"ST", {{1, 231, 62, 35}}, 0, 0, 0, 0},
        {"ST", {{1, 194, 50, 0}}, 0, 0, 0, 0},
        {"WDC", {{1, 194, 50, 0}}, 0, 0, 0, 0},
        {"ST", {{1, 190, 50, 0}, {2, 194, 50, 40}}, 0, 0, 0, 0},
        {"ST", {{29, 194, 255, 255}}, 255, 255, 491, 491},
    };
    return examples;
}

Block CapturedSeagateTable()
{
    const struct {
        BYTE bId;
        WORD wFlags;
        BYTE bValue, bWorst;
        ULONGLONG ullRaw;
    } listing[] = {
        {1, 0x000f, 83, 64, 199781349},       {3, 0x0003, 84, 84, 0},
        {4, 0x0032, 100, 100, 279},           {5, 0x0033, 100, 100, 0},
        {7, 0x000f, 95, 60, 3275107577},      {9, 0x0032, 59, 59, 36055},
        {10, 0x0013, 100, 100, 0},            {12, 0x0032, 100, 100, 279},
        {184, 0x0032, 100, 100, 0},           {187, 0x0032, 100, 100, 0},
        {188, 0x0032, 100, 97, 4295032853},   {189, 0x003a, 100, 100, 0},
        {190, 0x0022, 64, 47, 0x301E0024},    {191, 0x0032, 94, 94, 13381},
        {192, 0x0032, 100, 100, 1090},        {193, 0x0032, 92, 92, 16993},
        {194, 0x0022, 36, 53, 0x0300000024},  {195, 0x001a, 6, 1, 199781349},
        {197, 0x0012, 100, 100, 0},           {198, 0x0010, 100, 100, 0},
        {199, 0x003e, 200, 200, 0},           {240, 0x0000, 100, 253, 30159},
        {241, 0x0000, 100, 253, 179077946061}, {242, 0x0000, 100, 253, 1135673840147},
    };
    Block block{};
    block[0] = 10;  // revision
    BYTE* p = &block[2];
    for (const auto& entry : listing) {
        p[0] = entry.bId;
        p[1] = LOBYTE(entry.wFlags);
        p[2] = HIBYTE(entry.wFlags);
        p[3] = entry.bValue;
        p[4] = entry.bWorst;
        for (int i = 0; i < 6; ++i)
            p[5 + i] = static_cast<BYTE>(entry.ullRaw >> (8 * i));
        p += 12;
    }
    return block;
}

std::vector<BYTE> StorageTemperatureReply(SHORT nWarning, const std::vector<SHORT>& sensors, size_t cbLength)
{
    std::vector<BYTE> reply(24 + 16 * sensors.size(), 0);
    const DWORD adwHeader[2] = {sizeof(DWORD) * 2, static_cast<DWORD>(reply.size())};  // version, size
    memcpy(&reply[0], adwHeader, sizeof(adwHeader));
    const SHORT anLimits[2] = {static_cast<SHORT>(nWarning + 10), nWarning};           // critical, warning
    memcpy(&reply[8], anLimits, sizeof(anLimits));
    reply[12] = static_cast<BYTE>(sensors.size());  // InfoCount
    for (size_t i = 0; i < sensors.size(); ++i) {
        reply[24 + 16 * i] = static_cast<BYTE>(i);  // Index
        memcpy(&reply[24 + 16 * i + 2], &sensors[i], sizeof(SHORT));
    }
    reply.resize(std::min(cbLength, reply.size()));
    return reply;
}

}  // namespace drive_testing
