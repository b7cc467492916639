// Checked removal of what tests make (files, folders, registry values and keys), and sweeps
// of what an interrupted run left. Removing something already gone is fine; anything else
// that cannot be removed fails the running test with its path, so that the next case does
// not silently start from a leftover.
#pragma once
#include <windows.h>

#include <string>

namespace testing_support {

// Deletes a file, retrying for a moment while another process holds it open (Windows'
// shell and virus scanners open new files briefly).
void RemoveFile(const std::wstring& strPath);
// Deletes a file or a folder with everything in it.
void RemoveTree(const std::wstring& strPath);
// Deletes the files of strFolder whose names match strPattern ("Probe*"; case is ignored).
void RemoveFiles(const std::wstring& strFolder, const std::wstring& strPattern);

void RemoveRegistryValue(HKEY hRoot, REGSAM samView, const std::wstring& strKey, const std::wstring& strName);
void RemoveRegistryTree(HKEY hRoot, REGSAM samView, const std::wstring& strKey);
// Deletes the values of a key whose names start with strPrefix (case ignored).
void RemoveRegistryValues(HKEY hRoot, REGSAM samView, const std::wstring& strKey, const std::wstring& strPrefix);
// Deletes the subkeys of a key whose names contain strPart (case ignored).
void RemoveRegistrySubkeys(HKEY hRoot, REGSAM samView, const std::wstring& strKey, const std::wstring& strPart);

}  // namespace testing_support
