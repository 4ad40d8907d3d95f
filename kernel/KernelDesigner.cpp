#include "kernel/KernelDesigner.h"

#include "audio/Numerics.h"
#include "forms/Form.h"
#include "kernel/GraphAxis.h"
#include "kernel/ImpulseClipboard.h"

#include <windows.h>

#include <algorithm>

namespace tarvola {

namespace {

// The viewer takes this part of the height below the top area.
constexpr long double kViewerHeightPart = 0.2L;
// Room left of the histograms for the value ruler.
constexpr int kRulerThickness = 35;

TColor ToColor(std::uint32_t rgb) {
    return static_cast<TColor>(rgb);
}

TBarRect Union(const TBarRect& a, const TBarRect& b) {
    return {std::min(a.Left, b.Left), std::min(a.Top, b.Top), std::max(a.Right, b.Right),
            std::max(a.Bottom, b.Bottom)};
}

} // namespace

// ---- TobjCustomHistogram ------------------------------------------------------------------------------

TobjCustomHistogram::TobjCustomHistogram(TComponent* owner) : TobjPaintPanel(owner) {
    SetCaption("");
    SetColor(ToColor(HistogramDisplay().Background));
}

TViewBounds& TobjCustomHistogram::Bounds() const {
    return IsOverview ? Model().CurrentView() : *Model().CurrentEditorBounds;
}

TColumnTriple TobjCustomHistogram::HitTest(int x) const {
    if (Kernel == nullptr)
        return NoRecord;
    return tarvola::HitTest(geometry_, Bounds().LowImpulse, *Kernel, x);
}

void TobjCustomHistogram::ComputeScale() {
    geometry_.SetSize(Width(), Height());
    geometry_.ComputeScale(HistogramDisplay().Scale);
}

void TobjCustomHistogram::LayoutColumns() {
    geometry_.SetSize(Width(), Height());
    geometry_.LayoutColumns(Bounds().Width, BarFraction());
}

std::int32_t TobjCustomHistogram::ColumnOf(std::int32_t impulse) const {
    const std::int64_t column = std::int64_t{impulse} - Bounds().LowImpulse;
    if (column < 0 || column >= geometry_.ColumnCount())
        return -1;
    return static_cast<std::int32_t>(column);
}

void TobjCustomHistogram::ComputeBar(std::int32_t index) {
    const std::int32_t column = ColumnOf(Kernel->Impulse(index));
    if (column >= 0)
        Kernel->SetBar(index, geometry_.BarRect(column, Kernel->Value(index)));
}

void TobjCustomHistogram::Fill(TCanvas& canvas, const TBarRect& rect, std::uint32_t colour) {
    if (rect.Left >= rect.Right || rect.Top >= rect.Bottom)
        return;
    canvas.Brush.Style = TBrushStyle::bsSolid;
    canvas.Brush.Color = ToColor(colour);
    canvas.FillRect(TRect{rect.Left, rect.Top, rect.Right, rect.Bottom});
}

void TobjCustomHistogram::DrawBar(TCanvas& canvas, std::int32_t index) {
    const TImpulseRec rec = Kernel->Record(index);
    if (ColumnOf(rec.Impulse) < 0)
        return;
    Fill(canvas, rec.Bar, BarColor(HistogramDisplay(), rec.Kind, rec.Impulse, BarSelected(rec)));
}

void TobjCustomHistogram::DrawZeroLine(TCanvas& canvas, bool full, int x1, int x2) {
    if (!geometry_.ZeroLineInPlot())
        return;
    if (full) {
        x1 = geometry_.PlotLeft();
        x2 = geometry_.PlotRight();
    }
    canvas.Pen.Color = ToColor(HistogramDisplay().ZeroLine);
    canvas.Pen.Width = 1;
    canvas.Pen.Style = TPenStyle::psSolid;
    canvas.MoveTo(x1, geometry_.ZeroY());
    canvas.LineTo(x2, geometry_.ZeroY());
}

TBarRect TobjCustomHistogram::CellOf(std::int32_t column) const {
    TBarRect cell = geometry_.CellRect(column);
    // Cells are a pixel wider than the pitch; the column to the right keeps its own first pixel.
    if (column > 0)
        cell.Right = std::min(cell.Right, geometry_.ColumnLeft(column - 1));
    cell.Right = std::min(cell.Right, geometry_.PlotRight());
    return cell;
}

void TobjCustomHistogram::DrawColumnBackground(TCanvas& canvas, std::int32_t column, bool highlighted,
                                               std::int32_t index) {
    const THistogramDisplay& display = HistogramDisplay();
    const TBarRect cell = CellOf(column);
    Fill(canvas, cell, highlighted ? display.HighlightBackground : display.Background);
    if (index >= 0) {
        const TImpulseRec rec = Kernel->Record(index);
        Fill(canvas, rec.Bar, BarColor(display, rec.Kind, rec.Impulse, highlighted));
    }
    DrawZeroLine(canvas, false, cell.Left, cell.Right);
}

void TobjCustomHistogram::Render() {
    if (buffer_.Width() != std::max(Width(), 1) || buffer_.Height() != std::max(Height(), 1))
        buffer_.SetSize(std::max(Width(), 1), std::max(Height(), 1));
    bufferCurrent_ = true;
    TCanvas& canvas = buffer_.Canvas();
    TRect frame = ClientRect();
    if (BevelOuter() != TPanelBevel::bvNone) {
        const bool raised = BevelOuter() == TPanelBevel::bvRaised;
        Frame3D(canvas, frame, raised ? clBtnHighlight : clBtnShadow, raised ? clBtnShadow : clBtnHighlight,
                1);
    }
    Fill(canvas, {frame.Left, frame.Top, frame.Right, frame.Bottom}, HistogramDisplay().Background);
    if (Kernel != nullptr && geometry_.ColumnCount() > 0)
        DrawContent(canvas);
}

TCanvas& TobjCustomHistogram::BufferCanvas() {
    if (!bufferCurrent_ || buffer_.Width() != std::max(Width(), 1) ||
        buffer_.Height() != std::max(Height(), 1))
        Render();
    return buffer_.Canvas();
}

void TobjCustomHistogram::RepaintAll() {
    Render();
    if (HandleAllocated())
        Repaint();
}

void TobjCustomHistogram::Paint() {
    BufferCanvas();
    Canvas().Draw(0, 0, buffer_);
    FirePaint();
}

void TobjCustomHistogram::BoundsChanged() {
    TobjPaintPanel::BoundsChanged();
    bufferCurrent_ = false;
}

void TobjCustomHistogram::ShowArea(const TBarRect& area) {
    if (!HandleAllocated() || !IsWindowVisible(Handle()))
        return;
    const int left = std::max(area.Left, 0);
    const int top = std::max(area.Top, 0);
    const int right = std::min(area.Right, buffer_.Width());
    const int bottom = std::min(area.Bottom, buffer_.Height());
    if (left >= right || top >= bottom)
        return;
    HDC screen = GetDC(Handle());
    if (screen == nullptr)
        return;
    BitBlt(screen, left, top, right - left, bottom - top, buffer_.DC(), left, top, SRCCOPY);
    ReleaseDC(Handle(), screen);
}

void TobjCustomHistogram::ShowColumns(std::int32_t firstColumn, std::int32_t lastColumn) {
    if (firstColumn > lastColumn)
        return;
    // Higher columns stand further left.
    ShowArea(Union(CellOf(firstColumn), CellOf(lastColumn)));
}

// ---- TobjKernelViewer ---------------------------------------------------------------------------------

TobjKernelViewer::TobjKernelViewer(TComponent* owner) : TobjCustomHistogram(owner) {
    Kernel = Model().CurrentKernel;
}

void TobjKernelViewer::SetupViewer(int topArea, int browserRight) {
    IsOverview = true;
    Model().SelectImpulses(0, 0, true);
    const TWinControl* parent = Parent();
    const int clientWidth = parent != nullptr ? parent->ClientWidth() : Width();
    const int clientHeight = parent != nullptr ? parent->ClientHeight() : Height();
    SetBounds(browserRight + kRulerThickness, 0, clientWidth - (kRulerThickness + 1 + browserRight),
              Round32((clientHeight - topArea) * kViewerHeightPart));
    SetCaption("");
    SetColor(ToColor(HistogramDisplay().Background));
}

void TobjKernelViewer::UpdateDisplay() {
    ComputeScale();
    LayoutColumns();
    const TViewBounds& view = Bounds();
    if (Kernel != nullptr && view.FirstIndex >= 0 && view.LastIndex >= 0) {
        for (std::int32_t i = view.FirstIndex; i <= view.LastIndex && i < Kernel->Count(); ++i)
            ComputeBar(i);
    }
    RepaintAll();
}

void TobjKernelViewer::DrawContent(TCanvas& canvas) {
    const TViewBounds& view = Bounds();
    const bool holdsRecords = view.FirstIndex >= 0 && view.LastIndex >= 0;
    if (holdsRecords) {
        for (std::int32_t i = view.FirstIndex; i <= view.LastIndex && i < Kernel->Count(); ++i)
            DrawBar(canvas, i);
    }
    DrawZeroLine(canvas, true, 0, 0);
    if (!holdsRecords)
        return;
    const TViewBounds& editor = *Model().CurrentEditorBounds;
    const std::int32_t low = std::max(editor.RelLow, 0);
    const std::int32_t high = std::min(editor.RelHigh, geometry_.ColumnCount() - 1);
    for (std::int32_t column = low; column <= high; ++column)
        MarkColumn(canvas, column, true);
}

void TobjKernelViewer::MarkColumn(TCanvas& canvas, std::int32_t column, bool on) {
    const std::int32_t impulse = CheckedAdd(Bounds().LowImpulse, column);
    const std::int32_t index = Kernel->Find(impulse, 0, TFindMode::Exact);
    if (index >= 0)
        Kernel->SetSelected(index, on);
    DrawColumnBackground(canvas, column, on, index);
}

void TobjKernelViewer::HighlightRange(bool on) {
    if (Kernel == nullptr || geometry_.ColumnCount() == 0)
        return;
    const TViewBounds& editor = *Model().CurrentEditorBounds;
    const std::int32_t low = std::max(editor.RelLow, 0);
    const std::int32_t high = std::min(editor.RelHigh, geometry_.ColumnCount() - 1);
    TCanvas& canvas = BufferCanvas();
    for (std::int32_t column = low; column <= high; ++column)
        MarkColumn(canvas, column, on);
    ShowColumns(low, high);
}

void TobjKernelViewer::RedrawRecord(std::int32_t index, long double value) {
    if (Kernel == nullptr || index < 0 || index >= Kernel->Count())
        return;
    const TImpulseRec rec = Kernel->Record(index);
    const std::int32_t column = ColumnOf(rec.Impulse);
    if (column < 0)
        return;
    const THistogramDisplay& display = HistogramDisplay();
    TCanvas& canvas = BufferCanvas();
    Fill(canvas, rec.Bar, rec.Selected ? display.HighlightBackground : display.Background);
    const TBarRect bar = geometry_.BarRect(column, value);
    Kernel->SetBar(index, bar);
    DrawBar(canvas, index);
    DrawZeroLine(canvas, false, bar.Left, bar.Right);
    ShowArea(Union(rec.Bar, Union(bar, {bar.Left, geometry_.ZeroY(), bar.Right, geometry_.ZeroY() + 1})));
}

void TobjKernelViewer::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    TobjCustomHistogram::MouseDown(button, shift, x, y);
    if (buttonDown_)
        return;
    buttonDown_ = true;
    selecting_ = false;
    lastX_ = x;
    lastY_ = y;
    start_ = NoRecord;
    last_ = NoRecord;
}

