#include "qt/qt_main_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <string>

#include "qt/qt_guard.h"
#include "qt/qt_key_codes.h"

namespace quorvane {
namespace {

QFont CourierNew(double points, bool bold) {
    QFont font(QStringLiteral("Courier New"));
    font.setStyleHint(QFont::TypeWriter);  // any fixed-pitch face if even the substitute is missing
    font.setPointSizeF(points);
    font.setWeight(bold ? QFont::Bold : QFont::Normal);
    return font;
}

QString IndexedName(const char* name, std::size_t index) {
    return QStringLiteral("%1_%2").arg(QLatin1String(name)).arg(index);
}

template <typename Widget>
Widget* Named(Widget* widget, const QString& name) {
    widget->setObjectName(name);
    return widget;
}

}  // namespace

QtMainWindow::QtMainWindow(QWidget* parent) : QMainWindow(parent), scale_(screen()) {
    client_ = Named(new QWidget(this), QStringLiteral("client"));
    // The window's own font; the menu bar keeps the system's.
    client_->setFont(CourierNew(9.0, false));
    setCentralWidget(client_);

    window_ = std::make_unique<QtWindow>(this, client_, scale_);
    screen_ = std::make_unique<QtScreen>(*this, scale_);
    messageBox_ = std::make_unique<QtMessageBox>(this);
    confirmBox_ = std::make_unique<QtConfirmBox>(this);
    fileDialog_ = std::make_unique<QtFileDialog>(this);
    BuildControls();
    BuildMenus();

    controls_.window = window_.get();
    controls_.screen = screen_.get();
    for (std::size_t i = 0; i < cmd00_.size(); ++i) {
        controls_.cmd00[i] = cmd00_[i].get();
    }
    for (std::size_t i = 0; i < fra01_.size(); ++i) {
        controls_.fra01[i] = fra01_[i].get();
    }
    for (std::size_t i = 0; i < lbo01_.size(); ++i) {
        controls_.lbo01[i] = lbo01_[i].get();
    }
    controls_.lboConsole = lboConsole_.get();
    controls_.txtDispPara = txtDispPara_.get();
    controls_.lblTitle = lblTitle_.get();
    controls_.lblProgress = lblProgress_.get();
    controls_.lblComBusy = lblComBusy_.get();
    controls_.lblImageFile = lblImageFile_.get();
    for (std::size_t i = 0; i < linSepa_.size(); ++i) {
        controls_.linSepa[i] = linSepa_[i].get();
    }
    for (std::size_t i = 1; i < mnuOptSelCom_.size(); ++i) {
        controls_.mnuOptSelCom[i] = mnuOptSelCom_[i].get();
    }
    for (std::size_t i = 0; i < mnuOptionSelAutoRelease_.size(); ++i) {
        controls_.mnuOptionSelAutoRelease[i] = mnuOptionSelAutoRelease_[i].get();
    }
    controls_.mnuFileSave = mnuFileSave_.get();
    controls_.mnuFileOpen = mnuFileOpen_.get();
    controls_.mnuFileWrite = mnuFileWrite_.get();
    controls_.mnuFileRecord = mnuFileRecord_.get();
    controls_.messageBox = messageBox_.get();
    controls_.confirmBox = confirmBox_.get();
    controls_.fileDialog = fileDialog_.get();
    controls_.beeper = &beeper_;

    // Keys reach the window before the focused control, whichever it is; the same filter
    // sees the client area's resizes.
    qApp->installEventFilter(this);
}

QtMainWindow::~QtMainWindow() {
    qApp->removeEventFilter(this);
    events_ = nullptr;
    // The widgets go while this object is still whole: focus moves during their deletion
    // may still call back into it.
    delete takeCentralWidget();
    delete menuBar();
}

void QtMainWindow::BuildControls() {
    BuildButtons();
    BuildTitlePage();
    BuildAdjustPage();
    BuildParameterPage();

    auto* status = Named(new QLabel(client_), QStringLiteral("lblComBusy"));
    status->setFont(CourierNew(9.0, true));
    lblComBusy_ = std::make_unique<QtLabel>(status, scale_, true);

    // The two lines make an etched edge under the menu bar: a shadow row, then a light one.
    const QPalette::ColorRole roles[] = {QPalette::Dark, QPalette::Light};
    for (std::size_t i = 0; i < linSepa_.size(); ++i) {
        auto* line = Named(new QtLineWidget(client_, roles[i]), IndexedName("linSepa", i));
        linSepa_[i] = std::make_unique<QtLine>(line, scale_);
    }
}

void QtMainWindow::BuildButtons() {
    for (std::size_t i = 0; i < cmd00_.size(); ++i) {
        auto* button = Named(new QtPushButton(client_), IndexedName("cmd00", i));
        const auto index = static_cast<std::int16_t>(i);
        connect(button, &QPushButton::clicked, this, [this, index] {
            if (events_ != nullptr) {
                RunGuarded(this, [&] { events_->cmd00_Click(index); });
            }
        });
        button->OnKeyPress([this, index](char keyAscii) {
            if (events_ != nullptr) {
                RunGuarded(this, [&] { events_->cmd00_KeyPress(index, keyAscii); });
            }
        });
        cmd00_[i] = std::make_unique<QtButton>(button, scale_);
    }
}

QFrame* QtMainWindow::BuildFrame(QWidget* container, std::size_t i) {
    auto* frame = Named(new QFrame(container), IndexedName("fra01", i));
    fra01_[i] = std::make_unique<QtFrame>(frame, scale_);
    return frame;
}

void QtMainWindow::BuildTitlePage() {
    QFrame* titlePage = BuildFrame(client_, 0);
    auto* title = Named(new QLabel(titlePage), QStringLiteral("lblTitle"));
    title->setFont(CourierNew(9.75, false));
    title->setAlignment(Qt::AlignCenter);
    lblTitle_ = std::make_unique<QtLabel>(title, scale_, true);
    auto* progress = Named(new QLabel(titlePage), QStringLiteral("lblProgress"));
    progress->setFont(CourierNew(9.0, true));
    progress->setAlignment(Qt::AlignCenter);
    lblProgress_ = std::make_unique<QtLabel>(progress, scale_, true);
}

void QtMainWindow::BuildAdjustPage() {
    QFrame* adjustPage = BuildFrame(client_, 1);
    QFrame* readoutBox = BuildFrame(adjustPage, 2);
    for (std::size_t i = 0; i < lbo01_.size(); ++i) {
        auto* list = Named(new QtListWidget(readoutBox), IndexedName("lbo01", i));
        list->setFont(CourierNew(8.25, false));
        lbo01_[i] = std::make_unique<QtListBox>(list, scale_);
    }
    auto* console = Named(new QtListWidget(adjustPage), QStringLiteral("lboConsole"));
    console->OnKeyDown([this](std::int16_t keyCode, std::int16_t shift) {
        bool consumed = false;
        if (events_ != nullptr &&
            !RunGuarded(this, [&] { consumed = events_->lboConsole_KeyDown(keyCode, shift); })) {
            consumed = true;  // a key whose handler failed does not move the list either
        }
        return consumed;
    });
    console->OnGotFocus([this] {
        if (events_ != nullptr) {
            RunGuarded(this, [&] { events_->lboConsole_GotFocus(); });
        }
    });
    lboConsole_ = std::make_unique<QtListBox>(console, scale_);
}

void QtMainWindow::BuildParameterPage() {
    QFrame* parameterPage = BuildFrame(client_, 3);
    auto* dump = Named(new QPlainTextEdit(parameterPage), QStringLiteral("txtDispPara"));
    txtDispPara_ = std::make_unique<QtTextBox>(dump, scale_);
    auto* imageFile = Named(new QLabel(parameterPage), QStringLiteral("lblImageFile"));
    imageFile->setFont(CourierNew(9.0, true));
    lblImageFile_ = std::make_unique<QtLabel>(imageFile, scale_, false);
}

void QtMainWindow::BuildMenus() {
    QMenu* file = Named(menuBar()->addMenu(QStringLiteral("&File")), QStringLiteral("mnuFileTop"));
    auto makeFileItem = [this, file](const QString& caption, const QString& name,
                                     void (IMainFormEvents::*onClick)()) {
        QAction* action = Named(file->addAction(caption), name);
        connect(action, &QAction::triggered, this, [this, onClick] {
            if (events_ != nullptr) {
                RunGuarded(this, [&] { (events_->*onClick)(); });
            }
        });
        return std::make_unique<QtMenuItem>(action);
    };
    mnuFileSave_ = makeFileItem(QStringLiteral("&Save EEPROM image..."),
                                QStringLiteral("mnuFileSave"), &IMainFormEvents::mnuFileSave_Click);
    mnuFileOpen_ = makeFileItem(QStringLiteral("&Open EEPROM image..."),
                                QStringLiteral("mnuFileOpen"), &IMainFormEvents::mnuFileOpen_Click);
    mnuFileWrite_ =
        makeFileItem(QStringLiteral("&Write EEPROM image to transceiver..."),
                     QStringLiteral("mnuFileWrite"), &IMainFormEvents::mnuFileWrite_Click);
    file->addSeparator();
    mnuFileRecord_ =
        makeFileItem(QStringLiteral("Save service &record..."), QStringLiteral("mnuFileRecord"),
                     &IMainFormEvents::mnuFileRecord_Click);
    file->addSeparator();
    QAction* exit = Named(file->addAction(QStringLiteral("E&xit")), QStringLiteral("mnuFileExit"));
    connect(exit, &QAction::triggered, this, [this] {
        if (events_ != nullptr) {
            RunGuarded(this, [&] { events_->mnuFileExit_Click(); });
        }
        close();
    });

    QMenu* option =
        Named(menuBar()->addMenu(QStringLiteral("&Option")), QStringLiteral("mnuOptionTop"));
    QMenu* port =
        Named(option->addMenu(QStringLiteral("&Port")), QStringLiteral("mnuOptionComPort"));
    QMenu* release = Named(option->addMenu(QStringLiteral("&Auto port release")),
                           QStringLiteral("mnuOptionAutoRelease"));
    serialDevice_ = Named(option->addAction(QStringLiteral("&Serial device...")),
                          QStringLiteral("mnuOptionSerialDevice"));
    portMenu_ = port;
    port->setStyle(&portMenuStyle_);
    // After the stated menus, so theirs keep their places.
    QMenu* view = Named(menuBar()->addMenu(QStringLiteral("&View")), QStringLiteral("mnuViewTop"));
    curves_ = Named(view->addAction(QStringLiteral("Sweep and LVA &curves")),
                    QStringLiteral("mnuViewCurves"));

    // Choosing an item does not move its check mark: the logic sets the marks on its tick.
    auto makeItem = [this](QMenu* menu, const QString& caption, const QString& name, auto onClick) {
        QAction* action = Named(menu->addAction(caption), name);
        action->setCheckable(true);
        connect(action, &QAction::triggered, this, [this, action, onClick](bool checked) {
            action->setChecked(!checked);
            if (events_ != nullptr) {
                RunGuarded(this, [&] { onClick(*events_); });
            }
        });
        return std::make_unique<QtMenuItem>(action);
    };
    for (std::size_t i = 1; i < mnuOptSelCom_.size(); ++i) {
        const auto index = static_cast<std::int16_t>(i);
        mnuOptSelCom_[i] =
            makeItem(port, QStringLiteral("COM &%1").arg(i), IndexedName("mnuOptSelCom", i),
                     [index](IMainFormEvents& e) { e.mnuOptSelCom_Click(index); });
    }
    for (std::size_t i = 0; i < mnuOptionSelAutoRelease_.size(); ++i) {
        const auto index = static_cast<std::int16_t>(i);
        const QString caption = i == 0 ? QStringLiteral("&OFF") : QStringLiteral("&%1 sec").arg(i);
        mnuOptionSelAutoRelease_[i] =
            makeItem(release, caption, IndexedName("mnuOptionSelAutoRelease", i),
                     [index](IMainFormEvents& e) { e.mnuOptionSelAutoRelease_Click(index); });
    }
}

void QtMainWindow::PortDeviceText(std::size_t portNo, const QString& text) {
    MenuRightTextStyle::SetRightText(*mnuOptSelCom_.at(portNo)->action(), text);
}

QString QtMainWindow::PortDeviceText(std::size_t portNo) const {
    return MenuRightTextStyle::RightText(*mnuOptSelCom_.at(portNo)->action());
}

void QtMainWindow::setVisible(bool visible) {
    if (visible && !loaded_) {
        loaded_ = true;
        if (events_ != nullptr) {
            RunGuarded(this, [&] { events_->Form_Load(); });
        }
    }
    QMainWindow::setVisible(visible);
}

bool QtMainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress && watched->isWidgetType()) {
        auto* receiver = static_cast<QWidget*>(watched);
        // A key travels up the parents when refused; only its first receiver in this window,
        // the focused control, counts.
        const QWidget* focus = focusWidget();
        if (receiver->window() == this && receiver == (focus != nullptr ? focus : this)) {
            return PreviewKey(receiver, *static_cast<QKeyEvent*>(event));
        }
    } else if (watched == client_ && event->type() == QEvent::Resize && loaded_) {
        if (events_ != nullptr) {
            RunGuarded(this, [&] { events_->Form_Resize(); });
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

bool QtMainWindow::PreviewKey(const QWidget* receiver, const QKeyEvent& event) {
    const std::int16_t code = KeyCodeOf(event);
    if (code != 0 && events_ != nullptr) {
        RunGuarded(this, [&] { events_->Form_KeyDown(code, ShiftStateOf(event.modifiers())); });
    }
    return PressDefaultOrCancel(event, receiver);
}

bool QtMainWindow::PressDefaultOrCancel(const QKeyEvent& event, const QWidget* receiver) {
    const bool enter = event.key() == Qt::Key_Return || event.key() == Qt::Key_Enter;
    const bool escape = event.key() == Qt::Key_Escape;
    if (!enter && !escape) {
        return false;
    }
    if (enter && qobject_cast<const QPushButton*>(receiver) != nullptr) {
        return false;  // a focused button takes Enter itself
    }
    for (const auto& button : cmd00_) {
        if ((enter && button->Default()) || (escape && button->Cancel())) {
            if (button->widget()->isVisible() && button->widget()->isEnabled()) {
                button->widget()->click();
                return true;
            }
        }
    }
    return false;
}

void QtMainWindow::closeEvent(QCloseEvent* event) {
    if (!unloaded_) {
        unloaded_ = true;
        if (events_ != nullptr) {
            RunGuarded(this, [&] { events_->Form_QueryUnload(); });
            RunGuarded(this, [&] { events_->Form_Unload(); });
        }
    }
    event->accept();  // the close is never refused
}

}  // namespace quorvane
