#pragma once

#include <string>

namespace quorvane {

class clsCmcVep3Sequence;

// Asked during the identity check whether the transceiver's sub identifier is one this
// program can adjust; the adjustment operations implement it.
class ISubNameCheck {
  public:
    virtual bool RigOpFunc_CheckSubNameLegal(const std::string& subName) = 0;

  protected:
    ~ISubNameCheck() = default;
};

// Reports a failed operation; the main window implements it. It resets the operations, and
// through them the sequencer, the driver and the port form, before it shows its message.
class ICloneErrorReport {
  public:
    virtual void MsgBoxCloneErr(clsCmcVep3Sequence& sequence) = 0;

  protected:
    ~ICloneErrorReport() = default;
};

}  // namespace quorvane