void TobjKernelViewer::MouseMove(TShiftState shift, int x, int y) {
    TobjCustomHistogram::MouseMove(shift, x, y);
    if (!buttonDown_ || Kernel == nullptr || (x == lastX_ && y == lastY_))
        return;
    lastX_ = x;
    lastY_ = y;
    const TColumnTriple hit = HitTest(x);
    if (hit.Column < 0)
        return;
    if (!selecting_) {
        selecting_ = true;
        HighlightRange(false);
        Model().SelectImpulses(0, 0, true);
        start_ = hit;
        bandLow_ = -1;
        bandHigh_ = -2;
    }
    SetBand(std::min(start_.Column, hit.Column), std::max(start_.Column, hit.Column));
    last_ = hit;
}

// Highlights the columns Low..High and restores those that left the band (the pointer turned back).
void TobjKernelViewer::SetBand(std::int32_t low, std::int32_t high) {
    TCanvas& canvas = BufferCanvas();
    const std::int32_t oldLow = bandLow_;
    const std::int32_t oldHigh = bandHigh_;
    for (std::int32_t column = oldLow; column <= oldHigh; ++column) {
        if (column >= 0 && (column < low || column > high))
            MarkColumn(canvas, column, false);
    }
    for (std::int32_t column = low; column <= high; ++column) {
        if (column < oldLow || column > oldHigh)
            MarkColumn(canvas, column, true);
    }
    bandLow_ = low;
    bandHigh_ = high;
    // The selection record follows the band (the release computes it again from the chosen bounds).
    const std::int32_t viewLow = Bounds().LowImpulse;
    TSelectionRec& selection = Model().Selection;
    selection.LowImpulse = CheckedAdd(viewLow, low);
    selection.HighImpulse = CheckedAdd(viewLow, high);
    selection.Width = high - low + 1;
    std::int32_t first = -1;
    std::int32_t last = -1;
    if (Kernel->FindRange(selection.LowImpulse, selection.HighImpulse, first, last) == TRangeResult::Inside) {
        selection.FirstIndex = first;
        selection.LastIndex = last;
        selection.Count = last - first + 1;
    } else {
        selection.FirstIndex = -1;
        selection.LastIndex = -1;
        selection.Count = 0;
    }
    selection.ByteSize = CheckedMul(selection.Count, static_cast<std::int32_t>(kImpulseRecSize));
    ShowColumns(std::min(low, oldLow < 0 ? low : oldLow), std::max(high, oldHigh));
}

