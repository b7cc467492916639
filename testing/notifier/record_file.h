// The record a stand-in program keeps beside itself: one UTF-8 line per event.
#pragma once
#include <windows.h>

#include <string>

// Path of NAME in the folder of the running program.
std::wstring BesideProgram(const wchar_t* pszName);
// Appends strLine and a line feed to the file in one write, so a reader polling the file
// never sees half a line.
void AppendRecordLine(const std::wstring& strPath, const std::wstring& strLine);
