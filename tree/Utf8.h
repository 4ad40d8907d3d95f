// UTF-16 text to UTF-8 bytes, for the HTML export and anything else that hands text to UTF-8 readers.
#pragma once

#include <string>
#include <string_view>

namespace tarvola {

// Standard UTF-8 of a UTF-16 text. A high surrogate (D800-DBFF) followed by a low one (DC00-DFFF) forms one
// code point of four bytes; any surrogate without its partner is left out, so the result is always valid
// UTF-8. (Natively wchar_t is wider: a unit above FFFF is taken as a code point when it is one.)
std::string EncodeUTF8(std::wstring_view text);

} // namespace tarvola
