#include "serial/port_form.h"

#include <string>

namespace quorvane {

frmCom::frmCom(ISerialControl& control) : MsCom_(&control) {
    MsCom_->SetEventSink(this);
    Reset();
}

frmCom::~frmCom() {
    MsCom_->SetEventSink(nullptr);
}

template <typename F>
void frmCom::Guarded(F&& body) {
    try {
        body();
    } catch (const std::exception& error) {
        if (tickClient_ == nullptr) {
            throw;
        }
        tickClient_->TickError(error);
    }
}

void frmCom::comOpen(bool value) {
    // A port number or line settings the control refuses mean the port must not open with
    // whatever it held before; that counts as a failed open.
    bool setupFailed = false;
    if (value && !MsCom_->PortOpen()) {
        setupFailed |= !MsCom_->CommPort(comPortNum_);
        setupFailed |= !MsCom_->Settings(std::to_string(comBaud_) + ",N,8,1");
    }

    bool failed = false;
    // Clearing the queue of a port that is not open is no failure of the open itself.
    if (!MsCom_->ClearOutBuffer() && MsCom_->PortOpen()) {
        failed = true;
    }
    if (MsCom_->PortOpen() != value) {
        if (value && setupFailed) {
            failed = true;
        } else if (!MsCom_->PortOpen(value)) {
            failed = true;
        }
    }
    if (failed && value) {
        MsCom_->PortOpen(false);
        errCannotOpen_ = true;
    }
    if (vep3D_ != nullptr) {
        vep3D_->Reset();
    }
}

void frmCom::comPortNum(Int16 value) {
    if (value >= kMinComPortNum && value <= kMaxComPortNum) {
        comPortNum_ = value;
    }
}

void frmCom::zebSettings(const std::string& settings) {
    // Nothing calls this; a text the control refuses simply leaves its settings as they were.
    (void)MsCom_->Settings(settings);
}

bool frmCom::totalError() const {
    return errCannotOpen_ || errOverflow_ || (vep3D_ != nullptr && vep3D_->linkFailed());
}

void frmCom::Configure(Int32 baud, Int32 receiveThreshold) {
    comOpen(false);
    comPortNum_ = 1;
    comBaud_ = baud;
    MsCom_->DTREnable(true);
    MsCom_->InBufferSize(kInBufferSize);
    MsCom_->InputLen(0);
    MsCom_->InputMode(1);
    MsCom_->OutBufferSize(kOutBufferSize);
    MsCom_->RThreshold(receiveThreshold);
    MsCom_->RTSEnable(true);
    MsCom_->SThreshold(0);
    errCannotOpen_ = false;
    errOverflow_ = false;
}

void frmCom::Reset() {
    Configure(resetBaud_, 1);
}

void frmCom::HighSpeedBRatioSet() {
    Configure(38400, 1024);
}

void frmCom::AllOver() {
    comOpen(false);
    if (settingsSaver_ != nullptr) {
        settingsSaver_->SaveSettings();
    }
}

void frmCom::Form_Unload() {
    comOpen(false);
    timSolidEnabled(false);
}

void frmCom::timSolidEnabled(bool enabled) {
    timSolidEnabled_ = enabled;
    if (timSolidEnabledListener_) {
        timSolidEnabledListener_(enabled);
    }
}

void frmCom::timSolid_Timer() {
    // A modal message box inside a tick runs its own event loop; a tick arriving then must
    // not re-enter the one in progress.
    if (!timSolidEnabled_ || inTick_) {
        return;
    }
    struct TickScope {
        bool& flag;
        explicit TickScope(bool& f) : flag(f) { flag = true; }
        ~TickScope() { flag = false; }
    } scope(inTick_);

    Guarded([this] {
        if (MsCom_->InBufferCount() > 0) {
            const Bytes data = MsCom_->Input();
            if (vep3D_ != nullptr) {
                vep3D_->read(data);
            }
        }
        if (vep3D_ != nullptr) {
            vep3D_->task();
        }
        if (tickClient_ != nullptr) {
            tickClient_->task();
        }
        if (totalError() && tickClient_ != nullptr) {
            tickClient_->MsgBoxCloneErr();
        }
        if (totalError() && comOpen()) {
            comOpen(false);
        }
    });
}

void frmCom::OnComm(CommEvent event) {
    Guarded([this, event] { HandleComm(event); });
}

void frmCom::HandleComm(CommEvent event) {
    switch (event) {
        case CommEvent::Receive:
            if (MsCom_->InBufferCount() > 0) {
                if (receiveTickRunner_) {
                    receiveTickRunner_();
                } else {
                    timSolid_Timer();
                }
            }
            break;
        case CommEvent::RxOver:
            errOverflow_ = true;
            comOpen(false);
            break;
        case CommEvent::DeviceLost:
            // The port can no longer be accessed: reported as a port that cannot be opened,
            // so the user is told to check the port and can connect again.
            errCannotOpen_ = true;
            comOpen(false);
            break;
        case CommEvent::Break:
        case CommEvent::CtsTimeout:
        case CommEvent::DsrTimeout:
        case CommEvent::Frame:
        case CommEvent::Overrun:
        case CommEvent::CdTimeout:
        case CommEvent::RxParity:
        case CommEvent::TxFull:
        case CommEvent::Dcb:
            if (vep3D_ != nullptr) {
                vep3D_->ClearRxBuffer();
            }
            break;
    }
}

}  // namespace quorvane
