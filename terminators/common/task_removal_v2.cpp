#include <taskschd.h>

#include "common/name_match.h"
#include "common/task_removal.h"
#include "win32/raii.h"

namespace {
const CLSID kClsidTaskScheduler = {0x0F87369F, 0xA4E5, 0x4CFC, {0xBD, 0x3E, 0x73, 0xE6, 0x15, 0x45, 0x72, 0xDD}};
const IID kIidTaskService = {0x2FABA4C7, 0x4DA9, 0x4013, {0x96, 0x97, 0x20, 0xCC, 0x3F, 0xD4, 0x0F, 0x85}};
constexpr LONG kEnumHidden = 1;  // TASK_ENUM_HIDDEN

// A task service connected to the local scheduler as the current user, or none.
bool ConnectService(const ComLibrary& com, win32::ComPtr<ITaskService>& service)
{
    if (FAILED(com.CoCreateInstance(kClsidTaskScheduler, nullptr, CLSCTX_INPROC_SERVER, kIidTaskService, service.replace_void())))
        return false;
    ComVariant server(com), user(com), domain(com), password(com);
    return SUCCEEDED(service->Connect(server.get(), user.get(), domain.get(), password.get()));
}

bool OpenRootFolder(const ComLibrary& com, ITaskService* pService, win32::ComPtr<ITaskFolder>& folder)
{
    ComBstr root(com, com.SysAllocString(L"\\"));
    return root && SUCCEEDED(pService->GetFolder(root.get(), folder.replace()));
}

// Deletes through a connection of its own; false when that connection cannot be made.
bool DeleteThroughFreshConnection(const ComLibrary& com, BSTR bstrName)
{
    win32::ComPtr<ITaskService> service;
    win32::ComPtr<ITaskFolder> folder;
    if (!ConnectService(com, service) || !OpenRootFolder(com, service.get(), folder))
        return false;
    folder->DeleteTask(bstrName, 0);  // a refused deletion leaves the task; the run goes on
    return true;
}

// The root folder's tasks, hidden ones included.
bool GetRootTasks(const ComLibrary& com, win32::ComPtr<IRegisteredTaskCollection>& tasks)
{
    win32::ComPtr<ITaskFolder> folder;
    {
        win32::ComPtr<ITaskService> service;
        if (!ConnectService(com, service) || !OpenRootFolder(com, service.get(), folder))
            return false;
    }
    return SUCCEEDED(folder->GetTasks(kEnumHidden, tasks.replace()));
}
}  // namespace

void RemoveScheduledTasksV2(const ComLibrary& com, const wchar_t* pszPrefix, int nCount)
{
    ComApartment apartment(com, com.CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
    if (!apartment.initialized())
        return;
    // Only the first call in a process takes effect; later runs get RPC_E_TOO_LATE.
    com.CoInitializeSecurity(nullptr, -1, nullptr, nullptr, RPC_C_AUTHN_LEVEL_PKT, RPC_C_IMP_LEVEL_IMPERSONATE, nullptr, EOAC_NONE,
                         nullptr);
    win32::ComPtr<IRegisteredTaskCollection> tasks;
    if (!GetRootTasks(com, tasks))
        return;
    LONG nTasks = 0;
    if (FAILED(tasks->get_Count(&nTasks)))
        return;
    for (LONG nIndex = 1; nIndex <= nTasks; ++nIndex) {
        VARIANT index;
        com.VariantInit(&index);
        index.vt = VT_I4;
        index.lVal = nIndex;
        win32::ComPtr<IRegisteredTask> task;
        if (FAILED(tasks->get_Item(index, task.replace())))
            continue;
        ComBstr name(com);
        if (FAILED(task->get_Name(name.put())) || !name)
            continue;
        if (LeadingPartEqualsAsciiNoCase(name.get(), pszPrefix, nCount) && !DeleteThroughFreshConnection(com, name.get()))
            return;
    }
}
