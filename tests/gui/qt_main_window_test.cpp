#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QFontInfo>
#include <QImage>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QTest>

#include "qt/qt_main_window.h"
#include "qt_print.h"
#include "recording_events.h"

namespace quorvane {
namespace {

class MainWindowTest : public ::testing::Test {
  protected:
    MainWindowTest() { window.Events(&events); }

    template <typename T = QWidget>
    T* Find(const char* name) const {
        T* w = window.findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    QAction* Action(const char* name) const { return Find<QAction>(name); }

    // Shown and active, so that focus changes send their events.
    void ShowActive() {
        window.show();
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    }

    void FillConsole(int lines) {
        for (int i = 0; i < lines; ++i) {
            c().lboConsole->AddItem("line " + std::to_string(i));
        }
    }

    const frmMainControls& c() const { return window.Controls(); }

    RecordingEvents events;
    QtMainWindow window;
};

TEST_F(MainWindowTest, BuildsTheControlTreeInItsContainersAndFillsTheBundle) {
    const frmMainControls& k = c();
    EXPECT_NE(k.window, nullptr);
    EXPECT_NE(k.screen, nullptr);
    for (auto* b : k.cmd00)
        EXPECT_NE(b, nullptr);
    for (auto* f : k.fra01)
        EXPECT_NE(f, nullptr);
    for (auto* l : k.lbo01)
        EXPECT_NE(l, nullptr);
    for (auto* l : k.linSepa)
        EXPECT_NE(l, nullptr);
    EXPECT_EQ(k.mnuOptSelCom[0], nullptr);
    for (std::size_t i = 1; i < k.mnuOptSelCom.size(); ++i)
        EXPECT_NE(k.mnuOptSelCom[i], nullptr);
    for (auto* m : k.mnuOptionSelAutoRelease)
        EXPECT_NE(m, nullptr);
    EXPECT_NE(k.lboConsole, nullptr);
    EXPECT_NE(k.txtDispPara, nullptr);
    EXPECT_NE(k.lblTitle, nullptr);
    EXPECT_NE(k.lblProgress, nullptr);
    EXPECT_NE(k.lblComBusy, nullptr);
    EXPECT_NE(k.messageBox, nullptr);
    EXPECT_NE(k.beeper, nullptr);

    // Each seam object speaks for the widget of the same name.
    EXPECT_EQ(static_cast<QtListBox*>(k.lboConsole)->widget(), Find("lboConsole"));
    EXPECT_EQ(static_cast<QtListBox*>(k.lbo01[1])->widget(), Find("lbo01_1"));
    EXPECT_EQ(static_cast<QtButton*>(k.cmd00[2])->widget(), Find("cmd00_2"));
    EXPECT_EQ(static_cast<QtFrame*>(k.fra01[2])->widget(), Find("fra01_2"));
    EXPECT_EQ(static_cast<QtTextBox*>(k.txtDispPara)->widget(), Find("txtDispPara"));
    EXPECT_EQ(static_cast<QtLabel*>(k.lblComBusy)->widget(), Find("lblComBusy"));
    EXPECT_EQ(static_cast<QtLine*>(k.linSepa[1])->widget(), Find("linSepa_1"));
    EXPECT_EQ(static_cast<QtMenuItem*>(k.mnuOptSelCom[3])->action(), Action("mnuOptSelCom_3"));
    EXPECT_EQ(static_cast<QtMenuItem*>(k.mnuOptionSelAutoRelease[0])->action(),
              Action("mnuOptionSelAutoRelease_0"));

    // Containers.
    QWidget* client = window.centralWidget();
    for (const char* name : {"cmd00_0", "cmd00_1", "cmd00_2", "fra01_0", "fra01_1", "fra01_3",
                             "lblComBusy", "linSepa_0", "linSepa_1"}) {
        EXPECT_EQ(Find(name)->parentWidget(), client) << name;
    }
    EXPECT_EQ(Find("lblTitle")->parentWidget(), Find("fra01_0"));
    EXPECT_EQ(Find("lblProgress")->parentWidget(), Find("fra01_0"));
    EXPECT_EQ(Find("fra01_2")->parentWidget(), Find("fra01_1"));
    EXPECT_EQ(Find("lbo01_0")->parentWidget(), Find("fra01_2"));
    EXPECT_EQ(Find("lbo01_1")->parentWidget(), Find("fra01_2"));
    EXPECT_EQ(Find("lboConsole")->parentWidget(), Find("fra01_1"));
    EXPECT_EQ(Find("txtDispPara")->parentWidget(), Find("fra01_3"));

    // Order of the window's own controls.
    QStringList order;
    for (QObject* child : client->children()) {
        if (child->isWidgetType())
            order << child->objectName();
    }
    EXPECT_EQ(order, (QStringList{"cmd00_0", "cmd00_1", "cmd00_2", "fra01_0", "fra01_1", "fra01_3",
                                  "lblComBusy", "linSepa_0", "linSepa_1"}));
}

TEST_F(MainWindowTest, MenusHaveTheirCaptionsAndCheckableItems) {
    const QList<QAction*> top = window.menuBar()->actions();
    ASSERT_EQ(top.size(), 2);
    EXPECT_EQ(top[0]->text(), "&File");
    EXPECT_EQ(top[1]->text(), "&Option");
    EXPECT_EQ(Action("mnuFileExit")->text(), "E&xit");
    EXPECT_EQ(top[0]->menu()->actions(), QList<QAction*>{Action("mnuFileExit")});

    const QList<QAction*> option = top[1]->menu()->actions();
    ASSERT_EQ(option.size(), 2);
    EXPECT_EQ(option[0]->text(), "&Port");
    EXPECT_EQ(option[1]->text(), "&Auto port release");
    QStringList ports;
    for (QAction* a : option[0]->menu()->actions()) {
        ports << a->text();
        EXPECT_TRUE(a->isCheckable());
    }
    EXPECT_EQ(ports, (QStringList{"COM &1", "COM &2", "COM &3", "COM &4"}));
    QStringList times;
    for (QAction* a : option[1]->menu()->actions()) {
        times << a->text();
        EXPECT_TRUE(a->isCheckable());
    }
    EXPECT_EQ(times, (QStringList{"&OFF", "&1 sec", "&2 sec", "&3 sec", "&4 sec", "&5 sec"}));
}

TEST_F(MainWindowTest, MoveInTwipsLandsOnWholePixelsAt96Dpi) {
    EXPECT_EQ(c().screen->TwipsPerPixelX(), 15);
    EXPECT_EQ(c().screen->TwipsPerPixelY(), 15);
    const QRect screen = window.screen()->geometry();
    EXPECT_EQ(c().screen->Width(), screen.width() * 15);
    EXPECT_EQ(c().screen->Height(), screen.height() * 15);

    IButton& button = *c().cmd00[1];
    button.Move(1500, 135, 1800, 330);
    EXPECT_EQ(Find("cmd00_1")->geometry(), QRect(100, 9, 120, 22));
    EXPECT_EQ(button.Left(), 1500);
    EXPECT_EQ(button.Top(), 135);
    EXPECT_EQ(button.Width(), 1800);
    EXPECT_EQ(button.Height(), 330);

    // Measures between pixels go to the nearest pixel, and read back as that pixel.
    button.Move(7, 22, 1807, 337);
    EXPECT_EQ(Find("cmd00_1")->geometry(), QRect(0, 1, 120, 22));
    EXPECT_EQ(button.Top(), 15);
    EXPECT_EQ(button.Width(), 1800);

    // Positions are relative to the container.
    c().fra01[1]->Move(120, 465, 9000, 6000);
    c().fra01[2]->Move(120, 180, 4005, 2400);
    EXPECT_EQ(Find("fra01_2")->geometry(), QRect(8, 12, 267, 160));
    c().lbo01[1]->Move(2040, 120, 1800, 2280);
    EXPECT_EQ(Find("lbo01_1")->geometry(), QRect(136, 8, 120, 152));

    // A negative size shows nothing rather than failing.
    c().txtDispPara->Move(120, 240, -600, -15);
    EXPECT_EQ(Find("txtDispPara")->size(), QSize(0, 0));

    c().linSepa[1]->Coordinates(0, 15, 9525, 15);
    EXPECT_EQ(Find("linSepa_1")->geometry(), QRect(0, 1, 636, 1));
    EXPECT_EQ(c().linSepa[1]->X2(), 9525);
    EXPECT_EQ(c().linSepa[1]->Y1(), 15);
}

TEST_F(MainWindowTest, WindowMeasuresOuterSizeAndInnerClientBelowTheMenuBar) {
    // Before the first show, as the logic does in Form_Load.
    c().window->Move(1500, 1800, 9525, 8505);
    EXPECT_EQ(window.size(), QSize(635, 567));
    EXPECT_EQ(c().window->Width(), 9525);
    EXPECT_EQ(c().window->Height(), 8505);
    const int menuHeight = window.menuBar()->height();
    EXPECT_GT(menuHeight, 0);
    EXPECT_EQ(c().window->ScaleWidth(), 9525);
    EXPECT_EQ(c().window->ScaleHeight(), 8505 - menuHeight * 15);
    EXPECT_EQ(window.centralWidget()->y(), menuHeight);

    // Once shown, the outer measures take in the frame the window system draws.
    window.show();
    c().window->Move(0, 0, 7500, 6000);
    QCoreApplication::processEvents();
    const QSize frame = window.frameGeometry().size() - window.size();
    EXPECT_EQ(c().window->Width(), 7500);
    EXPECT_EQ(c().window->Height(), 6000);
    EXPECT_EQ(c().window->ScaleWidth(), 7500 - frame.width() * 15);
    EXPECT_EQ(c().window->ScaleHeight(), 6000 - (frame.height() + menuHeight) * 15);

    c().window->Caption("Quorvane ADJ Rev.2.0");
    EXPECT_EQ(window.windowTitle(), "Quorvane ADJ Rev.2.0");
    EXPECT_EQ(c().window->Caption(), "Quorvane ADJ Rev.2.0");
}

TEST_F(MainWindowTest, FirstShowLoadsBeforeVisibleThenResizes) {
    bool visibleAtLoad = true;
    std::int32_t scaleWidthAtLoad = 0;
    events.onLoad = [&] {
        visibleAtLoad = window.isVisible();
        c().window->Move(0, 0, 9525, 6600);
        scaleWidthAtLoad = c().window->ScaleWidth();
    };
    window.show();
    QCoreApplication::processEvents();
    ASSERT_GE(events.log.size(), 2u);
    EXPECT_EQ(events.log[0], "Form_Load");
    EXPECT_EQ(events.log[1], "Form_Resize");
    EXPECT_FALSE(visibleAtLoad);
    EXPECT_EQ(scaleWidthAtLoad, 9525);  // the inner size is known while still hidden

    events.log.clear();
    window.resize(500, 400);
    QCoreApplication::processEvents();
    EXPECT_EQ(events.Count("Form_Resize"), 1u);
    EXPECT_EQ(events.Count("Form_Load"), 0u);
    window.hide();
    window.show();
    EXPECT_EQ(events.Count("Form_Load"), 0u);  // loaded once
}

TEST_F(MainWindowTest, ExitAndTheCloseBoxUnloadOnceAndAreNeverRefused) {
    window.show();
    events.log.clear();
    Action("mnuFileExit")->trigger();
    EXPECT_EQ(events.log,
              (std::vector<std::string>{"mnuFileExit_Click", "Form_QueryUnload", "Form_Unload"}));
    EXPECT_FALSE(window.isVisible());

    RecordingEvents other;
    QtMainWindow second;
    second.Events(&other);
    second.show();
    other.log.clear();
    EXPECT_TRUE(second.close());
    EXPECT_TRUE(second.close());
    EXPECT_EQ(other.log, (std::vector<std::string>{"Form_QueryUnload", "Form_Unload"}));
}

TEST_F(MainWindowTest, KeysOnTheItemListReachTheHandlerAndConsumedOnesStopThere) {
    FillConsole(5);
    auto* list = Find<QListWidget>("lboConsole");
    c().lboConsole->ListIndex(2);
    list->setFocus();
    QSignalSpy activated(list, &QListWidget::activated);

    QTest::keyClick(list, Qt::Key_Right, Qt::ShiftModifier);
    // The Shift key itself goes down first, as on a real keyboard.
    EXPECT_EQ(events.log,
              (std::vector<std::string>{"Form_KeyDown 16 1", "lboConsole_KeyDown 16 1",
                                        "Form_KeyDown 39 1", "lboConsole_KeyDown 39 1"}));
    EXPECT_EQ(c().lboConsole->ListIndex(), 2);

    events.log.clear();
    QTest::keyClick(list, Qt::Key_Left);
    QTest::keyClick(list, Qt::Key_Right, Qt::ControlModifier);
    QTest::keyClick(list, Qt::Key_Left, Qt::AltModifier | Qt::ShiftModifier);
    EXPECT_EQ(events.Count("lboConsole_KeyDown 37 0"), 1u);
    EXPECT_EQ(events.Count("lboConsole_KeyDown 39 2"), 1u);
    EXPECT_EQ(events.Count("lboConsole_KeyDown 37 5"), 1u);
    EXPECT_EQ(c().lboConsole->ListIndex(), 2);

    // Up is not consumed: the list moves.
    events.log.clear();
    QTest::keyClick(list, Qt::Key_Up);
    EXPECT_EQ(events.Count("lboConsole_KeyDown 38 0"), 1u);
    EXPECT_EQ(c().lboConsole->ListIndex(), 1);
    QTest::keyClick(list, Qt::Key_Down);
    QTest::keyClick(list, Qt::Key_Down);
    EXPECT_EQ(c().lboConsole->ListIndex(), 3);

    // Enter and the number block's Enter: consumed, the list never activates a line.
    events.log.clear();
    QTest::keyClick(list, Qt::Key_Return);
    QTest::keyClick(list, Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(events.Count("lboConsole_KeyDown 13 0"), 1u);
    EXPECT_EQ(events.Count("lboConsole_KeyDown 108 0"), 1u);
    EXPECT_EQ(activated.count(), 0);

    // The same key left to the list does reach it.
    events.consumeArrowsAndEnter = false;
    QTest::keyClick(list, Qt::Key_Return);
    EXPECT_EQ(activated.count(), 1);

    // F5 goes to the window first and then, not consumed, to the list too.
    events.log.clear();
    QTest::keyClick(list, Qt::Key_F5);
    EXPECT_EQ(events.log,
              (std::vector<std::string>{"Form_KeyDown 116 0", "lboConsole_KeyDown 116 0"}));
}

TEST_F(MainWindowTest, F5ReachesTheWindowWhicheverControlHasTheFocus) {
    for (const char* name : {"cmd00_1", "txtDispPara", "lbo01_0"}) {
        QWidget* w = Find(name);
        w->setFocus();
        events.log.clear();
        QTest::keyClick(w, Qt::Key_F5);
        EXPECT_EQ(events.log, std::vector<std::string>{"Form_KeyDown 116 0"}) << name;
    }
    // With no control focused the window itself receives it.
    window.setFocus();
    Find("txtDispPara")->clearFocus();
    events.log.clear();
    QTest::keyClick(&window, Qt::Key_F5, Qt::ControlModifier);
    EXPECT_EQ(events.log, (std::vector<std::string>{"Form_KeyDown 17 2", "Form_KeyDown 116 2"}));
}

TEST_F(MainWindowTest, CharactersTypedOnAButtonAreReportedAndLeftToIt) {
    auto* button = Find<QPushButton>("cmd00_0");
    button->setFocus();
    QSignalSpy clicked(button, &QPushButton::clicked);
    QTest::keyClicks(button, "aZ5");
    EXPECT_EQ(events.Count("cmd00_KeyPress 0 97"), 1u);
    EXPECT_EQ(events.Count("cmd00_KeyPress 0 90"), 1u);
    EXPECT_EQ(events.Count("cmd00_KeyPress 0 53"), 1u);
    EXPECT_EQ(events.Count("Form_KeyDown 65 0"), 1u);
    EXPECT_EQ(events.Count("Form_KeyDown 90 0"), 1u);
    EXPECT_EQ(clicked.count(), 0);

    // Space is a character too, and the button still acts on it.
    events.log.clear();
    QTest::keyClick(button, Qt::Key_Space);
    EXPECT_EQ(events.Count("cmd00_KeyPress 0 32"), 1u);
    EXPECT_EQ(events.Count("cmd00_Click 0"), 1u);
    EXPECT_EQ(clicked.count(), 1);
}

TEST_F(MainWindowTest, ButtonClicksAndMenuChoicesCallTheirHandlers) {
    for (int i = 0; i < 3; ++i) {
        QTest::mouseClick(Find(("cmd00_" + std::to_string(i)).c_str()), Qt::LeftButton);
    }
    EXPECT_EQ(events.log,
              (std::vector<std::string>{"cmd00_Click 0", "cmd00_Click 1", "cmd00_Click 2"}));

    events.log.clear();
    for (int i = 1; i <= 4; ++i) {
        Action(("mnuOptSelCom_" + std::to_string(i)).c_str())->trigger();
    }
    for (int i = 0; i <= 5; ++i) {
        Action(("mnuOptionSelAutoRelease_" + std::to_string(i)).c_str())->trigger();
    }
    EXPECT_EQ(events.log,
              (std::vector<std::string>{
                  "mnuOptSelCom_Click 1", "mnuOptSelCom_Click 2", "mnuOptSelCom_Click 3",
                  "mnuOptSelCom_Click 4", "mnuOptionSelAutoRelease_Click 0",
                  "mnuOptionSelAutoRelease_Click 1", "mnuOptionSelAutoRelease_Click 2",
                  "mnuOptionSelAutoRelease_Click 3", "mnuOptionSelAutoRelease_Click 4",
                  "mnuOptionSelAutoRelease_Click 5"}));
}

TEST_F(MainWindowTest, CheckMarksAreTheLogicsAlone) {
    c().mnuOptSelCom[1]->Checked(true);
    EXPECT_TRUE(Action("mnuOptSelCom_1")->isChecked());
    EXPECT_TRUE(c().mnuOptSelCom[1]->Checked());
    EXPECT_FALSE(c().mnuOptSelCom[2]->Checked());

    // Choosing an item leaves every mark as it was; the next tick sets them.
    Action("mnuOptSelCom_3")->trigger();
    Action("mnuOptSelCom_1")->trigger();
    EXPECT_FALSE(c().mnuOptSelCom[3]->Checked());
    EXPECT_TRUE(c().mnuOptSelCom[1]->Checked());

    c().mnuOptionSelAutoRelease[5]->Checked(true);
    c().mnuOptionSelAutoRelease[5]->Checked(false);
    EXPECT_FALSE(Action("mnuOptionSelAutoRelease_5")->isChecked());
}

TEST_F(MainWindowTest, ItemListFocusIsReported) {
    FillConsole(3);
    events.onGotFocus = [&] {
        if (c().lboConsole->ListIndex() == -1)
            c().lboConsole->ListIndex(0);
    };
    ShowActive();
    c().cmd00[0]->SetFocus();
    EXPECT_TRUE(c().cmd00[0]->HasFocus());
    events.log.clear();
    c().lboConsole->SetFocus();
    EXPECT_TRUE(c().lboConsole->HasFocus());
    EXPECT_EQ(events.Count("lboConsole_GotFocus"), 1u);
    EXPECT_EQ(c().lboConsole->ListIndex(), 0);
}

TEST_F(MainWindowTest, EveryTextIsFixedPitchAtItsSize) {
    struct Expect {
        const char* name;
        double points;
        bool bold;
    };
    for (const Expect& e : {Expect{"lboConsole", 9.0, false}, Expect{"txtDispPara", 9.0, false},
                            Expect{"cmd00_0", 9.0, false}, Expect{"cmd00_2", 9.0, false},
                            Expect{"lblTitle", 9.75, false}, Expect{"lblProgress", 9.0, true},
                            Expect{"lblComBusy", 9.0, true}, Expect{"lbo01_0", 8.25, false},
                            Expect{"lbo01_1", 8.25, false}}) {
        const QFontInfo info(Find(e.name)->font());
        EXPECT_TRUE(info.fixedPitch()) << e.name;
        EXPECT_TRUE(info.family() == "Courier New" || info.family() == "Liberation Mono")
            << e.name << " " << info.family().toStdString();
        EXPECT_DOUBLE_EQ(info.pointSizeF(), e.points) << e.name;
        EXPECT_EQ(info.bold(), e.bold) << e.name;
    }
    // Every character of a fixed-width line is as wide as every other.
    const QFontMetrics m(Find("lboConsole")->font());
    EXPECT_EQ(m.horizontalAdvance("iiiii"), m.horizontalAdvance("WWWWW"));
}

TEST_F(MainWindowTest, ListLinesRenderAsText) {
    c().window->Move(0, 0, 9525, 8500);
    c().fra01[1]->Move(120, 600, 9000, 7000);
    c().lboConsole->Move(240, 240, 8400, 6000);
    window.show();
    const QImage empty = Find("lboConsole")->grab().toImage();
    FillConsole(18);
    const QImage filled = Find("lboConsole")->grab().toImage();
    auto darkPixels = [](const QImage& image) {
        int n = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x)
                n += qGray(image.pixel(x, y)) < 96 ? 1 : 0;
        }
        return n;
    };
    EXPECT_GT(darkPixels(filled), darkPixels(empty) + 18 * 20);
}

TEST_F(MainWindowTest, TabStopLastPutsControlsAtTheEndOfTheTabOrder) {
    c().lblComBusy->TabStopLast();  // not focusable before: becomes a tab stop
    for (IButton* b : c().cmd00)
        b->TabStopLast();
    c().txtDispPara->TabStopLast();
    c().txtDispPara->TabStopLast();  // already last: stays

    QStringList tabOrder;
    for (QWidget* w = window.nextInFocusChain(); w != &window; w = w->nextInFocusChain()) {
        if ((w->focusPolicy() & Qt::TabFocus) && !w->objectName().isEmpty()) {
            tabOrder << w->objectName();
        }
    }
    ASSERT_GE(tabOrder.size(), 5) << ::testing::PrintToString(tabOrder);
    EXPECT_EQ(tabOrder.mid(tabOrder.size() - 5),
              (QStringList{"lblComBusy", "cmd00_0", "cmd00_1", "cmd00_2", "txtDispPara"}));
    EXPECT_EQ(tabOrder.front(), "lbo01_0");

    // The Tab key follows it.
    ShowActive();
    c().cmd00[1]->SetFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_TRUE(c().cmd00[2]->HasFocus());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_TRUE(c().txtDispPara->HasFocus());
}

TEST_F(MainWindowTest, VisibleAndEnabledAreTheControlsOwnProperties) {
    c().fra01[3]->Visible(false);
    EXPECT_FALSE(c().fra01[3]->Visible());
    EXPECT_TRUE(c().fra01[0]->Visible());  // not shown yet, but not hidden either
    EXPECT_TRUE(c().txtDispPara->Visible());
    c().fra01[1]->Enabled(false);
    EXPECT_FALSE(c().fra01[1]->Enabled());
    EXPECT_TRUE(c().lboConsole->Enabled());
    EXPECT_FALSE(Find("lboConsole")->isEnabled());

    window.show();
    EXPECT_FALSE(Find("fra01_3")->isVisible());
    EXPECT_TRUE(Find("fra01_0")->isVisible());
    c().fra01[3]->Visible(true);
    c().fra01[0]->Visible(false);
    EXPECT_TRUE(Find("txtDispPara")->isVisible());
    EXPECT_FALSE(Find("lblTitle")->isVisible());
    EXPECT_TRUE(c().lblTitle->Visible());
}

}  // namespace
}  // namespace quorvane
