// Display texts of the shell layer.
#pragma once

#include "shell/VirtualWideStrings.h"

namespace tarvola {

// Titles of the built-in detail columns 0 .. 9 (-1 is also "Name"); "" for any other index.
WideString BuiltInColumnTitle(int column);
constexpr int kBuiltInColumnCount = 5; // the ones a folder without columns of its own shows

inline constexpr char16_t STR_INVALIDPATH[] = u"Invalid Path";
inline constexpr char16_t STR_CANNOTFIND[] = u"Windows can not find \"";
inline constexpr char16_t STR_CHECKSPELLING[] = u"\" Please check the spelling and try again.";

} // namespace tarvola
