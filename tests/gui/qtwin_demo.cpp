// A demonstration of the main window with sample lines, placed roughly as the program will.
// With a file name as argument it renders offscreen, saves a screenshot there and ends; a
// second argument names the page to show: "title", "items" (the default) or "para".
#include <QApplication>
#include <QPixmap>
#include <cstdio>
#include <string>

#include "platform/text.h"
#include "qt/qt_main_window.h"
#include "qt/qt_platform.h"

namespace quorvane {
namespace {

class DemoLogic final : public IMainFormEvents {
  public:
    DemoLogic(const frmMainControls& c, std::string page) : c_(c), page_(std::move(page)) {}

    bool lboConsole_KeyDown(std::int16_t keyCode, std::int16_t) override {
        return keyCode == vbKeyLeft || keyCode == vbKeyRight;
    }
    void lboConsole_GotFocus() override {
        if (c_.lboConsole->ListIndex() < 0 && c_.lboConsole->ListCount() > 0) {
            c_.lboConsole->ListIndex(0);
        }
    }
    void Form_KeyDown(std::int16_t, std::int16_t) override {}
    void cmd00_Click(std::int16_t index) override {
        c_.fra01[0]->Visible(false);
        c_.fra01[1]->Visible(index != 2);
        c_.fra01[3]->Visible(index == 2);
    }
    void cmd00_KeyPress(std::int16_t, char) override {}
    void mnuOptSelCom_Click(std::int16_t index) override {
        for (std::int16_t i = 1; i <= 4; ++i)
            c_.mnuOptSelCom[i]->Checked(i == index);
    }
    void mnuOptionSelAutoRelease_Click(std::int16_t index) override {
        for (std::int16_t i = 0; i <= 5; ++i)
            c_.mnuOptionSelAutoRelease[i]->Checked(i == index);
    }
    void mnuFileExit_Click() override {}
    void Form_Load() override {
        c_.window->Caption("Quorvane ADJ Rev.2.0");
        c_.lblTitle->Caption("Quorvane ADJ Rev.2.0\r\nAdjust Utility for Tamskor\r\ndemo");
        const char* captions[] = {"Connect", "Reload(F5)", "Disp para"};
        for (int i = 0; i < 3; ++i)
            c_.cmd00[i]->Caption(captions[i]);
        c_.lbo01[0]->AddItem("[A/D]");
        for (int i = 0; i < 5; ++i)
            c_.lbo01[0]->AddItem("----");
        c_.lbo01[1]->AddItem("[D/A]");
        for (int i = 0; i < 9; ++i)
            c_.lbo01[1]->AddItem("----");
        c_.lbo01[0]->List(1, "BATT    7.42 V");
        c_.lbo01[0]->List(2, "TEMP    24.5 C");
        const char* titles[] = {
            "   PWR Lo", "  PWR Mid",    "   PWR Hi",  "    MOD 1",  "    BAL 1",  "    MOD 2",
            "    BAL 2", "   CTCS/DTCS", "       SQL", "       REF", "    BPF T1", "    BPF T2",
            "   RX LVA", "   TX LVA",    "  RSSI S1",  "  RSSI S3",  "    MOD 3",  "    BAL 3"};
        int value = 17;
        for (const char* t : titles) {
            value = (value * 37 + 11) % 256;
            const std::string bar(static_cast<std::size_t>(value * 20 / 255), '|');
            c_.lboConsole->AddItem(RightAlign(t, 12) + RightAlign(std::to_string(value), 5) + "  " +
                                   bar);
        }
        c_.txtDispPara->Text("[ADJUST]\r\n PWR Lo   031\r\n PWR Hi   224\r\n");
        c_.lblProgress->Caption(page_ == "title" ? "Reading  12288 / 32736" : std::string(32, ' '));
        c_.lblComBusy->ForeColor(SystemColor::GrayText);
        c_.window->Move(1500, 1200, 9525, 8500);
        c_.fra01[0]->Visible(page_ == "title");
        c_.fra01[1]->Visible(page_ == "items");
        c_.fra01[3]->Visible(page_ == "para");
        c_.lboConsole->ListIndex(3);
    }
    // Rough placement: buttons centred under the separator, one page filling the rest.
    void Form_Resize() override {
        const std::int32_t w = c_.window->ScaleWidth();
        const std::int32_t h = c_.window->ScaleHeight();
        const std::int32_t p = c_.screen->TwipsPerPixelY();
        c_.linSepa[0]->Coordinates(0, 0, w, 0);
        c_.linSepa[1]->Coordinates(0, p, w, p);
        c_.lblComBusy->Caption("COM 1: CLOSE");
        c_.lblComBusy->Move(120, 120, 1500, 300);
        for (int i = 0; i < 3; ++i) {
            c_.cmd00[i]->Move((w - (3 * 1800 + 240)) / 2 + i * 1920, p + 120, 1800, 330);
        }
        const std::int32_t top = p + 120 + 330 + 120;
        const std::int32_t pageH = std::max<std::int32_t>(1, h - top - 120);
        for (int i : {0, 1, 3})
            c_.fra01[i]->Move(120, top, w - 240, pageH);
        c_.fra01[2]->Move(120, 180, w - 480, 2400);
        c_.fra01[2]->BorderVisible(false);
        const std::int32_t half = (w - 480 - 360) / 2;
        c_.lbo01[0]->Move(120, 120, half, 2280);
        c_.lbo01[1]->Move(240 + half, 120, half, 2280);
        c_.lboConsole->Move(240, 180 + 2400 + 120, w - 720, std::max(1, pageH - 2700 - 180));
        c_.txtDispPara->Move(120, 240, w - 480, std::max(1, pageH - 360));
        c_.lblTitle->Move((w - 240 - c_.lblTitle->Width()) / 2, 240, 0, 0);
        c_.lblProgress->Move((w - 240 - c_.lblProgress->Width()) / 2,
                             c_.lblTitle->Top() + c_.lblTitle->Height() + 240, 0, 0);
    }
    void Form_QueryUnload() override {}
    void Form_Unload() override {}

  private:
    const frmMainControls& c_;
    std::string page_;
};

}  // namespace
}  // namespace quorvane

int main(int argc, char** argv) {
    const bool shot = argc > 1;
    if (shot) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    quorvane::ConfigureApplication(app);
    quorvane::QtMainWindow window;
    quorvane::DemoLogic logic(window.Controls(), argc > 2 ? argv[2] : "items");
    window.Events(&logic);
    window.show();
    if (!shot) {
        return QApplication::exec();
    }
    QCoreApplication::processEvents();
    if (!window.grab().save(QString::fromLocal8Bit(argv[1]))) {
        std::fprintf(stderr, "cannot save %s\n", argv[1]);
        return 1;
    }
    window.Events(nullptr);
    return 0;
}
