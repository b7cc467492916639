// The full startup list, in its fixed order.
#pragma once

// Rebuilds g_startupItems: the Run keys (current user, machine, and the machine's 32-bit
// view on 64-bit Windows), the user's and the common Startup folder, then the disabled
// state from the store this Windows uses, and finally every item's details.
void EnumerateStartupItems();

struct STARTUPITEMS;
// Appends the item to g_startupItems, taking its strings over rather than copying them
// (the readers drop their record right after).
void AppendStartupItem(STARTUPITEMS& item);
