// Growable array whose storage comes from the framework's shared heap, so that an array
// filled in one module may be emptied or destroyed in another.
#pragma once
#include <new>
#include <utility>
#include "framework/cstring.h"

template <class TYPE, class ARG_TYPE = const TYPE&>
class CArray {
public:
    CArray() = default;
    CArray(const CArray&) = delete;
    CArray& operator=(const CArray&) = delete;
    ~CArray() { RemoveAll(); }

    int GetSize() const { return m_nSize; }
    int GetCount() const { return m_nSize; }
    int GetUpperBound() const { return m_nSize - 1; }
    bool IsEmpty() const { return m_nSize == 0; }

    TYPE* GetData() { return m_pData; }
    const TYPE* GetData() const { return m_pData; }
    TYPE& ElementAt(int nIndex) { return m_pData[nIndex]; }
    const TYPE& GetAt(int nIndex) const { return m_pData[nIndex]; }
    void SetAt(int nIndex, ARG_TYPE newElement) { m_pData[nIndex] = newElement; }
    TYPE& operator[](int nIndex) { return m_pData[nIndex]; }
    const TYPE& operator[](int nIndex) const { return m_pData[nIndex]; }

    // Grows or shrinks to nNewSize elements; new elements are value-initialised.
    // Returns false when memory ran out (the array is then unchanged).
    bool SetSize(int nNewSize, int nGrowBy = -1)
    {
        if (nGrowBy >= 0)
            m_nGrowBy = nGrowBy;
        if (nNewSize < 0)
            return false;
        if (nNewSize > m_nMaxSize && !Grow(nNewSize))
            return false;
        for (int i = m_nSize; i < nNewSize; ++i)
            new (&m_pData[i]) TYPE();
        for (int i = nNewSize; i < m_nSize; ++i)
            m_pData[i].~TYPE();
        m_nSize = nNewSize;
        return true;
    }

    // Appends a copy; returns its index, or -1 when memory ran out.
    int Add(ARG_TYPE newElement)
    {
        if (m_nSize == m_nMaxSize && !Grow(m_nSize + 1))
            return -1;
        new (&m_pData[m_nSize]) TYPE(newElement);
        return m_nSize++;
    }

    void Append(const CArray& src)
    {
        for (int i = 0; i < src.m_nSize; ++i)
            Add(src.m_pData[i]);
    }

    void Copy(const CArray& src)
    {
        if (this == &src)
            return;
        RemoveAll();
        Append(src);
    }

    void RemoveAt(int nIndex, int nCount = 1)
    {
        if (nIndex < 0 || nCount <= 0 || nIndex >= m_nSize)
            return;
        if (nCount > m_nSize - nIndex)
            nCount = m_nSize - nIndex;
        for (int i = nIndex; i + nCount < m_nSize; ++i)
            m_pData[i] = std::move(m_pData[i + nCount]);
        for (int i = m_nSize - nCount; i < m_nSize; ++i)
            m_pData[i].~TYPE();
        m_nSize -= nCount;
    }

    // Destroys every element and gives the storage back.
    void RemoveAll()
    {
        for (int i = 0; i < m_nSize; ++i)
            m_pData[i].~TYPE();
        FxRelease(m_pData);
        m_pData = nullptr;
        m_nSize = m_nMaxSize = 0;
    }

private:
    bool Grow(int nMinSize)
    {
        int nGrowBy = m_nGrowBy > 0 ? m_nGrowBy : (m_nSize / 8 < 4 ? 4 : (m_nSize / 8 > 1024 ? 1024 : m_nSize / 8));
        int nNewMax = m_nMaxSize + nGrowBy;
        if (nNewMax < nMinSize)
            nNewMax = nMinSize;
        if (static_cast<size_t>(nNewMax) > static_cast<size_t>(0x7FFFFFFF) / sizeof(TYPE))
            return false;
        TYPE* pNew = static_cast<TYPE*>(FxAllocate(static_cast<size_t>(nNewMax) * sizeof(TYPE)));
        if (!pNew)
            return false;
        for (int i = 0; i < m_nSize; ++i) {
            new (&pNew[i]) TYPE(std::move(m_pData[i]));
            m_pData[i].~TYPE();
        }
        FxRelease(m_pData);
        m_pData = pNew;
        m_nMaxSize = nNewMax;
        return true;
    }

    TYPE* m_pData = nullptr;
    int m_nSize = 0;
    int m_nMaxSize = 0;
    int m_nGrowBy = 0;
};

class CStringArray : public CArray<CString, LPCWSTR> {};
