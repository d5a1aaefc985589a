// The messages the fault matrix cannot provoke from a transceiver, and the precedence.
#include <gtest/gtest.h>

#include "app/error_report.h"
#include "rig/fake_controls.h"

namespace quorvane {
namespace {

const std::string kCheck = "\r\n\r\nCheck the following:\r\n";
const std::string kTail =
    kCheck +
    "- The COM port settings.\r\n- Cloning cable connections.\r\n- Transceiver power is ON.";

std::string Message(bool cannotOpen, bool overflow, Int16 lastError, Int16 seqError) {
    return CloneErrorMessage({cannotOpen, overflow, 3, static_cast<LinkError>(lastError),
                              static_cast<SequenceError>(seqError)});
}

TEST(ErrorReport, PrecedenceTheMessagesNoTransceiverCausesAndTheBox) {
    EXPECT_EQ(Message(true, true, 2, 1), "Cannot access COM 3." + kTail);
    EXPECT_EQ(Message(false, true, 2, 1), "COM buffer overflow." + kTail);
    EXPECT_EQ(Message(false, false, 2, 4), "No answer from transceiver." + kTail);
    const std::string write = "Cannot write cloning data." + kCheck +
                              "- Cloning cable connections.\r\n- Transceiver power is ON.";
    EXPECT_EQ(Message(false, false, 6, 0), write);
    // After a driver error "Cannot Clone." has an empty line before the port line.
    EXPECT_EQ(Message(false, false, 8, 0),
              "Cannot Clone.\r\n\r\nCheck the following:\r\n\r\n- The COM port settings.\r\n- "
              "Cloning cable connections.\r\n- Transceiver power is ON.");

    test::FakeMessageBox box;
    MsgBoxCritical(box, "a\\nb");
    EXPECT_EQ(box.texts, std::vector<std::string>{"a\r\nb"});
    EXPECT_EQ(box.titles, std::vector<std::string>{"Quorvane ADJ Rev.2.0"});
}

}  // namespace
}  // namespace quorvane
