#include "files/JsonWriter.h"

#include "record/NumberText.h"

#include <cmath>

namespace tellurim {

namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";  // U+FFFD in UTF-8

// The length of the well-formed UTF-8 sequence at text[at], 0 if there is none.
size_t utf8Length(std::string_view text, size_t at)
{
    const auto byte = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(at);
    size_t length = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;   // no overlong forms
        high = lead == 0xED ? 0x9F : 0xBF;  // no surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;  // nothing beyond U+10FFFF
    } else {
        return 0;
    }
    if (at + length > text.size() || byte(at + 1) < low || byte(at + 1) > high) {
        return 0;
    }
    for (size_t i = 2; i < length; ++i) {
        if (byte(at + i) < 0x80 || byte(at + i) > 0xBF) {
            return 0;
        }
    }
    return length;
}

void appendEscaped(std::string& out, unsigned char c)
{
    switch (c) {
    case '"': out.append("\\\""); return;
    case '\\': out.append("\\\\"); return;
    case '\n': out.append("\\n"); return;
    case '\r': out.append("\\r"); return;
    case '\t': out.append("\\t"); return;
    default: break;
    }
    if (c < 0x20 || c == 0x7F) {
        constexpr std::string_view kHex = "0123456789abcdef";
        out.append("\\u00");
        out.push_back(kHex[c >> 4]);
        out.push_back(kHex[c & 0x0F]);
        return;
    }
    out.push_back(static_cast<char>(c));
}

}  // namespace

void appendJsonString(std::string& out, std::string_view value)
{
    out.push_back('"');
    for (size_t at = 0; at < value.size();) {
        const auto c = static_cast<unsigned char>(value[at]);
        if (c < 0x80) {
            appendEscaped(out, c);
            ++at;
        } else if (const size_t length = utf8Length(value, at); length > 0) {
            out.append(value.substr(at, length));
            at += length;
        } else {
            out.append(kReplacement);
            ++at;
        }
    }
    out.push_back('"');
}

void JsonWriter::beforeValue()
{
    if (m_afterKey) {
        m_afterKey = false;
        return;
    }
    if (!m_hasMember.empty()) {
        if (m_hasMember.back()) {
            m_out.push_back(',');
        }
        m_hasMember.back() = true;
    }
}

JsonWriter& JsonWriter::beginObject()
{
    beforeValue();
    m_out.push_back('{');
    m_hasMember.push_back(false);
    return *this;
}

JsonWriter& JsonWriter::endObject()
{
    m_out.push_back('}');
    m_hasMember.pop_back();
    return *this;
}

JsonWriter& JsonWriter::beginArray()
{
    beforeValue();
    m_out.push_back('[');
    m_hasMember.push_back(false);
    return *this;
}

JsonWriter& JsonWriter::endArray()
{
    m_out.push_back(']');
    m_hasMember.pop_back();
    return *this;
}

JsonWriter& JsonWriter::key(std::string_view name)
{
    beforeValue();
    appendJsonString(m_out, name);
    m_out.push_back(':');
    m_afterKey = true;
    return *this;
}

JsonWriter& JsonWriter::text(std::string_view value)
{
    beforeValue();
    appendJsonString(m_out, value);
    return *this;
}

JsonWriter& JsonWriter::number(float value)
{
    if (!std::isfinite(value)) {
        return null();
    }
    beforeValue();
    m_out.append(formatShortestFixed(value));
    return *this;
}

JsonWriter& JsonWriter::number(double value, int decimals)
{
    if (!std::isfinite(value)) {
        return null();
    }
    beforeValue();
    appendFixed(m_out, value, decimals);
    return *this;
}

JsonWriter& JsonWriter::integer(int64_t value)
{
    beforeValue();
    appendInteger(m_out, value);
    return *this;
}

JsonWriter& JsonWriter::boolean(bool value)
{
    beforeValue();
    m_out.append(value ? "true" : "false");
    return *this;
}

JsonWriter& JsonWriter::null()
{
    beforeValue();
    m_out.append("null");
    return *this;
}

}  // namespace tellurim
