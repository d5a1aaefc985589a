#include "app/image_service.h"

#include <algorithm>

#include "app/error_report.h"
#include "image/image_compare.h"
#include "protocol/wire.h"

namespace quorvane {

namespace {

// The link driver's modes once the clone-write command is out: records, then the result.
constexpr Int16 kWriteRecordsMode = 3;
constexpr Int16 kWriteResultMode = 4;

std::string FileName(const std::string& path) {
    return std::filesystem::path(path).filename().string();
}

}  // namespace

EepromImageService::EepromImageService(Links links) : links_(std::move(links)) {}

void EepromImageService::Say(const std::string& text) const {
    if (links_.form.messageBox != nullptr) {
        MsgBoxCritical(*links_.form.messageBox, text);
    }
}

void EepromImageService::CloneReadDone() {
    const std::vector<std::uint8_t>& data = links_.radio.eepImage().data();
    EepromImageFile image;
    image.image.assign(data.begin(), data.end());
    image.image.resize(EepromImageFile::kImageSize, 0);
    image.origin = ImageOrigin{IdentityOfAnswer(links_.sequence, links_.driver.EndAddress()),
                               links_.wallClock.Now()};
    asRead_ = std::move(image);
    const bool readBack = state_ == State::ReadingBack;
    const ImageBackupStore::Result saved = links_.policy.KeepRead(asRead_->image, *asRead_->origin);
    lastBackup_ = saved ? *saved : std::filesystem::path();
    // The session hears of the read before any message about it is shown.
    if (imageRead_) {
        imageRead_(readBack ? writtenName_ : std::string());
    }
    if (!saved) {
        // The adjustment goes on: the image is still held in memory.
        Say(saved.text());
    }
    if (readBack) {
        FinishReadBack();
    }
}

ImageStatus EepromImageService::SaveImage(const std::string& path) const {
    if (!asRead_) {
        return Failure<ImageFault>{
            ImageFault::NothingRead,
            "Cannot save the image '" + path + "': nothing has been read from the transceiver."};
    }
    Bytes image(links_.radio.eepImage().data().begin(), links_.radio.eepImage().data().end());
    image.resize(EepromImageFile::kImageSize, 0);
    return SaveImageFile(path, image, *asRead_->origin);
}

ImageResult<ImageFileView> EepromImageService::OpenImage(const std::string& path) const {
    const ImageFileResult loaded = LoadImageFile(path);
    if (!loaded) {
        return loaded.failure();
    }
    return ImageFileView{FileName(path), OriginText(loaded->origin),
                         ImageParameterDump(loaded->image)};
}

WriteCheck EepromImageService::CheckImageForWrite(const std::string& path) const {
    if (!asRead_) {
        return Failure<ImageFault>{
            ImageFault::NoTransceiver,
            "Cannot write the image '" + path + "': no transceiver is connected."};
    }
    return links_.policy.CheckWrite(path, asRead_->origin->identity);
}

ImageResult<ImageWriteQuestion> EepromImageService::CheckWrite(const std::string& path) {
    const WriteCheck check = CheckImageForWrite(path);
    if (!check) {
        return check.failure();
    }
    return ImageWriteQuestion{check->text, check->unknownOrigin || check->otherSub};
}

bool EepromImageService::CanWrite() const {
    return state_ == State::Idle && asRead_ && links_.ops.InAdjustingCycle() &&
           !links_.sequence.OpRunning() && links_.ops.subStepNo() == 0;
}

void EepromImageService::StartWrite(const std::string& path) {
    if (!CanWrite()) {
        return;
    }
    // Checked again: the file may have changed since the user confirmed.
    WriteCheck check = CheckImageForWrite(path);
    if (!check) {
        Say(check.text());
        return;
    }
    written_ = std::move(check->image);
    writtenName_ = FileName(path);
    const std::vector<std::uint8_t>& current = links_.radio.eepImage().data();
    beforeWrite_.assign(current.begin(), current.end());
    // The adjusting cycle stops; the read after the write rebuilds the items.
    links_.ops.RigOpFunc_ResetAll();
    failed_ = false;
    state_ = State::Writing;
    links_.sequence.easyCloneWriteImage(written_);
}

void EepromImageService::Task() {
    if (state_ == State::Idle) {
        return;
    }
    if (failed_) {
        End(state_, cutOff_);
        return;
    }
    if (state_ == State::Writing) {
        if (links_.sequence.OpRunning()) {
            links_.ops.ShowCloneProgress();
            return;
        }
        state_ = State::ReadingBack;
        links_.ops.RigOpFunc_ClickCmd00(0);
    }
}

void EepromImageService::End(State endedIn, bool partial) {
    state_ = State::Idle;
    failed_ = false;
    // The transceiver may hold anything now; what is saved stays what it held before.
    links_.radio.eepImage().eeSize(Len(beforeWrite_));
    links_.radio.eepImage().WriteBlock(0, beforeWrite_);
    if (endedIn == State::Writing && partial) {
        Say(ImagePolicy::PartialWriteText(writtenName_, lastBackup_));
    } else if (endedIn == State::ReadingBack) {
        // Whatever stopped the read, the transceiver had accepted the whole image.
        Say(ImagePolicy::NotReadBackText(writtenName_));
    }
}

bool EepromImageService::WriteBegun() const {
    return state_ == State::Writing && (links_.driver.workMode() == kWriteRecordsMode ||
                                        links_.driver.workMode() == kWriteResultMode);
}

void EepromImageService::FinishReadBack() {
    state_ = State::Idle;
    Say(ImagePolicy::ReadBack(written_, asRead_->image,
                              static_cast<std::size_t>(links_.driver.EndAddress()))
            .text);
}

void EepromImageService::MsgBoxCloneErr(clsCmcVep3Sequence& sequence) {
    if (state_ != State::Idle) {
        failed_ = true;
        // The port went while the write was under way (unplugged, gone, overflowed): the
        // transceiver may have taken part of the image.
        cutOff_ = (links_.com.errCannotOpen() || links_.com.errOverflow()) && WriteBegun();
    }
    links_.report.MsgBoxCloneErr(sequence);
}

void EepromImageService::RuntimeErrorShown() {
    if (state_ != State::Idle) {
        failed_ = true;
        cutOff_ = WriteBegun();
    }
}

void EepromImageService::EndBeforeReset() {
    if (state_ == State::Idle) {
        return;
    }
    const State endedIn = state_;
    // A failure already noted keeps its verdict: the driver has been reset since.
    const bool partial = failed_ ? cutOff_ : WriteBegun();
    // Nothing more goes out while the message is shown.
    links_.ops.RigOpFunc_ResetAll();
    End(endedIn, partial);
}

}  // namespace quorvane
