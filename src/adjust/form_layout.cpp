#include "adjust/form_layout.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "adjust/readout_table.h"

namespace quorvane {

namespace {

constexpr Int32 kButtonWidth = 1800;
constexpr Int32 kButtonHeight = 330;
constexpr Int32 kButtonGap = 120;
constexpr Int32 kMargin = 120;

Int32 Round(double twips) {
    return static_cast<Int32>(std::nearbyint(twips));
}

// The window could be made small enough for a control to have no room; it keeps a size of 1
// rather than a negative one, which no control can take.
Int32 AtLeast1(Int32 v) {
    return std::max<Int32>(v, 1);
}

}  // namespace

void RigOpFunc_FormResource(const frmMainControls& form) {
    form.cmd00[0]->Caption("Connect");
    form.cmd00[1]->Caption("Reload(F5)");
    form.cmd00[2]->Caption("Disp para");
    for (const ReadoutList list : {ReadoutList::Analog, ReadoutList::Output}) {
        IListBox* box = form.lbo01[list == ReadoutList::Analog ? 0 : 1];
        box->Clear();
        box->AddItem(ReadoutTitle(list));
        for (Int16 i = 0; i < ReadoutCount(list); ++i) {
            box->AddItem(kReadoutNotRead);
        }
    }
    form.lblProgress->Caption(std::string(32, ' '));
}

namespace {

// Sized from the screen height, centred across and a little above the middle.
void PlaceWindow(const frmMainControls& form) {
    const IScreen& screen = *form.screen;
    const Int32 width = 9525;
    Int32 height = std::max<Int32>(Round(screen.Height() * 0.9), 6600);
    if (height > 9000) {
        height = 8500;
    }
    form.window->Move(Round((screen.Width() - width) / 2.0),
                      Round((screen.Height() - height) * 0.3), width, height);
}

// The three buttons, centred as a group under the separator line.
void PlaceButtons(const frmMainControls& form) {
    const ILine& sep = *form.linSepa[1];
    const Int32 groupWidth = 3 * kButtonWidth + 2 * kButtonGap;
    for (int i = 0; i < 3; ++i) {
        const double left =
            sep.X1() + ((sep.X2() - sep.X1()) - groupWidth) / 2.0 + i * (kButtonWidth + kButtonGap);
        form.cmd00[static_cast<std::size_t>(i)]->Move(Round(left), sep.Y1() + kButtonGap,
                                                      kButtonWidth, kButtonHeight);
    }
}

// The pages fill the window below the buttons; the adjusting page holds the readout box with
// its two lists side by side and the item list under it.
void PlacePages(const frmMainControls& form) {
    const Int32 W = form.window->ScaleWidth();
    const Int32 H = form.window->ScaleHeight();
    const Int32 pageTop = form.cmd00[2]->Top() + kButtonHeight;
    const Int32 pageWidth = AtLeast1(W - 2 * kMargin);
    const Int32 pageHeight = AtLeast1(H - pageTop - kMargin);
    for (std::size_t page : {0u, 1u, 3u}) {
        form.fra01[page]->Move(kMargin, pageTop, pageWidth, pageHeight);
    }

    IFrame& box = *form.fra01[2];
    box.Move(kMargin, 180, AtLeast1(form.fra01[1]->Width() - 240), 2400);
    const Int32 listWidth = AtLeast1((box.Width() - 360) / 2);
    form.lbo01[0]->Move(kMargin, kMargin, listWidth, AtLeast1(box.Height() - kMargin));
    form.lbo01[1]->Move(form.lbo01[0]->Left() + form.lbo01[0]->Width() + kMargin,
                        form.lbo01[0]->Top(), form.lbo01[0]->Width(), form.lbo01[0]->Height());

    const Int32 consoleTop = box.Top() + box.Height() + kMargin;
    form.lboConsole->Move(box.Left() + kMargin, consoleTop, AtLeast1(form.fra01[1]->Width() - 480),
                          AtLeast1(form.fra01[1]->Height() - consoleTop - 180));
}

// The title page: title and progress bar centred, and the dump text box over it.
void PlaceTitlePage(const frmMainControls& form) {
    const IFrame& title = *form.fra01[0];
    ILabel& lblTitle = *form.lblTitle;
    lblTitle.Move(Round((title.Width() - lblTitle.Width()) / 2.0), 240, lblTitle.Width(),
                  lblTitle.Height());
    ILabel& lblProgress = *form.lblProgress;
    lblProgress.Move(Round((title.Width() - lblProgress.Width()) / 2.0),
                     lblTitle.Top() + lblTitle.Height() + 240, lblProgress.Width(),
                     lblProgress.Height());
    form.txtDispPara->Move(kMargin, 240, AtLeast1(title.Width() - 240),
                           AtLeast1(title.Height() - 360));
}

void ShowControls(const frmMainControls& form) {
    for (IButton* button : form.cmd00) {
        button->Visible(true);
        button->TabStopLast();
    }
    form.txtDispPara->Visible(true);
    form.txtDispPara->TabStopLast();
    form.fra01[2]->BorderVisible(false);
    form.fra01[2]->Visible(true);
    form.lbo01[0]->Visible(true);
    form.lbo01[1]->Visible(true);
    form.lboConsole->Visible(true);
    form.lblTitle->Visible(true);
    form.lblProgress->Visible(true);
}

}  // namespace

void RigOpFunc_FormLayout(const frmMainControls& form, bool& firstCall) {
    if (firstCall) {
        // Cleared first: the resize events that sizing the window causes only lay out.
        firstCall = false;
        PlaceWindow(form);
    }
    PlaceButtons(form);
    PlacePages(form);
    PlaceTitlePage(form);
    ShowControls(form);
}

}  // namespace quorvane
