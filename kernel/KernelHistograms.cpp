#include "kernel/KernelHistograms.h"

#include "base/Numerics.h"
#include "forms/Form.h"
#include "kernel/GraphAxis.h"
#include "kernel/KernelDesignerController.h"

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

TobjCustomHistogram::TobjCustomHistogram(TComponent* owner, KernelModel& model, THistogramDisplay& display)
    : TobjPaintPanel(owner), model_(model), display_(display) {
    SetCaption("");
    SetColor(ToColor(display_.Background));
}

TViewBounds& TobjCustomHistogram::Bounds() const {
    return IsOverview ? model_.CurrentView() : *model_.CurrentEditorBounds;
}

TColumnTriple TobjCustomHistogram::HitTest(int x) const {
    if (Kernel == nullptr)
        return NoRecord;
    return tarvola::HitTest(geometry_, Bounds().LowImpulse, *Kernel, x);
}

void TobjCustomHistogram::ComputeScale() {
    geometry_.SetSize(Width(), Height());
    geometry_.ComputeScale(display_.Scale);
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
    Fill(canvas, rec.Bar, BarColor(display_, rec.Kind, rec.Impulse, BarSelected(rec)));
}

void TobjCustomHistogram::DrawZeroLine(TCanvas& canvas, bool full, int x1, int x2) {
    if (!geometry_.ZeroLineInPlot())
        return;
    if (full) {
        x1 = geometry_.PlotLeft();
        x2 = geometry_.PlotRight();
    }
    canvas.Pen.Color = ToColor(display_.ZeroLine);
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
    const THistogramDisplay& display = display_;
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
    Fill(canvas, {frame.Left, frame.Top, frame.Right, frame.Bottom}, display_.Background);
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

TobjKernelViewer::TobjKernelViewer(TComponent* owner, KernelModel& model, THistogramDisplay& display)
    : TobjCustomHistogram(owner, model, display) {
    Kernel = model_.CurrentKernel;
}

void TobjKernelViewer::SetupViewer(int topArea, int browserRight) {
    IsOverview = true;
    model_.SelectImpulses(0, 0, true);
    const TWinControl* parent = Parent();
    const int clientWidth = parent != nullptr ? parent->ClientWidth() : Width();
    const int clientHeight = parent != nullptr ? parent->ClientHeight() : Height();
    SetBounds(browserRight + kRulerThickness, 0, clientWidth - (kRulerThickness + 1 + browserRight),
              Round32((clientHeight - topArea) * kViewerHeightPart));
    SetCaption("");
    SetColor(ToColor(display_.Background));
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
    const TViewBounds& editor = *model_.CurrentEditorBounds;
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
    const TViewBounds& editor = *model_.CurrentEditorBounds;
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
    const THistogramDisplay& display = display_;
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
        model_.SelectImpulses(0, 0, true);
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
    TSelectionRec& selection = model_.Selection;
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
    EndPress();
}

// A drag whose capture another window takes gets no release: it ends here, as far as it went, instead of
// following the pointer without a button.
LRESULT TobjKernelViewer::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
    const LRESULT result = TobjCustomHistogram::WndProc(message, wParam, lParam);
    if (message == WM_CAPTURECHANGED && reinterpret_cast<HWND>(lParam) != Handle())
        EndPress();
    return result;
}

void TobjKernelViewer::EndPress() {
    if (!buttonDown_)
        return;
    buttonDown_ = false;
    if (!selecting_)
        return; // a click without a move changes nothing
    selecting_ = false;
    const TColumnTriple& low = start_.Column <= last_.Column ? start_ : last_;
    const TColumnTriple& high = start_.Column <= last_.Column ? last_ : start_;
    if (Controller != nullptr)
        Controller->ChooseEditorRange(low, high);
    if (OnRangeChosen)
        OnRangeChosen();
    if (OnRangeChosen2)
        OnRangeChosen2();
}

// ---- TobjKernelEditor ---------------------------------------------------------------------------------

