#include "explorer/VirtualExplorerComboboxRules.h"

#include "shell/VirtualUtilities.h"

#include <algorithm>
#include <utility>

namespace tarvola {

TDropDownPlacement PlaceDropDown(const TComboRect& alignTo, int width, int height,
                                 const TComboRect& workArea) {
    TDropDownPlacement placement;
    int top = alignTo.Bottom;
    if (static_cast<long long>(top) + height > workArea.Bottom) {
        const int spaceAbove = std::max(alignTo.Top - workArea.Top, 0);
        const int spaceBelow = std::max(workArea.Bottom - alignTo.Bottom, 0);
        if (spaceAbove >= height) {
            top = alignTo.Top - height;
            placement.Above = true;
        } else if (spaceAbove <= spaceBelow) {
            height = spaceBelow;
        } else {
            height = spaceAbove;
            top = alignTo.Top - spaceAbove;
            placement.Above = true;
        }
    }
    placement.Bounds = {alignTo.Left, top, alignTo.Left + width, top + height};
    return placement;
}

TDropDownLayout LayoutDropDown(const TDropDownLayoutInput& in) {
    TDropDownLayout layout;
    const int gripHeight = in.Sizeable ? in.ScrollHeight : 0;
    const int x = in.RightToLeft ? 0 : in.Width - in.ScrollWidth - 2;
    if (in.Above) {
        // The grip takes the top corner, away from the owner below.
        layout.Grip = {x, -1, x + in.ScrollWidth, gripHeight - 1};
        layout.Scrollbar = {x, gripHeight - 1, x + in.ScrollWidth, in.Height - 2};
    } else {
        layout.Grip = {x, in.Height - gripHeight - 2, x + in.ScrollWidth, in.Height - 2};
        layout.Scrollbar = {x, 0, x + in.ScrollWidth, in.Height - gripHeight - 2};
    }
    const int barWidth = in.ScrollbarShown ? in.ScrollWidth : 0;
    const int left = in.ScrollbarShown && in.RightToLeft ? in.ScrollWidth : 0;
    layout.Content = {left, 0, left + std::max(in.Width - 2 - barWidth, 0), std::max(in.Height - 2, 0)};
    return layout;
}

TComboRect ResizeByGrip(const TComboRect& start, int dx, int dy, bool above, bool gripOnLeft, int minWidth,
                        int minHeight) {
    TComboRect bounds = start;
    if (gripOnLeft)
        bounds.Left += dx;
    else
        bounds.Right += dx;
    if (above)
        bounds.Top += dy;
    else
        bounds.Bottom += dy;
    // The edge the grip drags gives way; the opposite one stays where the owner is.
    if (bounds.Width() < minWidth) {
        if (gripOnLeft)
            bounds.Left = bounds.Right - minWidth;
        else
            bounds.Right = bounds.Left + minWidth;
    }
    if (bounds.Height() < minHeight) {
        if (above)
            bounds.Top = bounds.Bottom - minHeight;
        else
            bounds.Bottom = bounds.Top + minHeight;
    }
    return bounds;
}

WideString NormalizeTypedPath(const WideString& text) {
    if (text.size() == 1)
        return text + u":\\";
    if (text.size() == 2)
        return text + u"\\";
    return text;
}

std::size_t FirstMissingComponent(const WideString& text,
                                  const std::function<bool(const WideString&)>& directoryExists) {
    std::size_t start = 0;
    std::size_t cut = text.find(u'\\');
    while (cut != WideString::npos) {
        if (directoryExists(text.substr(0, cut + 1)))
            start = cut + 1;
        // Two on, so that the two backslashes opening a network path count as one cut.
        cut = cut + 2 < text.size() ? text.find(u'\\', cut + 2) : WideString::npos;
    }
    return start;
}

WideString CompletionFolderOf(const WideString& text) {
    if (text.size() == 1)
        return text + u":\\";
    WideString folder = WideExtractFileDir(text);
    if (!folder.empty() && folder.back() != u'\\')
        folder += u'\\';
    return folder;
}

TCompletionFilter::TCompletionFilter(TListFolder listFolder, const TWideTextServices& text)
    : listFolder_(std::move(listFolder)), text_(text) {}

void TCompletionFilter::Invalidate() {
    listed_ = false;
}

const std::vector<std::size_t>& TCompletionFilter::Update(const WideString& text) {
    const WideString folder = CompletionFolderOf(text);
    if (!listed_ || folder != folder_) {
        folder_ = folder;
        listed_ = true;
        entries_.clear();
        if (!folder.empty()) {
            entries_ = listFolder_(folder);
            ++listings_;
        }
        lowered_.clear();
        lowered_.reserve(entries_.size());
        for (const WideString& entry : entries_)
            lowered_.push_back(text_.LowerCase(entry));
    }
    matches_.clear();
    const bool wholeFolder = !text.empty() && text.back() == u'\\';
    const WideString prefix = text_.LowerCase(text);
    for (std::size_t i = 0; i < lowered_.size(); ++i)
        if (wholeFolder || lowered_[i].starts_with(prefix))
            matches_.push_back(i);
    return matches_;
}

} // namespace tarvola
