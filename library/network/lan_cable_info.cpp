// LanCableInfo: whether the wired Ethernet connection is up — the wired adapter's name,
// whether it has an IPv4 address and its link speed — then the Wi-Fi details, all
// written into the result file for the product's programs to read.
#include "frame/export.h"

#include <cstring>
#include <cwchar>

#include "frame/data_folder.h"
#include "network/ip_helper_tables.h"
#include "network/link_speed.h"
#include "network/wifi_report.h"

namespace {
// A fixed-size text field of an adapter record, converted from the system code page; the
// field need not hold a terminator.
template <size_t N>
CString CodePageField(const char (&achField)[N])
{
    char szField[N + 1];
    memcpy(szField, achField, N);
    szField[N] = '\0';
    return CString(static_cast<LPCSTR>(szField));
}

// Ethernet adapters only, and neither Bluetooth networking nor VMware's virtual ones.
bool IsWiredAdapter(const IP_ADAPTER_INFO& adapter)
{
    if (adapter.Type != MIB_IF_TYPE_ETHERNET)
        return false;
    CString strDescription = CodePageField(adapter.Description);
    return strDescription.Find(L"Bluetooth") < 0 && strDescription.Find(L"VMware") < 0;
}

bool HasIpv4Address(const HeapTable& addresses, const IP_ADAPTER_INFO& adapter)
{
    const MIB_IPADDRTABLE* pTable = addresses.As<MIB_IPADDRTABLE>();
    for (DWORD i = 0, nRows = AddressRowCount(addresses); i < nRows; ++i) {
        if (pTable->table[i].dwIndex == adapter.ComboIndex)
            return true;
    }
    return false;
}

// An interface row's name as the adapter list spells the adapter: "\DEVICE\TCPIP_{GUID}"
// becomes "{GUID}"; a name without a closed brace pair stays whole.
CString AdapterNameOfRow(const MIB_IFROW& row)
{
    CString strName(row.wszName, static_cast<int>(wcsnlen(row.wszName, MAX_INTERFACE_NAME_LEN)));
    int nOpen = strName.ReverseFind(L'{');
    if (nOpen >= 0 && strName.ReverseFind(L'}') > nOpen)
        strName = strName.Mid(nOpen);
    return strName;
}

// Writes the link speed of the interface named strAdapterName (empty when none matches).
// False when the interface table cannot be read, and then nothing is written.
bool ReportLinkSpeed(const CString& strResultFile, const CString& strAdapterName)
{
    HeapTable interfaces = ReadInterfaceTable();
    if (!interfaces)
        return false;
    CString strSpeed;
    const MIB_IFTABLE* pTable = interfaces.As<MIB_IFTABLE>();
    for (DWORD i = 0, nRows = InterfaceRowCount(interfaces); i < nRows; ++i) {
        if (AdapterNameOfRow(pTable->table[i]).CompareNoCase(strAdapterName) == 0) {
            strSpeed = LinkSpeedText(pTable->table[i].dwSpeed);
            break;
        }
    }
    WriteResultValue(strResultFile, L"IDS_CLOUD_LAN_SPEED", strSpeed);
    return true;
}

void ReportConnections()
{
    CString strResultFile = GetDataFilePath(kResultFileName);
    HeapTable adapters = ReadAdapterList();
    if (!adapters)
        return;

    // Each key is written once, with the value the last wired adapter leaves it: the file
    // ends as if every wired adapter had written its name and the connected flag in turn.
    // The address table is read once, when the first wired adapter needs it.
    CString strAdapterName;
    bool bWired = false;
    bool bConnected = false;  // once one wired adapter has an address, the machine is connected
    HeapTable addresses;
    for (const IP_ADAPTER_INFO* pAdapter = NextAdapter(adapters, nullptr); pAdapter; pAdapter = NextAdapter(adapters, pAdapter)) {
        if (!IsWiredAdapter(*pAdapter))
            continue;
        strAdapterName = CodePageField(pAdapter->AdapterName);
        if (!bWired) {
            bWired = true;
            addresses = ReadAddressTable();
            if (!addresses) {
                // Out of memory or no table: the report stops here, Wi-Fi included, with
                // only this adapter's name written.
                WriteResultValue(strResultFile, L"IDS_CLOUD_LAN_ADAPTER_NAME", strAdapterName);
                return;
            }
        }
        if (HasIpv4Address(addresses, *pAdapter))
            bConnected = true;
    }
    addresses.block.reset();  // not needed for the rest of the report
    if (bWired) {
        WriteResultValue(strResultFile, L"IDS_CLOUD_LAN_ADAPTER_NAME", strAdapterName);
        WriteResultValue(strResultFile, L"IDS_CLOUD_LAN_CONNECTED", bConnected ? L"2" : L"");
    }

    if (ReportLinkSpeed(strResultFile, strAdapterName)) {
        // The apartment stays initialised after the call: the host's thread keeps it.
        if (FAILED(CoInitialize(nullptr)))
            return;  // the thread belongs to another apartment model
    }
    ReportWifiConnection();
}
}  // namespace

WENDLE_API void __cdecl LanCableInfo()
{
    RunExport([] { ReportConnections(); });
}
