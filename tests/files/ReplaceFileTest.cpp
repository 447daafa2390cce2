#include "files/ReplaceFile.h"

#include "support/TestEnvironment.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

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

}  // namespace
}  // namespace tellurim
