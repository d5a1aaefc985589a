#include "app/clone_session.h"

#include <algorithm>

#include "adjust/ind_op_rig_tamsk.h"
#include "app/error_report.h"
#include "app/image_policy.h"
#include "protocol/wire.h"

namespace quorvane {

CloneSession::CloneSession(ISerialControl& serial, IClock& clock, Int16 portNo)
    : com_(serial), driver_(clock), seq_(com_, driver_, radio_, clock), portNo_(portNo) {
    com_.vep3D(&driver_);
    driver_.myObjCom(&com_);
    com_.tickClient(this);
    // The port form starts reset (9600 baud, closed) and the driver idle; the sequencer opens
    // COM portNo for each operation.
    radio_.radioNameM(std::string(wire::kModelName));
    radio_.radionameS(std::string(wire::kSubName));
    seq_.subNameCheck(this);
    seq_.errorReport(this);
    seq_.easyReset(portNo);
    com_.timSolidEnabled(true);
}

CloneSession::~CloneSession() {
    com_.timSolidEnabled(false);
    com_.tickClient(nullptr);
    seq_.subNameCheck(nullptr);
    seq_.errorReport(nullptr);
    com_.AllOver();
}

void CloneSession::StartRead() {
    failure_.reset();
    radio_.eepImage().eeSize(wire::kImageSize);
    seq_.easyCloneRead();
}

void CloneSession::StartWrite(const Bytes& image) {
    failure_.reset();
    seq_.easyCloneWriteImage(image);
}

Status<CloneFault> CloneSession::Outcome() const {
    if (failure_) {
        return *failure_;
    }
    return Done{};
}

double CloneSession::Progress() const {
    return driver_.CloneFraction();
}

Bytes CloneSession::Image() const {
    const std::vector<std::uint8_t>& data = radio_.eepImage().data();
    return Bytes(data.begin(), data.end());
}

RadioIdentity CloneSession::Identity() const {
    return IdentityOfAnswer(seq_, driver_.EndAddress());
}

void CloneSession::task() {
    seq_.task();
    if (seq_.OpRunning()) {
        seq_.task();
    }
}

void CloneSession::TickError(const std::exception& error) {
    failure_ = Failure<CloneFault>{CloneFault::CutOff, RuntimeErrorMessage(error.what())};
    seq_.easyReset(portNo_);
}

void CloneSession::MsgBoxCloneErr(clsCmcVep3Sequence& sequence) {
    const CloneErrorState state{com_.errCannotOpen(), com_.errOverflow(), com_.comPortNum(),
                                driver_.lastError(), sequence.error()};
    failure_ = Failure<CloneFault>{
        state.errCannotOpen || state.errOverflow ? CloneFault::CutOff : CloneFault::Link,
        CloneErrorMessage(state)};
    sequence.easyReset(portNo_);
}

bool CloneSession::RigOpFunc_CheckSubNameLegal(const std::string& subName) {
    return clsIndOp_RigTamsk::SubNameLegal(subName);
}

}  // namespace quorvane
