#include "engine/ModelLocator.h"

#include <system_error>

namespace tellurim {

namespace {

FilePtr openRegularFile(const std::filesystem::path& path)
{
    std::error_code error;
    // fopen succeeds on a directory here, which would then fail as a
    // "read" error; a directory is simply not a model file.
    if (std::filesystem::is_directory(path, error))
        return nullptr;
    return FilePtr{std::fopen(path.c_str(), "rb")};
}

// The models folder of the prefix the running executable belongs to. The
// build copies the models to the same place relative to its bin folder, so
// this holds in the build tree as well, and nothing points into the sources.
std::filesystem::path shippedModelsDirectory()
{
    const std::filesystem::path relative{TELLURIM_MODELS_FROM_BINDIR};
    if (relative.is_absolute())
        return relative;
    std::error_code error;
    const std::filesystem::path executable = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error || executable.empty())
        return {};
    return (executable.parent_path() / relative).lexically_normal();
}

}  // namespace

std::vector<std::filesystem::path> shippedModelDirectories()
{
    std::vector<std::filesystem::path> directories;
    const std::filesystem::path candidate = shippedModelsDirectory();
    std::error_code error;
    if (!candidate.empty() && std::filesystem::is_directory(candidate, error))
        directories.push_back(candidate);
    return directories;
}

FilePtr openModelFile(const std::string& fileName)
{
    if (fileName.empty() || fileName.find('\0') != std::string::npos)
        return nullptr;
    if (FilePtr file = openRegularFile(fileName))
        return file;
    if (fileName.find('/') != std::string::npos)
        return nullptr;
    for (const std::filesystem::path& directory : shippedModelDirectories()) {
        if (FilePtr file = openRegularFile(directory / fileName))
            return file;
    }
    return nullptr;
}

}  // namespace tellurim
