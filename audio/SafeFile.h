// Writes a file for the user whole or not at all: the content goes to a temporary file beside the target,
// which replaces the target only once it is complete and closed. A failure at any step leaves the old file
// as it was, removes the temporary file and raises.
#pragma once

#include "audio/Streams.h"

#include <functional>
#include <string>

namespace tarvola {

// Calls writeContent with a stream over the temporary file, then puts that file in place of fileName.
// Raises StreamError (or whatever writeContent raises) when the file cannot be written completely.
void SaveFileWhole(const std::string& fileName, const std::function<void(TStream&)>& writeContent);

// The name of the temporary file SaveFileWhole writes for fileName.
std::string TemporaryNameFor(const std::string& fileName);

} // namespace tarvola