void TobjKernelViewer::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    TobjCustomHistogram::MouseUp(button, shift, x, y);
    if (!buttonDown_)
        return;
    buttonDown_ = false;
    if (!selecting_)
        return; // a click without a move changes nothing
    selecting_ = false;
    const TColumnTriple& low = start_.Column <= last_.Column ? start_ : last_;
    const TColumnTriple& high = start_.Column <= last_.Column ? last_ : start_;
    TViewBounds& editor = *Model().CurrentEditorBounds;
    editor.RelLow = low.Column;
    editor.LowIndex = low.Index;
    editor.LowImpulse = low.Impulse;
    editor.RelHigh = high.Column;
    editor.HighIndex = high.Index;
    editor.HighImpulse = high.Impulse;
    editor.Width = high.Column - low.Column + 1;
    editor.ZeroColumn = CheckedSub(0, low.Impulse);
    Model().RecomputeBounds(editor, -1);
    Model().SelectImpulses(low.Impulse, high.Impulse, false);
    if (OnRangeChosen)
        OnRangeChosen();
    if (OnRangeChosen2)
        OnRangeChosen2();
}

// ---- TobjKernelEditor ---------------------------------------------------------------------------------

TobjKernelEditor::TobjKernelEditor(TComponent* owner) : TobjCustomHistogram(owner), working_(Model()) {
    working_.Notify = false;
    Kernel = &working_;
}

