// The real main window and platform services on the offscreen platform: what the user sees
// of the menus, fonts and boxes, which keys and clicks reach the logic, and when ticks run.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QFontInfo>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <functional>
#include <optional>

#include "platform/main_form.h"
#include "platform/runtime_error.h"
#include "qt/qt_main_window.h"
#include "qt/qt_platform.h"

namespace quorvane {
namespace {

using Log = std::vector<std::string>;

// Stands in for the main window's logic: records every event as a line such as
// "Form_KeyDown 39 1" and consumes Left, Right, Enter and the keypad separator on the list.
struct RecordingEvents : IMainFormEvents {
    virtual ~RecordingEvents() = default;
    std::vector<std::string> log;
    std::function<void()> onLoad;

    void Add(std::string line, int a = -1, int b = -1) {
        log.push_back(line + (a < 0 ? "" : " " + std::to_string(a)) +
                      (b < 0 ? "" : " " + std::to_string(b)));
    }
    bool lboConsole_KeyDown(std::int16_t key, std::int16_t shift) override {
        Add("lboConsole_KeyDown", key, shift);
        return key == vbKeyLeft || key == vbKeyRight || key == vbKeyReturn || key == vbKeySeparator;
    }
    void lboConsole_GotFocus() override { Add("lboConsole_GotFocus"); }
    void Form_KeyDown(std::int16_t key, std::int16_t shift) override {
        Add("Form_KeyDown", key, shift);
    }
    void cmd00_Click(std::int16_t i) override { Add("cmd00_Click", i); }
    void cmd00_KeyPress(std::int16_t i, char c) override { Add("cmd00_KeyPress", i, c); }
    void mnuOptSelCom_Click(std::int16_t i) override { Add("mnuOptSelCom_Click", i); }
    void mnuOptionSelAutoRelease_Click(std::int16_t i) override { Add("AutoRelease_Click", i); }
    void mnuFileSave_Click() override { Add("mnuFileSave_Click"); }
    void mnuFileOpen_Click() override { Add("mnuFileOpen_Click"); }
    void mnuFileWrite_Click() override { Add("mnuFileWrite_Click"); }
    void mnuFileRecord_Click() override { Add("mnuFileRecord_Click"); }
    void mnuFileExit_Click() override { Add("mnuFileExit_Click"); }
    void Form_Load() override {
        Add("Form_Load");
        if (onLoad) {
            onLoad();
        }
    }
    void Form_Resize() override { Add("Form_Resize"); }
    void Form_QueryUnload() override { Add("Form_QueryUnload"); }
    void Form_Unload() override { Add("Form_Unload"); }
};

// Hands the next modal box to look while it is open, then presses its OK.
void OnNextBox(std::function<void(QMessageBox&)> look) {
    QTimer::singleShot(0, [look] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        look(*box);
        box->button(QMessageBox::Ok)->click();
    });
}

class WindowTest : public ::testing::Test {
  protected:
    WindowTest() { window.Events(&events); }
    template <typename T = QWidget>
    T* Find(const char* name) const {
        return window.findChild<T*>(QString::fromLatin1(name));
    }
    QListWidget* ListWith(int lines) {
        for (int i = 0; i < lines; ++i) {
            c().lboConsole->AddItem("line " + std::to_string(i));
        }
        auto* list = Find<QListWidget>("lboConsole");
        c().lboConsole->ListIndex(2);
        list->setFocus();
        events.log.clear();
        return list;
    }
    const frmMainControls& c() const { return window.Controls(); }

