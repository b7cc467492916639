// Executable names of the product's programs that the terminators end.
#pragma once
#include <windows.h>

constexpr int kKillListRows = 18;
// In the order in which names are compared; row 14 repeats row 1 and so never matches.
extern const wchar_t* const kKillList[kKillListRows];

// The per-run copy of the list that the walk compares against.
struct KillListCopy {
    wchar_t aszName[kKillListRows][MAX_PATH];
    KillListCopy();
};
