#pragma once
// Backup units as the user knows them, one line each: when the unit was made and
// the folder its files came from. The questions and summaries that name units use it.

#include <cstddef>
#include <string>
#include <vector>

#include "backup/BackupReport.h"

class TBackupUnit;

namespace hovrak {

// "  2026年12月1日 9:05:07  /home/u/src" per unit, each line ending in LF; after
// listed units the rest are counted ("  ほか 3 件").
std::string BackupUnitLines(const std::vector<TPrunedUnit>& units, std::size_t listed = 10);
std::string BackupUnitLines(const std::vector<const TBackupUnit*>& units, std::size_t listed = 10);

// The paragraph that tells of units pruned to make room, without a final LF; ""
// when none was.
std::string PrunedUnitsText(const std::vector<TPrunedUnit>& pruned);

}  // namespace hovrak
