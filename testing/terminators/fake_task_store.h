// The task list of the fake Task Scheduler 2.0 server and its journal, in files beside
// the DLL so that a test and the programs it starts see the same tasks.
//   fake_taskschd.tasks: one task a line, "H|\path" (hidden) or "-|\path"
//   fake_taskschd.log:   one line per call: "connect", "connect-failed", "gettasks FLAGS",
//                        "delete NAME"
//   fake_taskschd.fail:  a number N: the Nth "connect" of the journal fails
#pragma once
#include <string>
#include <vector>

namespace fake_taskschd {

struct StoredTask {
    std::wstring strPath;  // "\Name" in the root folder, "\Sub\Name" below it
    bool bHidden;
};

std::vector<StoredTask> LoadTasks();
void SaveTasks(const std::vector<StoredTask>& tasks);
void AppendJournal(const std::wstring& strLine);
// Counts the journal's "connect" lines and tells whether the next one is to fail.
bool NextConnectionFails();

}  // namespace fake_taskschd
