// The kernel designer's two histograms of the current channel's kernel: the overview (TobjKernelViewer)
// shows the current view, and a drag across it chooses the editor range; the editor (TobjKernelEditor)
// shows that range from its own working copy of the records, where single columns are created (a click
// near the zero line), deleted (Ctrl + click) and dragged to a new value. Both hand what a gesture does to
// the model to the KernelDesignerController and draw what it leaves.
//
// Each histogram draws into its own back buffer and shows it whole when painted; a single column changed
// by the mouse is drawn into the buffer and copied to the screen at once, so nothing flickers or is lost
// when windows overlap. The arithmetic (columns, bars, hit tests, gesture rules) is in HistogramLayout.
#pragma once

#include "kernel/HistogramLayout.h"
#include "kernel/KernelDesignerController.h"
#include "kernel/KrnlDsgnTypes.h"
#include "kernel/PaintPanel.h"

#include <cstdint>
#include <functional>
#include <string>

namespace tarvola {

class TobjGraphAxis;

class TobjCustomHistogram : public TobjPaintPanel {
public:
    // Shows a list of Model in the colours and scale of Display; both outlive the histogram.
    TobjCustomHistogram(TComponent* owner, KernelModel& model, THistogramDisplay& display);

    // The list drawn.
    TobjHistData* Kernel = nullptr;
    // True in the viewer: its bounds are the current view; False in the editor: the editor bounds.
    bool IsOverview = false;
    // The column under the last press; NoRecord when none.
    TColumnTriple HitColumn = NoRecord;

    // The bounds this histogram shows.
    TViewBounds& Bounds() const;
    // Column, record index in Kernel and impulse under a pointer x.
    TColumnTriple HitTest(int x) const;
    void ComputeScale();
    void LayoutColumns();
    // Stores the bar of Kernel's record Index when its impulse lies in the bounds.
    void ComputeBar(std::int32_t index);
    const HistogramGeometry& Geometry() const { return geometry_; }

    // Draws everything into the back buffer again and shows it.
    void RepaintAll();
    // The back buffer as last drawn.
    const TBitmap& BackBuffer() const { return buffer_; }

protected:
    void Paint() override;
    void BoundsChanged() override;
    virtual float BarFraction() const = 0;
    // Bars, zero line and highlights over the cleared plot.
    virtual void DrawContent(TCanvas& canvas) = 0;

    // The column of an impulse when it lies in the bounds and is laid out, else -1.
    std::int32_t ColumnOf(std::int32_t impulse) const;
    bool BarSelected(const TImpulseRec& rec) const { return IsOverview && rec.Selected; }
    void DrawBar(TCanvas& canvas, std::int32_t index);
    void DrawZeroLine(TCanvas& canvas, bool full, int x1, int x2);
    // The column's cell in the background (highlighted or not), its record's bar, and the zero line.
    void DrawColumnBackground(TCanvas& canvas, std::int32_t column, bool highlighted, std::int32_t index);
    void Fill(TCanvas& canvas, const TBarRect& rect, std::uint32_t colour);
    TBarRect CellOf(std::int32_t column) const;
    // The back buffer's canvas, drawn whole first when it is not current.
    TCanvas& BufferCanvas();
    // Shows an area of the back buffer on the screen now.
    void ShowArea(const TBarRect& area);
    void ShowColumns(std::int32_t firstColumn, std::int32_t lastColumn);

    KernelModel& model_;
    THistogramDisplay& display_;
    HistogramGeometry geometry_;

private:
    void Render();

    TBitmap buffer_;
    bool bufferCurrent_ = false;
};

class TobjKernelViewer : public TobjCustomHistogram {
public:
    // Kernel is the current kernel.
    TobjKernelViewer(TComponent* owner, KernelModel& model, THistogramDisplay& display);

    // The model's writer: a drag's editor range goes through it (none: the drag only highlights).
    KernelDesignerController* Controller = nullptr;
    // Fired after a drag chose the editor range: the editor's UpdateDisplay, then the designer's ruler.
    std::function<void()> OnRangeChosen;
    std::function<void()> OnRangeChosen2;

