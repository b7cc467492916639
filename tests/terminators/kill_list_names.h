// The 17 distinct names the terminators end, as the product's programs are named.
#pragma once
#include <array>

namespace terminator_tests {
inline constexpr std::array<const wchar_t*, 17> kDistinctKillListNames = {
    L"harrowfen.exe", L"quillery.exe",  L"tarnfell.exe",   L"dunmere.exe",     L"oxlith.exe",   L"pondrill.exe",
    L"ganwick.exe",   L"glimmerdown.exe", L"ardmoor.exe",  L"sorrelby.exe",    L"kestin.exe",   L"lumhollow.exe",
    L"yarrowmead.exe", L"thistlecote.exe", L"ivorsett.exe", L"calderin.exe",   L"nethermoss.exe",
};
}  // namespace terminator_tests
