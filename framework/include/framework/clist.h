// Doubly linked list with the node pool of the framework: the list holds its head, tail,
// count, a chain of free nodes, the chain of allocated blocks and the block size. Nodes
// are taken from blocks of m_nBlockSize nodes made with CPlex::Create.
#pragma once
#include <new>
#include "framework/cplex.h"

template <class TYPE, class ARG_TYPE = const TYPE&>
class CList {
public:
    struct CNode {
        CNode* pNext;
        CNode* pPrev;
        TYPE data;
    };

    explicit CList(int nBlockSize = 10) : m_nBlockSize(nBlockSize > 0 ? nBlockSize : 10) {}
    CList(const CList&) = delete;
    CList& operator=(const CList&) = delete;
    ~CList() { RemoveAll(); }

    int GetCount() const { return m_nCount; }
    int GetSize() const { return m_nCount; }
    bool IsEmpty() const { return m_nCount == 0; }

    POSITION GetHeadPosition() const { return reinterpret_cast<POSITION>(m_pNodeHead); }
    POSITION GetTailPosition() const { return reinterpret_cast<POSITION>(m_pNodeTail); }
    TYPE& GetHead() { return m_pNodeHead->data; }
    TYPE& GetTail() { return m_pNodeTail->data; }
    TYPE& GetAt(POSITION pos) { return reinterpret_cast<CNode*>(pos)->data; }
    TYPE& GetNext(POSITION& pos)
    {
        CNode* pNode = reinterpret_cast<CNode*>(pos);
        pos = reinterpret_cast<POSITION>(pNode->pNext);
        return pNode->data;
    }
    TYPE& GetPrev(POSITION& pos)
    {
        CNode* pNode = reinterpret_cast<CNode*>(pos);
        pos = reinterpret_cast<POSITION>(pNode->pPrev);
        return pNode->data;
    }

    // Appends a copy at the tail; returns its position, or nullptr when memory ran out.
    POSITION AddTail(ARG_TYPE newElement)
    {
        return LinkAtEnd(NewElementNode(m_pNodeTail, nullptr, newElement), m_pNodeTail, m_pNodeHead, &CNode::pNext);
    }

    POSITION AddHead(ARG_TYPE newElement)
    {
        return LinkAtEnd(NewElementNode(nullptr, m_pNodeHead, newElement), m_pNodeHead, m_pNodeTail, &CNode::pPrev);
    }

    void RemoveAt(POSITION pos)
    {
        CNode* pNode = reinterpret_cast<CNode*>(pos);
        if (pNode == m_pNodeHead)
            m_pNodeHead = pNode->pNext;
        else
            pNode->pPrev->pNext = pNode->pNext;
        if (pNode == m_pNodeTail)
            m_pNodeTail = pNode->pPrev;
        else
            pNode->pNext->pPrev = pNode->pPrev;
        FreeNode(pNode);
    }

    void RemoveHead() { RemoveAt(GetHeadPosition()); }
    void RemoveTail() { RemoveAt(GetTailPosition()); }

    // Destroys every element and gives all blocks back.
    void RemoveAll()
    {
        for (CNode* p = m_pNodeHead; p; p = p->pNext)
            p->data.~TYPE();
        m_nCount = 0;
        m_pNodeHead = m_pNodeTail = m_pNodeFree = nullptr;
        if (m_pBlocks)
            m_pBlocks->FreeDataChain();
        m_pBlocks = nullptr;
    }

private:
    // Makes pNode the list's new end pEnd: the old end's link pOutward leads to it, or, in
    // an empty list, the other end pOther is it too. A null node (no memory) changes nothing.
    static POSITION LinkAtEnd(CNode* pNode, CNode*& pEnd, CNode*& pOther, CNode* CNode::*pOutward)
    {
        if (pNode) {
            (pEnd ? pEnd->*pOutward : pOther) = pNode;
            pEnd = pNode;
        }
        return reinterpret_cast<POSITION>(pNode);
    }

    // A node holding a copy of element, not yet linked in; nullptr when memory ran out.
    CNode* NewElementNode(CNode* pPrev, CNode* pNext, ARG_TYPE element)
    {
        CNode* pNode = NewNode(pPrev, pNext);
        if (pNode)
            new (&pNode->data) TYPE(element);
        return pNode;
    }

    CNode* NewNode(CNode* pPrev, CNode* pNext)
    {
        if (!m_pNodeFree) {
            CPlex* pBlock = CPlex::Create(m_pBlocks, m_nBlockSize, sizeof(CNode));
            if (!pBlock)
                return nullptr;
            // Chain the new nodes as free nodes, the first of the block ending up on top.
            CNode* pNode = static_cast<CNode*>(pBlock->data()) + (m_nBlockSize - 1);
            for (int i = m_nBlockSize - 1; i >= 0; --i, --pNode) {
                pNode->pNext = m_pNodeFree;
                m_pNodeFree = pNode;
            }
        }
        CNode* pNode = m_pNodeFree;
        m_pNodeFree = m_pNodeFree->pNext;
        pNode->pPrev = pPrev;
        pNode->pNext = pNext;
        ++m_nCount;
        return pNode;
    }

    void FreeNode(CNode* pNode)
    {
        pNode->data.~TYPE();
        pNode->pNext = m_pNodeFree;
        m_pNodeFree = pNode;
        if (--m_nCount == 0)
            RemoveAll();
    }

    CNode* m_pNodeHead = nullptr;
    CNode* m_pNodeTail = nullptr;
    int m_nCount = 0;
    CNode* m_pNodeFree = nullptr;
    CPlex* m_pBlocks = nullptr;
    int m_nBlockSize;
};
