#pragma once

#include <cstddef>
#include <string_view>

namespace tellurim {

/// The length of the well-formed UTF-8 character at the start of text: 1 for
/// an ASCII byte, 2 to 4 for a multi-byte sequence, 0 when it does not start
/// with one (a stray continuation byte, an overlong form, a surrogate, a
/// value beyond U+10FFFF, or a sequence cut short).
std::size_t utf8Length(std::string_view text);

}  // namespace tellurim
