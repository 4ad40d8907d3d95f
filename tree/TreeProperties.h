// The tree's published settings that are not part of its core: their types, their defaults, and what setting
// each one does. Settings whose change has no effect of its own are plain fields; the others have setters.
#pragma once

#include "forms/Alignment.h"
#include "tree/DecorationKinds.h"
#include "tree/DragOperations.h"
#include "tree/TreeTypes.h"

#include <cstdint>

namespace tarvola {

class TBaseVirtualTree;

enum class TVTBorderStyle : std::uint8_t { bsNone, bsSingle };
enum class TVTDragImageKind : std::uint8_t { diComplete, diMainColumnOnly, diNoImage };
enum class TVTDragType : std::uint8_t { dtOLE, dtVCL };
enum class TVTDrawSelectionMode : std::uint8_t { smDottedRectangle, smBlendedRectangle };
enum class THintAnimationType : std::uint8_t { hatNone, hatFade, hatSlide, hatSystemDefault };
enum class TVTHintMode : std::uint8_t { hmDefault, hmHint, hmHintAndDefault, hmTooltip };
enum class TVTIncrementalSearch : std::uint8_t { isAll, isNone, isInitializedOnly, isVisibleOnly };
enum class TVTSearchDirection : std::uint8_t { sdForward, sdBackward };
enum class TVTSearchStart : std::uint8_t { ssAlwaysStartOver, ssLastHit, ssFocusedNode };

constexpr unsigned SearchTimer = 7;
constexpr std::uint32_t DefaultAnimationDuration = 200;

class TVirtualTreeProperties {
public:
    explicit TVirtualTreeProperties(TBaseVirtualTree& owner) : owner_(owner) {}
    TVirtualTreeProperties(const TVirtualTreeProperties&) = delete;
    TVirtualTreeProperties& operator=(const TVirtualTreeProperties&) = delete;

    // --- Settings with an effect
    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment value);
    std::uint32_t AnimationDuration() const { return animationDuration_; }
    // Also switches toAnimatedToggle: on above 0, off at 0.
    void SetAnimationDuration(std::uint32_t value);
    int BackgroundOffsetX() const { return backgroundOffsetX_; }
    int BackgroundOffsetY() const { return backgroundOffsetY_; }
    void SetBackgroundOffsetX(int value);
    void SetBackgroundOffsetY(int value);
    TVTBorderStyle BorderStyle() const { return borderStyle_; }
    // Re-creates the window.
    void SetBorderStyle(TVTBorderStyle value);
    TVTButtonFillMode ButtonFillMode() const { return buttonFillMode_; }
    void SetButtonFillMode(TVTButtonFillMode value);
    TVTButtonStyle ButtonStyle() const { return buttonStyle_; }
    void SetButtonStyle(TVTButtonStyle value);
    TCheckImageKind CheckImageKind() const { return checkImageKind_; }
    void SetCheckImageKind(TCheckImageKind value);
    TVTIncrementalSearch IncrementalSearch() const { return incrementalSearch_; }
    // Switching the search off stops a running one.
    void SetIncrementalSearch(TVTIncrementalSearch value);
    TVTLineMode LineMode() const { return lineMode_; }
    void SetLineMode(TVTLineMode value);
    TVTLineStyle LineStyle() const { return lineStyle_; }
    void SetLineStyle(TVTLineStyle value);
    TVTNodeAlignment NodeAlignment() const { return nodeAlignment_; }
    void SetNodeAlignment(TVTNodeAlignment value);
    std::uint32_t SelectionCurveRadius() const { return selectionCurveRadius_; }
    void SetSelectionCurveRadius(std::uint32_t value);
    int TextMargin() const { return textMargin_; }
    void SetTextMargin(int value);

    // --- Settings that are only stored (read by the parts that use them)
    std::uint32_t AutoExpandDelay = 1000;
    std::uint32_t AutoScrollDelay = 1000;
    std::uint32_t AutoScrollInterval = 1;
    TVTNodeAttachMode DefaultPasteMode = TVTNodeAttachMode::amAddChildLast;
    int DragHeight = 350;
    int DragWidth = 200;
    TVTDragImageKind DragImageKind = TVTDragImageKind::diComplete;
    TDragOperations DragOperations = doCopy | doMove;
    TVTDragType DragType = TVTDragType::dtOLE;
    TVTDrawSelectionMode DrawSelectionMode = TVTDrawSelectionMode::smDottedRectangle;
    std::uint32_t EditDelay = 1000;
    THintAnimationType HintAnimation = THintAnimationType::hatSystemDefault;
    TVTHintMode HintMode = TVTHintMode::hmDefault;
    int HotCursor = 0; // the framework's cursor number; 0 is crDefault
    TVTSearchDirection IncrementalSearchDirection = TVTSearchDirection::sdForward;
    TVTSearchStart IncrementalSearchStart = TVTSearchStart::ssFocusedNode;
    std::uint32_t IncrementalSearchTimeout = 1000;
    std::uint8_t SelectionBlendFactor = 128;
    bool WantTabs = false;

private:
    void Repaint();
    template <typename T>
    bool Store(T& field, T value);

    TBaseVirtualTree& owner_;
    TAlignment alignment_ = TAlignment::taLeftJustify;
    // Stored directly at construction: the animation options start empty even though the duration is not 0.
    std::uint32_t animationDuration_ = DefaultAnimationDuration;
    int backgroundOffsetX_ = 0;
    int backgroundOffsetY_ = 0;
    TVTBorderStyle borderStyle_ = TVTBorderStyle::bsSingle;
    TVTButtonFillMode buttonFillMode_ = TVTButtonFillMode::fmTreeColor;
    TVTButtonStyle buttonStyle_ = TVTButtonStyle::bsRectangle;
    TCheckImageKind checkImageKind_ = TCheckImageKind::ckLightCheck;
    TVTIncrementalSearch incrementalSearch_ = TVTIncrementalSearch::isNone;
    TVTLineMode lineMode_ = TVTLineMode::lmNormal;
    TVTLineStyle lineStyle_ = TVTLineStyle::lsDotted;
    TVTNodeAlignment nodeAlignment_ = TVTNodeAlignment::naProportional;
    std::uint32_t selectionCurveRadius_ = 0;
    int textMargin_ = 4;
};

} // namespace tarvola
