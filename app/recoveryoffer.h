#pragma once

// At start-up: when runs of the editor that did not end normally left recovery copies, asks once
// whether to recover them all, discard them or decide later (they stay), and opens the recovered
// designs in windows of their own. Damaged copies are reported and set aside. Returns the number
// of designs recovered.
int offerRecoveredDesigns();