    // Places the viewer across the top of its parent, right of the preset browser.
    void SetupViewer(int topArea, int browserRight);
    void UpdateDisplay();
    // Draws the editor range highlighted (On) or plain and marks its records selected or not.
    void HighlightRange(bool on);
    // Draws one kernel record again for a new value.
    void RedrawRecord(std::int32_t index, long double value);

    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseMove(TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;

protected:
    float BarFraction() const override { return display_.ViewerBarFraction; }
    void DrawContent(TCanvas& canvas) override;
    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    // The press is over (released, or its capture lost): a drag chooses the editor range.
    void EndPress();
    void SetBand(std::int32_t low, std::int32_t high);
    void MarkColumn(TCanvas& canvas, std::int32_t column, bool on);

    bool buttonDown_ = false;
    bool selecting_ = false;
    int lastX_ = 0;
    int lastY_ = 0;
    TColumnTriple start_ = NoRecord;
    TColumnTriple last_ = NoRecord;
    std::int32_t bandLow_ = -1;
    std::int32_t bandHigh_ = -2;
};

class TobjKernelEditor : public TobjCustomHistogram {
public:
    // Creates the working list (no change notification).
    TobjKernelEditor(TComponent* owner, KernelModel& model, THistogramDisplay& display);

    TobjHistData& WorkingList() { return working_; }
    // First and last record index of the range in the working list; -1 when it is empty.
    std::int32_t FirstShown = -1;
    std::int32_t LastShown = -1;
    // Set when the impulse ruler moved the range without changing its width.
    bool SameWidth = false;

    // The designer's read-out of the column under a press.
    std::function<void(const TColumnTriple&)> OnHover;
    // The viewer's single-record redraw (kernel index, value).
    std::function<void(std::int32_t index, long double value)> RedrawViewerRecord;
    // The value of a dragged bar, for the designer's value edit.
    std::function<void(long double value)> OnValueDragged;
    // The designer's refit of the impulse ruler to the editor range.
    std::function<void()> OnRulerUpdate;
    // The other parts of the designer this editor works with (each may be nullptr).
    TobjKernelViewer* Viewer = nullptr;
    TobjGraphAxis* ImpulseRuler = nullptr;
    TobjGraphAxis* ValueRuler = nullptr;
    // The model's writer: the presses, drags and releases go through it (none: they change nothing).
    KernelDesignerController* Controller = nullptr;

    // Places the editor below the viewer (at Top + 1) and binds the viewer's redraw and the read-out.
    void SetupEditor(int top, int topArea, int browserRight,
                     std::function<void(std::int32_t, long double)> redrawViewerRecord,
                     std::function<void(const TColumnTriple&)> onHover);
    // The editor bounds' records: FirstShown..LastShown. Both kernels' OnChange.
    void ResetRange();
    void CopyRange(const TobjHistData& source, std::int32_t first, std::int32_t last);
    void UpdateDisplay();
    // The impulse ruler's request: taken for 2 to 802 columns.
    void SpanSelected(std::int32_t low, std::int32_t high);
    // The value ruler's request: taken when High > Low.
    void RangeSelected(long double high, long double low);
    // Draws one working record again.
    void RedrawRecord(std::int32_t index);

    // The records grabbed by the last press (-1 none): in the working list and in the kernel. A rebuilt
    // working list ends the grab.
    std::int32_t GrabbedWorkingIndex() const { return grabbedWorking_; }
    std::int32_t GrabbedKernelIndex() const { return grabbedKernel_; }
    bool Dragging() const { return dragging_; }

    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseMove(TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;

protected:
    float BarFraction() const override { return display_.EditorBarFraction; }
    void DrawContent(TCanvas& canvas) override;
    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    // The press is over (released, or its capture lost): its undo entries are recorded.
    void EndPress();
    void DeleteColumn(const TColumnTriple& hit, const TColumnTriple& kernelHit);
    void CreateColumn(const TColumnTriple& hit, TColumnTriple& kernelHit);
    void Grab(std::int32_t workingIndex, std::int32_t kernelIndex);
    void StartDrag();
    void DragTo(int y);
    void MarkCaptionChanged();
    void CancelRulerDrags();
    void ComputeAllBars();
    bool ColumnDeletePending() const { return Controller != nullptr && Controller->ColumnDeletePending(); }

    TobjHistData working_;
    bool leftDown_ = false;
    bool rightDown_ = false;
    bool moved_ = false;
    bool dragging_ = false;
    int lastX_ = 0;
    int lastY_ = 0;
    std::int32_t grabbedWorking_ = -1;
    std::int32_t grabbedKernel_ = -1;
};

} // namespace tarvola
