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
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>
#include <optional>

#include "platform/runtime_error.h"
#include "qt/qt_main_window.h"
#include "qt/qt_platform.h"
#include "recording_events.h"

namespace quorvane {
namespace {

using Log = std::vector<std::string>;

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
    QStringList seen;
    for (QAction* top : window.menuBar()->actions()) {
        seen << top->text();
        for (QAction* item : top->menu()->actions()) {
            seen << item->text();
            for (QAction* sub : item->menu() ? item->menu()->actions() : QList<QAction*>{}) {
                seen << sub->text() + (sub->isCheckable() ? "" : " (no mark)");
            }
        }
    }
    EXPECT_EQ(seen.join(", "),
              "&File, E&xit, &Option, &Port, COM &1, COM &2, COM &3, COM &4, "
              "&Auto port release, &OFF, &1 sec, &2 sec, &3 sec, &4 sec, &5 sec");
    c().mnuOptSelCom[1]->Checked(true);
    Find<QAction>("mnuOptSelCom_3")->trigger();
    Find<QAction>("mnuOptSelCom_1")->trigger();
    Find<QAction>("mnuOptionSelAutoRelease_5")->trigger();
    EXPECT_TRUE(Find<QAction>("mnuOptSelCom_1")->isChecked());
    EXPECT_FALSE(c().mnuOptSelCom[3]->Checked());
    EXPECT_EQ(events.log,
              (Log{"mnuOptSelCom_Click 3", "mnuOptSelCom_Click 1", "AutoRelease_Click 5"}));
}

TEST_F(WindowTest, ListKeysReachTheLogicFirstAndConsumedOnesStopThere) {
    QListWidget* list = ListWith(5);
    QSignalSpy activated(list, &QListWidget::activated);
    QTest::keyClick(list, Qt::Key_Right, Qt::ShiftModifier);
    QTest::keyClick(list, Qt::Key_Left, Qt::ControlModifier | Qt::AltModifier);
    QTest::keyClick(list, Qt::Key_Return);
    QTest::keyClick(list, Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(events.log,
              (Log{"Form_KeyDown 16 1", "lboConsole_KeyDown 16 1", "Form_KeyDown 39 1",
                   "lboConsole_KeyDown 39 1", "Form_KeyDown 17 2", "lboConsole_KeyDown 17 2",
                   "Form_KeyDown 18 6", "lboConsole_KeyDown 18 6", "Form_KeyDown 37 6",
                   "lboConsole_KeyDown 37 6", "Form_KeyDown 13 0", "lboConsole_KeyDown 13 0",
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
    events.consumeKeys = false;
    QTest::keyClick(list, Qt::Key_Return);
    EXPECT_EQ(activated.count(), 1);
}

TEST_F(WindowTest, F5AndTypedCharactersReachTheWindowFromEveryControl) {
    for (const char* name : {"cmd00_1", "txtDispPara", "lbo01_0"}) {
        Find(name)->setFocus();
        events.log.clear();
        QTest::keyClick(Find(name), Qt::Key_F5);
        EXPECT_EQ(events.log, Log{"Form_KeyDown 116 0"}) << name;
    }
    auto* button = Find<QPushButton>("cmd00_0");
    QSignalSpy clicked(button, &QPushButton::clicked);
    button->setFocus();
    events.log.clear();
    QTest::keyClicks(button, "a");
    QTest::keyClick(button, Qt::Key_Space);  // a character, and the button still acts on it
    EXPECT_EQ(events.log, (Log{"Form_KeyDown 65 0", "cmd00_KeyPress 0 97", "Form_KeyDown 32 0",
                               "cmd00_KeyPress 0 32", "cmd00_Click 0"}));
    EXPECT_EQ(clicked.count(), 1);
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

TEST_F(WindowTest, MessageBoxesAreModalCriticalWithPlainLines) {
    window.show();
    QString seen;
    const auto look = [&](QMessageBox& box) {
        seen = box.windowTitle() + "|" + QString::number(box.icon()) + "|" +
               QString::number(box.standardButtons()) + "|" + QString::number(box.textFormat()) +
               "|" + box.text();
    };
    OnNextBox(look);
    EXPECT_EQ(c().messageBox->ShowCritical("<b>Cannot</b> access COM 3.\r\n\r\n- The COM port",
                                           "Quorvane ADJ Rev.2.0"),
              1);
    EXPECT_EQ(seen, "Quorvane ADJ Rev.2.0|3|1024|0|<b>Cannot</b> access COM 3.\n\n- The COM port");

    // An error escaping a handler is shown, and the key it came with goes no further.
    struct Throwing final : RecordingEvents {
        bool lboConsole_KeyDown(std::int16_t, std::int16_t) override {
            raiseIndexOutOfRange("console line");
        }
    } throwing;
    window.Events(&throwing);
    QListWidget* list = ListWith(3);
    OnNextBox(look);
    QTest::keyClick(list, Qt::Key_Down);
    EXPECT_TRUE(seen.contains("console line"));
    EXPECT_EQ(c().lboConsole->ListIndex(), 2);
    window.Events(&events);
}

TEST_F(WindowTest, LoadRunsBeforeTheFirstShowTwipsArePixelsAndExitUnloadsOnce) {
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
    EXPECT_EQ(c().cmd00[1]->Left(), 1500);

    events.log.clear();
    Find<QAction>("mnuFileExit")->trigger();
    EXPECT_TRUE(window.close());
    EXPECT_EQ(events.log, (Log{"mnuFileExit_Click", "Form_QueryUnload", "Form_Unload"}));
    EXPECT_FALSE(window.isVisible());
}

TEST_F(WindowTest, TextsAreFixedPitchAtTheirSizes) {
    for (const auto& [name, points, bold] :
         {std::tuple{"lboConsole", 9.0, false}, std::tuple{"txtDispPara", 9.0, false},
          std::tuple{"cmd00_0", 9.0, false}, std::tuple{"lblTitle", 9.75, false},
          std::tuple{"lblProgress", 9.0, true}, std::tuple{"lblComBusy", 9.0, true},
          std::tuple{"lbo01_1", 8.25, false}}) {
        const QFontInfo info(Find(name)->font());
        EXPECT_TRUE(info.fixedPitch()) << name;
        EXPECT_DOUBLE_EQ(info.pointSizeF(), points) << name;
        EXPECT_EQ(info.bold(), bold) << name;
    }
}

TEST_F(WindowTest, TabOrderAndFocusOnTheList) {
    IListBox& list = *c().lboConsole;
    ListWith(4);
    EXPECT_THROW(list.List(4, "x"), RuntimeError);
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
    EXPECT_TRUE(list.HasFocus());
    EXPECT_EQ(events.log, Log{"lboConsole_GotFocus"});
}

TEST(QtTickSource, RunSoonTicksOnceFromTheLoopAndRunAfterOnlyWhileEnabled) {
    int ticks = 0;
    QtTickSource source([&] { ++ticks; }, 3600000);
    source.RunAfter(0);  // disabled: nothing
    source.RunSoon();
    source.RunSoon();
    EXPECT_EQ(ticks, 0);
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    EXPECT_EQ(ticks, 1);
    source.Enabled(true);
    source.RunAfter(0);
    source.Enabled(false);  // a pending one goes with the timer
    QCoreApplication::processEvents();
    EXPECT_EQ(ticks, 1);
    source.Enabled(true);
    source.RunAfter(0);
    QCoreApplication::processEvents();
    EXPECT_EQ(ticks, 2);
}

TEST(QtTickSource, NoTickInsideATickNorUnderABoxAndAnEscapedErrorIsShown) {
    int ticks = 0;
    std::optional<QtTickSource> source;
    source.emplace([&] {
        if (++ticks == 2) {
            raiseOverflow("16-bit multiplication");
        }
        source->RunNow();  // never re-enters itself
    });
    source->RunNow();
    EXPECT_EQ(ticks, 1);

    std::optional<int> ticksUnderTheBox;
    OnNextBox([&](QMessageBox&) {
        source->RunNow();
        ticksUnderTheBox = ticks;
    });
    QtMessageBox().ShowCritical("No answer from transceiver.", "Quorvane ADJ Rev.2.0");
    EXPECT_EQ(ticksUnderTheBox, 1);

    QString shown;
    OnNextBox([&](QMessageBox& box) { shown = box.text(); });
    source->RunNow();
    EXPECT_TRUE(shown.contains("16-bit multiplication"));
    source->RunNow();  // ticking goes on
    EXPECT_EQ(ticks, 3);
}

TEST(QtProcessServices, OneInstanceHoldsTheClaimUntilItGoesOrCrashes) {
    QTemporaryDir dir;
    std::optional<QtProcessServices> first;
    first.emplace(QStringLiteral("adj"), dir.path());
    QtProcessServices second(QStringLiteral("adj"), dir.path());
    EXPECT_TRUE(first->ClaimSingleInstance());
    EXPECT_TRUE(first->ClaimSingleInstance());  // its own claim again
    EXPECT_FALSE(second.ClaimSingleInstance());
    EXPECT_TRUE(QtProcessServices(QStringLiteral("other"), dir.path()).ClaimSingleInstance());
    first.reset();
    EXPECT_TRUE(second.ClaimSingleInstance());

    QtProcessServices later(QStringLiteral("crashed"), dir.path());
    QProcess crashed;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QUORVANE_TEST_CRASH_WITH_LOCK", later.LockFilePath());
    crashed.setProcessEnvironment(env);
    crashed.start(QCoreApplication::applicationFilePath(), {});
    ASSERT_TRUE(crashed.waitForFinished(30000));
    ASSERT_EQ(crashed.exitCode(), 0);
    EXPECT_TRUE(QFile::exists(later.LockFilePath()));  // left behind
    EXPECT_TRUE(later.ClaimSingleInstance());
}

TEST(QtProcessServices, ProgramDirectoryAndEndProcess) {
    QtProcessServices services;
    EXPECT_EQ(services.ProgramDirectory(), QCoreApplication::applicationDirPath().toStdString());
    // Inside the event loop it leaves the loop, so main can return normally.
    QTimer::singleShot(0, [&] { services.EndProcess(); });
    EXPECT_EQ(QApplication::exec(), 0);
}

}  // namespace
}  // namespace quorvane
