#include "platform/FileChoice.h"

#include <array>
#include <filesystem>
#include <sys/vfs.h>
#include <system_error>

namespace tellurim {
namespace {

namespace fs = std::filesystem;

// The nearest folder of path that exists, links followed.
fs::path existingFolder(const fs::path& path)
{
    std::error_code error;
    fs::path folder = fs::weakly_canonical(fs::absolute(path, error), error);
    if (error)
        return {};
    while (!folder.empty()) {
        if (fs::is_directory(folder, error))
            return folder;
        if (folder == folder.parent_path())
            break;
        folder = folder.parent_path();
    }
    return folder;
}

bool startsWith(const fs::path& path, const fs::path& prefix)
{
    auto p = path.begin();
    for (auto q = prefix.begin(); q != prefix.end(); ++q, ++p)
        if (p == path.end() || *p != *q)
            return false;
    return true;
}

// File systems that hold the kernel's state rather than files.
bool kernelFileSystem(const fs::path& folder)
{
    struct statfs info {};
    if (::statfs(folder.c_str(), &info) != 0)
        return false;
    constexpr std::array<unsigned long, 10> kTypes{
        0x9fa0,      // proc
        0x62656572,  // sysfs
        0x1cd1,      // devpts
        0x64626720,  // debugfs
        0x74726163,  // tracefs
        0x73636673,  // securityfs
        0x27e0eb,    // cgroup
        0x63677270,  // cgroup2
        0xcafe4a11,  // bpf
        0x6e736673,  // nsfs
    };
    const auto type = static_cast<unsigned long>(info.f_type);
    for (const unsigned long known : kTypes)
        if (type == known)
            return true;
    return false;
}

}  // namespace

bool inSystemFolder(const std::string& path)
{
    if (path.empty())
        return false;
    std::error_code error;
    const fs::path lexical = fs::absolute(fs::path(path), error).lexically_normal();
    const fs::path folder = existingFolder(path);
    for (const char* root : {"/proc", "/sys", "/dev"})
        if (startsWith(lexical, root) || (!folder.empty() && startsWith(folder, root)))
            return true;
    return !folder.empty() && kernelFileSystem(folder);
}

bool enterFolderOf(const std::string& path)
{
    const std::filesystem::path folder = std::filesystem::path(path).parent_path();
    if (folder.empty() || inSystemFolder(path))
        return false;
    std::error_code error;
    std::filesystem::current_path(folder, error);
    return !error;
}

std::optional<std::string> chooseFileAndEnterFolder(Interaction& interaction,
                                                    const FileRequest& request)
{
    std::optional<std::string> chosen = interaction.chooseFile(request);
    if (chosen)
        enterFolderOf(*chosen);
    return chosen;
}

}  // namespace tellurim
