// Which language file is current, and the settings-file writes that go with it.
#pragma once
#include "framework/cstring.h"

// Section of the settings file and the language files that holds the language list.
constexpr const wchar_t* kOptimizerSection = L"Tessary Optimizer";

// Re-derives the folder, settings and language paths from the host program and the
// settings file, falling back to "IDS_DEFAULT_LANGUAGE" when the chosen language's file
// cannot be opened. Reloads the language tables. Never throws.
void ResolveLanguageFile();

// Writes one key of the settings file.
void WriteSettingText(LPCWSTR pszSection, LPCWSTR pszKey, LPCWSTR pszValue);
