#include "shell/VirtualStreamable.h"

#include "shell/VirtualPIDLTools.h"

namespace tarvola {

void TStreamableClass::LoadFromStream(TStream& stream, std::int32_t version, bool readVerFromStream) {
    streamVersion_ = readVerFromStream ? ReadInt32(stream) : version;
}

void TStreamableClass::SaveToStream(TStream& stream, std::int32_t version, bool writeVerToStream) {
    if (writeVerToStream)
        WriteInt32(stream, version);
    streamVersion_ = version;
}

void TStreamableList::LoadFromStream(TStream& stream, std::int32_t version, bool readVerFromStream) {
    Clear();
    streamVersion_ = readVerFromStream ? ReadInt32(stream) : version;
}

void TStreamableList::SaveToStream(TStream& stream, std::int32_t version, bool writeVerToStream) {
    if (writeVerToStream)
        WriteInt32(stream, version);
    streamVersion_ = version;
}

} // namespace tarvola
