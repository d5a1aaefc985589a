#pragma once

#include <filesystem>

namespace quorvane {

// The folder of automatic backups inside the user's data folder, where the window program and
// quorvane-clone both keep them (and the window its service records); empty when
// userDataFolder is empty, which keeps no backups.
inline std::filesystem::path BackupFolder(const std::filesystem::path& userDataFolder) {
    return userDataFolder.empty() ? std::filesystem::path() : userDataFolder / "backups";
}

}  // namespace quorvane
