// Entries that stay in place but are marked disabled in a StartupApproved key.
#pragma once

// For the pass nPassSource (SI_APPROVED_*), marks every listed item that its
// StartupApproved key says is disabled: nEnabled 0 and nSource nPassSource. Appends
// nothing; other codes do nothing. The key is created when missing.
void ApplyApprovedState(int nPassSource);
