#include "files/LocationFile.h"

#include "io/BoundedInput.h"

#include <algorithm>
#include <bit>
#include <cerrno>
#include <utility>

namespace tellurim {

namespace {

void putInt(std::string& out, int32_t value)
{
    const auto bits = static_cast<uint32_t>(value);
    for (int shift = 0; shift < 32; shift += 8) {
        out.push_back(static_cast<char>((bits >> shift) & 0xFFu));
    }
}

void putSingle(std::string& out, float value)
{
    putInt(out, std::bit_cast<int32_t>(value));
}

void putText(std::string& out, const std::string& text)
{
    putInt(out, static_cast<int32_t>(text.size()));
    out.append(text);
    out.push_back('\0');
}

/// Walks the bytes of a file, refusing to step past its end.
class ByteReader {
public:
    explicit ByteReader(std::string_view bytes) : m_bytes(bytes) {}

    bool integer(int32_t& value)
    {
        if (m_bytes.size() < 4) {
            return false;
        }
        uint32_t bits = 0;
        for (int i = 3; i >= 0; --i) {
            bits = (bits << 8) | static_cast<unsigned char>(m_bytes[static_cast<size_t>(i)]);
        }
        value = static_cast<int32_t>(bits);
        m_bytes.remove_prefix(4);
        return true;
    }

    bool single(float& value)
    {
        int32_t bits = 0;
        if (!integer(bits)) {
            return false;
        }
        value = std::bit_cast<float>(bits);
        return true;
    }

    /// A length, then that many bytes and one more (the terminator); the text
    /// ends at its first zero byte, as a reader of zero-terminated texts sees it.
    bool text(std::string& value)
    {
        int32_t length = 0;
        if (!integer(length) || length < 0 || static_cast<size_t>(length) > kMaxLocationText) {
            return false;
        }
        const size_t stored = static_cast<size_t>(length) + 1;
        if (m_bytes.size() < stored) {
            return false;
        }
        const std::string_view raw = m_bytes.substr(0, stored);
        value.assign(raw.substr(0, raw.find('\0')));
        m_bytes.remove_prefix(stored);
        return true;
    }

private:
    std::string_view m_bytes;
};

}  // namespace

bool fitsLocationFile(const LocationRecord& record)
{
    return record.Location.size() <= kMaxLocationText && record.FILENAME.size() <= kMaxLocationText;
}

std::string encodeLocationFile(const LocationRecord& record)
{
    std::string out;
    out.reserve(kLocationFileFixedSize + record.Location.size() + record.FILENAME.size());
    out.append(kLocationSignature);
    putInt(out, kLocationFileVersion);
    putText(out, record.Location);
    putText(out, record.FILENAME);
    putSingle(out, record.DLAT);
    putInt(out, record.ILATD);
    putInt(out, record.ILATM);
    putSingle(out, record.XLATS);
    putSingle(out, record.DLON);
    putInt(out, record.ILOND);  // degrees before minutes in the file
    putInt(out, record.ILONM);
    putSingle(out, record.XLONS);
    putSingle(out, record.ALTF);
    putSingle(out, record.ALTM);
    putInt(out, record.IDAY);
    putInt(out, record.IMONTH);
    putInt(out, record.IYR);
    putInt(out, record.IHEM_NS);
    putInt(out, record.JHEM_EW);
    return out;
}

LocationReadStatus decodeLocationFile(std::string_view bytes, LocationRecord& record)
{
    const size_t signatureBytes = std::min(bytes.size(), kLocationSignature.size());
    if (bytes.substr(0, signatureBytes) != kLocationSignature.substr(0, signatureBytes)) {
        return LocationReadStatus::NotLocationFile;
    }
    if (bytes.size() < kLocationSignature.size()) {
        return LocationReadStatus::Damaged;
    }
    ByteReader in{bytes.substr(kLocationSignature.size())};
    int32_t version = 0;
    if (!in.integer(version)) {
        return LocationReadStatus::Damaged;
    }
    if (version != kLocationFileVersion) {
        return LocationReadStatus::UnknownVersion;
    }
    // Everything goes into a copy first, so that a file ending half way
    // leaves the caller's record whole.
    LocationRecord loaded = record;
    const bool complete = in.text(loaded.Location) && in.text(loaded.FILENAME) &&
                          in.single(loaded.DLAT) && in.integer(loaded.ILATD) &&
                          in.integer(loaded.ILATM) && in.single(loaded.XLATS) &&
                          in.single(loaded.DLON) && in.integer(loaded.ILOND) &&
                          in.integer(loaded.ILONM) && in.single(loaded.XLONS) &&
                          in.single(loaded.ALTF) && in.single(loaded.ALTM) &&
                          in.integer(loaded.IDAY) && in.integer(loaded.IMONTH) &&
                          in.integer(loaded.IYR) && in.integer(loaded.IHEM_NS) &&
                          in.integer(loaded.JHEM_EW);
    if (!complete) {
        return LocationReadStatus::Damaged;
    }
    record = std::move(loaded);
    return LocationReadStatus::Ok;
}

LocationReadStatus readLocationFile(const std::string& path, LocationRecord& record,
                                    FileError& error)
{
    BoundedInput input;
    if (const std::optional<InputError> refused = input.open(path)) {
        switch (refused->problem) {
        case InputProblem::CannotOpen:
            error = fileErrorFromErrno(refused->osError, path);
            return LocationReadStatus::CannotOpen;
        case InputProblem::NotRegularFile:
            if (refused->osError == EISDIR) {
                error = fileErrorFromErrno(EISDIR, path);
                return LocationReadStatus::ReadFailed;
            }
            // A device or a pipe never holds a location, and is not read.
            return LocationReadStatus::NotLocationFile;
        case InputProblem::TooLarge:
            return LocationReadStatus::NotLocationFile;
        case InputProblem::ReadFailed:
            error = fileErrorFromErrno(refused->osError, path);
            return LocationReadStatus::ReadFailed;
        }
    }
    // A valid file is never larger than this; what follows is not looked at.
    std::string bytes;
    if (const std::optional<InputError> failed = input.read(bytes, kLocationFileMaxSize)) {
        error = fileErrorFromErrno(failed->osError, path);
        return LocationReadStatus::ReadFailed;
    }
    input.close();
    return decodeLocationFile(bytes, record);
}

}  // namespace tellurim
