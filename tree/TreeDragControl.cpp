// The tree window's drag and drop: the window is registered with a drag manager whose drop side is the
// tree's drop target, and a drag from the tree runs the platform's loop with a manager of its own.
#include "base/Numerics.h"
#include "forms/Graphics.h"
#include "tree/TreeControl.h"
#include "tree/TreeDragImage.h"
#include "tree/TreePaintLayout.h"
#include "tree/TreeOptions.h"
#include "tree/TreeProperties.h"

#include <stdexcept>
#include <string>

namespace tarvola {

void TVirtualTreeControl::ConnectDragAndDrop() {
    dropRules_ = std::make_unique<TTreeDropTarget>(*tree_);
    dropRules_->FollowTree();
    tree_->IsOleDropTarget = [this] { return dragManager_ != nullptr && dragManager_->IsDropTarget(); };
    tree_->OnExpandTimer = [this] { dropRules_->AutoExpandDropTarget(); };
    DropModeSource = [this] {
        return tree_->DropTargetNode() != nullptr ? dropRules_->LastDropMode() : TDropMode::dmNowhere;
    };
}

void TVirtualTreeControl::RegisterDropTarget() {
    if (!HandleAllocated() || dropRegistered_)
        return;
    auto* manager = new TVTDragManager(tree_->Clipboard().Link(), *dropRules_, Handle());
    const HRESULT result = RegisterDragDrop(Handle(), manager);
    if (FAILED(result)) {
        manager->Release();
        throw std::runtime_error("Cannot register the tree window as a drop target (error " +
                                 std::to_string(static_cast<unsigned long>(result)) + ")");
    }
    dragManager_ = manager;
    dropRegistered_ = true;
}

void TVirtualTreeControl::RevokeDropTarget() {
    if (!dropRegistered_)
        return;
    dropRegistered_ = false;
    if (HandleAllocated())
        RevokeDragDrop(Handle());
    // The platform released its references; a drag still inside keeps the manager alive on its own.
    dragManager_->Release();
    dragManager_ = nullptr;
}

std::unique_ptr<TTreeDragImage> TVirtualTreeControl::PrepareDragImage(IDataObject* dataObject) {
    const TVirtualTreeProperties& properties = tree_->Properties();
    if (properties.DragImageKind == TVTDragImageKind::diNoImage || properties.DragWidth <= 0 ||
        properties.DragHeight <= 0)
        return nullptr;
    POINT screen{};
    GetCursorPos(&screen);
    POINT client = screen;
    ::ScreenToClient(Handle(), &client);
    const int width = properties.DragWidth;
    const int height = properties.DragHeight;
    // The box around the hot spot, in tree coordinates, with the dragged rows painted on the tree's colour.
    const int left = CheckedSub(CheckedSub(static_cast<int>(client.x), tree_->OffsetX()), width / 2);
    const int top = CheckedSub(CheckedSub(static_cast<int>(client.y), tree_->OffsetY()), height / 2);
    const TTreeRect window{left, top, CheckedAdd(left, width), CheckedAdd(top, height)};
    TBitmap picture(width, height);
    const COLORREF background = ColorToRGB(Color());
    HBRUSH brush = CreateSolidBrush(background);
    const RECT all{0, 0, width, height};
    FillRect(picture.DC(), &all, brush);
    DeleteObject(brush);
    std::uint8_t options = poDrawSelection | poSelectedOnly;
    if (properties.DragImageKind == TVTDragImageKind::diMainColumnOnly)
        options |= poMainOnly;
    PaintTree(picture.DC(), window, POINT{0, 0}, options);
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const COLORREF color = picture.Pixel(x, y);
            pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                   static_cast<std::size_t>(x)] = (static_cast<std::uint32_t>(GetRValue(color)) << 16) |
                                                  (static_cast<std::uint32_t>(GetGValue(color)) << 8) |
                                                  GetBValue(color);
        }
    const std::uint32_t key = (static_cast<std::uint32_t>(GetRValue(background)) << 16) |
                              (static_cast<std::uint32_t>(GetGValue(background)) << 8) |
                              GetBValue(background);
    auto image = std::make_unique<TTreeDragImage>();
    image->Prepare(pixels, width, height, key, POINT{width / 2, height / 2}, screen, dataObject);
    return image;
}

DWORD TVirtualTreeControl::RunOleDrag() {
    // The source side needs a drop target too; the window's own manager answers the drops into this tree.
    TTreeDropTarget unused(*tree_);
    auto* manager = new TVTDragManager(tree_->Clipboard().Link(), unused, Handle());
    TOleDragOptions options;
    options.DragOperations = tree_->Properties().DragOperations;
    options.AutoDeleteMovedNodes =
        tree_->TreeOptions().AutoOptions().Has(TVTAutoOption::toAutoDeleteMovedNodes);
    if (MouseSeams.DoDragDrop != nullptr)
        options.DoDragDrop = MouseSeams.DoDragDrop;
    // The image follows the pointer wherever it goes, shown by the shell's helper or by the tree itself.
    options.BeforeLoop = [this](IDataObject* dataObject) {
        try {
            dragImage_ = PrepareDragImage(dataObject);
        } catch (...) {
            dragImage_.reset(); // the drag goes on without an image
        }
    };
    manager->OnFeedback = [this] {
        POINT screen{};
        if (dragImage_ && GetCursorPos(&screen))
            dragImage_->MoveTo(screen);
    };
    DWORD effect = DROPEFFECT_NONE;
    try {
        effect = StartOleDrag(*tree_, *manager, options);
    } catch (...) {
        dragImage_.reset();
        manager->OnFeedback = nullptr;
        manager->Release();
        throw;
    }
    dragImage_.reset();
    manager->OnFeedback = nullptr;
    manager->Release();
    return effect;
}

} // namespace tarvola
