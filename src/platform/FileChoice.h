#pragma once

#include "platform/Interaction.h"

#include <optional>
#include <string>

namespace tellurim {

/// Whether path lies in a folder of the kernel's own files (/proc, /sys,
/// /dev, or any folder on such a file system, symbolic links followed):
/// reading there can block for good (/proc/kmsg), so no file dialog starts
/// there and no such path is remembered for the next dialog.
bool inSystemFolder(const std::string& path);

/// Makes the folder holding path the process's current directory, so that
/// relative names (a location saved as "<name>.LOC", a bare model name) are
/// resolved where the user last chose a file. A path without a folder, a
/// folder that cannot be entered or a system folder (inSystemFolder) leaves
/// the current directory as it is.
/// Returns whether the current directory was changed.
bool enterFolderOf(const std::string& path);

/// Every file dialog of the program goes through here: shows the dialog and,
/// when the user confirms, enters the chosen file's folder (enterFolderOf)
/// before returning the full path. Nothing when the user cancelled.
std::optional<std::string> chooseFileAndEnterFolder(Interaction& interaction,
                                                    const FileRequest& request);

}  // namespace tellurim
