// A folder with the two programs, a folder of stand-ins and a clean data folder; every
// stand-in still running at the end is ended.
#pragma once
#include <gtest/gtest.h>

#include "terminator_test_support.h"

namespace terminator_tests {

class TerminatorTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        RemoveDataFolder();
        InstallPrograms(m_programs.Path());
        m_running.reserve(64);
    }
    void TearDown() override
    {
        EndAll(m_running);
        RemoveDataFolder();
    }
    // Starts a stand-in named strName; the index stays valid for the test's life.
    size_t Start(const std::wstring& strName)
    {
        m_running.push_back(StartWaiting(InstallStandin(m_standins.Path(), strName)));
        return m_running.size() - 1;
    }
    const WaitingProcess& Process(size_t n) const { return m_running[n]; }
    // Ended by a first termination attempt (exit code 0) within a few seconds.
    ::testing::AssertionResult EndedCleanly(size_t n) const
    {
        if (!m_running[n].Ended(5000))
            return ::testing::AssertionFailure() << "still running";
        if (m_running[n].ExitCode() != 0)
            return ::testing::AssertionFailure() << "ended with " << m_running[n].ExitCode();
        return ::testing::AssertionSuccess();
    }
    bool StillRunning(size_t n) const { return !m_running[n].Ended(0); }
    DWORD Run(const wchar_t* pszProgram, const std::wstring& strTail, const wchar_t* pszVersion = L"win7")
    {
        return RunProgram(m_programs.Path(), pszProgram, strTail, pszVersion);
    }

    ScratchFolder m_programs{L"programs"};
    ScratchFolder m_standins{L"standins"};
    std::vector<WaitingProcess> m_running;
};

}  // namespace terminator_tests
