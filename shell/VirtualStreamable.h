// Bases of persisted objects and lists: a descendant calls the base's stream operation first, then reads or
// writes its own fields. When asked to, the base puts a little-endian Int32 version word before them.
#pragma once

#include "shell/VirtualWideStrings.h"

#include <cstdint>

namespace tarvola {

class TStream;

class TStreamableClass {
public:
    virtual ~TStreamableClass() = default;

    std::int32_t StreamVersion() const { return streamVersion_; }

    // Files by UTF-16 name (Windows only); saving replaces the file only when it is complete. They go
    // through the stream operations, which are what descendants override.
    void LoadFromFile(const WideString& fileName, std::int32_t version, bool readVerFromStream);
    virtual void LoadFromStream(TStream& stream, std::int32_t version, bool readVerFromStream);
    void SaveToFile(const WideString& fileName, std::int32_t version, bool writeVerToStream);
    virtual void SaveToStream(TStream& stream, std::int32_t version, bool writeVerToStream);

private:
    std::int32_t streamVersion_ = -1;
};

// The same for lists. Loading clears the list first. A list's file carries no version word: the file
// operations always stream with version 0 and no word, whatever they are given (saved files rely on it).
class TStreamableList {
public:
    virtual ~TStreamableList() = default;

    std::int32_t StreamVersion() const { return streamVersion_; }
    virtual void Clear() {}

    void LoadFromFile(const WideString& fileName, std::int32_t version, bool readVerFromStream);
    virtual void LoadFromStream(TStream& stream, std::int32_t version, bool readVerFromStream);
    void SaveToFile(const WideString& fileName, std::int32_t version, bool writeVerToStream);
    virtual void SaveToStream(TStream& stream, std::int32_t version, bool writeVerToStream);

private:
    std::int32_t streamVersion_ = -1;
};

} // namespace tarvola