void TobjKernelEditor::SetupEditor(int top, int topArea, int browserRight,
                                   std::function<void(std::int32_t, long double)> redrawViewerRecord,
                                   std::function<void(const TColumnTriple&)> onHover) {
    RedrawViewerRecord = std::move(redrawViewerRecord);
    OnHover = std::move(onHover);
    IsOverview = false;
    const TWinControl* parent = Parent();
    const int clientWidth = parent != nullptr ? parent->ClientWidth() : Width();
    const int clientHeight = parent != nullptr ? parent->ClientHeight() : Height();
    SetBounds(browserRight + kRulerThickness, top + 1, clientWidth - (kRulerThickness + 1 + browserRight),
              clientHeight - (top + kRulerThickness + topArea + 3));
    SetCaption("");
    SetColor(ToColor(HistogramDisplay().Background));
}

void TobjKernelEditor::ResetRange() {
    const std::int32_t count = Model().CurrentEditorBounds->Count;
    LastShown = count - 1;
    FirstShown = count > 0 ? 0 : -1;
}

void TobjKernelEditor::CopyRange(const TobjHistData& source, std::int32_t first, std::int32_t last) {
    working_.CopyRange(source, first, last);
}

void TobjKernelEditor::ComputeAllBars() {
    for (std::int32_t i = 0; i < working_.Count(); ++i)
        ComputeBar(i);
}

