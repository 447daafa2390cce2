#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tellurim {

/// Appends JSON to a caller's buffer: objects, arrays, texts, numbers,
/// booleans and null, with the commas placed for the caller. Texts are
/// escaped (quotes, backslashes and control characters) and bytes that are
/// not UTF-8 become U+FFFD, so the output is always valid JSON whatever a
/// file name holds. Numbers go through the number-text module; a value that
/// is not finite is written as null.
class JsonWriter {
public:
    explicit JsonWriter(std::string& out) : m_out(out) {}

    JsonWriter& beginObject();
    JsonWriter& endObject();
    JsonWriter& beginArray();
    JsonWriter& endArray();
    /// The name of the next member of the open object.
    JsonWriter& key(std::string_view name);

    JsonWriter& text(std::string_view value);
    /// The shortest fixed-notation text that reads back as the same single.
    JsonWriter& number(float value);
    /// A double with a fixed number of decimals (0 to 9).
    JsonWriter& number(double value, int decimals);
    JsonWriter& integer(int64_t value);
    JsonWriter& boolean(bool value);
    JsonWriter& null();

private:
    void beforeValue();

    std::string& m_out;
    /// One entry per open object or array: whether it has a member yet.
    std::vector<bool> m_hasMember;
    bool m_afterKey = false;
};

/// value as a JSON string literal, quotes included.
void appendJsonString(std::string& out, std::string_view value);

}  // namespace tellurim
