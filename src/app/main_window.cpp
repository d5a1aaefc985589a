#include "app/main_window.h"

#include <algorithm>
#include <cctype>
#include <exception>
#include <filesystem>

#include "app/error_report.h"
#include "platform/number_format.h"
#include "settings/settings_file.h"

namespace quorvane {

namespace {

// The hidden key sequence, stored scrambled: the typed characters, each code plus one and
// upper-cased, and the caption it shows, each code plus one and reversed.
constexpr char kKeyTrailSecret[] = "RVPSWBOF!UFBN";
constexpr char kCaptionSecret[] = "7313!-xfsd!idofC";
constexpr std::size_t kKeyTrailLength = 13;

constexpr char kImageFilter[] = "EEPROM images (*.qvimg);;All files (*)";
constexpr char kImageSuffix[] = "qvimg";
constexpr char kSaveTitle[] = "Save EEPROM image";
constexpr char kOpenTitle[] = "Open EEPROM image";
constexpr char kWriteTitle[] = "Write EEPROM image to transceiver";
constexpr char kRecordFilter[] = "Service records (*.txt);;All files (*)";
constexpr char kRecordTitle[] = "Save service record";

std::string Unscramble(const std::string& stored) {
    std::string out;
    for (auto it = stored.rbegin(); it != stored.rend(); ++it) {
        out.push_back(static_cast<char>(*it - 1));
    }
    return out;
}

}  // namespace

frmMain::frmMain(const Links& links) : links_(links) {}

clsIndOp_RigTamsk& frmMain::Ops() {
    if (ops_ == nullptr) {
        raiseInvalidArgument("main window without adjustment operations");
    }
    return *ops_;
}

void frmMain::Attach(clsIndOp_RigTamsk& ops) {
    ops_ = &ops;
    ComPortNo(1);
    ComAutoRelease(0);
}

void frmMain::ComPortNo(Int16 portNo) {
    ComPortNo_ = portNo;
    Ops().RigOpFunc_SetComPortNo(portNo);
}

void frmMain::ComAutoRelease(Int16 seconds) {
    // Only the menu's 0 to 5 are offered; a stored time beyond 32 s cannot be held in
    // milliseconds of 16 bits, so it is refused rather than allowed to overflow.
    if (seconds < kComAutoReleaseOption.low || seconds > kComAutoReleaseOption.high) {
        return;
    }
    ComAutoRelease_ = seconds;
    links_.sequence.comHoldReload(Mul16(seconds, 1000));
}

void frmMain::saveData(clsCmcProfileIO& objProf) {
    objProf.Section(kOptionSection);
    SaveOption(objProf, kComPortOption, ComPortNo_);
    SaveOption(objProf, kComAutoReleaseOption, ComAutoRelease_);
}

void frmMain::loadData(clsCmcProfileIO& objProf) {
    objProf.Section(kOptionSection);
    // One variable for both reads: a value that cannot be read leaves the previous one.
    Int32 shared = 0;
    LoadOption(objProf, kComPortOption, shared);
    ComPortNo(To16(shared));
    LoadOption(objProf, kComAutoReleaseOption, shared);
    ComAutoRelease(To16(shared));
}

void frmMain::MsgBoxCloneErr(clsCmcVep3Sequence& myObjVep3Seq) {
    const CloneErrorState state{links_.com.errCannotOpen(), links_.com.errOverflow(),
                                links_.com.comPortNum(), links_.driver.lastError(),
                                myObjVep3Seq.error()};
    const std::string message = CloneErrorMessage(state);
    Ops().RigOpFunc_ResetAll();
    MsgBoxCritical(*links_.form.messageBox, message);
}

void frmMain::MsgBoxCloneErr() {
    ICloneErrorReport& report = errorReport_ != nullptr ? *errorReport_ : *this;
    report.MsgBoxCloneErr(links_.sequence);
}

void frmMain::task() {
    clsCmcVep3Sequence& seq = links_.sequence;
    seq.task();
    Ops().task();
    if (seq.OpRunning()) {
        seq.task();
    }
    const frmMainControls& form = links_.form;
    for (Int16 i = 1; i <= 4; ++i) {
        form.mnuOptSelCom[static_cast<std::size_t>(i)]->Checked(ComPortNo_ == i);
    }
    for (Int16 i = 0; i <= 5; ++i) {
        form.mnuOptionSelAutoRelease[static_cast<std::size_t>(i)]->Checked(ComAutoRelease_ == i);
    }
    const bool open = links_.com.comOpen();
    form.lblComBusy->Caption("COM" + StrNumber(ComPortNo_) + (open ? ": OPEN" : ": CLOSE"));
    form.lblComBusy->ForeColor(open ? SystemColor::ButtonText : SystemColor::GrayText);
    UpdateFileMenu();
}

bool frmMain::OpenAllowed() {
    return images_ != nullptr && Ops().stepNo() == 0 && !links_.sequence.OpRunning();
}

void frmMain::UpdateFileMenu() {
    const frmMainControls& form = links_.form;
    form.mnuFileSave->Enabled(images_ != nullptr && images_->CanSave());
    form.mnuFileOpen->Enabled(OpenAllowed());
    form.mnuFileWrite->Enabled(images_ != nullptr && images_->CanWrite());
    if (form.mnuFileRecord != nullptr) {
        form.mnuFileRecord->Enabled(records_ != nullptr && records_->CanSave());
    }
    form.lblImageFile->Visible(Ops().RigTamskProp_ImageView());
}

std::string frmMain::AskImageFile(const std::string& title, bool save) {
    IFileDialog& dialog = *links_.form.fileDialog;
    const std::string folder = lastFolder_.empty() ? images_->DefaultFolder() : lastFolder_;
    std::string path = save ? dialog.SaveFileName(title, folder, kImageFilter, kImageSuffix)
                            : dialog.OpenFileName(title, folder, kImageFilter);
    if (!path.empty()) {
        lastFolder_ = std::filesystem::path(path).parent_path().string();
    }
    return path;
}

void frmMain::ShowRuntimeError(const std::string& what) {
    // Reset before the message, as the communication report does: while the box is open the
    // port is closed and nothing of what failed goes on running behind it.
    if (runtimeError_) {
        runtimeError_();
    }
    try {
        Ops().RigOpFunc_ResetAll();
    } catch (const std::exception&) {
        // The reset touches nothing outside; a second failure leaves the program as it is.
    }
    MsgBoxCritical(*links_.form.messageBox, RuntimeErrorMessage(what));
}

void frmMain::TickError(const std::exception& error) {
    ShowRuntimeError(error.what());
}

void frmMain::RequestTick() {
    if (tickRequest_) {
        tickRequest_();
    }
}

void frmMain::UserReset() {
    if (userReset_) {
        userReset_();
    }
}

template <typename F>
auto frmMain::Guarded(F&& f) -> decltype(f()) {
    try {
        return f();
    } catch (const std::exception& e) {
        ShowRuntimeError(e.what());
    }
    return decltype(f())();
}

bool frmMain::lboConsole_KeyDown(Int16 keyCode, Int16 shift) {
    const bool handled = Guarded([&] {
        IListBox& list = *links_.form.lboConsole;
        const bool shifted = (shift & vbShiftMask) != 0;
        Int16 step = 0;
        bool consumed = false;
        switch (keyCode) {
            case vbKeyLeft:
                step = shifted ? -5 : -1;
                consumed = true;
                break;
            case vbKeyRight:
                step = shifted ? 5 : 1;
                consumed = true;
                break;
            case vbKeyReturn:
            case vbKeySeparator:
                consumed = true;
                // With no line selected there is no item to act on.
                if (list.ListIndex() >= 0) {
                    links_.console.EnterPushed(list.ListIndex());
                }
                break;
            default:
                break;
        }
        if (step != 0 && list.ListIndex() >= 0) {
            links_.console.UpDown(list.ListIndex(), step);
        }
        return consumed;
    });
    if (handled) {
        RequestTick();
    }
    return handled;
}

void frmMain::lboConsole_GotFocus() {
    Guarded([&] {
        IListBox& list = *links_.form.lboConsole;
        if (list.ListIndex() < 0 && list.ListCount() > 0) {
            list.ListIndex(0);
        }
    });
}

void frmMain::Form_KeyDown(Int16 keyCode, Int16) {
    if (keyCode == vbKeyF5) {
        Guarded([&] { Ops().RigOpFunc_ClickCmd00(1); });
        RequestTick();
    }
}

void frmMain::cmd00_Click(Int16 index) {
    Guarded([&] {
        if (index == 0) {
            UserReset();  // "Connect" starts afresh
        }
        Ops().RigOpFunc_ClickCmd00(index);
    });
    RequestTick();
}

void frmMain::cmd00_KeyPress(Int16, char keyAscii) {
    Guarded([&] {
        keyTrail_.push_back(static_cast<char>(
            std::toupper(static_cast<unsigned char>(static_cast<char>(keyAscii + 1)))));
        if (keyTrail_.size() > kKeyTrailLength) {
            keyTrail_.erase(0, keyTrail_.size() - kKeyTrailLength);
        }
        if (keyTrail_ == kKeyTrailSecret) {
            links_.form.window->Caption(Unscramble(kCaptionSecret));
        }
    });
}

void frmMain::mnuOptSelCom_Click(Int16 index) {
    Guarded([&] {
        if (index != ComPortNo_) {
            UserReset();  // the operations start afresh on another port
        }
        ComPortNo(index);
    });
}

void frmMain::mnuOptionSelAutoRelease_Click(Int16 index) {
    Guarded([&] { ComAutoRelease(index); });
}

void frmMain::mnuFileSave_Click() {
    Guarded([&] {
        if (images_ == nullptr || !images_->CanSave()) {
            return;
        }
        const std::string path = AskImageFile(kSaveTitle, true);
        if (path.empty()) {
            return;
        }
        const ImageStatus saved = images_->Save(path);
        if (!saved) {
            MsgBoxCritical(*links_.form.messageBox, saved.text());
        }
    });
}

void frmMain::mnuFileOpen_Click() {
    Guarded([&] {
        if (!OpenAllowed()) {
            return;
        }
        const std::string path = AskImageFile(kOpenTitle, false);
        if (path.empty()) {
            return;
        }
        const ImageResult<ImageFileView> view = images_->Open(path);
        if (!view) {
            MsgBoxCritical(*links_.form.messageBox, view.text());
            return;
        }
        const frmMainControls& form = links_.form;
        form.txtDispPara->Text(view->dump);
        form.lblImageFile->Caption(view->name + "  " + view->identity);
        Ops().RigOpFunc_ImageView(true);
    });
    RequestTick();
}

void frmMain::mnuFileWrite_Click() {
    Guarded([&] {
        if (images_ == nullptr || !images_->CanWrite()) {
            return;
        }
        const std::string path = AskImageFile(kWriteTitle, false);
        if (path.empty()) {
            return;
        }
        const ImageResult<ImageWriteQuestion> question = images_->CheckWrite(path);
        if (!question) {
            MsgBoxCritical(*links_.form.messageBox, question.text());
            return;
        }
        if (links_.form.confirmBox->Confirm(question->confirmation, kProgramTitle,
                                            question->warning)) {
            images_->StartWrite(path);
        }
    });
    RequestTick();
}

void frmMain::mnuFileRecord_Click() {
    Guarded([&] {
        if (records_ == nullptr || !records_->CanSave()) {
            return;
        }
        // The dialog opens on a free name, in the folder last chosen or beside the backup.
        const std::string proposed = records_->ProposedPath(lastFolder_);
        const std::string path =
            links_.form.fileDialog->SaveFileName(kRecordTitle, proposed, kRecordFilter, "txt");
        if (path.empty()) {
            return;
        }
        lastFolder_ = std::filesystem::path(path).parent_path().string();
        const RecordStatus saved = records_->Save(path);
        if (!saved) {
            MsgBoxCritical(*links_.form.messageBox, saved.text());
        }
    });
}

void frmMain::mnuFileExit_Click() {
    Guarded([&] {
        if (exitRequested_) {
            exitRequested_();
        }
    });
}

void frmMain::Form_Load() {
    Guarded([&] {
        const frmMainControls& form = links_.form;
        form.window->Caption(kProgramTitle);
        form.lblTitle->Caption(std::string(kProgramTitle) +
                               "\r\nAdjust Utility for Tamskor\r\nService adjustment at the bench");
        Ops().RigOpFunc_FormResource();
        Ops().RigOpFunc_FormLayout();
        PlaceImageFileLabel();
        UpdateFileMenu();
    });
}

void frmMain::PlaceImageFileLabel() {
    // The strip above the dump text box, one pixel below the page's top edge.
    const frmMainControls& form = links_.form;
    const ITextBox& dump = *form.txtDispPara;
    const Int32 pixel = form.screen->TwipsPerPixelY();
    form.lblImageFile->Move(dump.Left(), pixel, dump.Width(), std::max(1, dump.Top() - pixel));
}

void frmMain::Form_Resize() {
    Guarded([&] {
        const frmMainControls& form = links_.form;
        const Int32 width = form.window->ScaleWidth();
        const Int32 pixel = form.screen->TwipsPerPixelY();
        form.linSepa[0]->Coordinates(0, 0, width, 0);
        form.linSepa[1]->Coordinates(0, pixel, width, pixel);
        form.lblComBusy->Caption("");
        form.lblComBusy->Move(120, 120, form.lblComBusy->Width(), form.lblComBusy->Height());
        Ops().RigOpFunc_FormLayout();
        PlaceImageFileLabel();
    });
}

void frmMain::Form_QueryUnload() {
    // A failing shutdown is shown; the window still closes.
    Guarded([&] {
        if (shutdownCom_) {
            shutdownCom_();
        }
    });
}

void frmMain::Form_Unload() {
    Guarded([&] {
        if (endProgram_) {
            endProgram_();
        }
    });
}

}  // namespace quorvane
