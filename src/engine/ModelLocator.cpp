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

namespace {

// The paths a model name stands for, in the order they are tried.
std::vector<std::filesystem::path> modelCandidates(const std::string& fileName)
{
    if (fileName.empty() || fileName.find('\0') != std::string::npos)
        return {};
    std::vector<std::filesystem::path> candidates{fileName};
    if (fileName.find('/') == std::string::npos)
        for (const std::filesystem::path& directory : shippedModelDirectories())
            candidates.push_back(directory / fileName);
    return candidates;
}

}  // namespace

FilePtr openModelFile(const std::string& fileName)
{
    for (const std::filesystem::path& candidate : modelCandidates(fileName)) {
        if (FilePtr file = openRegularFile(candidate))
            return file;
    }
    return nullptr;
}

std::string locateModelFile(const std::string& fileName)
{
    for (const std::filesystem::path& candidate : modelCandidates(fileName)) {
        if (openRegularFile(candidate)) {
            std::error_code error;
            const std::filesystem::path absolute = std::filesystem::absolute(candidate, error);
            return error ? fileName : absolute.lexically_normal().string();
        }
    }
    return fileName;
}

}  // namespace tellurim
