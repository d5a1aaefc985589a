#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "platform/main_form.h"
#include "platform/runtime_error.h"
#include "platform/ui_controls.h"

namespace quorvane::test {

// Fakes of the user-interface seams: they remember what the logic did to them.
template <typename Base>
class FakeControl : public Base {
  public:
    void Visible(bool v) override { visible = v; }
    bool Visible() const override { return visible; }
    void Enabled(bool e) override { enabled = e; }
    bool Enabled() const override { return enabled; }
    void Move(std::int32_t l, std::int32_t t, std::int32_t w, std::int32_t h) override {
        left = l;
        top = t;
        width = w;
        height = h;
    }
    std::int32_t Left() const override { return left; }
    std::int32_t Top() const override { return top; }
    std::int32_t Width() const override { return width; }
    std::int32_t Height() const override { return height; }
    void SetFocus() override {
        ++focusCount;
        focused = true;
    }
    bool HasFocus() const override { return focused; }
    void TabStopLast() override { ++tabStopCount; }

    bool visible = true;
    bool enabled = true;
    bool focused = false;
    int focusCount = 0;
    int tabStopCount = 0;
    std::int32_t left = 0, top = 0, width = 0, height = 0;
    // Called once by the next change to a list's lines or a label's caption: throw from it as
    // a broken control would.
    std::function<void()> failOnce;

  protected:
    void FailOnce() {
        if (failOnce) {
            const auto fail = std::move(failOnce);
            failOnce = nullptr;
            fail();
        }
    }
};

class FakeListBox final : public FakeControl<IListBox> {
  public:
    void AddItem(const std::string& text) override {
        FailOnce();
        lines.push_back(text);
    }
    void List(std::int16_t index, const std::string& text) override {
        FailOnce();
        Check(index);
        lines[static_cast<std::size_t>(index)] = text;
        ++writes;
    }
    std::string List(std::int16_t index) const override {
        Check(index);
        return lines[static_cast<std::size_t>(index)];
    }
    void Clear() override {
        lines.clear();
        listIndex = -1;
    }
    std::int16_t ListCount() const override { return static_cast<std::int16_t>(lines.size()); }
    std::int16_t ListIndex() const override { return listIndex; }
    void ListIndex(std::int16_t index) override {
        FailOnce();
        listIndex = index;
    }

    std::vector<std::string> lines;
    std::int16_t listIndex = -1;
    int writes = 0;

  private:
    void Check(std::int16_t index) const {
        if (index < 0 || static_cast<std::size_t>(index) >= lines.size()) {
            raiseIndexOutOfRange("list line " + std::to_string(index));
        }
    }
};

class FakeTextBox final : public FakeControl<ITextBox> {
  public:
    void Text(const std::string& t) override {
        text = t;
        ++assignments;
    }
    std::string Text() const override { return text; }
    std::string text;
    int assignments = 0;
};

class FakeLabel final : public FakeControl<ILabel> {
  public:
    void Caption(const std::string& t) override {
        FailOnce();
        caption = t;
    }
    std::string Caption() const override { return caption; }
    void ForeColor(SystemColor c) override { color = c; }
    std::string caption;
    SystemColor color = SystemColor::ButtonText;
};

class FakeButton final : public FakeControl<IButton> {
  public:
    void Caption(const std::string& t) override { caption = t; }
    std::string Caption() const override { return caption; }
    void Default(bool on) override { isDefault = on; }
    void Cancel(bool on) override { isCancel = on; }
    std::string caption;
    bool isDefault = false;
    bool isCancel = false;
};

class FakeFrame final : public FakeControl<IFrame> {
  public:
    void BorderVisible(bool on) override { border = on; }
    bool border = true;
};

class FakeLine final : public ILine {
  public:
    void Coordinates(std::int32_t a, std::int32_t b, std::int32_t c, std::int32_t d) override {
        x1 = a;
        y1 = b;
        x2 = c;
        y2 = d;
    }
    std::int32_t X1() const override { return x1; }
    std::int32_t Y1() const override { return y1; }
    std::int32_t X2() const override { return x2; }
    std::int32_t Y2() const override { return y2; }
    std::int32_t x1 = 0, y1 = 0, x2 = 0, y2 = 0;
};

class FakeMenuItem final : public IMenuItem {
  public:
    void Checked(bool on) override { checked = on; }
    bool Checked() const override { return checked; }
    void Enabled(bool on) override { enabled = on; }
    bool Enabled() const override { return enabled; }
    bool checked = false;
    bool enabled = true;
};

class FakeWindow final : public IWindow {
  public:
    void Caption(const std::string& t) override { caption = t; }
    std::string Caption() const override { return caption; }
    void Move(std::int32_t l, std::int32_t t, std::int32_t w, std::int32_t h) override {
        left = l;
        top = t;
        width = w;
        height = h;
    }
    std::int32_t Width() const override { return width; }
    std::int32_t Height() const override { return height; }
    // The client area: the outer size less a frame and a menu bar.
    std::int32_t ScaleWidth() const override { return width - 120; }
    std::int32_t ScaleHeight() const override { return height - 600; }
    std::string caption;
    std::int32_t left = 0, top = 0, width = 0, height = 0;
};

class FakeScreen final : public IScreen {
  public:
    std::int32_t Width() const override { return width; }
    std::int32_t Height() const override { return height; }
    std::int32_t TwipsPerPixelX() const override { return 15; }
    std::int32_t TwipsPerPixelY() const override { return 15; }
    std::int32_t width = 1024 * 15;
    std::int32_t height = 768 * 15;
};

class FakeMessageBox final : public IMessageBox {
  public:
    std::int16_t ShowCritical(const std::string& text, const std::string& title) override {
        texts.push_back(text);
        titles.push_back(title);
        if (onShow) {
            onShow();
        }
        return 1;
    }
    std::vector<std::string> texts;
    std::vector<std::string> titles;
    std::function<void()> onShow;
};

// Answers every dialog with nextPath (then empties it: a second dialog is cancelled) and
// remembers how each was opened.
class FakeFileDialog final : public IFileDialog {
  public:
    std::string OpenFileName(const std::string& title, const std::string& folder,
                             const std::string&) override {
        return Answer(title, folder);
    }
    std::string SaveFileName(const std::string& title, const std::string& folder,
                             const std::string&, const std::string&) override {
        return Answer(title, folder);
    }
    std::string nextPath;
    std::vector<std::string> titles;
    std::vector<std::string> folders;

