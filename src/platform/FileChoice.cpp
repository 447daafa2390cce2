#include "platform/FileChoice.h"

#include <filesystem>
#include <system_error>

namespace tellurim {

bool enterFolderOf(const std::string& path)
{
    const std::filesystem::path folder = std::filesystem::path(path).parent_path();
    if (folder.empty())
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
