#include <gtest/gtest.h>

#include "adjust/form_layout.h"
#include "rig/fake_controls.h"

namespace quorvane {
namespace {

// The window after its first layout, which sizes it from the screen.
struct Layout {
    explicit Layout(Int32 screenHeight) {
        form.screen.height = screenHeight;
        form.screen.width = 15360;
        Resize(100, 100);
    }
    void Resize(Int32 width, Int32 height) {
        form.window.Move(form.window.left, form.window.top, width, height);
        form.linSepa[1].Coordinates(0, 15, form.window.ScaleWidth(), 15);
        RigOpFunc_FormLayout(form.controls, first);
    }
    test::FakeMainForm form;
    bool first = true;
};

Int32 Right(const auto& c) {
    return c.left + c.width;
}
Int32 Bottom(const auto& c) {
    return c.top + c.height;
}

TEST(FormLayout, FirstLayoutSizesTheWindowFromTheScreen) {
    // 90 % of the screen height, at least 6600; above 9000 it is 8500. Centred across, 30 %
    // of the room above it; halves round to even.
    for (auto [screen, height, top] :
         {std::tuple{11520, 8500, 906}, {7200, 6600, 180}, {9600, 8640, 288}}) {
        Layout f(screen);
        EXPECT_EQ(f.form.window.height, height) << screen;
        EXPECT_EQ(f.form.window.top, top) << screen;
        EXPECT_EQ(f.form.window.width, 9525);
        EXPECT_EQ(f.form.window.left, 2918);  // 2917.5
    }
    // Later layouts leave the window where the user put it.
    Layout f(11520);
    f.form.window.left = 77;
    f.Resize(12000, 9000);
    EXPECT_EQ(f.form.window.left, 77);
    EXPECT_EQ(f.form.window.width, 12000);
}

TEST(FormLayout, ControlsShareTheInnerSizeWithoutOverlapping) {
    for (auto [w, h] : {std::pair{9525, 8500}, {12000, 9000}}) {
        Layout f(11520);
        // Hidden until laid out: the layout itself shows every control.
        for (test::FakeButton& button : f.form.cmd00) {
            button.visible = false;
        }
        f.form.lbo01[0].visible = f.form.lblTitle.visible = f.form.txtDispPara.visible = false;
        f.Resize(w, h);
        const auto& m = f.form;
        const Int32 W = m.window.ScaleWidth();
        EXPECT_TRUE(m.lbo01[0].visible && m.lbo01[1].visible && m.lboConsole.visible &&
                    m.cmd00[0].visible && m.cmd00[2].visible && m.lblTitle.visible &&
                    m.txtDispPara.visible);
        // Three buttons with equal gaps, centred as a group; the pages fill the rest.
        EXPECT_EQ(m.cmd00[1].left - Right(m.cmd00[0]), m.cmd00[2].left - Right(m.cmd00[1]));
        EXPECT_NEAR(m.cmd00[0].left, W - Right(m.cmd00[2]), 1);
        for (int page : {0, 1, 3}) {
            EXPECT_EQ(m.fra01[page].top, Bottom(m.cmd00[2])) << page;
            EXPECT_EQ(m.fra01[page].left, W - Right(m.fra01[page])) << page;
            EXPECT_EQ(Bottom(m.fra01[page]) + m.fra01[page].left, m.window.ScaleHeight());
        }
        // Two equal lists side by side in the readout box, the item list below the box.
        const auto& box = m.fra01[2];
        EXPECT_NEAR(m.lbo01[0].left, box.width - Right(m.lbo01[1]), 1);
        EXPECT_EQ(m.lbo01[1].left - Right(m.lbo01[0]), m.lbo01[0].left);
        EXPECT_EQ(m.lboConsole.top, Bottom(box) + m.lbo01[0].left);
        EXPECT_EQ(Right(m.lboConsole), Right(box) - m.lbo01[0].left);
        EXPECT_LT(Bottom(m.lboConsole), m.fra01[1].height);
        EXPECT_LT(Bottom(m.txtDispPara), m.fra01[0].height);
    }
    // Too small for a page: sizes stay at 1.
    Layout f(11520);
    f.Resize(200, 700);
    EXPECT_EQ(f.form.fra01[0].height, 1);
    EXPECT_EQ(f.form.lboConsole.height, 1);
}

TEST(FormLayout, ResourcesRestoreCaptionsAndPlaceholders) {
    test::FakeMainForm form;
    form.lbo01[0].AddItem("VIN  :  0:00h:  0.00V");
    RigOpFunc_FormResource(form.controls);
    EXPECT_EQ(form.cmd00[0].caption, "Connect");
    EXPECT_EQ(form.cmd00[1].caption, "Reload(F5)");
    EXPECT_EQ(form.cmd00[2].caption, "Disp para");
    EXPECT_EQ(form.lbo01[0].lines,
              (std::vector<std::string>{"[A/D]", "----", "----", "----", "----", "----"}));
    std::vector<std::string> da(10, "----");
    da[0] = "[D/A]";
    EXPECT_EQ(form.lbo01[1].lines, da);
    EXPECT_EQ(form.lblProgress.caption, std::string(32, ' '));
}

}  // namespace
}  // namespace quorvane
