#pragma once

#include <QFrame>
#include <QMainWindow>
#include <array>
#include <memory>

#include "platform/main_form.h"
#include "qt/qt_controls.h"
#include "qt/qt_file_dialog.h"
#include "qt/qt_menu_right_text.h"
#include "qt/qt_message_box.h"
#include "qt/qt_screen.h"

class QAction;
class QKeyEvent;
class QMenu;

namespace quorvane {

// The main window's widgets: the control tree with its menus and fonts, the seam objects
// that speak for them (Controls()), and the forwarding of every window event to the logic
// (Events()). It places nothing itself: the logic moves every control, in twips.
class QtMainWindow final : public QMainWindow {
  public:
    explicit QtMainWindow(QWidget* parent = nullptr);
    ~QtMainWindow() override;
    QtMainWindow(const QtMainWindow&) = delete;
    QtMainWindow& operator=(const QtMainWindow&) = delete;

    // The controls by their own names; valid as long as the window lives.
    const frmMainControls& Controls() const { return controls_; }

    // Where the events go; null drops them. The receiver must outlive the window or be
    // unset before it goes.
    void Events(IMainFormEvents* events) { events_ = events; }
    IMainFormEvents* Events() const { return events_; }

    const TwipScale& Scale() const { return scale_; }

    // Option > Port, whose "COM &n" items show beside them the device they open
    // (PortDeviceText), and Option > Serial device..., which the program answers.
    QMenu* PortMenu() const { return portMenu_; }
    QAction* SerialDeviceItem() const { return serialDevice_; }
    // View > Sweep and LVA curves, which the program answers.
    QAction* CurvesItem() const { return curves_; }
    void PortDeviceText(std::size_t portNo, const QString& text);
    QString PortDeviceText(std::size_t portNo) const;

    // The first show runs Form_Load before the window becomes visible.
    void setVisible(bool visible) override;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    void BuildControls();
    void BuildButtons();
    QFrame* BuildFrame(QWidget* container, std::size_t i);
    void BuildTitlePage();
    void BuildAdjustPage();
    void BuildParameterPage();
    void BuildMenus();
    // Form_KeyDown, then Enter and Escape for the default and cancel buttons; true when the
    // key is used up.
    bool PreviewKey(const QWidget* receiver, const QKeyEvent& event);
    bool PressDefaultOrCancel(const QKeyEvent& event, const QWidget* receiver);

    IMainFormEvents* events_ = nullptr;
    MenuRightTextStyle portMenuStyle_;
    QMenu* portMenu_ = nullptr;
    QAction* serialDevice_ = nullptr;
    QAction* curves_ = nullptr;
    bool loaded_ = false;
    bool unloaded_ = false;

    TwipScale scale_;
    QWidget* client_ = nullptr;
    std::unique_ptr<QtWindow> window_;
    std::unique_ptr<QtScreen> screen_;
    std::array<std::unique_ptr<QtButton>, 3> cmd00_;
    std::array<std::unique_ptr<QtFrame>, 4> fra01_;
    std::array<std::unique_ptr<QtListBox>, 2> lbo01_;
    std::unique_ptr<QtListBox> lboConsole_;
    std::unique_ptr<QtTextBox> txtDispPara_;
    std::unique_ptr<QtLabel> lblTitle_;
    std::unique_ptr<QtLabel> lblProgress_;
    std::unique_ptr<QtLabel> lblComBusy_;
    std::unique_ptr<QtLabel> lblImageFile_;
    std::array<std::unique_ptr<QtLine>, 2> linSepa_;
    std::array<std::unique_ptr<QtMenuItem>, 5> mnuOptSelCom_;
    std::array<std::unique_ptr<QtMenuItem>, 6> mnuOptionSelAutoRelease_;
    std::unique_ptr<QtMenuItem> mnuFileSave_;
    std::unique_ptr<QtMenuItem> mnuFileOpen_;
    std::unique_ptr<QtMenuItem> mnuFileWrite_;
    std::unique_ptr<QtMenuItem> mnuFileRecord_;
    std::unique_ptr<QtMessageBox> messageBox_;
    std::unique_ptr<QtConfirmBox> confirmBox_;
    std::unique_ptr<QtFileDialog> fileDialog_;
    QtBeeper beeper_;
    frmMainControls controls_;
};

}  // namespace quorvane
