#include <mstask.h>

#include <cwchar>

#include "common/task_removal.h"
#include "win32/raii.h"

namespace {
const CLSID kClsidTaskScheduler = {0x148BD52A, 0xA2AB, 0x11CE, {0xB1, 0x1F, 0x00, 0xAA, 0x00, 0x53, 0x05, 0x03}};
const IID kIidTaskScheduler = {0x148BD527, 0xA2AB, 0x11CE, {0xB1, 0x1F, 0x00, 0xAA, 0x00, 0x53, 0x05, 0x03}};
constexpr ULONG kBatchSize = 20;

// The enumerator names work items with their ".job" file extension, but Delete refuses
// any name containing a dot and wants the name without it.
void DeleteWorkItem(const ComLibrary& com, ITaskScheduler* pScheduler, const wchar_t* pszEnumeratedName)
{
    size_t nLength = wcslen(pszEnumeratedName);
    const size_t nExtension = 4;
    if (nLength > nExtension && _wcsicmp(pszEnumeratedName + nLength - nExtension, L".job") == 0) {
        ComTaskMemory name(com, com.CoTaskMemAlloc((nLength - nExtension + 1) * sizeof(wchar_t)));
        if (!name)
            return;
        wchar_t* pszName = static_cast<wchar_t*>(name.get());
        wmemcpy(pszName, pszEnumeratedName, nLength - nExtension);
        pszName[nLength - nExtension] = L'\0';
        pScheduler->Delete(pszName);
        return;
    }
    pScheduler->Delete(pszEnumeratedName);
}

// Owns one batch from IEnumWorkItems::Next: the names and the array holding them.
class NameBatch {
public:
    explicit NameBatch(const ComLibrary& com) : m_com(com) {}
    ~NameBatch() { Free(); }
    NameBatch(const NameBatch&) = delete;
    NameBatch& operator=(const NameBatch&) = delete;
    LPWSTR** put()
    {
        Free();
        return &m_ppNames;
    }
    ULONG* count() { return &m_nFetched; }
    ULONG size() const { return m_ppNames ? m_nFetched : 0; }
    const wchar_t* name(ULONG i) const { return m_ppNames[i]; }
    void Free()
    {
        for (ULONG i = 0; i < size(); ++i)
            m_com.CoTaskMemFree(m_ppNames[i]);
        if (m_ppNames)
            m_com.CoTaskMemFree(m_ppNames);
        m_ppNames = nullptr;
        m_nFetched = 0;
    }

private:
    const ComLibrary& m_com;
    LPWSTR* m_ppNames = nullptr;
    ULONG m_nFetched = 0;
};
}  // namespace

void RemoveScheduledTasksV1(const ComLibrary& com, const wchar_t* pszPrefix, int nCount)
{
    ComApartment apartment(com, com.CoInitialize(nullptr));
    if (!apartment.initialized())
        return;
    win32::ComPtr<ITaskScheduler> scheduler;
    if (FAILED(com.CoCreateInstance(kClsidTaskScheduler, nullptr, CLSCTX_INPROC_SERVER, kIidTaskScheduler, scheduler.replace_void())))
        return;
    win32::ComPtr<IEnumWorkItems> items;
    if (FAILED(scheduler->Enum(items.replace())))
        return;
    NameBatch batch(com);
    while (SUCCEEDED(items->Next(kBatchSize, batch.put(), batch.count())) && batch.size() > 0) {
        for (ULONG i = batch.size(); i-- > 0;) {
            if (wcsncmp(batch.name(i), pszPrefix, static_cast<size_t>(nCount)) == 0)
                DeleteWorkItem(com, scheduler.get(), batch.name(i));
        }
    }
}
