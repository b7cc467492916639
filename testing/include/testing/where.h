// The place of a call, for test helpers that assert: with it their failures name the line
// of the case that called them, not only their own.
#pragma once
#include <gtest/gtest.h>

namespace testing_support {

struct Where {
    const char* pszFile;
    int nLine;
};

}  // namespace testing_support

#define TESSARY_HERE (::testing_support::Where{__FILE__, __LINE__})
// Opened first thing in a helper that takes a Where.
#define TESSARY_TRACE_CALLER(where) ::testing::ScopedTrace tessaryCaller((where).pszFile, (where).nLine, "called from here")
