#include "network/wifi_report.h"

#include <cwchar>

#include "frame/data_folder.h"
#include "frame/decimal_text.h"
#include "frame/module_objects.h"
#include "network/wlan_api.h"

namespace {
constexpr DWORD kWlanClientVersion = 2;  // the Vista and later API

CString ProfileName(const WCHAR (&achName)[WLAN_MAX_NAME_LENGTH])
{
    return CString(achName, static_cast<int>(wcsnlen(achName, WLAN_MAX_NAME_LENGTH)));
}

// The current connection's transmit rate in kbit/s; false when the query fails or
// answers less than a whole record.
bool QueryCurrentTxRate(const WlanApi& wlan, const WlanClient& client, const GUID& interfaceGuid, ULONG& ulTxRate)
{
    WlanMemory<WLAN_CONNECTION_ATTRIBUTES> connection(wlan);
    DWORD cbData = 0;
    WLAN_OPCODE_VALUE_TYPE valueType = wlan_opcode_value_type_invalid;
    if (wlan.QueryInterface(client.get(), &interfaceGuid, wlan_intf_opcode_current_connection, nullptr, &cbData,
                            connection.put_void(), &valueType) != ERROR_SUCCESS ||
        !connection || cbData < sizeof(WLAN_CONNECTION_ATTRIBUTES))
        return false;
    ulTxRate = connection->wlanAssociationAttributes.ulTxRate;
    return true;
}
}  // namespace

void ReportWifiConnection()
{
    // Declared first, so destroyed last: the library outlives the handle and memory it gave.
    WlanApi wlan;
    if (!wlan.Load())
        return;
    WlanClient client(wlan);
    if (!client.Open(kWlanClientVersion))
        return;
    WlanMemory<WLAN_INTERFACE_INFO_LIST> interfaces(wlan);
    if (wlan.EnumInterfaces(client.get(), nullptr, interfaces.put()) != ERROR_SUCCESS || !interfaces)
        return;

    for (DWORD i = 0; i < interfaces->dwNumberOfItems; ++i) {
        const WLAN_INTERFACE_INFO& info = interfaces->InterfaceInfo[i];
        WlanMemory<WLAN_AVAILABLE_NETWORK_LIST> networks(wlan);
        if (wlan.GetAvailableNetworkList(client.get(), &info.InterfaceGuid, 0, nullptr, networks.put()) != ERROR_SUCCESS ||
            !networks)
            return;  // later interfaces are not looked at

        CString strResultFile = GetDataFilePath(kResultFileName);
        const bool bConnected = info.isState == wlan_interface_state_connected;
        if (bConnected) {
            WriteResultValue(strResultFile, L"IDS_CLOUD_WIFI_CONNECTED", L"2");
        } else if (info.isState == wlan_interface_state_disconnected) {
            WriteResultValue(strResultFile, L"IDS_CLOUD_WIFI_CONNECTED", L"");
            return;
        }

        for (DWORD n = 0; n < networks->dwNumberOfItems; ++n) {
            const WLAN_AVAILABLE_NETWORK& network = networks->Network[n];
            CString strProfile = ProfileName(network.strProfileName);
            if (network.dwFlags & WLAN_AVAILABLE_NETWORK_CONNECTED) {
                WriteResultValue(strResultFile, L"IDS_CLOUD_WIFI_CURRENTLY_CONNECTED", strProfile);
                CString strQuality;
                strQuality.Format(L"%u%%", static_cast<unsigned>(network.wlanSignalQuality));
                // The key's blanks are part of the name the product's programs read.
                WriteResultValue(strResultFile, L" IDS_CLOUD_WIFI_SIGAL_STRENGTH ", strQuality);
            }
            ULONG ulTxRate = 0;
            if (bConnected && QueryCurrentTxRate(wlan, client, info.InterfaceGuid, ulTxRate) && !strProfile.IsEmpty()) {
                g_strWifiSpeed = HundredthsText(ulTxRate, 1000) + L" mbps\n";  // kbit/s as "%.2f mbps\n"
                WriteResultValue(strResultFile, L"IDS_CLOUD_WIFI_SPEED", g_strWifiSpeed);
            }
        }
    }
}
