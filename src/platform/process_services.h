#pragma once

#include <string>

namespace quorvane {

// The process-services seam.
class IProcessServices {
  public:
    virtual ~IProcessServices() = default;

    // Claims the single-instance right for this process; false when another running instance
    // holds it. The claim lasts until the object is destroyed or the process ends.
    virtual bool ClaimSingleInstance() = 0;

    // The program's own directory, without a trailing separator.
    virtual std::string ProgramDirectory() = 0;

    // Ends the process at once.
    virtual void EndProcess() = 0;
};

}  // namespace quorvane
