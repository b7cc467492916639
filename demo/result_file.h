// What the demo reads back after a feature reports: the result file in the data folder,
// and the record the stand-in notifier leaves beside the demo host.
#pragma once
#include <string>

namespace demo {

std::wstring ResultFileValue(const wchar_t* pszKey);
// Number of popups the notifier has recorded so far.
size_t NotifierRecordCount();
// Waits up to 10 s for the notifier's record number nIndex (0-based) and prints it.
void PrintNotifierRecord(size_t nIndex);

}  // namespace demo
