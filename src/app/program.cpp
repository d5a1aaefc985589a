#include "app/program.h"

#include "app/error_report.h"
#include "image/backup_folder.h"
#include "protocol/wire.h"
#include "settings/port_map.h"
#include "settings/settings_file.h"

namespace quorvane {

bool ClaimSingleInstance(IProcessServices& process, IMessageBox& box) {
    if (process.ClaimSingleInstance()) {
        return true;
    }
    MsgBoxCritical(box, kAlreadyRunningMessage);
    return false;
}

namespace {

frmMainControls WithMessageBox(const frmMainControls& form, IMessageBox* box) {
    frmMainControls out = form;
    if (out.messageBox != nullptr) {
        out.messageBox = box;
    }
    return out;
}

}  // namespace

Program::Program(const Platform& platform)
    : platform_(platform),
      messages_(platform.form.messageBox),
      form_(WithMessageBox(platform.form, &messages_)),
      prof_(platform.profileFile, platform.settingsDirectory.empty()
                                      ? platform.process.ProgramDirectory()
                                      : platform.settingsDirectory),
      com_(platform.serial),
      driver_(platform.clock),
      seq_(com_, driver_, radio_, platform.clock),
      main_({form_, com_, driver_, seq_, console_}) {
    // The port form: its profile store, its link driver, its reset.
    prof_.SetCurrentPath();
    prof_.Name(kSettingsFileName);
    prof_.Section(kSettingsInitialSection);
    com_.vep3D(&driver_);
    driver_.myObjCom(&com_);
    com_.tickClient(&main_);
    com_.settingsSaver(this);
    com_.Reset();

    // The transceiver this program expects.
    radio_.radioNameM(std::string(wire::kModelName));
    radio_.radionameS(std::string(wire::kSubName));
    radio_.cloneWriteAdrList_Clear();
    radio_.cloneWriteAdrList_Add(0, wire::kLastImageAddress);

    com_.comPortNum(1);
    com_.comBaud(9600);
    driver_.Reset();
    com_.Reset();

    // The main window and, on its first use, the adjustment operations; then the options.
    ops_ = std::make_unique<clsIndOp_RigTamsk>(
        clsIndOp_RigTamsk::Links{console_, seq_, driver_, radio_, form_, main_, platform.clock});
    seq_.subNameCheck(ops_.get());
    IWallClock& wallClock = platform.wallClock != nullptr ? *platform.wallClock : systemWallClock_;
    // Records are kept beside the backups of the images they began with.
    const std::filesystem::path backups = BackupFolder(platform.userDataFolder);
    images_ = std::make_unique<EepromImageService>(
        EepromImageService::Links{driver_, radio_, seq_, *ops_, main_, form_, wallClock, com_,
                                  ImagePolicy(backups, platform.fileWrites)});
    records_ = std::make_unique<ServiceRecords>(ServiceRecords::Links{
        *ops_, radio_, *images_, form_, wallClock, backups, [this] { return PortText(); },
        platform.fileWrites, platform.curveChart});
    ops_->cloneReadDone([this] { images_->CloneReadDone(); });
    ops_->sessionEvents(records_.get());
    images_->imageRead([this](const std::string& written) { records_->ImageRead(written); });
    messages_.records(records_.get());
    main_.serviceRecords(records_.get());
    // Failures pass through the image service, which must know when its write has failed.
    seq_.errorReport(images_.get());
    main_.errorReport(images_.get());
    main_.imageCommands(images_.get());
    main_.Attach(*ops_);
    main_.loadData(prof_);

    main_.onShutdownCom([this] { ShutdownCom(); });
    main_.onRuntimeError([this] { images_->RuntimeErrorShown(); });
    main_.onUserReset([this] { images_->EndBeforeReset(); });

    com_.Form_Load();
    com_.timSolidEnabled(true);
}

Program::~Program() {
    // The port form and the sequencer must not call back into objects being destroyed.
    com_.timSolidEnabled(false);
    com_.tickClient(nullptr);
    com_.settingsSaver(nullptr);
    seq_.subNameCheck(nullptr);
    seq_.errorReport(nullptr);
    main_.errorReport(nullptr);
    ops_->cloneReadDone(nullptr);
    ops_->sessionEvents(nullptr);
    images_->imageRead(nullptr);
    messages_.records(nullptr);
    main_.imageCommands(nullptr);
    main_.serviceRecords(nullptr);
    main_.onRuntimeError(nullptr);
    main_.onUserReset(nullptr);
}

void Program::Tick() {
    com_.timSolid_Timer();
    // The image service's step is part of the tick: a run-time error in it is the tick's.
    try {
        images_->Task();
    } catch (const std::exception& error) {
        main_.TickError(error);
    }
}

std::string Program::PortText() {
    const Int16 portNo = main_.ComPortNo();
    return "COM " + std::to_string(portNo) + " (" +
           ComPortDevice(platform_.profileFile, prof_.FullPath(), portNo) + ")";
}

void Program::ChooseComPortDevice(Int16 portNo, const std::string& device) {
    const std::string before = ComPortDevice(platform_.profileFile, prof_.FullPath(), portNo);
    if (!SetComPortDevice(platform_.profileFile, prof_.FullPath(), portNo, device)) {
        const std::string reason = platform_.profileFile.WriteFailure();
        MsgBoxCritical(messages_, "Cannot store the serial device of COM " +
                                      std::to_string(portNo) + " in the settings file '" +
                                      prof_.FullPath() + "'" +
                                      (reason.empty() ? std::string() : ": " + reason) + ".\nCOM " +
                                      std::to_string(portNo) + " still opens " + before + ".");
        return;
    }
    if (ComPortDevice(platform_.profileFile, prof_.FullPath(), portNo) != before) {
        images_->EndBeforeReset();
        ops_->RigOpFunc_ResetAll();
    }
}

void Program::ShutdownCom() {
    const RecordStatus saved = records_->SaveOnExit();
    if (!saved) {
        MsgBoxCritical(messages_, saved.text());
    }
    com_.AllOver();
    com_.Form_Unload();
}

}  // namespace quorvane
