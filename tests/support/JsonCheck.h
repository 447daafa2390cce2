#pragma once

#include <cctype>
#include <string_view>

namespace tellurim {

/// A strict reader of one JSON value (RFC 8259 grammar, no extensions),
/// used only to tell whether a text is well-formed.
class JsonCheck {
public:
    /// True when text is exactly one JSON value, blanks around it allowed.
    static bool isValue(std::string_view text)
    {
        JsonCheck check(text);
        check.blanks();
        if (!check.value())
            return false;
        check.blanks();
        return check.m_at == text.size();
    }

private:
    explicit JsonCheck(std::string_view text) : m_text(text) {}

    bool more() const { return m_at < m_text.size(); }
    char peek() const { return more() ? m_text[m_at] : '\0'; }
    bool take(char c)
    {
        if (peek() != c)
            return false;
        ++m_at;
        return true;
    }
    bool word(std::string_view w)
    {
        if (m_text.substr(m_at, w.size()) != w)
            return false;
        m_at += w.size();
        return true;
    }
    void blanks()
    {
        while (more() && (peek() == ' ' || peek() == '\t' || peek() == '\n' || peek() == '\r'))
            ++m_at;
    }
    bool digits()
    {
        const size_t start = m_at;
        while (std::isdigit(static_cast<unsigned char>(peek())))
            ++m_at;
        return m_at > start;
    }
    bool number()
    {
        take('-');
        if (!take('0') && !digits())
            return false;
        if (take('.') && !digits())
            return false;
        if (take('e') || take('E')) {
            if (!take('+'))
                take('-');
            return digits();
        }
        return true;
    }
    bool string()
    {
        if (!take('"'))
            return false;
        while (more()) {
            const auto c = static_cast<unsigned char>(m_text[m_at++]);
            if (c == '"')
                return true;
            if (c < 0x20)
                return false;
            if (c == '\\') {
                const char e = peek();
                ++m_at;
                if (e == 'u') {
                    for (int i = 0; i < 4; ++i, ++m_at)
                        if (!std::isxdigit(static_cast<unsigned char>(peek())))
                            return false;
                } else if (std::string_view("\"\\/bfnrt").find(e) == std::string_view::npos) {
                    return false;
                }
            }
        }
        return false;
    }
    template <class Member>
    bool sequence(char close, Member member)
    {
        blanks();
        if (take(close))
            return true;
        do {
            blanks();
            if (!member())
                return false;
            blanks();
        } while (take(','));
        return take(close);
    }
    bool value()
    {
        switch (peek()) {
        case '{':
            ++m_at;
            return sequence('}', [this] {
                if (!string())
                    return false;
                blanks();
                if (!take(':'))
                    return false;
                blanks();
                return value();
            });
        case '[':
            ++m_at;
            return sequence(']', [this] { return value(); });
        case '"':
            return string();
        case 't':
            return word("true");
        case 'f':
            return word("false");
        case 'n':
            return word("null");
        default:
            return number();
        }
    }

    std::string_view m_text;
    size_t m_at = 0;
};

}  // namespace tellurim
