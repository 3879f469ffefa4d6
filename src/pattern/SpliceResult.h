#pragma once
// What splicing the ticked places of one file into its text did.

#include <cstddef>

// Where one replaced hit stood in the text, [Start, End), and where its replacement
// stands in the result, [ResultStart, ResultEnd), in units.
struct TSplicedHit {
  std::size_t Start = 0, End = 0, ResultStart = 0, ResultEnd = 0;
};

struct TSpliceResult {
  // Places whose replacement went into the text.
  int Replaced = 0;
  // Ticked places whose hit no longer stands at their line and column (the file
  // changed since the search); they were left out.
  int Stale = 0;
  // Ticked places left out because they start inside the previous replaced hit.
  int Overlapping = 0;
};
