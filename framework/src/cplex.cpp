#include "framework/cplex.h"

CPlex* CPlex::Create(CPlex*& pHead, UINT_PTR nMax, UINT_PTR cbElement)
{
    if (nMax == 0 || cbElement == 0 || nMax > (~static_cast<UINT_PTR>(0) - sizeof(CPlex)) / cbElement)
        return nullptr;
    CPlex* p = static_cast<CPlex*>(FxAllocate(sizeof(CPlex) + nMax * cbElement));
    if (!p)
        return nullptr;
    p->pNext = pHead;
    pHead = p;
    return p;
}

void CPlex::FreeDataChain()
{
    CPlex* p = this;
    while (p) {
        CPlex* pNext = p->pNext;
        FxRelease(p);
        p = pNext;
    }
}
