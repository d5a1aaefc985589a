#include "app/image_service.h"

#include <algorithm>
#include <cstdio>

#include "app/error_report.h"
#include "eeprom/ind_eep_rig_tamsk.h"
#include "image/backup_store.h"
#include "image/image_compare.h"
#include "image/utc_time.h"
#include "protocol/eeprom.h"
#include "protocol/wire.h"

namespace quorvane {

namespace {

constexpr std::size_t kDifferencesShown = 8;
constexpr Int16 kProgressCells = 32;
// The adjusting cycle: the window's items are editable.
constexpr Int16 kCycleFirstStep = 10;
constexpr Int16 kCycleLastStep = 28;

std::string Hex(unsigned value, int digits) {
    char text[16];
    std::snprintf(text, sizeof text, "%0*X", digits, value);
    return text;
}

// pos counts from 1, as the identity answer's fields are numbered.
std::uint16_t WordAt(const Bytes& answer, Int32 pos) {
    return HasPos(answer, pos + 1)
               ? static_cast<std::uint16_t>(ByteAt(answer, pos) << 8 | ByteAt(answer, pos + 1))
               : std::uint16_t{0};
}

std::string OriginText(const std::optional<ImageOrigin>& origin) {
    if (!origin) {
        return "origin unknown";
    }
    return IdentityText(origin->identity) + ", read " + UtcText(origin->readAt);
}

std::string FileName(const std::string& path) {
    return std::filesystem::path(path).filename().string();
}

std::string DumpText(const Bytes& image) {
    clsCmcEeprom eeprom;
    eeprom.eeSize(Len(image));
    eeprom.WriteBlock(0, image);
    return clsIndEep_RigTamsk(eeprom).ParameterDumpText();
}

}  // namespace

RadioIdentity IdentityOfAnswer(const Bytes& answer, Int32 endAddress) {
    RadioIdentity identity;
    identity.model = WordAt(answer, 4);
    identity.sub = WordAt(answer, 6);
    identity.revision = HasPos(answer, 43) ? ByteAt(answer, 43) : std::uint8_t{0};
    identity.endAddress = static_cast<std::uint16_t>(endAddress);
    return identity;
}

std::string IdentityText(const RadioIdentity& identity) {
    return "model " + Hex(identity.model, 4) + ", sub " + Hex(identity.sub, 4) + ", revision " +
           Hex(identity.revision, 2);
}

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
    image.origin =
        ImageOrigin{IdentityOfAnswer(links_.sequence.ansInfo(), links_.driver.EndAddress()),
                    links_.wallClock.Now()};
    asRead_ = std::move(image);
    const bool readBack = state_ == State::ReadingBack;
    ImageBackupStore::Result saved;
    if (!links_.backupFolder.empty()) {
        saved = ImageBackupStore(links_.backupFolder).Save(asRead_->image, *asRead_->origin);
    }
    lastBackup_ = saved.path;
    // The session hears of the read before any message about it is shown.
    if (imageRead_) {
        imageRead_(readBack ? writtenName_ : std::string());
    }
    if (!saved.error.empty()) {
        // The adjustment goes on: the image is still held in memory.
        Say(saved.error);
    }
    if (readBack) {
        FinishReadBack();
    }
}

std::string EepromImageService::SaveImage(const std::string& path) const {
    if (!asRead_) {
        return "Cannot save the image '" + path + "': nothing has been read from the transceiver.";
    }
    Bytes image(links_.radio.eepImage().data().begin(), links_.radio.eepImage().data().end());
    image.resize(EepromImageFile::kImageSize, 0);
    return SaveImageFile(path, image, *asRead_->origin);
}

OpenedImage EepromImageService::OpenImage(const std::string& path) const {
    OpenedImage opened;
    const ImageFileResult loaded = LoadImageFile(path);
    if (!loaded.file) {
        opened.error = loaded.error;
        return opened;
    }
    opened.ok = true;
    opened.fileName = FileName(path);
    opened.identity = OriginText(loaded.file->origin);
    opened.dumpText = DumpText(loaded.file->image);
    return opened;
}

WriteCheck EepromImageService::CheckImageForWrite(const std::string& path) const {
    WriteCheck check;
    if (!asRead_) {
        check.text = "Cannot write the image '" + path + "': no transceiver is connected.";
        return check;
    }
    const ImageFileResult loaded = LoadImageFile(path);
    if (!loaded.file) {
        check.text = loaded.error;
        return check;
    }
    const RadioIdentity& radio = asRead_->origin->identity;
    const std::optional<ImageOrigin>& origin = loaded.file->origin;
    if (origin && origin->identity.model != radio.model) {
        check.text = "Cannot write the image '" + path + "': it was read from model " +
                     Hex(origin->identity.model, 4) + ", the transceiver is model " +
                     Hex(radio.model, 4) + ".";
        return check;
    }
    check.allowed = true;
    check.unknownOrigin = !origin;
    check.otherSub = origin && origin->identity.sub != radio.sub;
    check.text = "Write the EEPROM image '" + FileName(path) +
                 "' to the transceiver?\n\nImage: " + OriginText(origin) +
                 "\nTransceiver: " + IdentityText(radio);
    if (check.unknownOrigin) {
        check.text += "\n\nNothing in the file says which transceiver it was read from.";
    }
    if (check.otherSub) {
        check.text += "\n\nThe image was read from a transceiver with another sub identifier.";
    }
    return check;
}

