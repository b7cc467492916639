#include "testing/process_usage.h"

namespace testing_support {

DWORD OpenHandleCount()
{
    // Handle values are multiples of 4; a process of the tests' size stays far below this.
    DWORD dwCount = 0;
    for (UINT_PTR nValue = 4; nValue < 0x40000; nValue += 4) {
        DWORD dwFlags = 0;
        dwCount += GetHandleInformation(reinterpret_cast<HANDLE>(nValue), &dwFlags) ? 1 : 0;
    }
    return dwCount;
}

SIZE_T CommittedPrivateBytes()
{
    SIZE_T cbTotal = 0;
    const BYTE* pAddress = nullptr;
    MEMORY_BASIC_INFORMATION info;
    while (VirtualQuery(pAddress, &info, sizeof(info)) == sizeof(info)) {
        if (info.State == MEM_COMMIT && info.Type == MEM_PRIVATE)
            cbTotal += info.RegionSize;
        const BYTE* pNext = static_cast<const BYTE*>(info.BaseAddress) + info.RegionSize;
        if (pNext <= pAddress)
            break;
        pAddress = pNext;
    }
    return cbTotal;
}

}  // namespace testing_support
