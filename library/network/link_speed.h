// The link speed of a network interface as the product shows it.
#pragma once
#include <windows.h>

#include "framework/cstring.h"

// "%d gbps", "%d mbps", "%d kbps", "%d bytes/s" or "%d bits/s" for a speed in bits per
// second; each unit is a whole number, the remainder dropped.
CString LinkSpeedText(DWORD dwBitsPerSecond);
