#include "common/task_removal.h"

#if !defined(_WIN64)
static_assert(sizeof(OSVERSIONINFOW) == 276, "OSVERSIONINFOW has its documented size");
#endif

void RemoveScheduledTasks(const wchar_t* pszPrefix, int nCount)
{
    const ComLibrary* pCom = ComLibrary::ForProcess();
    if (!pCom)
        return;
    const ComLibrary& com = *pCom;
    OSVERSIONINFOW version = {};
    version.dwOSVersionInfoSize = sizeof(version);
    GetVersionExW(&version);
    if (version.dwMajorVersion == 6)
        RemoveScheduledTasksV2(com, pszPrefix, nCount);
    else
        RemoveScheduledTasksV1(com, pszPrefix, nCount);
}
