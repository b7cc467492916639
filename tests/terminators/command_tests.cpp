// Command words: whole words, any case, exit status 0 whatever the word.
#include "terminator_fixture.h"
#include "testing/where.h"

namespace terminator_tests {
namespace {

class CommandWordTest : public TerminatorTest {
protected:
    // Runs the word with a fresh witness on the kill list; true when the word ended it.
    bool WordTerminates(const wchar_t* pszProgram, const std::wstring& strTail)
    {
        size_t witness = Start(L"oxlith.exe");
        EXPECT_EQ(0u, Run(pszProgram, strTail)) << "exit status for " << testing::PrintToString(strTail);
        return EndedCleanly(witness);
    }
    // Runs every word with one witness, which must outlive them all.
    void ExpectNoWordTerminates(testing_support::Where where, const wchar_t* pszProgram, std::initializer_list<const wchar_t*> tails)
    {
        TESSARY_TRACE_CALLER(where);
        size_t witness = Start(L"oxlith.exe");
        for (const wchar_t* pszTail : tails) {
            EXPECT_EQ(0u, Run(pszProgram, pszTail)) << "exit status for " << testing::PrintToString(std::wstring(pszTail));
            // The program has ended: a termination it made has taken effect by now.
            ASSERT_FALSE(Process(witness).Ended(200)) << "ended by " << testing::PrintToString(std::wstring(pszTail));
        }
    }
};

TEST_F(CommandWordTest, CulvaneActsOnWholeWordsInAnyCase)
{
    EXPECT_TRUE(WordTerminates(L"Culvane.exe", L"LM"));
    EXPECT_TRUE(WordTerminates(L"Culvane.exe", L"lm"));
    EXPECT_TRUE(WordTerminates(L"Culvane.exe", L"   Lm"));  // blanks before the word are the runtime's
    EXPECT_TRUE(WordTerminates(L"Culvane.exe", L"tq"));
    EXPECT_TRUE(WordTerminates(L"Culvane.exe", L"Tq"));
}

TEST_F(CommandWordTest, CulvaneIgnoresEverythingElse)
{
    ExpectNoWordTerminates(TESSARY_HERE, L"Culvane.exe", {L"", L"LM x", L"LM ", L"/LM", L"-lm", L"LMX", L"TQ now", L"XTQ", L"unknown"});
}

TEST_F(CommandWordTest, BrenholtActsOnWholeWordsInAnyCase)
{
    EXPECT_TRUE(WordTerminates(L"Brenholt.exe", L"XTQ"));
    EXPECT_TRUE(WordTerminates(L"Brenholt.exe", L"xtq"));
    ExpectNoWordTerminates(TESSARY_HERE, L"Brenholt.exe", {L"", L"XTQ x", L"/XTQ", L"Xtr", L"XTR now", L"LEXE x", L"LM"});
}

}  // namespace
}  // namespace terminator_tests
