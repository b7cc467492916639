#include "common/kill_list.h"

#include <cwchar>

const wchar_t* const kKillList[kKillListRows] = {
    L"harrowfen.exe", L"quillery.exe",   L"tarnfell.exe",    L"dunmere.exe",    L"oxlith.exe",   L"pondrill.exe",
    L"ganwick.exe",   L"glimmerdown.exe", L"ardmoor.exe",    L"sorrelby.exe",   L"kestin.exe",   L"lumhollow.exe",
    L"yarrowmead.exe", L"harrowfen.exe", L"thistlecote.exe", L"ivorsett.exe",   L"calderin.exe", L"nethermoss.exe",
};

KillListCopy::KillListCopy()
{
    for (int i = 0; i < kKillListRows; ++i)
        wcsncpy(aszName[i], kKillList[i], MAX_PATH);
}