ImageFileView EepromImageService::Open(const std::string& path) {
    const OpenedImage opened = OpenImage(path);
    return {opened.fileName, opened.identity, opened.dumpText, opened.error};
}

ImageWriteQuestion EepromImageService::CheckWrite(const std::string& path) {
    const WriteCheck check = CheckImageForWrite(path);
    if (!check.allowed) {
        return {check.text, "", false};
    }
    return {"", check.text, check.unknownOrigin || check.otherSub};
}

bool EepromImageService::CanWrite() const {
    const Int16 step = links_.ops.stepNo();
    return state_ == State::Idle && asRead_ && step >= kCycleFirstStep && step <= kCycleLastStep &&
           !links_.sequence.OpRunning() && links_.ops.subStepNo() == 0;
}

void EepromImageService::StartWrite(const std::string& path) {
    if (!CanWrite()) {
        return;
    }
    // Checked again: the file may have changed since the user confirmed.
    const WriteCheck check = CheckImageForWrite(path);
    const ImageFileResult loaded = LoadImageFile(path);
    if (!check.allowed || !loaded.file) {
        Say(check.allowed ? loaded.error : check.text);
        return;
    }
    written_ = loaded.file->image;
    writtenName_ = FileName(path);
    // The adjusting cycle stops; the read after the write rebuilds the items.
    links_.ops.RigOpFunc_ResetAll();
    clsCmcRadio& radio = links_.radio;
    radio.eepImage().eeSize(Len(written_));
    radio.eepImage().WriteBlock(0, written_);
    // A transceiver with a shorter clone area takes only that area.
    const Int32 last =
        std::min<Int32>(wire::kLastImageAddress, links_.driver.EndAddress() - Int32{1});
    radio.cloneWriteAdrList_Clear();
    radio.cloneWriteAdrList_Add(0, last);
    failed_ = false;
    state_ = State::Writing;
    links_.sequence.easyCloneWrite();
}

void EepromImageService::ShowProgress() {
    const double end = links_.driver.EndAddress();
    const double ratio = end > 0 ? links_.driver.lastEeAdr() / end : 0.0;
    const auto filled = static_cast<std::size_t>(
        std::clamp(static_cast<Int16>(ratio * 33.0), Int16{0}, kProgressCells));
    if (links_.form.lblProgress != nullptr) {
        links_.form.lblProgress->Caption(std::string(filled, 'o') +
                                         std::string(kProgressCells - filled, '.'));
    }
}

void EepromImageService::Task() {
    if (state_ == State::Idle) {
        return;
    }
    if (failed_) {
        state_ = State::Idle;
        // The transceiver may hold anything now; what is saved stays what was last read.
        links_.radio.eepImage().WriteBlock(0, asRead_->image);
        return;
    }
    if (state_ == State::Writing) {
        if (links_.sequence.OpRunning()) {
            ShowProgress();
            return;
        }
        state_ = State::ReadingBack;
        links_.ops.RigOpFunc_ClickCmd00(0);
    }
}

void EepromImageService::FinishReadBack() {
    state_ = State::Idle;
    const std::size_t end = std::min<std::size_t>(
        written_.size(), static_cast<std::size_t>(links_.driver.EndAddress()));
    const Bytes wanted(written_.begin(), written_.begin() + static_cast<std::ptrdiff_t>(end));
    const Bytes got(asRead_->image.begin(),
                    asRead_->image.begin() + static_cast<std::ptrdiff_t>(end));
    const std::vector<ByteDifference> differences =
        FirstByteDifferences(wanted, got, kDifferencesShown);
    if (differences.empty()) {
        Say("The EEPROM image was written and read back unchanged.");
        return;
    }
    std::string text = "The EEPROM image was written, but the transceiver holds other bytes at:";
    for (const ByteDifference& d : differences) {
        text += "\n" + Hex(static_cast<unsigned>(d.address), 4) + ": image " +
                Hex(static_cast<unsigned>(d.a), 2) + ", transceiver " +
                Hex(static_cast<unsigned>(d.b), 2);
    }
    Say(text);
}

void EepromImageService::MsgBoxCloneErr(clsCmcVep3Sequence& sequence) {
    if (state_ != State::Idle) {
        failed_ = true;
    }
    links_.report.MsgBoxCloneErr(sequence);
}

}  // namespace quorvane
