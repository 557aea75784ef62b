#pragma once

// Offset that centres an item of `size` in a panel of `panel` pixels. Both halves are taken
// with truncating division first, so an item larger than the panel gets a negative offset
// and is clipped evenly on both sides.
constexpr int CenteredOffset(int panel, int size) { return panel / 2 - size / 2; }
