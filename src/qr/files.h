#pragma once

#include <filesystem>

namespace tarvelle::qr {

// Deletes a file, quietly; a directory of the same name is left alone.
inline void deleteFile(const std::filesystem::path& path) {
    std::error_code ec;
    if (std::filesystem::symlink_status(path, ec).type() == std::filesystem::file_type::directory)
        return;
    std::filesystem::remove(path, ec);
}

}  // namespace tarvelle::qr
