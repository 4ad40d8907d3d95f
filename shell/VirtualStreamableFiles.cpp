// The file side of the streamable bases, over files opened by UTF-16 names.
#include "shell/VirtualStreamable.h"
#include "shell/VirtualWideFileStream.h"

namespace tarvola {

void TStreamableClass::LoadFromFile(const WideString& fileName, std::int32_t version,
                                    bool readVerFromStream) {
    TWideFileStream stream(fileName, fmOpenRead | fmShareExclusive);
    LoadFromStream(stream, version, readVerFromStream);
}

void TStreamableClass::SaveToFile(const WideString& fileName, std::int32_t version, bool writeVerToStream) {
    SaveWideFileWhole(fileName, [&](TStream& stream) { SaveToStream(stream, version, writeVerToStream); });
}

void TStreamableList::LoadFromFile(const WideString& fileName, std::int32_t, bool) {
    TWideFileStream stream(fileName, fmOpenRead | fmShareExclusive);
    LoadFromStream(stream, 0, false);
}

void TStreamableList::SaveToFile(const WideString& fileName, std::int32_t, bool) {
    SaveWideFileWhole(fileName, [&](TStream& stream) { SaveToStream(stream, 0, false); });
}

} // namespace tarvola