  private:
    std::string Answer(const std::string& title, const std::string& folder) {
        titles.push_back(title);
        folders.push_back(folder);
        return std::exchange(nextPath, std::string());
    }
};

class FakeConfirmBox final : public IConfirmBox {
  public:
    bool Confirm(const std::string& text, const std::string&, bool warn) override {
        texts.push_back(text);
        warning = warn;
        return answer;
    }
    bool answer = false;
    bool warning = false;
    std::vector<std::string> texts;
};

class FakeBeeper final : public IBeeper {
  public:
    void Beep() override { ++beeps; }
    int beeps = 0;
};

// A whole main window of fakes, wired into a control bundle.
struct FakeMainForm {
    FakeMainForm() {
        controls.window = &window;
        controls.screen = &screen;
        for (std::size_t i = 0; i < 3; ++i) {
            controls.cmd00[i] = &cmd00[i];
        }
        for (std::size_t i = 0; i < 4; ++i) {
            controls.fra01[i] = &fra01[i];
        }
        controls.lbo01 = {&lbo01[0], &lbo01[1]};
        controls.lboConsole = &lboConsole;
        controls.txtDispPara = &txtDispPara;
        controls.lblTitle = &lblTitle;
        controls.lblProgress = &lblProgress;
        controls.lblComBusy = &lblComBusy;
        controls.lblImageFile = &lblImageFile;
        controls.linSepa = {&linSepa[0], &linSepa[1]};
        for (std::size_t i = 1; i <= 4; ++i) {
            controls.mnuOptSelCom[i] = &mnuOptSelCom[i];
        }
        for (std::size_t i = 0; i < 6; ++i) {
            controls.mnuOptionSelAutoRelease[i] = &mnuOptionSelAutoRelease[i];
        }
        controls.mnuFileSave = &mnuFileSave;
        controls.mnuFileOpen = &mnuFileOpen;
        controls.mnuFileWrite = &mnuFileWrite;
        controls.mnuFileRecord = &mnuFileRecord;
        controls.messageBox = &messageBox;
        controls.confirmBox = &confirmBox;
        controls.fileDialog = &fileDialog;
        controls.beeper = &beeper;
    }
    FakeMainForm(const FakeMainForm&) = delete;
    FakeMainForm& operator=(const FakeMainForm&) = delete;

    FakeWindow window;
    FakeScreen screen;
    FakeButton cmd00[3];
    FakeFrame fra01[4];
    FakeListBox lbo01[2];
    FakeListBox lboConsole;
    FakeTextBox txtDispPara;
    FakeLabel lblTitle, lblProgress, lblComBusy, lblImageFile;
    FakeLine linSepa[2];
    FakeMenuItem mnuOptSelCom[5];
    FakeMenuItem mnuOptionSelAutoRelease[6];
    FakeMenuItem mnuFileSave, mnuFileOpen, mnuFileWrite, mnuFileRecord;
    FakeMessageBox messageBox;
    FakeConfirmBox confirmBox;
    FakeFileDialog fileDialog;
    FakeBeeper beeper;
    frmMainControls controls;
};

}  // namespace quorvane::test
