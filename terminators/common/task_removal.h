// Deletes the scheduled tasks whose names begin with a prefix.
#pragma once
#include <windows.h>

#include "common/com_library.h"

// Chooses the scheduler by the Windows major version: 6 (Vista to 8.1 and, without a
// compatibility manifest, everything later) uses Task Scheduler 2.0, any other 1.0.
// nCount is the number of leading characters compared; callers pass the prefix's length.
// COM is loaded by the first run and stays loaded for the life of the process.
void RemoveScheduledTasks(const wchar_t* pszPrefix, int nCount);

// Task Scheduler 1.0: work items of the Tasks folder, names compared respecting case.
void RemoveScheduledTasksV1(const ComLibrary& com, const wchar_t* pszPrefix, int nCount);
// Task Scheduler 2.0: tasks of the root folder (hidden ones too), A-Z case ignored, each
// deleted through a connection of its own.
void RemoveScheduledTasksV2(const ComLibrary& com, const wchar_t* pszPrefix, int nCount);
