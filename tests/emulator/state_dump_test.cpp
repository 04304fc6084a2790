#include "state_dump.h"

#include <gtest/gtest.h>

namespace qf::emu {
namespace {

TEST(StateDump, ColorsAreWrittenAsRgbAlthoughStoredAsBgr) {
    EXPECT_EQ(ColorName(0x000000), "#000000");
    EXPECT_EQ(ColorName(0x0000FF), "#FF0000");
    EXPECT_EQ(ColorName(0x00FF0000), "#0000FF");
    EXPECT_EQ(ColorName(0x00123456), "#563412");
}

}  // namespace
}  // namespace qf::emu
