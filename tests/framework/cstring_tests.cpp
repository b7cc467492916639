#include <gtest/gtest.h>

#include "framework/framework.h"

TEST(CString, BuildsComparesAndConverts)
{
    CString empty;
    EXPECT_TRUE(empty.IsEmpty());
    EXPECT_STREQ(L"", empty);

    CString s(L"Tool Agent");
    EXPECT_EQ(10, s.GetLength());
    EXPECT_TRUE(s == L"Tool Agent");
    EXPECT_TRUE(s != L"tool agent");
    EXPECT_EQ(0, s.CompareNoCase(L"TOOL AGENT"));
    EXPECT_LT(CString(L"A").Compare(L"B"), 0);

    CString fromCodePage("Plain ASCII text");
    EXPECT_STREQ(L"Plain ASCII text", fromCodePage);

    CString joined = CString(L"C:\\Tools") + L"\\" + CString(L"agent.exe");
    EXPECT_STREQ(L"C:\\Tools\\agent.exe", joined);
    joined += L'!';
    EXPECT_STREQ(L"C:\\Tools\\agent.exe!", joined);
}

TEST(CString, FindsAndCuts)
{
    CString s(L"C:\\Program Files\\Tool\\tool.exe");
    EXPECT_EQ(2, s.Find(L'\\'));
    EXPECT_EQ(16, s.Find(L'\\', 3));
    EXPECT_EQ(3, s.Find(L"Program"));
    EXPECT_EQ(-1, s.Find(L"program"));
    EXPECT_EQ(0, CString().Find(L""));  // an empty part is in every text
    EXPECT_EQ(5, s.Find(L"", 5));
    EXPECT_EQ(21, s.ReverseFind(L'\\'));
    EXPECT_EQ(-1, s.ReverseFind(L'|'));
    EXPECT_STREQ(L"C:", s.Left(2));
    EXPECT_STREQ(L"tool.exe", s.Mid(22));
    EXPECT_STREQ(L"Program", s.Mid(3, 7));
    EXPECT_STREQ(L".exe", s.Right(4));
    // Out-of-range counts are clamped, never read past the end.
    EXPECT_STREQ(s, s.Left(500));
    EXPECT_STREQ(L"", s.Mid(500));
    EXPECT_STREQ(L"", s.Left(-3));
    EXPECT_STREQ(s, s.Right(1000));
    EXPECT_EQ(-1, s.Find(L'C', 1000));
}

TEST(CString, ReplacesTrimsAndChangesCase)
{
    CString s(L"C:\\Users\\ann\\Startup\\Tool.lnk");
    EXPECT_EQ(4, s.Replace(L"\\", L"^"));
    EXPECT_STREQ(L"C:^Users^ann^Startup^Tool.lnk", s);
    CString folded(L"D:\\Program Files (x86)\\A;D:\\Program Files (x86)\\B");
    EXPECT_EQ(2, folded.Replace(L":\\Program Files (x86)\\", L":\\Program Files\\"));
    EXPECT_STREQ(L"D:\\Program Files\\A;D:\\Program Files\\B", folded);
    EXPECT_EQ(0, folded.Replace(L"", L"x"));

    CString padded(L" \t  serial 42 ");
    padded.TrimLeft();
    EXPECT_STREQ(L"serial 42 ", padded);

    CString mixed(L"Tool.EXE");
    mixed.MakeLower();
    EXPECT_STREQ(L"tool.exe", mixed);
    mixed.MakeUpper();
    EXPECT_STREQ(L"TOOL.EXE", mixed);
}

TEST(CString, FormatsWithWindowsConventions)
{
    CString s;
    s.Format(L"%s\\%s\\%s%s", L"C:\\Host", L"Lang", L"german", L".ini");
    EXPECT_STREQ(L"C:\\Host\\Lang\\german.ini", s);
    s.Format(L"%7.2f KB", 0.0);
    EXPECT_STREQ(L"   0.00 KB", s);
    s.Format(L"%u GB", 500u);
    EXPECT_STREQ(L"500 GB", s);
    s.Format(L"%s%d", L"IDS_LANGUAGE_", 4);
    EXPECT_STREQ(L"IDS_LANGUAGE_4", s);
    // Longer than the first attempt's buffer.
    CString longText(L'x', 3000);
    s.Format(L"[%s]", longText.GetString());
    EXPECT_EQ(3002, s.GetLength());
}

TEST(CString, BufferAccess)
{
    CString s;
    wchar_t* p = s.GetBuffer(260);
    ASSERT_NE(nullptr, p);
    wcscpy(p, L"written through the buffer");
    s.ReleaseBuffer();
    EXPECT_EQ(26, s.GetLength());
    p = s.GetBuffer();
    p[7] = L'\0';
    s.ReleaseBuffer();
    EXPECT_STREQ(L"written", s);
    s.GetBuffer(10);
    s.ReleaseBuffer(3);
    EXPECT_STREQ(L"wri", s);
}

TEST(CString, OwnsItsBlocks)
{
    LONG nBefore = FxLiveBlockCount();
    {
        CString a(L"first");
        CString b(a);
        CString c(static_cast<CString&&>(b));
        a = c + L" and more";
        a = a;  // self-assignment keeps the text
        EXPECT_STREQ(L"first and more", a);
        a = a.Mid(6);  // assignment from a part of itself
        EXPECT_STREQ(L"and more", a);
        EXPECT_GT(FxLiveBlockCount(), nBefore);
    }
    EXPECT_EQ(nBefore, FxLiveBlockCount());
}
