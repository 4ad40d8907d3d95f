// What the tree's settings need from the control's window beyond the view port: re-creating the window for
// style changes, the OLE drop registration, the visual styles query, the frame, and the button and line
// images the painter keeps. A tree without a control uses the silent NullTreeControlPort.
#pragma once

#include "tree/VirtualTrees.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace tarvola {

// The rows below a node that slide while it expands (down) or collapses (up), and how to fill the strip the
// first step uncovers: horizontal parts in the tree's background colour (no colour) or a column's colour.
struct TToggleSlide {
    struct Fill {
        int Left = 0, Right = 0;
        std::optional<std::uint32_t> Color;
        bool operator==(const Fill&) const = default;
    };
    TTreeRect Area;
    bool Expanding = false;
    std::vector<Fill> Fills;
};

class ITreeControlPort {
public:
    virtual ~ITreeControlPort() = default;
    // Makes the window again with the current CreateParams (only while one exists).
    virtual void RecreateWindow() = 0;
    virtual void RegisterDropTarget() = 0;
    virtual void RevokeDropTarget() = 0;
    virtual bool VisualStylesEnabled() const = 0;
    // Redraws the window with its frame (border colour, themes).
    virtual void RedrawFrame() = 0;
    // The painter's expand buttons and tree line patterns follow their settings again.
    virtual void RebuildButtonImages() = 0;
    virtual void RebuildLineImages() = 0;
    // Paints what is invalid now, before a slide starts from what the window shows.
    virtual void UpdateWindow() = 0;
    // One step of a slide: moves the area's content by stepSize pixels; the first step (0) also fills the
    // strip it uncovers, stepSize + 1 pixels high. A stepSize of 0 (the closing call) does nothing.
    virtual void SlideStep(const TToggleSlide& slide, std::uint32_t step, std::uint32_t stepSize) = 0;
    // Whether the window has a background picture to show: such content stays put while the rows scroll
    // over it, so scrolling cannot just move the window's pixels.
    virtual bool HasBackgroundPicture() const { return false; }
    // The check image kind changed: the check images in use (and their width) follow.
    virtual void CheckImagesChanged() {}
};

class NullTreeControlPort : public ITreeControlPort {
public:
    void RecreateWindow() override {}
    void RegisterDropTarget() override {}
    void RevokeDropTarget() override {}
    bool VisualStylesEnabled() const override { return false; }
    void RedrawFrame() override {}
    void RebuildButtonImages() override {}
    void RebuildLineImages() override {}
    void UpdateWindow() override {}
    void SlideStep(const TToggleSlide&, std::uint32_t, std::uint32_t) override {}
};

} // namespace tarvola
