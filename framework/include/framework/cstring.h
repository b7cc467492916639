// UTF-16 string, one pointer wide, whose buffer lives on the framework's shared heap so
// that a string made in one module may be changed or destroyed in another.
#pragma once
#include <cstdarg>
#include "framework/fxdef.h"

class FX_API CString {
public:
    CString();
    CString(const CString& other);
    CString(CString&& other) noexcept;
    CString(LPCWSTR psz);
    CString(LPCWSTR pch, int nLength);
    // Converts from the system code page.
    CString(LPCSTR psz);
    CString(wchar_t ch, int nRepeat = 1);
    ~CString();

    CString& operator=(const CString& other);
    CString& operator=(CString&& other) noexcept;
    CString& operator=(LPCWSTR psz);
    CString& operator=(LPCSTR psz);
    CString& operator=(wchar_t ch);
    CString& operator+=(const CString& other);
    CString& operator+=(LPCWSTR psz);
    CString& operator+=(wchar_t ch);

    int GetLength() const { return Header()->nLength; }
    bool IsEmpty() const { return GetLength() == 0; }
    void Empty();
    wchar_t GetAt(int nIndex) const;
    wchar_t operator[](int nIndex) const { return GetAt(nIndex); }
    void SetAt(int nIndex, wchar_t ch);
    operator LPCWSTR() const { return m_pszData; }
    LPCWSTR GetString() const { return m_pszData; }

    // Ordinal comparison; CompareNoCase folds case as the C runtime does.
    int Compare(LPCWSTR psz) const;
    int CompareNoCase(LPCWSTR psz) const;

    // Index of the first match at or after nStart, or -1.
    int Find(wchar_t ch, int nStart = 0) const;
    int Find(LPCWSTR pszSub, int nStart = 0) const;
    int ReverseFind(wchar_t ch) const;

    CString Left(int nCount) const;
    CString Mid(int nFirst) const;
    CString Mid(int nFirst, int nCount) const;
    CString Right(int nCount) const;

    // Returns the number of replacements.
    int Replace(LPCWSTR pszOld, LPCWSTR pszNew);
    int Replace(wchar_t chOld, wchar_t chNew);
    CString& TrimLeft();
    CString& TrimRight();
    CString& MakeLower();
    CString& MakeUpper();

    // printf-style formatting with the Windows conventions (%s takes a wide string).
    // False when there was no memory for the text: the string is then left as it was, so
    // a caller building a key or file path must not go on with it.
    bool Format(LPCWSTR pszFormat, ...);
    bool FormatV(LPCWSTR pszFormat, va_list args);

    // Direct access: room for at least nMinLength characters and the terminator, or
    // nullptr when there is no memory for it. ReleaseBuffer(-1) takes the length up to the
    // first null.
    LPWSTR GetBuffer(int nMinLength);
    LPWSTR GetBuffer() { return GetBuffer(0); }
    void ReleaseBuffer(int nNewLength = -1);

private:
    struct Data {
        int nLength;
        int nAllocLength;
        wchar_t* Chars() { return reinterpret_cast<wchar_t*>(this + 1); }
    };
    Data* Header() const { return reinterpret_cast<Data*>(m_pszData) - 1; }
    bool Reserve(int nLength, bool bKeep);
    void Assign(LPCWSTR pch, int nLength);
    void Append(LPCWSTR pch, int nLength);
    void ReleaseData();

    LPWSTR m_pszData;
};

static_assert(sizeof(CString) == sizeof(void*), "CString must stay one pointer wide");

FX_API CString operator+(const CString& a, const CString& b);
FX_API CString operator+(const CString& a, LPCWSTR b);
FX_API CString operator+(LPCWSTR a, const CString& b);
FX_API CString operator+(const CString& a, wchar_t b);

inline bool operator==(const CString& a, const CString& b) { return a.Compare(b) == 0; }
inline bool operator==(const CString& a, LPCWSTR b) { return a.Compare(b) == 0; }
inline bool operator==(LPCWSTR a, const CString& b) { return b.Compare(a) == 0; }
inline bool operator!=(const CString& a, const CString& b) { return a.Compare(b) != 0; }
inline bool operator!=(const CString& a, LPCWSTR b) { return a.Compare(b) != 0; }
inline bool operator!=(LPCWSTR a, const CString& b) { return b.Compare(a) != 0; }
inline bool operator<(const CString& a, const CString& b) { return a.Compare(b) < 0; }
