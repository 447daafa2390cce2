#include "files/ReplaceFile.h"

#include "support/HostileInputs.h"
#include "support/TestEnvironment.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tellurim {
namespace {

TEST(ReplaceFile, WritesANewFileAndLeavesNothingElse)
{
    TempDir folder;
    const std::string path = folder.file("New.LOC");
    EXPECT_FALSE(pathExists(path));
    EXPECT_FALSE(replaceFileContents(path, std::string("abc\0def", 7)).has_value());
    EXPECT_TRUE(pathExists(path));
    EXPECT_EQ(readWholeFile(path), std::string("abc\0def", 7));
    EXPECT_EQ(folderEntries(folder.path()), std::vector<std::string>{"New.LOC"});
}

TEST(ReplaceFile, ReplacingKeepsTheOldPermissions)
{
    TempDir folder;
    const std::string path = folder.write("Kept.LOC", "old content that is longer");
    ASSERT_EQ(::chmod(path.c_str(), 0640), 0);
    EXPECT_FALSE(replaceFileContents(path, "new").has_value());
    EXPECT_EQ(readWholeFile(path), "new");
    struct stat info {};
    ASSERT_EQ(::stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640u);
}

TEST(ReplaceFile, AMissingFolderOrAFolderInTheWayFailsBeforeWriting)
{
    TempDir folder;
    const std::string throughMissing = folder.file("no-such-folder/Home.LOC");
    auto failure = replaceFileContents(throughMissing, "x");
    ASSERT_TRUE(failure.has_value());
    EXPECT_EQ(failure->stage, ReplaceStage::Create);
    EXPECT_EQ(failure->error.cause, FileCause::FileNotFound);
    EXPECT_EQ(failure->error.fileName, throughMissing);

    std::filesystem::create_directory(folder / "Taken.LOC");
    failure = replaceFileContents(folder.file("Taken.LOC"), "x");
    ASSERT_TRUE(failure.has_value());
    EXPECT_EQ(failure->stage, ReplaceStage::Create);
    EXPECT_TRUE(std::filesystem::is_directory(folder / "Taken.LOC"));

    failure = replaceFileContents(std::string("bad\0name", 8), "x");
    ASSERT_TRUE(failure.has_value());
    EXPECT_EQ(failure->error.cause, FileCause::BadPath);
}

TEST(ReplaceFile, AReadOnlyFileIsNotReplaced)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "the superuser may write any file";
    TempDir folder;
    const std::string path = folder.write("Locked.LOC", "locked");
    ASSERT_EQ(::chmod(path.c_str(), 0444), 0);
    const auto failure = replaceFileContents(path, "new");
    ASSERT_TRUE(failure.has_value());
    EXPECT_EQ(failure->stage, ReplaceStage::Create);
    EXPECT_EQ(failure->error.cause, FileCause::AccessDenied);
    EXPECT_EQ(readWholeFile(path), "locked");
}

TEST(ReplaceFile, ALinkKeepsPointingAtItsReplacedTarget)
{
    TempDir folder;
    const std::string target = folder.write("real/Home.LOC", "old");
    const std::string link = folder.file("Home.LOC");
    std::filesystem::create_symlink(target, link);
    EXPECT_FALSE(replaceFileContents(link, "new").has_value());
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(readWholeFile(target), "new");
    EXPECT_EQ(folderEntries(folder / "real"), std::vector<std::string>{"Home.LOC"});
}

