#include "freeing/target.h"

#include <limits>

#include "memory/units.h"

namespace orp {

namespace {

constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
constexpr std::int64_t kMin = std::numeric_limits<std::int64_t>::min();

std::uint64_t Magnitude(std::int64_t v) {
    return v < 0 ? std::uint64_t{0} - static_cast<std::uint64_t>(v) : static_cast<std::uint64_t>(v);
}

// a * b, held to the 64-bit range instead of wrapping.
std::int64_t SaturatingProduct(std::int64_t a, std::int64_t b) {
    if (a == 0 || b == 0) return 0;
    const bool negative = (a < 0) != (b < 0);
    const std::uint64_t limit = negative ? Magnitude(kMin) : Magnitude(kMax);
    const std::uint64_t ua = Magnitude(a), ub = Magnitude(b);
    if (ua > limit / ub) return negative ? kMin : kMax;
    const std::uint64_t m = ua * ub;
    if (!negative) return static_cast<std::int64_t>(m);
    return m == Magnitude(kMin) ? kMin : -static_cast<std::int64_t>(m);
}

}  // namespace

std::int64_t TargetBlocks(std::int64_t totalRAM, int percent) {
    const std::int64_t perPercent = RoundHalfEven(static_cast<long double>(totalRAM) / 100.0L);
    // Callers pass 1 to 95 and a hundredth of any real total; saturating only keeps an absurd
    // argument from wrapping into a block count of the wrong sign.
    return SaturatingProduct(perPercent, percent);
}

std::int64_t LevelAmount(std::int64_t totalRAM, int level) {
    long double q = static_cast<long double>(totalRAM) / 100.0L;
    q = q * static_cast<long double>(level);
    return RoundHalfEven(q);
}

std::int64_t RamCleared(std::int64_t freeBefore, std::int64_t freeAfter) {
    if (freeAfter <= freeBefore) return 0;
    // The true difference is below 2^64, so unsigned subtraction is exact; only its top needs
    // holding to the signed range.
    const std::uint64_t cleared =
        static_cast<std::uint64_t>(freeAfter) - static_cast<std::uint64_t>(freeBefore);
    return cleared > Magnitude(kMax) ? kMax : static_cast<std::int64_t>(cleared);
}

std::string TargetCaption(int position, std::int64_t blocks, bool useIEC) {
    return "RAM to free: " + std::to_string(position) + "% (" + std::to_string(blocks) +
           (useIEC ? " MiB)" : " MB)");
}

std::string PassLabel(int pass, int passes) {
    return "Pass " + std::to_string(pass) + " of " + std::to_string(passes);
}

std::string PercentLabel(int percent) {
    return std::to_string(percent) + "%";
}

}  // namespace orp
