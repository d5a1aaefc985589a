#include <gtest/gtest.h>

#include "app/error_report.h"
#include "rig/fake_controls.h"

namespace quorvane {
namespace {

const std::string kTail =
    "\r\n\r\nCheck the following:\r\n- The COM port settings.\r\n- Cloning cable "
    "connections.\r\n- Transceiver power is ON.";

std::string Message(bool cannotOpen, bool overflow, Int16 lastError, Int16 seqError,
                    Int16 port = 1) {
    return CloneErrorMessage({cannotOpen, overflow, port, static_cast<LinkError>(lastError),
                              static_cast<SequenceError>(seqError)});
}

TEST(ErrorReport, PrecedenceOfSources) {
    EXPECT_EQ(Message(true, true, 2, 1, 3), "Cannot access COM 3." + kTail);
    EXPECT_EQ(Message(false, true, 2, 1), "COM buffer overflow." + kTail);
    // The driver's code wins over the sequencer's 4 that it caused.
    EXPECT_EQ(Message(false, false, 2, 4), "No answer from transceiver." + kTail);
    EXPECT_EQ(Message(false, false, 0, 1), "Cannot Clone." + kTail);
}

TEST(ErrorReport, EveryLinkMessage) {
    EXPECT_EQ(Message(false, false, 1, 0), "Cannot access COM port" + kTail);
    EXPECT_EQ(Message(false, false, 3, 0), "Illegal data." + kTail);
    EXPECT_EQ(Message(false, false, 4, 0), "Data counter error." + kTail);
    EXPECT_EQ(Message(false, false, 5, 0), "Data overflow." + kTail);
    const std::string write =
        "Cannot write cloning data.\r\n\r\nCheck the following:\r\n- Cloning cable "
        "connections.\r\n- Transceiver power is ON.";
    EXPECT_EQ(Message(false, false, 6, 0), write);
    EXPECT_EQ(Message(false, false, 7, 0), write);
    // After a driver error "Cannot Clone." has an empty line before the port line.
    EXPECT_EQ(Message(false, false, 8, 0),
              "Cannot Clone.\r\n\r\nCheck the following:\r\n\r\n- The COM port settings.\r\n- "
              "Cloning cable connections.\r\n- Transceiver power is ON.");
}

TEST(ErrorReport, EverySequencerMessage) {
    EXPECT_EQ(Message(false, false, 0, 0),
              "Communication failed.\r\n\r\nCheck the following:\r\n- Cloning cable "
              "connections.\r\n- Transceiver power is ON.");
    EXPECT_EQ(Message(false, false, 0, 2),
              "Version number does not match\r\nfor this transceiver.");
    EXPECT_EQ(Message(false, false, 0, 3),
              "Connected transceiver is not compatible model.\r\n\r\nCheck the following:\r\n- "
              "Appropriate cloning software for the transceiver is being used.\r\n- The revision "
              "number of the transceiver.");
    EXPECT_EQ(Message(false, false, 0, 4), "Cannot Clone." + kTail);
}

TEST(ErrorReport, MessageBoxExpandsNewlinesAndCarriesTheTitle) {
    test::FakeMessageBox box;
    MsgBoxCritical(box, "a\\nb");
    ASSERT_EQ(box.texts.size(), 1u);
    EXPECT_EQ(box.texts[0], "a\r\nb");
    EXPECT_EQ(box.titles[0], "Quorvane ADJ Rev.2.0");
}

}  // namespace
}  // namespace quorvane
