#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cerrno>
#include <filesystem>
#include <string>

#include "export/atomic_file.h"
#include "export/export_test_support.h"
#include "support/test_support.h"

namespace arbolix {
namespace {

using test::FolderEntries;
using test::ReadFileBytes;
using test::WriteFileBytes;
using Names = std::vector<std::string>;

TEST(AtomicFile, TheTargetChangesOnlyAtCommit) {
    test::TempDir dir;
    const std::string target = dir.file("page.htm").string();
    ASSERT_TRUE(WriteFileBytes(target, "old content, longer than the new one"));
    ASSERT_FALSE(WriteFileAtomically(target, std::string("new\0bytes", 9)).failed());
    EXPECT_EQ(ReadFileBytes(target), std::string("new\0bytes", 9));

    AtomicFile file;
    ASSERT_TRUE(file.open(target));
    // The temporary file lives beside the target, so the rename stays in one file system.
    EXPECT_EQ(std::filesystem::path(file.temporaryPath()).parent_path(), dir.path());
    std::string expected;
    for (int line = 0; line < 20000; ++line) { // well beyond one buffer
        ASSERT_TRUE(file.print("<TR><TD>%d</TD><TD>%s</TD></TR>\n", line, "Dupont"));
        expected += "<TR><TD>" + std::to_string(line) + "</TD><TD>Dupont</TD></TR>\n";
    }
    const std::string longLine(3000, 'x'); // longer than the formatting buffer
    ASSERT_TRUE(file.print("%s|%d\n", longLine.c_str(), 7));
    expected += longLine + "|7\n";
    EXPECT_EQ(ReadFileBytes(target), std::string("new\0bytes", 9));

    ASSERT_TRUE(file.commit()) << file.error().describe();
    EXPECT_EQ(ReadFileBytes(target), expected);
    EXPECT_EQ(FolderEntries(dir.path()), Names{"page.htm"});
}

TEST(AtomicFile, AnUncommittedFileIsDroppedWithoutTouchingTheTarget) {
    test::TempDir dir;
    const std::string existing = dir.file("a.bmp").string();
    ASSERT_TRUE(WriteFileBytes(existing, "picture"));
    {
        AtomicFile file;
        ASSERT_TRUE(file.open(existing));
        ASSERT_TRUE(file.write(std::string(200000, 'z')));
    }
    AtomicFile file;
    ASSERT_TRUE(file.open(dir.file("new.bmp").string()));
    ASSERT_TRUE(file.write("data"));
    file.abandon();
    EXPECT_FALSE(file.commit());
    EXPECT_EQ(ReadFileBytes(existing), "picture");
    EXPECT_EQ(FolderEntries(dir.path()), Names{"a.bmp"});
}

TEST(AtomicFile, OpenFailuresNameTheStepAndCreateNothing) {
    test::TempDir dir;
    const FileError missing = WriteFileAtomically(dir.file("absent/x.png").string(), "data");
    EXPECT_EQ(missing.step, FileStep::Open);
    EXPECT_EQ(missing.code, ENOENT);
    EXPECT_NE(missing.describe().find("absent/x.png"), std::string::npos);

    std::filesystem::create_directory(dir.file("folder"));
    const FileError folder = WriteFileAtomically(dir.file("folder").string(), "data");
    EXPECT_EQ(folder.step, FileStep::Open);
    EXPECT_EQ(folder.code, EISDIR);
    EXPECT_TRUE(std::filesystem::is_empty(dir.file("folder")));

    EXPECT_EQ(WriteFileAtomically("", "data").step, FileStep::Open);
    EXPECT_EQ(FolderEntries(dir.path()), Names{"folder"});
}

TEST(AtomicFile, AFullDiskKeepsTheOldFileAndRefusesLaterWrites) {
    test::TempDir dir;
    const std::string target = dir.file("index.htm").string();
    const std::string old(5000, 'o');
    ASSERT_TRUE(WriteFileBytes(target, old));
    {
        test::FileSizeLimit limit(4096);
        ASSERT_TRUE(limit.active());
        AtomicFile file;
        ASSERT_TRUE(file.open(target));
        // The buffer hides the failure until it is flushed, at a later write or at the commit.
        const bool wrote = file.write(std::string(100000, 'n'));
        const bool committed = wrote && file.commit();
        EXPECT_FALSE(committed);
        EXPECT_EQ(file.error().step, FileStep::Write);
        EXPECT_EQ(file.error().code, EFBIG);
        EXPECT_FALSE(file.write("more"));
        EXPECT_FALSE(file.commit());
        EXPECT_EQ(file.error().code, EFBIG); // the first failure is kept
    }
    EXPECT_EQ(ReadFileBytes(target), old);
    EXPECT_EQ(FolderEntries(dir.path()), Names{"index.htm"});
}

TEST(AtomicFile, ReplacingKeepsPermissionsAndWritesThroughLinks) {
    test::TempDir dir;
    const std::filesystem::path real = dir.file("real.png");
    ASSERT_TRUE(WriteFileBytes(real, "old"));
    ASSERT_EQ(::chmod(real.c_str(), 0640), 0);
    std::filesystem::create_symlink(real, dir.file("link.png"));

    ASSERT_FALSE(WriteFileAtomically(dir.file("link.png").string(), "new").failed());
    EXPECT_TRUE(std::filesystem::is_symlink(dir.file("link.png")));
    EXPECT_EQ(ReadFileBytes(real), "new");
    struct stat status {};
    ASSERT_EQ(::stat(real.c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 07777, 0640u);
    EXPECT_EQ(FolderEntries(dir.path()), (Names{"link.png", "real.png"}));
}

} // namespace
} // namespace arbolix
