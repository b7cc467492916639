#include "framework/cstring.h"

#include <cwchar>
#include <cwctype>

namespace {
// Every empty string points here, so an empty string owns no block.
struct EmptyString {
    int nLength;
    int nAllocLength;
    wchar_t chNull;
};
EmptyString g_empty = {0, 0, L'\0'};

inline LPWSTR EmptyChars() { return &g_empty.chNull; }

int SafeLength(LPCWSTR psz) { return psz ? static_cast<int>(wcslen(psz)) : 0; }
}  // namespace

CString::CString() : m_pszData(EmptyChars()) {}

CString::CString(const CString& other) : m_pszData(EmptyChars())
{
    Assign(other.m_pszData, other.GetLength());
}

CString::CString(CString&& other) noexcept : m_pszData(other.m_pszData)
{
    other.m_pszData = EmptyChars();
}

CString::CString(LPCWSTR psz) : m_pszData(EmptyChars()) { Assign(psz, SafeLength(psz)); }

CString::CString(LPCWSTR pch, int nLength) : m_pszData(EmptyChars())
{
    Assign(pch, pch && nLength > 0 ? nLength : 0);
}

CString::CString(LPCSTR psz) : m_pszData(EmptyChars()) { *this = psz; }

CString::CString(wchar_t ch, int nRepeat) : m_pszData(EmptyChars())
{
    if (nRepeat > 0 && Reserve(nRepeat, false)) {
        for (int i = 0; i < nRepeat; ++i)
            m_pszData[i] = ch;
        m_pszData[nRepeat] = L'\0';
        Header()->nLength = nRepeat;
    }
}

CString::~CString() { ReleaseData(); }

void CString::ReleaseData()
{
    if (m_pszData != EmptyChars())
        FxRelease(Header());
    m_pszData = EmptyChars();
}

// Makes room for nLength characters and the terminator. On failure the string is left
// as it was and false is returned.
bool CString::Reserve(int nLength, bool bKeep)
{
    if (nLength < 0)
        return false;
    if (m_pszData != EmptyChars() && Header()->nAllocLength >= nLength)
        return true;
    if (nLength == 0)
        return true;
    int nAlloc = nLength;
    if (bKeep && nAlloc < 2 * GetLength())
        nAlloc = 2 * GetLength();
    if (nAlloc > (0x7FFFFFFF - static_cast<int>(sizeof(Data))) / 2 - 1)
        return false;
    Data* pNew = static_cast<Data*>(FxAllocate(sizeof(Data) + (nAlloc + 1) * sizeof(wchar_t)));
    if (!pNew)
        return false;
    pNew->nAllocLength = nAlloc;
    pNew->nLength = 0;
    pNew->Chars()[0] = L'\0';
    if (bKeep) {
        wmemcpy(pNew->Chars(), m_pszData, GetLength() + 1);
        pNew->nLength = GetLength();
    }
    ReleaseData();
    m_pszData = pNew->Chars();
    return true;
}

void CString::Assign(LPCWSTR pch, int nLength)
{
    if (nLength <= 0) {
        Empty();
        return;
    }
    // The source may lie inside this string's own buffer.
    if (pch >= m_pszData && pch <= m_pszData + GetLength()) {
        CString copy(pch, nLength);
        *this = static_cast<CString&&>(copy);
        return;
    }
    if (!Reserve(nLength, false))
        return;
    wmemcpy(m_pszData, pch, nLength);
    m_pszData[nLength] = L'\0';
    Header()->nLength = nLength;
}

void CString::Append(LPCWSTR pch, int nLength)
{
    if (nLength <= 0)
        return;
    if (pch >= m_pszData && pch <= m_pszData + GetLength()) {
        CString copy(pch, nLength);
        Append(copy.m_pszData, nLength);
        return;
    }
    int nOld = GetLength();
    if (nLength > 0x3FFFFFFF - nOld || !Reserve(nOld + nLength, true))
        return;
    wmemcpy(m_pszData + nOld, pch, nLength);
    m_pszData[nOld + nLength] = L'\0';
    Header()->nLength = nOld + nLength;
}

CString& CString::operator=(const CString& other)
{
    if (this != &other)
        Assign(other.m_pszData, other.GetLength());
    return *this;
}

