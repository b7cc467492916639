#include "framework/fxdef.h"

namespace {
volatile LONG g_nLiveBlocks = 0;
}

extern "C" FX_API void* FxAllocate(size_t nLength)
{
    void* pBlock = HeapAlloc(GetProcessHeap(), 0, nLength ? nLength : 1);
    if (pBlock)
        InterlockedIncrement(&g_nLiveBlocks);
    return pBlock;
}

extern "C" FX_API void FxRelease(void* pBlock)
{
    if (!pBlock)
        return;
    HeapFree(GetProcessHeap(), 0, pBlock);
    InterlockedDecrement(&g_nLiveBlocks);
}

extern "C" FX_API LONG FxLiveBlockCount()
{
    return g_nLiveBlocks;
}
