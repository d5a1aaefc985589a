#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "adjust/ind_op_rig_tamsk.h"
#include "adjust/session_events.h"
#include "app/image_service.h"
#include "platform/main_form.h"
#include "platform/wall_clock.h"
#include "protocol/radio.h"
#include "record/curve_chart.h"
#include "record/record_fault.h"
#include "record/service_session.h"

namespace quorvane {

// The service record of every session: a session begins with the read of a transceiver and
// lasts until another one is read or the program ends. A Connect that finds the transceiver
// holding what the session left in it (the same radio, plugged in again) goes on with the same
// session. A session that changed anything gets its record saved beside its backup when it
// ends; the File menu saves one at any time.
class ServiceRecords final : public ISessionEvents {
  public:
    struct Links {
        clsIndOp_RigTamsk& ops;
        clsCmcRadio& radio;
        EepromImageService& images;
        const frmMainControls& form;
        IWallClock& wallClock;
        std::filesystem::path folder;       // where records go; empty: none are saved by themselves
        std::function<std::string()> port;  // "COM 1 (/dev/ttyUSB0)"
        FileWrites* writes = nullptr;       // null: the system's
        const ICurveChart* charts = nullptr;  // draws the record's curves; null: none drawn
    };

    explicit ServiceRecords(Links links);

    // The image service's hook after a clone read; written: the file a write put there.
    void ImageRead(const std::string& written);
    // A message box the window showed.
    void MessageShown(const std::string& text);

    bool CanSave() const { return session_ != nullptr; }
    // Where the File menu's dialog proposes to save: the first free name beside the backup.
    std::string ProposedPath(const std::string& folder) const;
    // Saves every file of the record at path, or none.
    RecordStatus Save(const std::string& path);
    // The program ends: a session that changed anything is saved beside its backup; done too
    // when nothing needed saving.
    RecordStatus SaveOnExit();

    const ServiceSession* Session() const { return session_.get(); }

    // ISessionEvents.
    void ItemsRead(const std::vector<ItemValue>& items) override;
    void ValueSent(const SentValue& sent) override;
    void SpecialOpEnded(const SpecialOpOutcome& outcome) override;
    void AdjustingEnds() override { TakeState(); }

  private:
    void TakeState();
    RecordStatus SaveBesideBackup();

    Links links_;
    std::unique_ptr<ServiceSession> session_;
    std::filesystem::path base_;  // the session's backup without its extension
};

// A message box that also tells the service records what it showed.
class RecordedMessageBox final : public IMessageBox {
  public:
    explicit RecordedMessageBox(IMessageBox* shown) : shown_(shown) {}
    void records(ServiceRecords* records) { records_ = records; }
    std::int16_t ShowCritical(const std::string& text, const std::string& title) override;

  private:
    IMessageBox* shown_;
    ServiceRecords* records_ = nullptr;
};

}  // namespace quorvane