TEST(ReplaceFile, ADanglingLinkStaysALinkAndItsTargetIsCreated)
{
    TempDir folder;
    std::filesystem::create_directory(folder / "real");
    // A relative link to a relative link, read from each link's own folder.
    std::filesystem::create_symlink("Target.LOC", folder / "real" / "Middle.LOC");
    std::filesystem::create_symlink("real/Middle.LOC", folder / "Home.LOC");
    EXPECT_FALSE(replaceFileContents(folder.file("Home.LOC"), "new").has_value());
    EXPECT_TRUE(std::filesystem::is_symlink(folder / "Home.LOC"));
    EXPECT_TRUE(std::filesystem::is_symlink(folder / "real" / "Middle.LOC"));
    EXPECT_EQ(readWholeFile(folder.file("real/Target.LOC")), "new");
    EXPECT_EQ(folderEntries(folder / "real"), (std::vector<std::string>{"Middle.LOC", "Target.LOC"}));

    // Links that go round in a loop are refused, and stay as they are.
    std::filesystem::create_symlink("Loop2.LOC", folder / "Loop1.LOC");
    std::filesystem::create_symlink("Loop1.LOC", folder / "Loop2.LOC");
    const auto failure = replaceFileContents(folder.file("Loop1.LOC"), "x");
    ASSERT_TRUE(failure.has_value());
    EXPECT_EQ(failure->error.cause, FileCause::BadPath);
    EXPECT_TRUE(std::filesystem::is_symlink(folder / "Loop1.LOC"));
}

TEST(ReplaceFile, AsRootTheReplacedFileKeepsItsOwnerAndGroup)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "only the superuser may give a file away";
    TempDir folder;
    const std::string path = folder.write("Theirs.LOC", "old");
    ASSERT_EQ(::chown(path.c_str(), 4321, 8765), 0);
    ASSERT_EQ(::chmod(path.c_str(), 0604), 0);
    EXPECT_FALSE(replaceFileContents(path, "new").has_value());
    struct stat info {};
    ASSERT_EQ(::stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_uid, 4321u);
    EXPECT_EQ(info.st_gid, 8765u);
    EXPECT_EQ(info.st_mode & 07777, 0604u);
    EXPECT_EQ(readWholeFile(path), "new");
}

TEST(ReplaceFile, PlantedTemporaryNamesBlockNothing)
{
    TempDir folder;
    const std::string path = folder.write("Home.LOC", "old");
    // The names the program once used in turn, taken in advance by someone else.
    for (int i = 0; i < 100; ++i)
        folder.write(".tellurim-" + std::to_string(::getpid()) + "-" + std::to_string(i) + ".tmp", "planted");
    EXPECT_FALSE(replaceFileContents(path, "new").has_value());
    EXPECT_EQ(readWholeFile(path), "new");
    EXPECT_EQ(folderEntries(folder.path()).size(), 101u) << "nothing left beside the planted names";
}

TEST(ReplaceFile, WhatTheFileIsDecidesHowItIsWrittenNotItsFolder)
{
    TempDir folder;
    EXPECT_EQ(writeWayFor(folder.file("new.csv")), WriteWay::Replace);
    EXPECT_EQ(writeWayFor(folder.write("old.csv", "x")), WriteWay::Replace);
    EXPECT_EQ(writeWayFor(folder.path().string()), WriteWay::Replace) << "refused later as a folder";
    EXPECT_EQ(writeWayFor(makeFifo(folder.path(), "pipe")), WriteWay::InPlace);
    EXPECT_EQ(writeWayFor("/dev/null"), WriteWay::InPlace);
    std::filesystem::create_symlink("/dev/null", folder / "off.INI");
    EXPECT_EQ(writeWayFor(folder.file("off.INI")), WriteWay::InPlace);
    // A descriptor's name reaches the open descriptor even when it is a file.
    const int fd = ::open(folder.file("old.csv").c_str(), O_WRONLY | O_CLOEXEC);
    ASSERT_GE(fd, 0);
    EXPECT_EQ(writeWayFor("/proc/self/fd/" + std::to_string(fd)), WriteWay::InPlace);
    ::close(fd);
    // A regular file under /dev (shared memory) is replaced whole like any other.
    if (std::filesystem::is_directory("/dev/shm")) {
        const std::string shared = "/dev/shm/tellurim-test-" + std::to_string(::getpid());
        writeWholeFile(shared, "old");
        EXPECT_EQ(writeWayFor(shared), WriteWay::Replace);
        std::filesystem::remove(shared);
    }
}

TEST(ReplaceFile, AFolderInTheWayIsNamedAsAFolder)
{
    TempDir folder;
    const auto failure = replaceFileContents(folder.path().string(), "x");
    ASSERT_TRUE(failure.has_value());
    EXPECT_EQ(standardReportText(failure->error), folder.path().string() + " is a folder.");
}

}  // namespace
}  // namespace tellurim