TobjKernelEditor::TobjKernelEditor(TComponent* owner, KernelModel& model, THistogramDisplay& display)
    : TobjCustomHistogram(owner, model, display), working_(model) {
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
    SetColor(ToColor(display_.Background));
}

void TobjKernelEditor::ResetRange() {
    const std::int32_t count = model_.CurrentEditorBounds->Count;
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
    if (!ColumnDeletePending()) {
        // The grabbed indexes name places in the list rebuilt here: another record (of another channel,
        // or after an edit or an undo) may stand there now, so the grab ends.
        Grab(-1, -1);
        working_.Clear();
        ResetRange();
        const TSelectionRec& selection = model_.Selection;
        if (selection.FirstIndex >= 0 && selection.LastIndex >= selection.FirstIndex)
            CopyRange(*model_.CurrentKernel, selection.FirstIndex, selection.LastIndex);
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
    if (Controller == nullptr || !SpanAcceptable(low, high))
        return;
    if (Viewer != nullptr)
        Viewer->HighlightRange(false);
    SameWidth = Controller->SelectEditorSpan(low, high);
    if (Viewer != nullptr)
        Viewer->HighlightRange(true);
    UpdateDisplay();
    if (OnRulerUpdate)
        OnRulerUpdate();
}

void TobjKernelEditor::RangeSelected(long double high, long double low) {
    if (!RangeAcceptable(high, low))
        return;
    TValueScale& scale = display_.Scale;
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
    Fill(canvas, rec.Bar, display_.Background);
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
        const TobjHistData& kernel = *model_.CurrentKernel;
        kernelHit = {CheckedSub(hit.Impulse, model_.CurrentView().LowImpulse),
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
    if (Controller != nullptr)
        Controller->DeleteColumn({hit.Index, kernelHit.Index});
}

void TobjKernelEditor::CreateColumn(const TColumnTriple& hit, TColumnTriple& kernelHit) {
    if (Controller == nullptr)
        return;
    const std::optional<TEditorGrab> grab = Controller->CreateColumn(hit.Impulse);
    if (!grab)
        return; // a full list refused it
    kernelHit.Index = grab->Kernel;
    ComputeBar(grab->Working);
    if (Viewer != nullptr && Viewer->Kernel == model_.CurrentKernel)
        Viewer->ComputeBar(grab->Kernel);
    Grab(grab->Working, grab->Kernel);
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
    dragging_ = Controller != nullptr && Controller->StartDrag(grabbedWorking_);
    if (dragging_)
        MarkCaptionChanged();
}

void TobjKernelEditor::DragTo(int y) {
    const long double value = geometry_.ValueAtRow(y);
    Controller->DragValue({grabbedWorking_, grabbedKernel_}, value);
    if (OnValueDragged)
        OnValueDragged(value);

    const TImpulseRec rec = working_.Record(grabbedWorking_);
    const std::int32_t column = ColumnOf(rec.Impulse);
    if (column >= 0) {
        TCanvas& canvas = BufferCanvas();
        Fill(canvas, rec.Bar, display_.Background);
        working_.SetBar(grabbedWorking_, geometry_.DragBarRect(column, y));
        DrawBar(canvas, grabbedWorking_);
        DrawZeroLine(canvas, false, CellOf(column).Left, CellOf(column).Right);
        ShowColumns(column, column);
    }
    const TViewBounds& view = model_.CurrentView();
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
    EndPress();
}

void TobjKernelEditor::EndPress() {
    leftDown_ = false;
    rightDown_ = false;
    dragging_ = false;
    moved_ = false;
    if (Controller != nullptr)
        Controller->EndGesture();
}

// A press whose capture another window takes gets no release: it ends here instead, so that its undo
// entry is recorded and a pending column delete no longer holds the working list.
LRESULT TobjKernelEditor::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
    const LRESULT result = TobjCustomHistogram::WndProc(message, wParam, lParam);
    if (message == WM_CAPTURECHANGED && reinterpret_cast<HWND>(lParam) != Handle())
        EndPress();
    return result;
}

} // namespace tarvola
