#pragma once

#include <string>

#include "platform/checked.h"

namespace quorvane {

// What the console needs of the operation sequencer: hand over one E8 command body (hex text)
// to be sent without waiting for an answer. The sequencer implements it.
class IE8Sender {
  public:
    virtual Int16 easySendE8NoAnswer(const std::string& spE8) = 0;

  protected:
    ~IE8Sender() = default;
};

}  // namespace quorvane
