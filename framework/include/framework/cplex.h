// Block chain behind the framework's lists: nodes are carved out of blocks that stay
// allocated until the list is emptied.
#pragma once
#include "framework/fxdef.h"

struct FX_API CPlex {
    CPlex* pNext;

    void* data() { return this + 1; }

    // Takes one block of nMax elements of cbElement bytes and puts it at the head of the
    // chain; returns nullptr when memory ran out.
    static CPlex* Create(CPlex*& pHead, UINT_PTR nMax, UINT_PTR cbElement);
    // Releases this block and every block after it.
    void FreeDataChain();
};
