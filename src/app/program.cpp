#include "app/program.h"

#include "app/error_report.h"
#include "protocol/wire.h"
#include "settings/settings_file.h"

namespace quorvane {

bool ClaimSingleInstance(IProcessServices& process, IMessageBox& box) {
    if (process.ClaimSingleInstance()) {
        return true;
    }
    MsgBoxCritical(box, kAlreadyRunningMessage);
    return false;
}

Program::Program(const Platform& platform)
    : platform_(platform),
      prof_(platform.profileFile, platform.settingsDirectory.empty()
                                      ? platform.process.ProgramDirectory()
                                      : platform.settingsDirectory),
      com_(platform.serial),
      driver_(platform.clock),
      seq_(com_, driver_, radio_, platform.clock),
      main_({platform.form, com_, driver_, seq_, console_}) {
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
    ops_ = std::make_unique<clsIndOp_RigTamsk>(clsIndOp_RigTamsk::Links{
        console_, seq_, driver_, radio_, platform.form, main_, platform.clock});
    seq_.subNameCheck(ops_.get());
    images_ = std::make_unique<EepromImageService>(EepromImageService::Links{
        driver_, radio_, seq_, *ops_, main_, platform.form,
        platform.wallClock != nullptr ? *platform.wallClock : systemWallClock_,
        platform.userDataFolder.empty()
            ? std::filesystem::path()
            : std::filesystem::path(platform.userDataFolder) / "backups"});
    ops_->cloneReadDone([this] { images_->CloneReadDone(); });
    // Failures pass through the image service, which must know when its write has failed.
    seq_.errorReport(images_.get());
    main_.imageCommands(images_.get());
    main_.Attach(*ops_);
    main_.loadData(prof_);

    main_.onShutdownCom([this] { ShutdownCom(); });

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
    ops_->cloneReadDone(nullptr);
    main_.imageCommands(nullptr);
}

void Program::ShutdownCom() {
    com_.AllOver();
    com_.Form_Unload();
}

}  // namespace quorvane
