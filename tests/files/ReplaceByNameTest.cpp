// A library that writes the new content by the temporary file's name (GDAL
// does) may put a new file there: what it wrote replaces the old file, with
// the old file's permissions, and the old file stays until then.

#include "files/ReplaceFile.h"
#include "support/TestEnvironment.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sys/stat.h>

namespace tellurim {
namespace {

TEST(ReplaceByName, ANewFileUnderTheTemporaryNameIsCommittedWithTheOldPermissions)
{
    TempDir dir;
    const std::string path = dir.write("layer.tif", "old\n");
    ASSERT_EQ(::chmod(path.c_str(), 0640), 0);
    PendingReplacement pending;
    ASSERT_FALSE(pending.begin(path, PendingReplacement::Temporary::Named));
    const std::string temporary = pending.temporaryPath();
    ASSERT_FALSE(temporary.empty());
    ASSERT_EQ(std::remove(temporary.c_str()), 0);  // the library starts afresh
    std::ofstream(temporary, std::ios::binary) << "new\n";
    EXPECT_EQ(readWholeFile(path), "old\n");
    ASSERT_FALSE(pending.commit());
    EXPECT_EQ(readWholeFile(path), "new\n");
    struct stat info {};
    ASSERT_EQ(::stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640u);
    EXPECT_EQ(folderEntries(dir.path()), std::vector<std::string>{"layer.tif"});
}

}  // namespace
}  // namespace tellurim
