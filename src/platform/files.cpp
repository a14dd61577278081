#include "platform/files.h"

#include <cstdio>
#include <filesystem>
#include <optional>
#include <system_error>

#include "text/codepage.h"

namespace tarvelle::platform {
namespace {

std::optional<text::Text>& runDirectoryOverride() {
    static std::optional<text::Text> dir;
    return dir;
}

}  // namespace

text::Text RunDirectory() {
    if (runDirectoryOverride()) return *runDirectoryOverride();
    std::error_code ec;
    auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    std::string dir = ec ? std::filesystem::current_path(ec).string() : exe.parent_path().string();
    while (dir.size() > 1 && dir.back() == '/') dir.pop_back();
    return text::Utf8ToGbk(text::Text(dir));
}

void SetRunDirectoryForTesting(const text::Text& directory) {
    if (directory.empty()) {
        runDirectoryOverride().reset();
    } else {
        runDirectoryOverride() = directory;
    }
}

text::Text BesideProgram(const text::Text& name) { return RunDirectory() + "/" + name; }

std::string OsPath(const text::Text& path) { return text::GbkToUtf8(path); }

text::Bytes ReadFileBytes(const text::Text& path) {
    if (path.empty()) return {};
    std::FILE* f = std::fopen(OsPath(path).c_str(), "rb");
    if (!f) return {};
    text::Bytes bytes;
    char buffer[65536];
    std::size_t n = 0;
    while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) bytes.append(buffer, n);
    std::fclose(f);
    return bytes;
}

bool WriteFileBytes(const text::Text& path, const text::Bytes& bytes) {
    if (path.empty()) return false;
    std::FILE* f = std::fopen(OsPath(path).c_str(), "wb");
    if (!f) return false;
    bool ok = bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    ok = std::fclose(f) == 0 && ok;
    return ok;
}

bool DeleteFileA(const text::Text& path) {
    if (path.empty()) return false;
    return std::remove(OsPath(path).c_str()) == 0;
}

}  // namespace tarvelle::platform
