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

std::filesystem::path installedModelsDirectory()
{
    std::error_code error;
    const std::filesystem::path executable = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error || executable.empty())
        return {};
    const std::filesystem::path relative{TELLURIM_MODELS_INSTALL_DIR};
    if (relative.is_absolute())
        return relative;
    return executable.parent_path().parent_path() / relative;
}

}  // namespace

std::vector<std::filesystem::path> shippedModelDirectories()
{
    std::vector<std::filesystem::path> directories;
    for (const std::filesystem::path& candidate :
         {installedModelsDirectory(), std::filesystem::path{TELLURIM_SOURCE_MODELS_DIR}}) {
        std::error_code error;
        if (!candidate.empty() && std::filesystem::is_directory(candidate, error))
            directories.push_back(candidate);
    }
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