CString& CString::operator=(CString&& other) noexcept
{
    if (this != &other) {
        ReleaseData();
        m_pszData = other.m_pszData;
        other.m_pszData = EmptyChars();
    }
    return *this;
}

CString& CString::operator=(LPCWSTR psz)
{
    Assign(psz, SafeLength(psz));
    return *this;
}

CString& CString::operator=(LPCSTR psz)
{
    if (!psz || !*psz) {
        Empty();
        return *this;
    }
    int nLength = MultiByteToWideChar(CP_ACP, 0, psz, -1, nullptr, 0);
    if (nLength <= 1 || !Reserve(nLength - 1, false)) {
        Empty();
        return *this;
    }
    MultiByteToWideChar(CP_ACP, 0, psz, -1, m_pszData, nLength);
    m_pszData[nLength - 1] = L'\0';
    Header()->nLength = nLength - 1;
    return *this;
}

CString& CString::operator=(wchar_t ch)
{
    Assign(&ch, 1);
    return *this;
}

CString& CString::operator+=(const CString& other)
{
    Append(other.m_pszData, other.GetLength());
    return *this;
}

CString& CString::operator+=(LPCWSTR psz)
{
    Append(psz, SafeLength(psz));
    return *this;
}

CString& CString::operator+=(wchar_t ch)
{
    Append(&ch, 1);
    return *this;
}

void CString::Empty()
{
    if (m_pszData != EmptyChars()) {
        Header()->nLength = 0;
        m_pszData[0] = L'\0';
    }
}

wchar_t CString::GetAt(int nIndex) const
{
    return nIndex >= 0 && nIndex < GetLength() ? m_pszData[nIndex] : L'\0';
}

void CString::SetAt(int nIndex, wchar_t ch)
{
    if (nIndex >= 0 && nIndex < GetLength())
        m_pszData[nIndex] = ch;
}

int CString::Compare(LPCWSTR psz) const { return wcscmp(m_pszData, psz ? psz : L""); }

int CString::CompareNoCase(LPCWSTR psz) const { return _wcsicmp(m_pszData, psz ? psz : L""); }

int CString::Find(wchar_t ch, int nStart) const
{
    if (nStart < 0 || nStart >= GetLength())
        return -1;
    const wchar_t* p = wcschr(m_pszData + nStart, ch);
    return p && ch != L'\0' ? static_cast<int>(p - m_pszData) : -1;
}

int CString::Find(LPCWSTR pszSub, int nStart) const
{
    if (!pszSub || nStart < 0 || nStart > GetLength())
        return -1;
    // An empty part is found where the search starts (Wine's wcsstr finds it nowhere).
    if (!*pszSub)
        return nStart;
    const wchar_t* p = wcsstr(m_pszData + nStart, pszSub);
    return p ? static_cast<int>(p - m_pszData) : -1;
}

int CString::ReverseFind(wchar_t ch) const
{
    const wchar_t* p = wcsrchr(m_pszData, ch);
    return p && ch != L'\0' ? static_cast<int>(p - m_pszData) : -1;
}

CString CString::Left(int nCount) const
{
    if (nCount < 0)
        nCount = 0;
    if (nCount > GetLength())
        nCount = GetLength();
    return CString(m_pszData, nCount);
}

CString CString::Mid(int nFirst) const { return Mid(nFirst, GetLength()); }

CString CString::Mid(int nFirst, int nCount) const
{
    if (nFirst < 0)
        nFirst = 0;
    if (nFirst > GetLength())
        nFirst = GetLength();
    if (nCount < 0)
        nCount = 0;
    if (nCount > GetLength() - nFirst)
        nCount = GetLength() - nFirst;
    return CString(m_pszData + nFirst, nCount);
}

CString CString::Right(int nCount) const
{
    if (nCount < 0)
        nCount = 0;
    if (nCount > GetLength())
        nCount = GetLength();
    return CString(m_pszData + GetLength() - nCount, nCount);
}