void TobjKernelEditor::UpdateDisplay() {
    if (!columnDeleted_) {
        working_.Clear();
        ResetRange();
        const TSelectionRec& selection = Model().Selection;
        if (selection.FirstIndex >= 0 && selection.LastIndex >= selection.FirstIndex)
            CopyRange(*Model().CurrentKernel, selection.FirstIndex, selection.LastIndex);
    }
    LayoutColumns();
    if (ImpulseRuler != nullptr)
        ImpulseRuler->SetColumnPitch(geometry_.Pitch());
    ComputeScale();
    ComputeAllBars();
    RepaintAll();
}

void TobjKernelEditor::DrawContent(TCanvas& canvas) {
    if (Bounds().Count > 0 && FirstShown >= 0) {
        for (std::int32_t i = FirstShown; i <= LastShown && i < working_.Count(); ++i)
            DrawBar(canvas, i);
    }
    DrawZeroLine(canvas, true, 0, 0);
}

void TobjKernelEditor::SpanSelected(std::int32_t low, std::int32_t high) {
    if (!SpanAcceptable(low, high))
        return;
    TViewBounds& editor = *Model().CurrentEditorBounds;
    SameWidth = std::int64_t{high} - low + 1 == editor.Width;
    editor.LowImpulse = low;
    editor.HighImpulse = high;
    if (Viewer != nullptr)
        Viewer->HighlightRange(false);
    Model().RecomputeBounds(editor, -1);
    ResetRange();
    Model().SelectImpulses(low, high, false);
    if (Viewer != nullptr)
        Viewer->HighlightRange(true);
    UpdateDisplay();
    if (OnRulerUpdate)
        OnRulerUpdate();
}

void TobjKernelEditor::RangeSelected(long double high, long double low) {
    if (!RangeAcceptable(high, low))
        return;
    TValueScale& scale = HistogramDisplay().Scale;
    scale.Low = low;
    scale.High = high;
    ComputeScale();
    ComputeAllBars();
    RepaintAll();
    if (ValueRuler != nullptr) {
        ValueRuler->SetValueRange(low, high);
        ValueRuler->UpdateLabelCaptions();
    }
}

