#include <gtest/gtest.h>

#include <iostream>

#include "support/program_rig.h"

namespace quorvane {
namespace {

TEST(AdjustSession, ConnectReadsTheImageAndSendsEveryItem) {
    test::ProgramRig rig;
    ASSERT_TRUE(rig.Connect());
    for (const auto& f : rig.SentFrames()) {
        std::cout << f << "\n";
    }
    EXPECT_EQ(rig.program.Radio().eepImage().data(), rig.sim.transceiver.Image().data());
}

}  // namespace
}  // namespace quorvane
