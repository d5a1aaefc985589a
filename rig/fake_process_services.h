#pragma once

#include <string>

#include "platform/process_services.h"

namespace quorvane::test {

class FakeProcessServices final : public IProcessServices {
  public:
    bool ClaimSingleInstance() override { return !anotherRunning; }
    std::string ProgramDirectory() override { return directory; }
    void EndProcess() override { ++ends; }

    bool anotherRunning = false;
#ifdef _WIN32
    std::string directory = "C:\\Program Files\\Quorvane";
#else
    std::string directory = "/opt/quorvane";
#endif
    int ends = 0;
};

}  // namespace quorvane::test