void TobjKernelEditor::RedrawRecord(std::int32_t index) {
    if (index < 0 || index >= working_.Count())
        return;
    const TImpulseRec rec = working_.Record(index);
    const std::int32_t column = ColumnOf(rec.Impulse);
    if (column < 0)
        return;
    TCanvas& canvas = BufferCanvas();
    Fill(canvas, rec.Bar, HistogramDisplay().Background);
    ComputeBar(index);
    DrawBar(canvas, index);
    DrawZeroLine(canvas, false, rec.Bar.Left, rec.Bar.Right);
    ShowColumns(column, column);
}

void TobjKernelEditor::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    TobjCustomHistogram::MouseDown(button, shift, x, y);
    if (button == TMouseButton::mbMiddle)
        return;
    const bool left = button == TMouseButton::mbLeft;
    leftDown_ = left;
    rightDown_ = !left;
    moved_ = false;
    dragging_ = false;
    lastX_ = x;
    lastY_ = y;
    grabbedWorking_ = -1;
    grabbedKernel_ = -1;

    const TColumnTriple hit = HitTest(x);
    HitColumn = hit;
    TColumnTriple kernelHit = NoRecord;
    if (hit.Column >= 0) {
        const TobjHistData& kernel = *Model().CurrentKernel;
        kernelHit = {CheckedSub(hit.Impulse, Model().CurrentView().LowImpulse),
                     kernel.Find(hit.Impulse, 0, TFindMode::Exact), hit.Impulse};
        const bool hasRecord = hit.Index >= 0;
        const TBarRect bar = hasRecord ? working_.Record(hit.Index).Bar : TBarRect{};
        switch (ClassifyEditorPress(left, (shift & ssCtrl) != 0, hasRecord, bar, geometry_.ZeroY(), y)) {
        case TEditorPress::DeleteColumn:
            DeleteColumn(hit, kernelHit);
            leftDown_ = false;
            return;
        case TEditorPress::GrabBar:
            Grab(hit.Index, kernelHit.Index);
            break;
        case TEditorPress::CreateColumn:
            CreateColumn(hit, kernelHit);
            break;
        case TEditorPress::RightDown:
        case TEditorPress::Nothing:
            break;
        }
    }
    if (grabbedWorking_ < 0)
        leftDown_ = false;
    if (OnHover)
        OnHover(kernelHit);
}

void TobjKernelEditor::Grab(std::int32_t workingIndex, std::int32_t kernelIndex) {
    grabbedWorking_ = workingIndex;
    grabbedKernel_ = kernelIndex;
}

void TobjKernelEditor::DeleteColumn(const TColumnTriple& hit, const TColumnTriple& kernelHit) {
    // Pending before the displays update, so that the working list is not rebuilt until the release.
    columnDeleted_ = true;
    working_.Delete(hit.Index, 1);
    if (kernelHit.Index >= 0)
        Model().CurrentKernel->Delete(kernelHit.Index, 1);
    ResetRange();
    const TSelectionRec selection = Model().Selection;
    Model().SelectImpulses(selection.LowImpulse, selection.HighImpulse, false);
    UpdateDisplay();
    if (Viewer != nullptr)
        Viewer->UpdateDisplay();
    if (OnCountsChanged)
        OnCountsChanged();
}

bool TobjKernelEditor::CreateColumn(const TColumnTriple& hit, TColumnTriple& kernelHit) {
    TImpulseRec rec = InputTemplate;
    rec.Impulse = hit.Impulse;
    rec.Selected = true;
    TImpulseRec kernelRec = rec;
    TobjHistData& kernel = *Model().CurrentKernel;
    std::int32_t kernelIndex = kernel.AddOrMerge(kernelRec, TMergeMode::Keep);
    if (kernelIndex == -1)
        kernelIndex = Model().LastKeptIndex; // the kernel held it already
    if (kernelIndex < 0)
        return false; // the kernel is full
    TImpulseRec workingRec = rec;
    std::int32_t workingIndex = working_.AddOrMerge(workingRec, TMergeMode::Keep);
    if (workingIndex == -1)
        workingIndex = Model().LastKeptIndex;
    if (workingIndex < 0)
        return false;
    kernelHit.Index = kernelIndex;
    ResetRange();
    const TViewBounds& editor = *Model().CurrentEditorBounds;
    Model().SelectImpulses(editor.LowImpulse, editor.HighImpulse, false);
    ComputeBar(workingIndex);
    if (Viewer != nullptr && Viewer->Kernel == &kernel)
        Viewer->ComputeBar(kernelIndex);
    if (OnCountsChanged)
        OnCountsChanged();
    Grab(workingIndex, kernelIndex);
    columnCreated_ = true;
    return true;
}

