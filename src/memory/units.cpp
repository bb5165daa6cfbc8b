#include "memory/units.h"

#include <cmath>
#include <limits>

namespace orp {

// The figures are defined on the x87 double-extended format. On x86 that is what long double
// is, unless a flag such as -mlong-double-64 or -mlong-double-128 changes it; then the halves
// (12.5 %, 20.5 units) would round differently and every caption would drift, so refuse to
// build. Other architectures have no 64-bit-significand type at all (AArch64's long double is
// IEEE quad, 32-bit ARM's is double); a port there must bring its own extended arithmetic.
#if defined(__x86_64__) || defined(__i386__)
static_assert(std::numeric_limits<long double>::digits == 64,
              "long double must be the x87 double-extended format (64-bit significand)");
#endif

namespace {

constexpr std::int64_t kMiB = 1048576;
constexpr std::int64_t kMB = 1000000;

}  // namespace

std::int64_t RoundHalfEven(long double v) {
    // Rounding is done by hand rather than with nearbyintl/llrintl, which follow whatever
    // rounding mode a library may have left behind. floorl is exact in every mode, and so is
    // a - floorl(a) for a >= 0 (both are multiples of a's last place and the difference is
    // below 1), so the comparison with one half sees the exact fraction.
    if (std::isnan(v)) return 0;
    constexpr long double kTwo63 = 9223372036854775808.0L;
    const bool negative = std::signbit(v);
    const long double a = std::fabs(v);
    if (a >= kTwo63) {
        return negative ? std::numeric_limits<std::int64_t>::min()
                        : std::numeric_limits<std::int64_t>::max();
    }
    const long double whole = std::floor(a);
    const long double fraction = a - whole;
    const auto w = static_cast<std::uint64_t>(whole);  // exact: whole < 2^63
    std::uint64_t r = w;
    if (fraction > 0.5L || (fraction == 0.5L && (w & 1u) != 0)) ++r;
    if (!negative) {
        return r > static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max())
                   ? std::numeric_limits<std::int64_t>::max()
                   : static_cast<std::int64_t>(r);
    }
    // r <= 2^63, and -2^63 is representable.
    return r == (std::uint64_t{1} << 63) ? std::numeric_limits<std::int64_t>::min()
                                         : -static_cast<std::int64_t>(r);
}

std::int64_t BytesToUnits(std::int64_t bytes, bool useIEC) {
    if (useIEC) return (bytes >> 20) + 1;
    // Two divisions, each rounded in extended precision: a single division by a million is not
    // guaranteed to land on the same last place, and a half decides on that place.
    long double q = static_cast<long double>(bytes) / 1000.0L;
    q = q / 1000.0L;
    return RoundHalfEven(q);
}

int PercentOf(std::int64_t part, std::int64_t whole) {
    if (whole == 0) return 0;
    long double q = static_cast<long double>(part) / static_cast<long double>(whole);
    q = q * 100.0L;
    const std::int64_t r = RoundHalfEven(q);
    // A part far beyond its whole (a corrupt snapshot) must not overflow the int.
    if (r > std::numeric_limits<int>::max()) return std::numeric_limits<int>::max();
    if (r < std::numeric_limits<int>::min()) return std::numeric_limits<int>::min();
    return static_cast<int>(r);
}

std::int64_t SnapToNominalSize(std::int64_t mib) {
    // The candidates are 128 * j for j = 1 .. 512, each claiming the 31 values within 15 of
    // it. The claims are 128 apart and never overlap, so the nearest multiple of 128 is the
    // only candidate worth testing.
    constexpr std::int64_t kStep = 128, kReach = 15;
    constexpr std::int64_t kFirst = kStep, kLast = kStep * 512;
    if (mib < kFirst - kReach || mib > kLast + kReach) return mib;
    const std::int64_t nearest = (mib + kStep / 2) / kStep * kStep;
    const std::int64_t distance = mib > nearest ? mib - nearest : nearest - mib;
    return distance <= kReach ? nearest : mib;
}

std::int64_t NominalTotal(std::int64_t totalPhysBytes, bool useIEC) {
    if (useIEC) return SnapToNominalSize(totalPhysBytes >> 20);
    return BytesToUnits(totalPhysBytes, false);
}

std::int64_t BlockBytes(bool useIEC) {
    return useIEC ? kMiB : kMB;
}

std::string AmountSuffix(bool useIEC) {
    return useIEC ? " MiB" : " MB";
}

// std::to_string writes integers in plain decimal whatever the locale: no digit grouping.
std::string FormatAmount(std::int64_t units, bool useIEC) {
    return std::to_string(units) + AmountSuffix(useIEC);
}

std::string TrayHint(std::int64_t freeUnits, bool useIEC) {
    return "Orrindo Pro: " + std::to_string(freeUnits) + (useIEC ? " MiB free" : " MB free");
}

std::string TotalCaption(std::int64_t units, bool useIEC) {
    return "Total RAM:" + FormatAmount(units, useIEC);
}

RamFigures ComputeRamFigures(const MemoryStatus& s, bool useIEC) {
    RamFigures f;
    f.total = BytesToUnits(s.totalPhys, useIEC);
    f.free = BytesToUnits(s.availPhys, useIEC);
    f.used = f.total - f.free;
    f.usedPercent = PercentOf(f.used, f.total);
    f.freePercent = PercentOf(f.free, f.total);
    return f;
}

VirtualFigures ComputeVirtualFigures(const MemoryStatus& s, bool useIEC) {
    VirtualFigures f;
    f.total = BytesToUnits(s.totalPageFile, useIEC);
    f.free = BytesToUnits(s.availPageFile, useIEC);
    f.used = f.total - f.free;
    f.percent = PercentOf(f.used, f.total);
    return f;
}

}  // namespace orp