    RecordingEvents events;
    QtMainWindow window;
};

TEST_F(WindowTest, MenusShowTheirCaptionsAndOnlyTheLogicSetsCheckMarks) {
    c().mnuOptSelCom[1]->Checked(true);
    for (const char* name : {"mnuOptSelCom_3", "mnuOptSelCom_1", "mnuOptionSelAutoRelease_5",
                             "mnuFileWrite", "mnuFileRecord"}) {
        Find<QAction>(name)->trigger();
    }
    QStringList seen;
    for (QAction* top : window.menuBar()->actions()) {
        seen << top->text();
        for (QAction* item : top->menu()->actions()) {
            seen << item->text();
            for (QAction* sub : item->menu() ? item->menu()->actions() : QList<QAction*>{}) {
                seen << sub->text() + (sub->isChecked() ? " (checked)" : "") +
                            (sub->isCheckable() ? "" : " (no mark)");
            }
        }
    }
    EXPECT_EQ(
        seen.join(", "),
        "&File, &Save EEPROM image..., &Open EEPROM image..., "
        "&Write EEPROM image to transceiver..., , Save service &record..., , E&xit, &Option, "
        "&Port, COM &1 (checked), "
        "COM &2, COM &3, COM &4, "
        "&Auto port release, &OFF, &1 sec, &2 sec, &3 sec, &4 sec, &5 sec, &Serial device..., "
        "&View, Sweep and LVA &curves");
    EXPECT_EQ(events.log,
              (Log{"mnuOptSelCom_Click 3", "mnuOptSelCom_Click 1", "AutoRelease_Click 5",
                   "mnuFileWrite_Click", "mnuFileRecord_Click"}));
}

TEST_F(WindowTest, KeysReachTheLogicFirstAndConsumedOnesStopThere) {
    QListWidget* list = ListWith(5);
    QSignalSpy activated(list, &QListWidget::activated);
    QTest::keyClick(list, Qt::Key_Right, Qt::ShiftModifier);
    QTest::keyClick(list, Qt::Key_Return);
    QTest::keyClick(list, Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(events.log,
              (Log{"Form_KeyDown 16 1", "lboConsole_KeyDown 16 1", "Form_KeyDown 39 1",
                   "lboConsole_KeyDown 39 1", "Form_KeyDown 13 0", "lboConsole_KeyDown 13 0",
                   "Form_KeyDown 108 0", "lboConsole_KeyDown 108 0"}));
    EXPECT_EQ(c().lboConsole->ListIndex(), 2);
    EXPECT_EQ(activated.count(), 0);
    // Keys the logic leaves go on to the list: Up moves it, F5 reaches both.
    events.log.clear();
    QTest::keyClick(list, Qt::Key_Up);
    QTest::keyClick(list, Qt::Key_F5);
    EXPECT_EQ(c().lboConsole->ListIndex(), 1);
    EXPECT_EQ(events.log, (Log{"Form_KeyDown 38 0", "lboConsole_KeyDown 38 0", "Form_KeyDown 116 0",
                               "lboConsole_KeyDown 116 0"}));
    // F5 reaches the window from every control; characters typed on a button are reported.
    for (const char* name : {"txtDispPara", "lbo01_0"}) {
        Find(name)->setFocus();
        events.log.clear();
        QTest::keyClick(Find(name), Qt::Key_F5);
        EXPECT_EQ(events.log, Log{"Form_KeyDown 116 0"}) << name;
    }
    auto* button = Find<QPushButton>("cmd00_0");
    button->setFocus();
    events.log.clear();
    QTest::keyClick(button, Qt::Key_Space);  // a character, and the button still acts on it
    EXPECT_EQ(events.log, (Log{"Form_KeyDown 32 0", "cmd00_KeyPress 0 32", "cmd00_Click 0"}));
}

TEST_F(WindowTest, EnterAndEscapePressTheDefaultAndCancelButtonsUnlessAButtonHasTheFocus) {
    window.show();
    QListWidget* list = ListWith(3);
    c().cmd00[0]->Default(true);
    c().cmd00[2]->Cancel(true);
    QTest::keyClick(list, Qt::Key_Return);
    QTest::keyClick(list, Qt::Key_Escape);
    Find("cmd00_1")->setFocus();
    QTest::keyClick(Find("cmd00_1"), Qt::Key_Return);
    list->setFocus();
    c().cmd00[0]->Enabled(false);
    QTest::keyClick(list, Qt::Key_Return);
    EXPECT_EQ(events.log, (Log{"Form_KeyDown 13 0", "cmd00_Click 0", "Form_KeyDown 27 0",
                               "cmd00_Click 2", "Form_KeyDown 13 0", "cmd00_KeyPress 1 13",
                               "cmd00_Click 1", "Form_KeyDown 13 0", "lboConsole_KeyDown 13 0"}));
}

TEST_F(WindowTest, LoadRunsBeforeTheFirstShowTwipsArePixelsFontsFixedPitchCloseUnloadsOnce) {
    bool visibleAtLoad = true;
    std::int32_t innerHeightAtLoad = 0;
    events.onLoad = [&] {
        visibleAtLoad = window.isVisible();
        c().window->Move(1500, 1800, 9525, 8505);
        innerHeightAtLoad = c().window->ScaleHeight();  // below the menu bar
        c().cmd00[1]->Move(1507, 142, 1800, 330);       // 7 twips: to the nearest pixel
    };
    window.show();
    EXPECT_FALSE(visibleAtLoad);
    EXPECT_EQ(events.log, (Log{"Form_Load", "Form_Resize"}));
    EXPECT_EQ(window.size(), QSize(635, 567));
    EXPECT_EQ(innerHeightAtLoad, 8505 - window.menuBar()->height() * 15);
    EXPECT_EQ(Find("cmd00_1")->geometry(), QRect(100, 9, 120, 22));
    for (const auto& [name, points, bold] :
         {std::tuple{"lboConsole", 9.0, false}, std::tuple{"lblTitle", 9.75, false},
          std::tuple{"lblComBusy", 9.0, true}, std::tuple{"lbo01_1", 8.25, false}}) {
        const QFontInfo font(Find(name)->font());
        EXPECT_TRUE(font.fixedPitch() && font.pointSizeF() == points && font.bold() == bold)
            << name;
    }

    events.log.clear();
    EXPECT_TRUE(window.close());
    EXPECT_TRUE(window.close());
    EXPECT_EQ(events.log, (Log{"Form_QueryUnload", "Form_Unload"}));
}

TEST_F(WindowTest, TabOrderAndFocusOnTheList) {
    IListBox& list = *c().lboConsole;
    ListWith(4);
    for (IButton* b : c().cmd00) {
        b->TabStopLast();
    }
    c().txtDispPara->TabStopLast();
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    c().cmd00[1]->SetFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_TRUE(c().txtDispPara->HasFocus());  // behind the buttons, however its parts lie
    events.log.clear();
    list.SetFocus();
    EXPECT_EQ(events.log, Log{"lboConsole_GotFocus"});
}

TEST(QtTickSource, NoTickInsideATickNorUnderTheBoxOfAnErrorThatEscapedOne) {
    int ticks = 0;
    std::optional<QtTickSource> source;
    source.emplace([&] {
        if (++ticks == 1) {
            source->RunNow();  // never re-enters itself
            raiseOverflow("16-bit multiplication");
        }
    });
    QString shown;
    OnNextBox([&](QMessageBox& box) {
        source->RunNow();
        shown = box.text() + " after " + QString::number(ticks);
    });
    source->RunNow();
    EXPECT_TRUE(shown.contains("16-bit multiplication") && shown.endsWith(" after 1"))
        << shown.toStdString();
    source->RunNow();  // ticking goes on
    EXPECT_EQ(ticks, 2);
}

}  // namespace
}  // namespace quorvane
