#pragma once
// Display units and the rules that turn byte counts into the whole numbers every page, bar, log
// row and caption shows. One unit is a MiB (IEC) or an MB (SI); the choice is the window's.
//
// Every rounding in the program goes through RoundHalfEven on a value computed in x87
// double-extended arithmetic (64-bit significand). The halves are where the figures differ from
// exact fractions (1 of 8 is 12 %, 3 of 8 is 38 %), so the arithmetic is part of the behaviour.
#include <cstdint>
#include <string>

#include "platform/memory_status.h"

namespace orp {

// Nearest integer, ties to even, of a value computed in double-extended arithmetic.
// The rounding itself does not depend on the current floating-point rounding mode (the
// divisions before it do; nothing in the program changes the mode from round-to-nearest).
// NaN gives 0; values beyond the 64-bit range give the nearest end of the range.
std::int64_t RoundHalfEven(long double v);

// IEC: whole MiB plus one, also for exact multiples (0 bytes give 1; this is not a ceiling).
// SI: bytes / 1000 / 1000 in extended arithmetic, rounded half to even.
std::int64_t BytesToUnits(std::int64_t bytes, bool useIEC);

// part / whole * 100 in extended arithmetic, rounded half to even, held to the range of int.
// A whole of 0 gives 0: only an SI total under half a unit converts to 0, which no real memory
// reaches but a snapshot that could not be read (all zeros) does; "nothing" is the honest
// figure there, and the division would otherwise have no value.
int PercentOf(std::int64_t part, std::int64_t whole);

// The first multiple of 128 (128 .. 65536) that lies within 15 of mib; otherwise mib unchanged.
std::int64_t SnapToNominalSize(std::int64_t mib);

// The nominal total of the Memory page's caption: IEC snaps the whole MiB (no 1 added), SI is
// the plain conversion and never snapped.
std::int64_t NominalTotal(std::int64_t totalPhysBytes, bool useIEC);

std::int64_t BlockBytes(bool useIEC);                       // 1048576 or 1000000
std::string AmountSuffix(bool useIEC);                      // " MiB" / " MB"
std::string FormatAmount(std::int64_t units, bool useIEC);  // "313 MiB"
std::string TrayHint(std::int64_t freeUnits, bool useIEC);  // "Orrindo Pro: 313 MiB free"
std::string TotalCaption(std::int64_t units, bool useIEC);  // "Total RAM:1024 MiB"

// The figures of one memory refresh. The two percentages are computed independently and need
// not add up to 100.
struct RamFigures {
    std::int64_t total = 0, free = 0, used = 0;
    int usedPercent = 0, freePercent = 0;
};
RamFigures ComputeRamFigures(const MemoryStatus& s, bool useIEC);

// The commit-limit figures of the virtual-memory row.
struct VirtualFigures {
    std::int64_t total = 0, free = 0, used = 0;
    int percent = 0;
};
VirtualFigures ComputeVirtualFigures(const MemoryStatus& s, bool useIEC);

}  // namespace orp
