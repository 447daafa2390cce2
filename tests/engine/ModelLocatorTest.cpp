#include "EngineTestSupport.h"

#include "engine/ModelLocator.h"

namespace tellurim::test {
namespace {

TEST(ModelLocator, BareNameFallsBackToShippedModelsUnlessTheWorkingDirectoryHasIt)
{
    TempDir dir;
    ScopedCurrentDir inside{dir.path()};
    RecordingSink sink;
    ModelEngine engine{sink};
    std::string name = kDefaultModelFile;
    engine.readModelFile(12, name);
    EXPECT_TRUE(engine.isLoaded());
    EXPECT_EQ(name, kDefaultModelFile);  // stays bare
    EXPECT_EQ(engine.model()->epoch(), 2025.0f);
    EXPECT_TRUE(sink.entries.empty());

    dir.write(kDefaultModelFile, modelText(headerRecord("1990.0")));
    engine.readModelFile(12, name);
    ASSERT_TRUE(engine.isLoaded());
    EXPECT_EQ(engine.model()->epoch(), 1990.0f);
}

TEST(ModelLocator, NamesWithADirectoryOrUnknownNamesAreOpenFailures)
{
    TempDir dir;
    ScopedCurrentDir inside{dir.path()};
    // A name with a directory is not looked up elsewhere.
    for (const std::string& missing : {dir.file(kDefaultModelFile), std::string("NOSUCH.COF")}) {
        RecordingSink sink;
        ModelEngine engine{sink};
        std::string name = missing;
        engine.readModelFile(12, name);
        EXPECT_FALSE(engine.isLoaded());
        EXPECT_EQ(name, "Last model selected was not found");
        ASSERT_EQ(sink.entries.size(), 1u);
        EXPECT_EQ(sink.entries[0].text, "ERROR OPENING FILE:;" + missing);
    }
}

TEST(ModelLocator, ShippedDirectoriesExistAndHoldTheDefaultModel)
{
    const std::vector<std::filesystem::path> directories = shippedModelDirectories();
    ASSERT_FALSE(directories.empty());
    bool found = false;
    for (const std::filesystem::path& directory : directories) {
        EXPECT_TRUE(std::filesystem::is_directory(directory));
        found = found || std::filesystem::exists(directory / kDefaultModelFile);
    }
    EXPECT_TRUE(found);
}

}  // namespace
}  // namespace tellurim::test
