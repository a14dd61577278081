#include "platform/files.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "text/codepage.h"

namespace tarvelle::platform {
namespace {

using text::Text;
using text::operator""_gbk;

TEST(Files, WriteReadAndDeleteBesideTheProgram) {
    const auto dir = std::filesystem::temp_directory_path() /
                     ("tarvelle-files-test-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    SetRunDirectoryForTesting(Text(dir.string()));

    EXPECT_EQ(BesideProgram("1.jpg"), Text((dir / "1.jpg").string()));
    const Text cover = BesideProgram("1.jpg");
    const std::string bytes("\xff\xd8\0jpeg\0", 8);
    EXPECT_TRUE(WriteFileBytes(cover, bytes));
    EXPECT_EQ(ReadFileBytes(cover), bytes);
    EXPECT_TRUE(WriteFileBytes(cover, {}));
    EXPECT_TRUE(std::filesystem::exists(dir / "1.jpg"));
    EXPECT_EQ(ReadFileBytes(cover), "");
    EXPECT_TRUE(DeleteFileA(cover));
    EXPECT_FALSE(DeleteFileA(cover)) << "a missing file is reported, and callers ignore it";

    // A 936 file name reaches the file system in UTF-8.
    const Text qr = BesideProgram("二维码图片.bmp"_gbk);
    EXPECT_TRUE(WriteFileBytes(qr, "BM"));
    EXPECT_TRUE(std::filesystem::exists(dir / "二维码图片.bmp"));

    EXPECT_FALSE(WriteFileBytes("", "x"));
    EXPECT_EQ(ReadFileBytes(""), "");
    EXPECT_FALSE(WriteFileBytes(BesideProgram("no-such-folder/1.jpg"), "x"));
    std::filesystem::remove_all(dir);
}

TEST(Files, RunDirectoryIsTheProgramsFolder) {
    SetRunDirectoryForTesting(Text());
    const auto exe = std::filesystem::read_symlink("/proc/self/exe");
    EXPECT_EQ(RunDirectory(), Text(exe.parent_path().string()));
    EXPECT_NE(RunDirectory().str().back(), '/');
}

}  // namespace
}  // namespace tarvelle::platform
