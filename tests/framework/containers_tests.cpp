#include <gtest/gtest.h>

#include "framework/framework.h"

TEST(CArray, GrowsCopiesAndReleasesEverything)
{
    LONG nBefore = FxLiveBlockCount();
    {
        CArray<CString, const CString&> names;
        for (int i = 0; i < 1000; ++i) {
            CString s;
            s.Format(L"entry %d", i);
            EXPECT_EQ(i, names.Add(s));
        }
        ASSERT_EQ(1000, names.GetSize());
        EXPECT_STREQ(L"entry 999", names[999]);
        names.RemoveAt(0, 10);
        EXPECT_STREQ(L"entry 10", names[0]);
        EXPECT_EQ(990, names.GetCount());

        CArray<CString, const CString&> copy;
        copy.Copy(names);
        EXPECT_EQ(990, copy.GetSize());
        names.RemoveAll();
        EXPECT_TRUE(names.IsEmpty());
        EXPECT_STREQ(L"entry 500", copy[490]);
        EXPECT_TRUE(copy.SetSize(2));
        EXPECT_STREQ(L"entry 11", copy[1]);
    }
    EXPECT_EQ(nBefore, FxLiveBlockCount());
}

TEST(CStringArray, HoldsNames)
{
    CStringArray names;
    names.Add(L"{GUID-1}");
    names.Add(L"{GUID-2}");
    ASSERT_EQ(2, names.GetSize());
    EXPECT_STREQ(L"{GUID-2}", names[1]);
}

struct Record {
    CString strText;
    int nValue;
};

TEST(CList, TakesNodesFromItsBlocks)
{
    LONG nBefore = FxLiveBlockCount();
    {
        CList<Record, Record&> list(4);
        for (int i = 0; i < 9; ++i) {
            Record r{CString(L"r"), i};
            list.AddTail(r);
        }
        EXPECT_EQ(9, list.GetCount());
        // Nine nodes from blocks of four: three blocks, each one allocation.
        EXPECT_EQ(nBefore + 3 + 9, FxLiveBlockCount());
        POSITION pos = list.GetHeadPosition();
        int nExpected = 0;
        while (pos) {
            Record& r = list.GetNext(pos);
            EXPECT_EQ(nExpected++, r.nValue);
        }
        EXPECT_EQ(9, nExpected);
        EXPECT_EQ(8, list.GetTail().nValue);
        list.RemoveHead();
        EXPECT_EQ(1, list.GetHead().nValue);
        // A freed node is reused before a new block is taken.
        Record extra{CString(), 42};
        list.AddTail(extra);
        EXPECT_EQ(nBefore + 3 + 8, FxLiveBlockCount());
        list.AddHead(extra);
        EXPECT_EQ(42, list.GetHead().nValue);
        EXPECT_EQ(10, list.GetCount());
    }
    EXPECT_EQ(nBefore, FxLiveBlockCount());
}

TEST(CList, AppendsAtTheTailAndLinksBothWays)
{
    CList<int, int> list;
    POSITION first = list.AddTail(1);
    POSITION second = list.AddTail(2);
    EXPECT_EQ(first, list.GetHeadPosition());
    EXPECT_EQ(second, list.GetTailPosition());
    POSITION pos = list.GetTailPosition();
    EXPECT_EQ(2, list.GetPrev(pos));
    EXPECT_EQ(first, pos);
    EXPECT_EQ(1, list.GetPrev(pos));
    EXPECT_EQ(nullptr, pos);
    list.RemoveAt(first);
    EXPECT_EQ(second, list.GetHeadPosition());
    list.RemoveAll();
    EXPECT_TRUE(list.IsEmpty());
    EXPECT_EQ(nullptr, list.GetHeadPosition());
}
