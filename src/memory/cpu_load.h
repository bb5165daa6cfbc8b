#pragma once
// The processor-load figure: one whole percentage for the machine as a whole, from the
// per-instance busy shares that the processor-times port reports between its last two samples.
#include <vector>

#include "platform/processor_times.h"

namespace orp {

// Takes a sample and gives the machine's load since the previous one as a whole percentage,
// 1..100 (an idle machine shows 1, never 0). Throws when the sample fails or gives no usable
// figure; the caller then keeps the last figure it accepted.
int SampleProcessorLoad(IProcessorTimes& times);

// Combines whole per-instance percentages (instance order) into the machine's load, 1..100.
// With an overall-total instance (the last one) that instance is the machine's figure: it is
// what the system itself computed over all processors. Without one, every instance is a
// processor and the figure is their mean. Throws std::invalid_argument for an empty list.
int CombineProcessorLoad(const std::vector<int>& instancePercents, bool lastIsTotal);

}  // namespace orp