void TobjKernelEditor::CancelRulerDrags() {
    for (TobjGraphAxis* ruler : {ImpulseRuler, ValueRuler}) {
        if (ruler != nullptr && ruler->DragPending())
            ruler->CancelDrag();
    }
}

void TobjKernelEditor::MarkCaptionChanged() {
    TForm* form = ParentForm();
    if (form == nullptr)
        return;
    const std::string& caption = form->Caption();
    if (!caption.empty() && caption.back() != '*')
        form->SetCaption(caption + "*");
}

void TobjKernelEditor::StartDrag() {
    moved_ = true;
    if (Clipboard != nullptr)
        Clipboard->FreeClipboard();
    dragging_ = working_.Kind(grabbedWorking_) != TSourceKind::Pass;
    if (dragging_)
        MarkCaptionChanged();
}

void TobjKernelEditor::DragTo(int y) {
    valueChanged_ = !columnCreated_;
    const long double value = geometry_.ValueAtRow(y);
    working_.SetValue(grabbedWorking_, value);
    TobjHistData& kernel = *Model().CurrentKernel;
    if (grabbedKernel_ >= 0 && grabbedKernel_ < kernel.Count())
        kernel.SetValue(grabbedKernel_, value);
    if (OnValueDragged)
        OnValueDragged(value);

    const TImpulseRec rec = working_.Record(grabbedWorking_);
    const std::int32_t column = ColumnOf(rec.Impulse);
    if (column >= 0) {
        TCanvas& canvas = BufferCanvas();
        Fill(canvas, rec.Bar, HistogramDisplay().Background);
        working_.SetBar(grabbedWorking_, geometry_.DragBarRect(column, y));
        DrawBar(canvas, grabbedWorking_);
        DrawZeroLine(canvas, false, CellOf(column).Left, CellOf(column).Right);
        ShowColumns(column, column);
    }
    const TViewBounds& view = Model().CurrentView();
    if (rec.Impulse >= view.LowImpulse && rec.Impulse <= view.HighImpulse && grabbedKernel_ >= 0 &&
        RedrawViewerRecord)
        RedrawViewerRecord(grabbedKernel_, value);
}

void TobjKernelEditor::MouseMove(TShiftState shift, int x, int y) {
    TobjCustomHistogram::MouseMove(shift, x, y);
    CancelRulerDrags();
    if (!leftDown_ || grabbedWorking_ < 0 || (x == lastX_ && y == lastY_))
        return;
    lastX_ = x;
    lastY_ = y;
    if (!moved_)
        StartDrag();
    if (dragging_)
        DragTo(y);
}

void TobjKernelEditor::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    TobjCustomHistogram::MouseUp(button, shift, x, y);
    leftDown_ = false;
    rightDown_ = false;
    dragging_ = false;
    moved_ = false;
    FlushUndo();
}

void TobjKernelEditor::FlushUndo() {
    const bool created = columnCreated_;
    const bool deleted = columnDeleted_;
    const bool changed = valueChanged_;
    columnCreated_ = columnDeleted_ = valueChanged_ = false;
    if (!RecordUndo)
        return;
    if (created)
        RecordUndo(kCreateColumnUndo);
    if (deleted)
        RecordUndo(kDeleteColumnUndo);
    if (changed)
        RecordUndo(kChangeValueUndo);
}

} // namespace tarvola
