#include "network/link_speed.h"

CString LinkSpeedText(DWORD dwBitsPerSecond)
{
    CString strText;
    if (dwBitsPerSecond >= 1000000000)
        strText.Format(L"%d gbps", static_cast<int>(dwBitsPerSecond / 1000000000));
    else if (dwBitsPerSecond >= 1000000)
        strText.Format(L"%d mbps", static_cast<int>(dwBitsPerSecond / 1000000));
    else if (dwBitsPerSecond >= 1000)
        strText.Format(L"%d kbps", static_cast<int>(dwBitsPerSecond / 1000));
    else if (dwBitsPerSecond >= 8)
        strText.Format(L"%d bytes/s", static_cast<int>(dwBitsPerSecond / 8));
    else
        strText.Format(L"%d bits/s", static_cast<int>(dwBitsPerSecond));
    return strText;
}
