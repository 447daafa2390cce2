#include "EngineTestSupport.h"

#include "engine/ModelLocator.h"

namespace tellurim::test {
namespace {

/// Runs the test body in another working directory and always returns.
class WorkingDirectory {
public:
    explicit WorkingDirectory(const std::filesystem::path& path) : m_previous(std::filesystem::current_path())
    {
        std::filesystem::current_path(path);
    }
    ~WorkingDirectory() { std::filesystem::current_path(m_previous); }
    WorkingDirectory(const WorkingDirectory&) = delete;
    WorkingDirectory& operator=(const WorkingDirectory&) = delete;

private:
    std::filesystem::path m_previous;
};

TEST(ModelLocator, BareNameFallsBackToShippedModelsAndStaysBare)
{
    TempDir dir;
    WorkingDirectory inside{dir.path()};
    RecordingSink sink;
    ModelEngine engine{sink};
    std::string name = kDefaultModelFile;
    engine.readModelFile(12, name);
    EXPECT_TRUE(engine.isLoaded());
    EXPECT_EQ(name, kDefaultModelFile);
    EXPECT_EQ(engine.model().epoch, 2025.0f);
    EXPECT_TRUE(sink.entries.empty());
}

TEST(ModelLocator, FileInTheWorkingDirectoryWinsOverTheShippedOne)
{
    TempDir dir;
    dir.write(kDefaultModelFile, headerRecord("1990.0") + "\n"
                                     + coefficientRecord(1, 0, -30000.0, 0.0, 0.0, 0.0) + "\n"
                                     + kEndRecord + "\n");
    WorkingDirectory inside{dir.path()};
    RecordingSink sink;
    ModelEngine engine{sink};
    std::string name = kDefaultModelFile;
    engine.readModelFile(12, name);
    ASSERT_TRUE(engine.isLoaded());
    EXPECT_EQ(engine.model().epoch, 1990.0f);
}

TEST(ModelLocator, NameWithDirectoryIsNotLookedUpElsewhere)
{
    TempDir dir;
    RecordingSink sink;
    ModelEngine engine{sink};
    const std::string missing = (dir.path() / kDefaultModelFile).string();
    std::string name = missing;
    engine.readModelFile(12, name);
    EXPECT_FALSE(engine.isLoaded());
    EXPECT_EQ(name, "Last model selected was not found");
    ASSERT_EQ(sink.entries.size(), 1u);
    EXPECT_EQ(sink.entries[0].text, "ERROR OPENING FILE:;" + missing);
}

TEST(ModelLocator, UnknownBareNameIsAnOpenFailure)
{
    TempDir dir;
    WorkingDirectory inside{dir.path()};
    RecordingSink sink;
    ModelEngine engine{sink};
    std::string name = "NOSUCH.COF";
    engine.readModelFile(12, name);
    EXPECT_FALSE(engine.isLoaded());
    ASSERT_EQ(sink.entries.size(), 1u);
    EXPECT_EQ(sink.entries[0].text, "ERROR OPENING FILE:;NOSUCH.COF");
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
