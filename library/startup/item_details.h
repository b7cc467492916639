// What the host shows for each listed item.
#pragma once

// Fills strPath, strDisplayName (made unique within the list), strCompany and nIcon of
// every item of g_startupItems, from the first to the last.
void FillItemDetails();
