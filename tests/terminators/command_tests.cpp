// Command words: whole words, any case, exit status 0 whatever the word.
#include <algorithm>
#include <cctype>
#include <cstddef>
#include <cstring>

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

// The DLL names of a PE file's import directory, in lower case; empty for a file that is
// not a whole PE image of this build's kind.
std::vector<std::string> ImportedDllNames(const std::wstring& strPath)
{
    const std::string image = ReadFileBytes(strPath);
    auto at = [&](size_t nOffset, size_t cb) { return nOffset <= image.size() && cb <= image.size() - nOffset ? &image[nOffset] : nullptr; };
    auto* pDos = reinterpret_cast<const IMAGE_DOS_HEADER*>(at(0, sizeof(IMAGE_DOS_HEADER)));
    auto* pNt = pDos ? reinterpret_cast<const IMAGE_NT_HEADERS*>(at(pDos->e_lfanew, sizeof(IMAGE_NT_HEADERS))) : nullptr;
    if (!pNt || pNt->OptionalHeader.Magic != IMAGE_NT_OPTIONAL_HDR_MAGIC)
        return {};
    size_t nSections = pNt->FileHeader.NumberOfSections;
    size_t nSectionOffset = pDos->e_lfanew + offsetof(IMAGE_NT_HEADERS, OptionalHeader) + pNt->FileHeader.SizeOfOptionalHeader;
    auto* pSections = reinterpret_cast<const IMAGE_SECTION_HEADER*>(at(nSectionOffset, nSections * sizeof(IMAGE_SECTION_HEADER)));
    auto fileOffset = [&](DWORD dwRva) -> size_t {
        for (size_t i = 0; pSections && i < nSections; ++i) {
            if (dwRva >= pSections[i].VirtualAddress && dwRva - pSections[i].VirtualAddress < pSections[i].SizeOfRawData)
                return pSections[i].PointerToRawData + (dwRva - pSections[i].VirtualAddress);
        }
        return image.size();
    };
    std::vector<std::string> names;
    size_t nOffset = fileOffset(pNt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT].VirtualAddress);
    for (; auto* pImport = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(at(nOffset, sizeof(IMAGE_IMPORT_DESCRIPTOR)));
         nOffset += sizeof(IMAGE_IMPORT_DESCRIPTOR)) {
        const char* pszName = pImport->Name ? at(fileOffset(pImport->Name), 1) : nullptr;
        if (!pszName)
            break;
        std::string strName(pszName, strnlen(pszName, image.data() + image.size() - pszName));
        for (char& ch : strName)
            ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
        names.push_back(strName);
    }
    return names;
}

// Ending processes never needs COM: only the commands that remove tasks load it (the
// TQ and XTR cases of task_removal_tests prove that those still work), so a start for
// "LM" or "XTQ" does not pay for loading the COM libraries.
TEST_F(CommandWordTest, ProgramsLoadComOnlyToRemoveTasks)
{
    for (const wchar_t* pszProgram : {L"Culvane.exe", L"Brenholt.exe"}) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(pszProgram)));
        std::vector<std::string> names = ImportedDllNames(m_programs.Path() + L"\\" + pszProgram);
        EXPECT_NE(names.end(), std::find(names.begin(), names.end(), "kernel32.dll")) << "the import directory was read";
        EXPECT_EQ(names.end(), std::find(names.begin(), names.end(), "ole32.dll"));
        EXPECT_EQ(names.end(), std::find(names.begin(), names.end(), "oleaut32.dll"));
    }
}

}  // namespace
}  // namespace terminator_tests
