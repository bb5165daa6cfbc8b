#include <gtest/gtest.h>
#include "platform/memory_status.h"
TEST(PlatformSmoke, MemoryStatusDefaultsToZero) { EXPECT_EQ(orp::MemoryStatus{}.totalPhys, 0); }
