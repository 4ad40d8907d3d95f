// SaveFileWhole: a file for the user written through a stream, whole or not at all. The stream collects the
// content in memory; base/WholeFile.h then writes it beside the target and puts it in place only once it is
// complete, so a failure at any step leaves the old file as it was and no temporary file behind.
#pragma once

#include "audio/Streams.h"
#include "base/WholeFile.h"

#include <functional>
#include <string>

namespace tarvola {

// Calls writeContent with a stream, then writes what it wrote as fileName. Raises StreamError (or whatever
// writeContent raises) when the file cannot be written completely; the old file then stays as it was.
void SaveFileWhole(const std::string& fileName, const std::function<void(TStream&)>& writeContent);

} // namespace tarvola