int CString::Replace(LPCWSTR pszOld, LPCWSTR pszNew)
{
    int nOldLength = SafeLength(pszOld);
    if (nOldLength == 0)
        return 0;
    int nNewLength = SafeLength(pszNew);
    CString result;
    int nCount = 0;
    const wchar_t* pStart = m_pszData;
    const wchar_t* pMatch;
    while ((pMatch = wcsstr(pStart, pszOld)) != nullptr) {
        result.Append(pStart, static_cast<int>(pMatch - pStart));
        result.Append(pszNew, nNewLength);
        pStart = pMatch + nOldLength;
        ++nCount;
    }
    if (nCount) {
        result.Append(pStart, SafeLength(pStart));
        *this = static_cast<CString&&>(result);
    }
    return nCount;
}

int CString::Replace(wchar_t chOld, wchar_t chNew)
{
    int nCount = 0;
    for (int i = 0; i < GetLength(); ++i) {
        if (m_pszData[i] == chOld) {
            m_pszData[i] = chNew;
            ++nCount;
        }
    }
    return nCount;
}

CString& CString::TrimLeft()
{
    int nSkip = 0;
    while (nSkip < GetLength() && iswspace(m_pszData[nSkip]))
        ++nSkip;
    if (nSkip) {
        int nRest = GetLength() - nSkip;
        wmemmove(m_pszData, m_pszData + nSkip, nRest + 1);
        Header()->nLength = nRest;
    }
    return *this;
}

CString& CString::TrimRight()
{
    int nLength = GetLength();
    while (nLength > 0 && iswspace(m_pszData[nLength - 1]))
        --nLength;
    if (nLength != GetLength()) {
        m_pszData[nLength] = L'\0';
        Header()->nLength = nLength;
    }
    return *this;
}

CString& CString::MakeLower()
{
    if (GetLength())
        CharLowerBuffW(m_pszData, GetLength());
    return *this;
}

CString& CString::MakeUpper()
{
    if (GetLength())
        CharUpperBuffW(m_pszData, GetLength());
    return *this;
}

bool CString::Format(LPCWSTR pszFormat, ...)
{
    va_list args;
    va_start(args, pszFormat);
    bool bFormatted = FormatV(pszFormat, args);
    va_end(args);
    return bFormatted;
}

bool CString::FormatV(LPCWSTR pszFormat, va_list args)
{
    if (!pszFormat) {
        Empty();
        return true;
    }
    // _vsnwprintf answers -1 when the buffer is too small: grow until the text fits.
    for (int nRoom = 256; nRoom <= 0x100000; nRoom *= 2) {
        CString result;
        if (!result.Reserve(nRoom, false))
            return false;
        va_list copy;
        va_copy(copy, args);
        int nWritten = _vsnwprintf(result.m_pszData, nRoom, pszFormat, copy);
        va_end(copy);
        if (nWritten >= 0 && nWritten < nRoom) {
            result.m_pszData[nWritten] = L'\0';
            result.Header()->nLength = nWritten;
            *this = static_cast<CString&&>(result);
            return true;
        }
    }
    return false;
}

LPWSTR CString::GetBuffer(int nMinLength)
{
    if (nMinLength < GetLength())
        nMinLength = GetLength();
    if (nMinLength == 0)
        nMinLength = 1;  // a writable buffer, never the shared empty one
    if (!Reserve(nMinLength, true))
        return nullptr;
    return m_pszData;
}

void CString::ReleaseBuffer(int nNewLength)
{
    if (m_pszData == EmptyChars())
        return;
    int nAlloc = Header()->nAllocLength;
    if (nNewLength < 0)
        nNewLength = static_cast<int>(wcsnlen(m_pszData, nAlloc));
    if (nNewLength > nAlloc)
        nNewLength = nAlloc;
    m_pszData[nNewLength] = L'\0';
    Header()->nLength = nNewLength;
}

namespace {
template <class Left, class Right>
CString Concatenate(const Left& a, const Right& b)
{
    CString result(a);
    result += b;
    return result;
}
}  // namespace

CString operator+(const CString& a, const CString& b) { return Concatenate(a, b); }
CString operator+(const CString& a, LPCWSTR b) { return Concatenate(a, b); }
CString operator+(LPCWSTR a, const CString& b) { return Concatenate(a, b); }
CString operator+(const CString& a, wchar_t b) { return Concatenate(a, b); }
