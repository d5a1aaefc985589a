#include <gtest/gtest.h>

#include <cmath>

#include "adjust/form_layout.h"
#include "rig/fake_controls.h"

namespace quorvane {
namespace {

struct LayoutFixture {
    LayoutFixture(Int32 screenHeight) {
        form.screen.height = screenHeight;
        form.screen.width = 1024 * 15;
    }
    void Resize(Int32 width, Int32 height) {
        form.window.Move(form.window.left, form.window.top, width, height);
        form.linSepa[1].Coordinates(0, 15, form.window.ScaleWidth(), 15);
        RigOpFunc_FormLayout(form.controls, first);
    }
    test::FakeMainForm form;
    bool first = true;
};

TEST(FormLayout, WindowSizeFromTheScreenHeight) {
    for (auto [screen, height] : {std::pair{11520, 8500}, {7200, 6600}, {9600, 8640}}) {
        LayoutFixture f(screen);
        f.Resize(100, 100);
        EXPECT_EQ(f.form.window.width, 9525);
        EXPECT_EQ(f.form.window.height, height) << screen;
        EXPECT_EQ(f.form.window.left, 2918);  // 2917.5, halves to even
        EXPECT_EQ(f.form.window.top, static_cast<Int32>((screen - height) * 0.3 + 0.5));
        EXPECT_FALSE(f.first);
    }
}

TEST(FormLayout, ControlsFollowTheInnerSize) {
    LayoutFixture f(11520);
    f.Resize(9525, 8500);
    const Int32 W = f.form.window.ScaleWidth();   // 9405
    const Int32 H = f.form.window.ScaleHeight();  // 7900
    auto& b = f.form.cmd00;
    EXPECT_EQ(b[0].left, static_cast<Int32>(std::nearbyint((W - 5640) / 2.0)));
    EXPECT_EQ(b[1].left - b[0].left, 1920);
    EXPECT_EQ(b[0].top, 135);
    EXPECT_EQ(b[2].width, 1800);
    EXPECT_EQ(b[2].height, 330);
    for (int page : {0, 1, 3}) {
        EXPECT_EQ(f.form.fra01[page].left, 120);
        EXPECT_EQ(f.form.fra01[page].top, 465);
        EXPECT_EQ(f.form.fra01[page].width, W - 240);
        EXPECT_EQ(f.form.fra01[page].height, H - 465 - 120);
    }
    EXPECT_EQ(f.form.fra01[2].width, W - 480);
    EXPECT_EQ(f.form.fra01[2].height, 2400);
    EXPECT_FALSE(f.form.fra01[2].border);
    EXPECT_EQ(f.form.lbo01[0].width, (W - 480 - 360) / 2);
    EXPECT_EQ(f.form.lbo01[1].left, 120 + f.form.lbo01[0].width + 120);
    EXPECT_EQ(f.form.lboConsole.left, 240);
    EXPECT_EQ(f.form.lboConsole.top, 2700);
    EXPECT_EQ(f.form.lboConsole.height, (H - 585) - 2700 - 180);
    EXPECT_EQ(f.form.txtDispPara.height, H - 585 - 360);
    EXPECT_EQ(f.form.cmd00[0].tabStopCount, 1);
    EXPECT_EQ(f.form.txtDispPara.tabStopCount, 1);

    // A user resize lays out again but does not move the window back.
    f.form.window.left = 77;
    f.Resize(12000, 9000);
    EXPECT_EQ(f.form.window.left, 77);
    EXPECT_EQ(f.form.window.width, 12000);
    EXPECT_EQ(f.form.fra01[0].width, 12000 - 120 - 240);

    // Too small for a page: sizes stay at 1.
    f.Resize(200, 700);
    EXPECT_EQ(f.form.fra01[0].height, 1);
    EXPECT_EQ(f.form.lboConsole.height, 1);
    EXPECT_EQ(f.form.fra01[0].width, 1);
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
    ASSERT_EQ(form.lbo01[1].lines.size(), 10u);
    EXPECT_EQ(form.lbo01[1].lines[0], "[D/A]");
    EXPECT_EQ(form.lblProgress.caption, std::string(32, ' '));
}

}  // namespace
}  // namespace quorvane
