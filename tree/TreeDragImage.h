// The tree's own drag image: a picture of the dragged rows around the hot spot, fading out from its centre,
// shown half transparent in a layered window that follows the pointer. The shell's drag-image helper is asked
// first; where it takes no picture (Wine's accepts none) the tree shows its own.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

struct IDataObject;

namespace tarvola {

class TTreeDragImage {
public:
    TTreeDragImage() = default;
    TTreeDragImage(const TTreeDragImage&) = delete;
    TTreeDragImage& operator=(const TTreeDragImage&) = delete;
    ~TTreeDragImage();

    // The image's constant opacity (0-255) over its faded alpha.
    std::uint8_t Transparency = 128;

    // Takes the picture (width x height pixels, top-down, 0x00RRGGBB); pixels of colorKey (the tree's
    // background) stay clear. hotSpot is the pointer's place in the picture, screen its place on the screen.
    void Prepare(const std::vector<std::uint32_t>& picture, int width, int height, std::uint32_t colorKey,
                 POINT hotSpot, POINT screen, IDataObject* dataObject);
    // The pointer moved to a screen point.
    void MoveTo(POINT screen);
    // Hides the image and lets its window and picture go.
    void Finish();

    // Whether the shell's helper shows the image (then the tree shows none of its own).
    bool HelperShowsImage() const { return helperShows_; }
    // The window of the tree's own image while it shows; null otherwise.
    HWND Window() const { return window_; }

private:
    bool TryHelper(const std::vector<std::uint32_t>& picture, int width, int height, std::uint32_t colorKey,
                   POINT hotSpot, IDataObject* dataObject);
    void ShowOwnImage(std::vector<std::uint32_t> picture, int width, int height, std::uint32_t colorKey,
                      POINT screen);

    HWND window_ = nullptr;
    POINT hotSpot_{};
    bool helperShows_ = false;
};

} // namespace tarvola
