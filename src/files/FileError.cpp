#include "files/FileError.h"

#include <cerrno>

namespace tellurim {

FileCause causeFromErrno(int errnoValue)
{
    switch (errnoValue) {
    case 0:
        return FileCause::None;
    case ENOENT:
        return FileCause::FileNotFound;
    case ENOTDIR:
    case ENAMETOOLONG:
    case ELOOP:
    case EINVAL:
        return FileCause::BadPath;
    case EMFILE:
    case ENFILE:
        return FileCause::TooManyOpenFiles;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
    case EEXIST:
        return FileCause::AccessDenied;
    case EBADF:
        return FileCause::InvalidFile;
    case ESPIPE:
        return FileCause::BadSeek;
    case EIO:
    case ENXIO:
        return FileCause::HardIO;
    case EBUSY:
    case ETXTBSY:
        return FileCause::SharingViolation;
    case ENOLCK:
    case EDEADLK:
        return FileCause::LockViolation;
    case ENOSPC:
    case EFBIG:
    case EDQUOT:
        return FileCause::DiskFull;
    default:
        return FileCause::Generic;
    }
}

FileError fileErrorFromErrno(int errnoValue, const std::string& fileName)
{
    return FileError{causeFromErrno(errnoValue), errnoValue, fileName};
}

std::string standardReportText(const FileError& error)
{
    if (!error.detail.empty()) {
        return error.fileName + " " + error.detail + ".";
    }
    static constexpr const char* kMessages[] = {
        "No error occurred.",
        "An unknown error occurred while accessing %1.",
        "%1 was not found.",
        "%1 contains an invalid path.",
        "%1 could not be opened because there are too many open files.",
        "Access to %1 was denied.",
        "An invalid file handle was associated with %1.",
        "%1 could not be removed because it is the current directory.",
        "%1 could not be created because the directory is full.",
        "Seek failed on %1",
        "A hardware I/O error was reported while accessing %1.",
        "A sharing violation occurred while accessing %1.",
        "A locking violation occurred while accessing %1.",
        "Disk full while accessing %1.",
        "An attempt was made to access %1 past its end.",
    };
    const int code = static_cast<int>(error.cause);
    std::string text = kMessages[(code >= 0 && code <= 14) ? code : 1];
    if (const auto at = text.find("%1"); at != std::string::npos) {
        text.replace(at, 2, error.fileName);
    }
    return text;
}

Message fileErrorMessage(const FileError& error, std::string_view preface)
{
    return Message{Icon::Stop, std::string(kAppName), std::string(preface) + standardReportText(error),
                   Buttons::Ok};
}

}  // namespace tellurim
