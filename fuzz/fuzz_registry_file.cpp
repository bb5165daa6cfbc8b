// Arbitrary bytes into the REGEDIT4 reader. Besides crashes, hangs and memory errors it checks
// that reader and writer agree: what was read writes out as a file that reads back clean and
// equal, and writing that again gives the same bytes.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "platform/linux/regedit4.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const orp::Regedit4Parse first = orp::ParseRegedit4(text);
    if (first.problems.size() > first.problemCount ||
        first.problems.size() > orp::Regedit4Parse::kMaxProblems)
        std::abort();
    const std::string written = orp::FormatRegedit4(first.document);
    const orp::Regedit4Parse second = orp::ParseRegedit4(written);
    if (!second.clean() || !(second.document == first.document)) std::abort();
    if (orp::FormatRegedit4(second.document) != written) std::abort();
    return 0;
}
