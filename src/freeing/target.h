#pragma once
// The amounts a freeing run and its captions are built from, in whole display units.
#include <cstdint>
#include <string>

namespace orp {

// The block count of a run: round(total / 100) * percent. Only the hundredth is rounded; the
// product is exact (held to the 64-bit range), so 2150 units at 50 % give 22 * 50 = 1100.
std::int64_t TargetBlocks(std::int64_t totalRAM, int percent);

// The automatic amounts: round(total / 100 * level), rounded once at the end, so 2048 units at
// 15 % give 307 where TargetBlocks would give 300.
std::int64_t LevelAmount(std::int64_t totalRAM, int level);

// Free after the run minus free before it; a machine that got fuller meanwhile cleared 0.
std::int64_t RamCleared(std::int64_t freeBefore, std::int64_t freeAfter);

// "RAM to free: 20% (200 MiB)", or ending " MB)" in SI.
std::string TargetCaption(int position, std::int64_t blocks, bool useIEC);

// The pass panel's labels: "Pass 2 of 3" and "50%".
std::string PassLabel(int pass, int passes);
std::string PercentLabel(int percent);

}  // namespace orp
