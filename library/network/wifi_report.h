// The Wi-Fi part of the network report.
#pragma once

// Writes the state of the wireless interfaces, the network connected to, its signal
// quality and the transmit rate into the result file. Does nothing without "Wlanapi.dll"
// or a WLAN service.
void ReportWifiConnection();
