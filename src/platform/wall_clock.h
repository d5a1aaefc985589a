#pragma once

#include <chrono>

namespace quorvane {

// The time of day, for stamping what is kept (backups, image files). The program reads the
// system clock; tests set it by hand.
class IWallClock {
  public:
    virtual ~IWallClock() = default;
    virtual std::chrono::sys_seconds Now() = 0;
};

class SystemWallClock final : public IWallClock {
  public:
    std::chrono::sys_seconds Now() override {
        return std::chrono::floor<std::chrono::seconds>(std::chrono::system_clock::now());
    }
};

}  // namespace quorvane
