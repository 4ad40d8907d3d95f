// The header stream: a marker and version, the columns, then the header's own settings. Streams written
// before versions existed start with the column count; they load as version -1.
#include "tree/Header.h"
#include "tree/HeaderStreamIO.h"

namespace tarvola {

namespace {

// Clears the loading state however loading ends.
class TLoadingScope {
public:
    explicit TLoadingScope(std::uint8_t& states) : states_(states) { states_ |= hsLoading; }
    ~TLoadingScope() { states_ &= static_cast<std::uint8_t>(~hsLoading); }
    TLoadingScope(const TLoadingScope&) = delete;
    TLoadingScope& operator=(const TLoadingScope&) = delete;

private:
    std::uint8_t& states_;
};

} // namespace

void TVTHeader::LoadFromStream(TStream& stream) {
    THeaderStreamReader reader(stream);
    {
        TLoadingScope loading(states_);
        // The options are held empty while reading, so that no option reacts to half-loaded columns.
        const TVTHeaderOptions held = options_;
        options_ = 0;
        try {
            int version = reader.ReadI32();
            if (version >= 0) {
                reader.Unread(4);
                version = -1;
            } else {
                version = reader.ReadI32();
                if (version < 0 || version > HeaderStreamVersion)
                    RaiseHeaderStreamVersionError();
            }
            columns_->LoadFromStream(stream, version);
            options_ = held;
            LoadSettings(stream, version);
        } catch (...) {
            options_ = held;
            throw;
        }
    }
    tree_->DoColumnResize(NoColumn);
}

void TVTHeader::LoadSettings(TStream& stream, int version) {
    THeaderStreamReader reader(stream);
    SetAutoSizeIndex(reader.ReadI32());
    SetBackground(static_cast<TVTColor>(reader.ReadI32()));
    const std::int32_t height = reader.ReadI32();
    if (height < 0)
        RaiseHeaderStreamFormatError();
    SetHeight(height);
    SetOptions(static_cast<TVTHeaderOptions>(static_cast<std::uint32_t>(reader.ReadI32()) & 0xFFFF));
    const std::int32_t style = reader.ReadI32();
    if (style < 0 || style > static_cast<std::int32_t>(TVTHeaderStyle::hsXPStyle))
        RaiseHeaderStreamFormatError();
    SetStyle(static_cast<TVTHeaderStyle>(style));
    THeaderFont font;
    font.Color = static_cast<TVTColor>(reader.ReadI32());
    font.Height = reader.ReadI32();
    font.Name = reader.ReadAnsi();
    font.Pitch = reader.ReadI32();
    font.Style = reader.ReadI32();
    SetFont(font);
    if (version < 1)
        return;
    SetMainColumn(reader.ReadI32());
    SetSortColumn(reader.ReadI32());
    const std::int32_t direction = reader.ReadI32();
    if (direction < 0 || direction > static_cast<std::int32_t>(TSortDirection::sdDescending))
        RaiseHeaderStreamFormatError();
    SetSortDirection(static_cast<TSortDirection>(direction));
}

void TVTHeader::SaveToStream(TStream& stream) const {
    THeaderStreamWriter writer(stream);
    writer.WriteI32(-1);
    writer.WriteI32(HeaderStreamVersion);
    columns_->SaveToStream(stream);
    writer.WriteI32(autoSizeIndex_);
    writer.WriteI32(static_cast<std::int32_t>(background_));
    writer.WriteI32(height_);
    writer.WriteI32(options_);
    writer.WriteI32(static_cast<std::int32_t>(style_));
    writer.WriteI32(static_cast<std::int32_t>(font_.Color));
    writer.WriteI32(font_.Height);
    writer.WriteAnsi(font_.Name);
    writer.WriteI32(font_.Pitch);
    writer.WriteI32(font_.Style);
    writer.WriteI32(mainColumn_);
    writer.WriteI32(sortColumn_);
    writer.WriteI32(static_cast<std::int32_t>(sortDirection_));
}

} // namespace tarvola
