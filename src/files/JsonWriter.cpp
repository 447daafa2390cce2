#include "files/JsonWriter.h"

#include "record/NumberText.h"
#include "record/Utf8.h"

#include <cmath>

namespace tellurim {

namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";  // U+FFFD in UTF-8

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
        } else if (const size_t length = utf8Length(value.substr(at)); length > 0) {
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
