#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include "platform/runtime_error.h"
#include "qt/qt_main_window.h"
#include "qt/qt_message_box.h"
#include "qt_print.h"
#include "recording_events.h"
#include "support/error_kind.h"

namespace quorvane {
namespace {

using test::KindOf;

// What a modal message box showed, read while it is open, then closed with OK.
struct SeenBox {
    QString text;
    QString title;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons;
    Qt::TextFormat format = Qt::AutoText;
    bool modal = false;
};

void AcceptNextBox(SeenBox& seen) {
    QTimer::singleShot(0, [&seen] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        seen.text = box->text();
        seen.title = box->windowTitle();
        seen.icon = box->icon();
        seen.buttons = box->standardButtons();
        seen.format = box->textFormat();
        seen.modal = box->isModal();
        box->button(QMessageBox::Ok)->click();
    });
}

class ControlsTest : public ::testing::Test {
  protected:
    const frmMainControls& c() const { return window.Controls(); }
    QtMainWindow window;
};

TEST_F(ControlsTest, ListLinesAreReplacedOneAtATime) {
    IListBox& list = *c().lbo01[0];
    auto* widget = static_cast<QtListBox&>(list).widget();
    list.AddItem("[A/D]");
    for (int i = 0; i < 5; ++i)
        list.AddItem("----");
    ASSERT_EQ(list.ListCount(), 6);
    QListWidgetItem* before = widget->item(3);

    list.List(3, " 3 BATT  7.4V");
    EXPECT_EQ(list.ListCount(), 6);
    EXPECT_EQ(widget->item(3), before);  // the same line, only its text changed
    EXPECT_EQ(list.List(3), " 3 BATT  7.4V");
    for (std::int16_t i : {1, 2, 4, 5})
        EXPECT_EQ(list.List(i), "----");
    EXPECT_EQ(list.List(0), "[A/D]");

    EXPECT_EQ(list.List(6), "");
    EXPECT_EQ(list.List(-1), "");
    EXPECT_EQ(KindOf([&] { list.List(6, "x"); }), ErrorKind::IndexOutOfRange);
    EXPECT_EQ(KindOf([&] { list.List(-1, "x"); }), ErrorKind::IndexOutOfRange);

    list.Clear();
    EXPECT_EQ(list.ListCount(), 0);
    EXPECT_EQ(list.ListIndex(), -1);
}

TEST_F(ControlsTest, ListIndexIsTheSelectedLineOrMinusOne) {
    IListBox& list = *c().lboConsole;
    auto* widget = static_cast<QtListBox&>(list).widget();
    EXPECT_EQ(list.ListIndex(), -1);
    for (int i = 0; i < 4; ++i)
        list.AddItem("item");
    EXPECT_EQ(list.ListIndex(), -1);

    // A current line that is not selected is no selection.
    widget->setCurrentRow(1, QItemSelectionModel::NoUpdate);
    EXPECT_EQ(list.ListIndex(), -1);

    list.ListIndex(2);
    EXPECT_EQ(list.ListIndex(), 2);
    EXPECT_TRUE(widget->item(2)->isSelected());
    list.ListIndex(0);
    EXPECT_EQ(list.ListIndex(), 0);
    EXPECT_FALSE(widget->item(2)->isSelected());
    list.ListIndex(-1);
    EXPECT_EQ(list.ListIndex(), -1);
    EXPECT_TRUE(widget->selectedItems().isEmpty());

    EXPECT_EQ(KindOf([&] { list.ListIndex(4); }), ErrorKind::IndexOutOfRange);
    EXPECT_EQ(KindOf([&] { list.ListIndex(-2); }), ErrorKind::IndexOutOfRange);
    EXPECT_EQ(list.ListIndex(), -1);
}

TEST_F(ControlsTest, TextBoxShowsCrLfLinesReadOnlyWithoutWrapping) {
    const std::string dump = "[CH]\r\n 0 145.000\r\n" + std::string(300, 'x');
    c().txtDispPara->Text(dump);
    auto* edit = static_cast<QtTextBox*>(c().txtDispPara)->widget();
    EXPECT_EQ(edit->toPlainText(),
              QString::fromStdString("[CH]\n 0 145.000\n" + std::string(300, 'x')));
    EXPECT_EQ(edit->blockCount(), 3);
    EXPECT_EQ(c().txtDispPara->Text(), dump);
    EXPECT_TRUE(edit->isReadOnly());
    EXPECT_EQ(edit->lineWrapMode(), QPlainTextEdit::NoWrap);
}

TEST_F(ControlsTest, LabelsShowPlainTextFitTheirCaptionAndTakeSystemColours) {
    ILabel& status = *c().lblComBusy;
    auto* label = static_cast<QtLabel&>(status).widget();
    status.Caption("COM 1: CLOSE");
    EXPECT_EQ(label->text(), "COM 1: CLOSE");
    const int shortWidth = label->width();
    EXPECT_GE(shortWidth, QFontMetrics(label->font()).horizontalAdvance("COM 1: CLOSE"));
    status.Caption("COM 1: CLOSE <b>wide</b>");
    EXPECT_EQ(label->textFormat(), Qt::PlainText);
    EXPECT_GT(label->width(), shortWidth);
    status.Move(120, 120, 15, 15);  // an auto-sized label keeps fitting its caption
    EXPECT_EQ(label->pos(), QPoint(8, 8));
    EXPECT_GT(label->width(), shortWidth);

    status.ForeColor(SystemColor::ButtonText);
    EXPECT_EQ(label->palette().color(QPalette::Active, QPalette::WindowText),
              QApplication::palette().color(QPalette::Active, QPalette::ButtonText));
    status.ForeColor(SystemColor::GrayText);
    EXPECT_EQ(label->palette().color(QPalette::Active, QPalette::WindowText),
              QApplication::palette().color(QPalette::Disabled, QPalette::Text));

    c().lblTitle->Caption("Quorvane ADJ Rev.2.0\r\nAdjust Utility for Tamskor\r\nline three");
    auto* title = static_cast<QtLabel*>(c().lblTitle)->widget();
    EXPECT_EQ(title->text().count('\n'), 2);
    EXPECT_GE(title->height(), 3 * QFontMetrics(title->font()).lineSpacing());
    EXPECT_EQ(c().lblTitle->Caption(),
              "Quorvane ADJ Rev.2.0\r\nAdjust Utility for Tamskor\r\nline three");
}

TEST_F(ControlsTest, DefaultAndCancelButtonsTakeEnterAndEscape) {
    RecordingEvents events;
    window.Events(&events);
    c().lboConsole->AddItem("item");
    auto* list = static_cast<QtListBox*>(c().lboConsole)->widget();
    c().cmd00[0]->Caption("Connect");
    EXPECT_EQ(c().cmd00[0]->Caption(), "Connect");
    EXPECT_EQ(static_cast<QtButton*>(c().cmd00[0])->widget()->text(), "Connect");

    // Without a default button Enter belongs to the focused control.
    list->setFocus();
    QTest::keyClick(list, Qt::Key_Return);
    EXPECT_EQ(events.Count("cmd00_Click 0"), 0u);
    EXPECT_EQ(events.Count("lboConsole_KeyDown 13 0"), 1u);

    c().cmd00[0]->Default(true);
    c().cmd00[2]->Cancel(true);
    window.show();
    list->setFocus();
    events.log.clear();
    QTest::keyClick(list, Qt::Key_Return);
    QTest::keyClick(list, Qt::Key_Escape);
    EXPECT_EQ(events.log, (std::vector<std::string>{"Form_KeyDown 13 0", "cmd00_Click 0",
                                                    "Form_KeyDown 27 0", "cmd00_Click 2"}));

    // A focused button takes Enter itself.
    auto* reload = static_cast<QtButton*>(c().cmd00[1])->widget();
    reload->setFocus();
    events.log.clear();
    QTest::keyClick(reload, Qt::Key_Return);
    EXPECT_EQ(events.Count("cmd00_Click 1"), 1u);
    EXPECT_EQ(events.Count("cmd00_Click 0"), 0u);

    // A disabled default button does nothing.
    c().cmd00[0]->Enabled(false);
    list->setFocus();
    events.log.clear();
    QTest::keyClick(list, Qt::Key_Return);
    EXPECT_EQ(events.Count("cmd00_Click 0"), 0u);
    EXPECT_EQ(events.Count("lboConsole_KeyDown 13 0"), 1u);
}

TEST_F(ControlsTest, MessageBoxIsModalCriticalOkOnlyWithCrLfLines) {
    window.show();
    SeenBox seen;
    AcceptNextBox(seen);
    const std::int16_t code = c().messageBox->ShowCritical(
        "Cannot access COM 3.\r\n\r\nCheck the following:\r\n- The COM port settings.",
        "Quorvane ADJ Rev.2.0");
    EXPECT_EQ(code, 1);
    EXPECT_EQ(seen.text, "Cannot access COM 3.\n\nCheck the following:\n- The COM port settings.");
    EXPECT_EQ(seen.title, "Quorvane ADJ Rev.2.0");
    EXPECT_EQ(seen.icon, QMessageBox::Critical);
    EXPECT_EQ(seen.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    EXPECT_EQ(seen.format, Qt::PlainText);
    EXPECT_TRUE(seen.modal);

    // Before any window exists (the refusal of a second instance), and with markup in it.
    QtMessageBox alone;
    SeenBox seen2;
    AcceptNextBox(seen2);
    EXPECT_EQ(alone.ShowCritical("<b>Cannot</b>\r\nexecute", "T"), 1);
    EXPECT_EQ(seen2.text, "<b>Cannot</b>\nexecute");
    EXPECT_EQ(seen2.format, Qt::PlainText);
}

TEST_F(ControlsTest, ErrorsEscapingAHandlerAreShownNotThrownThroughQt) {
    struct Throwing final : RecordingEvents {
        void cmd00_Click(std::int16_t) override { raiseOverflow("16-bit addition"); }
        bool lboConsole_KeyDown(std::int16_t, std::int16_t) override {
            raiseIndexOutOfRange("console line");
        }
    } events;
    window.Events(&events);
    window.show();
    SeenBox seen;
    AcceptNextBox(seen);
    static_cast<QtButton*>(c().cmd00[0])->widget()->click();
    EXPECT_TRUE(seen.text.contains("16-bit addition"));
    EXPECT_EQ(seen.icon, QMessageBox::Critical);

    // A key whose handler failed is not passed on to the list either.
    for (int i = 0; i < 3; ++i)
        c().lboConsole->AddItem("item");
    c().lboConsole->ListIndex(1);
    auto* list = static_cast<QtListBox*>(c().lboConsole)->widget();
    list->setFocus();
    SeenBox seen2;
    AcceptNextBox(seen2);
    QTest::keyClick(list, Qt::Key_Down);
    EXPECT_TRUE(seen2.text.contains("console line"));
    EXPECT_EQ(c().lboConsole->ListIndex(), 1);
}

TEST_F(ControlsTest, FrameBorderAndDiagonalLine) {
    auto* frame = static_cast<QtFrame*>(c().fra01[2])->widget();
    EXPECT_NE(frame->frameShape(), QFrame::NoFrame);
    c().fra01[2]->BorderVisible(false);
    EXPECT_EQ(frame->frameShape(), QFrame::NoFrame);
    EXPECT_EQ(frame->frameWidth(), 0);

    c().linSepa[0]->Coordinates(300, 150, 0, 0);
    EXPECT_EQ(static_cast<QtLine*>(c().linSepa[0])->widget()->geometry(), QRect(0, 0, 21, 11));
    EXPECT_EQ(c().linSepa[0]->X1(), 300);
    EXPECT_EQ(c().linSepa[0]->Y2(), 0);
}

}  // namespace
}  // namespace quorvane
