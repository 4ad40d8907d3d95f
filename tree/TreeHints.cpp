#include "tree/TreeHints.h"

#include "tree/Header.h"
#include "tree/HeaderTreeBridge.h"
#include "tree/TreeHintData.h"
#include "tree/TreeOptions.h"

#include <algorithm>

namespace tarvola {

namespace {

bool PointBetween(int value, int low, int high) {
    return value >= low && value <= high;
}

// Whether the hint machinery may ask at all: no capture, hints on, no drag, band, scroll or header action,
// and the control (or the cell, while editing another node) may show one.
bool HintsAllowed(const THintRequest& request) {
    const bool showOK = request.Editing ? !request.HitNodeIsFocused : request.Control.HasFocus;
    return !request.Control.MouseCaptured && request.Control.ShowHint && !request.Dragging &&
           !request.RubberBand && !request.Scrolling && !request.HeaderBusy && showOK;
}

void DecideHeaderHint(const THintRequest& request, THintDecision& decision) {
    const int height = request.HeaderRect.Bottom - request.HeaderRect.Top;
    decision.CursorRect = {request.HeaderRect.Left, request.HeaderRect.Top - height, request.HeaderRect.Right,
                           request.HeaderRect.Bottom - height};
    decision.Column = request.HeaderColumn;
    decision.CursorRect.Left = request.HeaderColumnLeft;
    decision.CursorRect.Right = request.HeaderColumnRight;
    // The header's bottom is the client area's top.
    decision.HintPos.Y = std::max(decision.HintPos.Y, request.Control.ClientOrigin.Y);
    if (request.HeaderColumn < 0 || request.Control.LeftButtonDown) {
        decision.Answer = 1;
        return;
    }
    decision.DefaultHint = request.HeaderColumnHint;
    if (decision.DefaultHint.empty())
        decision.Answer = 1;
    else
        decision.ShowHint = true;
}

// Whether the single-line text at r is cut off by the cell's borders or the client area.
bool TextCutOff(const THintRequest& request, const TTreeRect& r) {
    return r.Right > std::min(request.ColumnRight, request.ClientWidth) ||
           r.Left < std::max(request.ColumnLeft, 0) || r.Bottom > request.ClientHeight || r.Top < 0;
}

void DecideNodeHint(const THintRequest& request, THintDecision& decision) {
    decision.ShowHint = request.OwnerDrawn ? !request.OwnerHintRect.Empty() : true;
    if (!decision.ShowHint) {
        decision.Answer = 1;
        return;
    }
    decision.DefaultHint.clear();
    const THintPoint cursor = request.Control.CursorPos;
    const THintPoint origin = request.Control.ClientOrigin;
    if (request.HintMode != TVTHintMode::hmTooltip) {
        const TTreeRect& r = request.NodeRect;
        decision.CursorRect = {request.ColumnLeft, r.Top, request.ColumnRight, r.Bottom};
        decision.HintPos.Y = std::max(decision.HintPos.Y, origin.Y + r.Bottom) + 2;
        return;
    }
    TTreeRect r;
    decision.ShowHint = false;
    if (!request.Multiline) {
        r = request.TextRect;
        decision.ShowHint = request.HitColumn >= NoColumn && PointInRect(r, cursor) &&
                            PointBetween(cursor.X, request.ColumnLeft, request.ColumnRight) &&
                            TextCutOff(request, r);
    } else if ((request.HitPositions & hpOnItemLabel) != 0) {
        decision.ShowHint = true;
        r = request.ClippedTextRect;
    }
    if (!decision.ShowHint) {
        decision.Answer = 1;
        return;
    }
    decision.HintPos = {origin.X + r.Left, origin.Y + r.Top};
    decision.CursorRect = r;
}

void DecideEmptySpaceHint(const THintRequest& request, THintDecision& decision) {
    if (request.HintMode != TVTHintMode::hmHintAndDefault) {
        decision.Answer = 1;
        return;
    }
    decision.DefaultHint = request.Control.ShortHint;
    if (decision.DefaultHint.empty())
        decision.Answer = 1;
    else
        decision.ShowHint = true;
}

} // namespace

bool PointInRect(const TTreeRect& r, THintPoint p) {
    return p.X >= r.Left && p.X < r.Right && p.Y >= r.Top && p.Y < r.Bottom;
}

THintDecision DecideHint(const THintRequest& request) {
    THintDecision decision;
    decision.CursorRect = request.Control.CursorRect;
    decision.HintPos = request.Control.HintPos;
    decision.HintStr = request.Control.HintStr;
    decision.LastHintRect = request.LastHintRect;
    // The area of the last hint gets no hint again until the mouse has left it.
    if (PointInRect(request.LastHintRect, request.Control.CursorPos) || !HintsAllowed(request))
        return decision;
    decision.Decided = true;
    decision.Answer = 0;
    // One blank, so that the hint machinery does not drop an empty hint.
    decision.HintStr = L" ";
    if (request.HeaderHints && request.InHeader)
        DecideHeaderHint(request, decision);
    else if (request.HintMode == TVTHintMode::hmDefault)
        decision.HintStr = request.Control.ShortHint;
    else if (request.HitNode != nullptr && request.HitColumn >= NoColumn)
        DecideNodeHint(request, decision);
    else
        DecideEmptySpaceHint(request, decision);

    if (decision.ShowHint && decision.Answer == 0) {
        decision.Node = request.InHeader && request.HeaderHints ? nullptr : request.HitNode;
        if (!(request.InHeader && request.HeaderHints))
            decision.Column = request.HitColumn;
        decision.LastHintRect = decision.CursorRect;
    } else {
        decision.ShowHint = false;
        decision.LastHintRect = {};
    }
    return decision;
}

THintRequest GatherHintRequest(TBaseVirtualTree& tree, const THintControlFacts& facts) {
    THintRequest request;
    request.Control = facts;
    request.LastHintRect = tree.LastHintRect;
    request.HintMode = tree.Properties().HintMode;
    request.Editing = tree.IsEditing();
    request.Dragging = tree.InState(TreeState::tsOLEDragging) || tree.InState(TreeState::tsFrameworkDragging);
    request.RubberBand =
        tree.InState(TreeState::tsDrawSelPending) || tree.InState(TreeState::tsDrawSelecting);
    request.Scrolling = tree.InState(TreeState::tsScrolling);

    TVTHeader& header = tree.Header();
    TVirtualTreeColumns& columns = header.Columns();
    const TVTPoint cursor{facts.CursorPos.X, facts.CursorPos.Y};
    request.HeaderBusy = header.Busy();
    request.HeaderHints = columns.Count() > 0 && header.Has(hoShowHint);
    request.InHeader = header.InHeader(cursor);
    request.HeaderRect = {0, 0, tree.HeaderBridge().HeaderWidth(), header.Height()};
    if (request.InHeader) {
        request.HeaderColumn = columns.GetColumnAndBounds(
            {cursor.X, cursor.Y + header.Height()}, request.HeaderColumnLeft, request.HeaderColumnRight);
        if (columns.IsValidColumn(request.HeaderColumn))
            request.HeaderColumnHint = columns[request.HeaderColumn].Hint();
        return request;
    }
    if (cursor.Y < 0)
        return request;
    tree.FillHintHitTest(request);
    return request;
}

void ApplyHintDecision(TBaseVirtualTree& tree, const THintDecision& decision) {
    if (!decision.Decided)
        return;
    if (decision.ShowHint && decision.Answer == 0) {
        TVTHintData& data = tree.HintData();
        data.Tree = &tree;
        data.Column = decision.Column;
        data.Node = decision.Node;
        data.DefaultHint = decision.DefaultHint;
    }
    tree.LastHintRect = decision.LastHintRect;
    tree.SetHintState(decision.Answer == 0);
}

int HintPauseFor(TBaseVirtualTree& tree, THintPoint cursor, bool hintWindowDestroyed, int proposed) {
    if (tree.Properties().HintMode == TVTHintMode::hmTooltip)
        return 0;
    const TVTHeader& header = tree.Header();
    if (hintWindowDestroyed && header.Columns().Count() > 0 && header.Has(hoShowHint) &&
        header.InHeader({cursor.X, cursor.Y}))
        return 0;
    return proposed;
}

// ---- The tree's side

TVTHintData& TBaseVirtualTree::HintData() const {
    if (!hintData_)
        hintData_ = std::make_shared<TVTHintData>();
    return *hintData_;
}

std::wstring TBaseVirtualTree::GetNodeHint(PVirtualNode, TColumnIndex,
                                           TVTTooltipLineBreakStyle& lineBreakStyle) {
    lineBreakStyle = TVTTooltipLineBreakStyle::hlbDefault;
    return ControlHint;
}

std::wstring TBaseVirtualTree::GetNodeTooltip(PVirtualNode, TColumnIndex,
                                              TVTTooltipLineBreakStyle& lineBreakStyle) {
    lineBreakStyle = TVTTooltipLineBreakStyle::hlbDefault;
    return ControlHint;
}

void TBaseVirtualTree::GetTooltipTextInfo(PVirtualNode node, TColumnIndex column, TTextFont&,
                                          TTreeRect& rect) {
    rect = GetDisplayRect(node, column, true, true);
}

THintAnimationType TBaseVirtualTree::GetEffectiveHintAnimation(const THintSystemSettings& system) {
    return ResolveHintAnimation(Properties().HintAnimation, system);
}

void TBaseVirtualTree::YieldAnimationToNewerHint() {
    DoStateChange({}, {TreeState::tsInAnimation});
}

void TBaseVirtualTree::CancelOlderHintAnimation() {
    DoStateChange({TreeState::tsCancelHintAnimation});
}

void TBaseVirtualTree::SetHintState(bool shown) {
    if (shown)
        DoStateChange({TreeState::tsHint});
    else
        DoStateChange({}, {TreeState::tsHint});
}

void TBaseVirtualTree::GetHintColumnBorders(PVirtualNode node, TColumnIndex column, int& left, int& right) {
    const TVirtualTreeColumns& columns = Header().Columns();
    if (!columns.IsValidColumn(column)) {
        left = 0;
        right = ClientWidth();
        return;
    }
    columns.GetColumnBounds(column, left, right);
    left += OffsetX();
    right += OffsetX();
    if (!TreeOptions().AutoOptions().Has(TVTAutoOption::toAutoSpanColumns))
        return;
    // The text may run on over the following empty cells.
    for (TColumnIndex next = columns.GetNextVisibleColumn(column); columns.IsValidColumn(next);
         next = columns.GetNextVisibleColumn(next)) {
        if (!DoGetCellIsEmpty(node, next))
            break;
        int nextLeft = 0;
        columns.GetColumnBounds(next, nextLeft, right);
        right += OffsetX();
    }
}

void TBaseVirtualTree::FillHintHitTest(THintRequest& request) {
    const THintPoint cursor = request.Control.CursorPos;
    // The same hit test as the mouse's: images, check boxes, alignment and spanned cells count alike.
    const THitInfo hit = GetHitTestInfoAt(cursor.X, cursor.Y, true);
    PVirtualNode node = hit.HitNode;
    if (node == nullptr)
        return;
    const TColumnIndex column = hit.HitColumn;
    request.ClientWidth = ClientWidth();
    request.ClientHeight = Host().ClientHeight();
    request.HitNode = node;
    request.HitColumn = column;
    request.HitNodeIsFocused = node == FocusedNode();
    if (column < NoColumn)
        return;
    request.Multiline = (node->States & nsMultiline) != 0;
    request.OwnerDrawn = OwnerDrawsHints();
    if (request.OwnerDrawn) {
        HintData().HintRect = {};
        DoGetHintSize(node, column, HintData().HintRect);
        request.OwnerHintRect = HintData().HintRect;
    }
    GetHintColumnBorders(node, column, request.ColumnLeft, request.ColumnRight);
    request.NodeRect = GetDisplayRect(node, column, false, false);
    request.TextRect = GetDisplayRect(node, column, true, true);
    request.ClippedTextRect = GetDisplayRect(node, column, true, false);
    request.HitPositions = hit.HitPositions;
}

// ---- The hint data's settings

bool IsTooltip(const TVTHintData& data) {
    return data.Node != nullptr && data.Tree != nullptr &&
           data.Tree->Properties().HintMode == TVTHintMode::hmTooltip;
}

void ResolveHintText(TVTHintData& data) {
    if (data.Tree == nullptr)
        return;
    TBaseVirtualTree& tree = *data.Tree;
    const TVirtualTreeColumns& columns = tree.Header().Columns();
    if (columns.IsValidColumn(data.Column)) {
        data.BiDiMode = columns[data.Column].BiDiMode();
        data.Alignment = columns[data.Column].Alignment();
    } else {
        data.BiDiMode = tree.HeaderBridge().BiDiMode();
        data.Alignment = tree.Properties().Alignment();
    }
    if (data.BiDiMode != TBiDiMode::bdLeftToRight) {
        if (data.Alignment == TAlignment::taLeftJustify)
            data.Alignment = TAlignment::taRightJustify;
        else if (data.Alignment == TAlignment::taRightJustify)
            data.Alignment = TAlignment::taLeftJustify;
    }
    data.LineBreakStyle = TVTTooltipLineBreakStyle::hlbDefault;
    const bool tooltip = IsTooltip(data);
    if (!data.DefaultHint.empty())
        data.HintText = data.DefaultHint;
    else if (tooltip)
        data.HintText = tree.GetNodeTooltip(data.Node, data.Column, data.LineBreakStyle);
    else
        data.HintText = tree.GetNodeHint(data.Node, data.Column, data.LineBreakStyle);
    if (tooltip && data.LineBreakStyle == TVTTooltipLineBreakStyle::hlbDefault)
        data.LineBreakStyle = (data.Node->States & nsMultiline) != 0
                                  ? TVTTooltipLineBreakStyle::hlbForceMultiLine
                                  : TVTTooltipLineBreakStyle::hlbForceSingleLine;
}

THintAnimationType ResolveHintAnimation(THintAnimationType chosen, const THintSystemSettings& system) {
    THintAnimationType result = chosen;
    if (result == THintAnimationType::hatSystemDefault) {
        if (!system.TooltipAnimation)
            result = THintAnimationType::hatNone;
        else
            result = system.TooltipFade ? THintAnimationType::hatFade : THintAnimationType::hatSlide;
    }
    if (result == THintAnimationType::hatFade && !system.MMX)
        result = THintAnimationType::hatSlide;
    return result;
}

} // namespace tarvola
