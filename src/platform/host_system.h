#pragma once

namespace quorvane {

// The systems the program runs on, where they name devices, folders and files differently.
// A function that differs takes the system as an argument defaulting to the one it was built
// for, so that each system's branch runs in the tests of either.
enum class HostSystem { Linux, Windows };

#ifdef _WIN32
inline constexpr HostSystem kThisSystem = HostSystem::Windows;
#else
inline constexpr HostSystem kThisSystem = HostSystem::Linux;
#endif

}  // namespace quorvane
