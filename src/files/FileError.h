#pragma once

#include "platform/Interaction.h"

#include <string>
#include <string_view>

namespace tellurim {

/// Cause codes of a failed file operation, as the standard report numbers them.
enum class FileCause : int {
    None = 0,
    Generic = 1,
    FileNotFound = 2,
    BadPath = 3,
    TooManyOpenFiles = 4,
    AccessDenied = 5,
    InvalidFile = 6,
    RemoveCurrentDir = 7,
    DirectoryFull = 8,
    BadSeek = 9,
    HardIO = 10,
    SharingViolation = 11,
    LockViolation = 12,
    DiskFull = 13,
    EndOfFile = 14,
};

/// A failed open, read or write: cause, the operating system's error number
/// (-1 when there is none) and the file's name.
struct FileError {
    FileCause cause = FileCause::None;
    int osError = -1;
    std::string fileName;
    /// The true reason where the cause code would name a wrong one, said of
    /// the file after its name: "is a folder". Empty for the standard text.
    std::string detail{};
};

/// Maps an errno value to its cause code.
FileCause causeFromErrno(int errnoValue);

/// A FileError for errno as it stands now.
FileError fileErrorFromErrno(int errnoValue, const std::string& fileName);

/// The text of the standard report for a file error that ends a command:
/// the cause's message with the file's name filled in, or, when the error
/// has a detail, the name and the detail ("out is a folder.").
std::string standardReportText(const FileError& error);

/// The box every file error is shown in: stop icon, the application's name
/// as caption, preface (when given) and then the standard report text.
Message fileErrorMessage(const FileError& error, std::string_view preface = {});

}  // namespace tellurim
