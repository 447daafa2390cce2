#include "engine/ModelLocator.h"

#include <cerrno>
#include <system_error>

namespace tellurim {

namespace {

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

// Tries the candidates in turn; a missing or unopenable one, or a directory,
// lets the next one be tried. found is the candidate taken, when any.
std::optional<InputError> openFirstCandidate(const std::string& fileName, BoundedInput& input,
                                             std::filesystem::path& found)
{
    std::optional<InputError> failure = InputError{InputProblem::CannotOpen, ENOENT};
    for (const std::filesystem::path& candidate : modelCandidates(fileName)) {
        failure = input.open(candidate.string());
        const bool directory = failure && failure->problem == InputProblem::NotRegularFile
                               && failure->osError == EISDIR;
        if (!failure || (failure->problem != InputProblem::CannotOpen && !directory)) {
            found = candidate;
            return failure;
        }
    }
    return InputError{InputProblem::CannotOpen, failure ? failure->osError : ENOENT};
}

}  // namespace

std::optional<InputError> openModelFile(const std::string& fileName, BoundedInput& input)
{
    std::filesystem::path found;
    return openFirstCandidate(fileName, input, found);
}

std::string locateModelFile(const std::string& fileName)
{
    BoundedInput input;
    std::filesystem::path found;
    if (openFirstCandidate(fileName, input, found))
        return fileName;
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(found, error);
    return error ? fileName : absolute.lexically_normal().string();
}

}  // namespace tellurim
