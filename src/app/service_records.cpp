#include "app/service_records.h"

#include "app/error_report.h"
#include "image/backup_store.h"
#include "record/record_files.h"
#include "record/service_record.h"

namespace quorvane {

namespace fs = std::filesystem;

namespace {

// The files of a record under one name: the text at the chosen path, the others beside it.
std::vector<RecordFile> FilesOf(const ServiceRecordFiles& record) {
    return {{"", record.text}, {".csv", record.csv}, {".html", record.html}};
}

// The extensions a record's name must find free.
std::vector<std::string> RecordExtensions() {
    std::vector<std::string> extensions;
    for (const RecordFile& file : FilesOf({})) {
        extensions.push_back(file.extension);
    }
    return extensions;
}

}  // namespace

ServiceRecords::ServiceRecords(Links links) : links_(std::move(links)) {}

void ServiceRecords::TakeState() {
    if (session_ == nullptr || !links_.ops.ItemsLive()) {
        return;
    }
    SessionState state;
    state.items = links_.ops.ItemValues();
    const std::vector<std::uint8_t>& image = links_.radio.eepImage().data();
    state.image.assign(image.begin(), image.end());
    state.image.resize(session_->Start().imageAsRead.size(), 0);
    state.adLines = links_.ops.ReadoutLines(ReadoutList::Analog);
    state.daLines = links_.ops.ReadoutLines(ReadoutList::Output);
    session_->Now(std::move(state));
}

void ServiceRecords::ImageRead(const std::string& written) {
    const std::optional<EepromImageFile>& read = links_.images.ImageAsRead();
    if (!read || !read->origin) {
        return;
    }
    if (session_ != nullptr && !written.empty()) {
        session_->ImageWritten("EEPROM image '" + written + "' written to the transceiver");
        return;
    }
    if (session_ != nullptr && read->image == session_->State().image) {
        session_->Note("Connected again: the transceiver holds what this session left in it");
        return;
    }
    if (session_ != nullptr && session_->Changed()) {
        const RecordStatus saved = SaveBesideBackup();
        if (!saved && links_.form.messageBox != nullptr) {
            MsgBoxCritical(*links_.form.messageBox, saved.text());
        }
    }
    const fs::path& backup = links_.images.LastBackup();
    base_ = backup.empty() ? links_.folder / ImageBackupStore::BaseName(*read->origin)
                           : fs::path(backup).replace_extension();
    session_ = std::make_unique<ServiceSession>(
        SessionStart{read->origin->readAt, links_.port ? links_.port() : std::string(),
                     IdentityText(read->origin->identity), read->image, backup},
        links_.wallClock);
    session_->Note("Connected: " + IdentityText(read->origin->identity) + ", EEPROM read");
}

void ServiceRecords::MessageShown(const std::string& text) {
    if (session_ != nullptr) {
        session_->Message(text);
    }
}

void ServiceRecords::ItemsRead(const std::vector<ItemValue>& items) {
    if (session_ != nullptr) {
        session_->ItemsRead(items);
    }
}

void ServiceRecords::ValueSent(const SentValue& sent) {
    if (session_ != nullptr) {
        session_->ValueSent(sent);
    }
}

void ServiceRecords::SpecialOpEnded(const SpecialOpOutcome& outcome) {
    if (session_ != nullptr) {
        session_->SpecialOpEnded(outcome);
    }
}

std::string ServiceRecords::ProposedPath(const std::string& folder) const {
    const fs::path base = folder.empty() ? base_ : fs::path(folder) / base_.filename();
    return FreeRecordPath(base, RecordExtensions()).string();
}

RecordStatus ServiceRecords::Save(const std::string& path) {
    if (session_ == nullptr) {
        return Failure<RecordFault>{
            RecordFault::NothingRead,
            "Cannot save the service record '" + path + "': no transceiver has been read."};
    }
    TakeState();
    const ServiceRecordFiles record =
        RenderServiceRecord(*session_, links_.wallClock.Now(), links_.charts);
    return SaveRecordFiles(path, FilesOf(record), links_.writes);
}

RecordStatus ServiceRecords::SaveBesideBackup() {
    if (links_.folder.empty()) {
        return Done{};
    }
    return Save(FreeRecordPath(base_, RecordExtensions()).string());
}

RecordStatus ServiceRecords::SaveOnExit() {
    TakeState();
    if (session_ == nullptr || !session_->Changed()) {
        return Done{};
    }
    return SaveBesideBackup();
}

std::int16_t RecordedMessageBox::ShowCritical(const std::string& text, const std::string& title) {
    if (records_ != nullptr) {
        records_->MessageShown(text);
    }
    return shown_ != nullptr ? shown_->ShowCritical(text, title) : std::int16_t{0};
}

}  // namespace quorvane
