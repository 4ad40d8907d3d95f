// The rulers and histograms as windows: synthesised mouse messages, renders into a memory bitmap.
#include "forms/Application.h"
#include "forms/Form.h"
#include "kernel/GraphAxis.h"
#include "kernel/ImpulseClipboard.h"
#include "kernel/KernelDesigner.h"
#include "kernel/KernelDesignerController.h"
#include "tests/support/MessagePump.h"

#include "KernelTestFolder.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace tarvola {
namespace {

constexpr TColor kRulerGrey = 0x9B9B9B; // red, green and blue 155

LPARAM At(int x, int y) {
    return MAKELPARAM(static_cast<WORD>(static_cast<SHORT>(x)), static_cast<WORD>(static_cast<SHORT>(y)));
}

void Press(TWinControl& c, UINT message, WPARAM keys, int x, int y) {
    SendMessageA(c.Handle(), message, keys, At(x, y));
}

void LeftClick(TWinControl& c, int x, int y, WPARAM extra = 0) {
    Press(c, WM_LBUTTONDOWN, MK_LBUTTON | extra, x, y);
    Press(c, WM_LBUTTONUP, extra, x, y);
}

COLORREF PixelOf(TWinControl& c, int x, int y) {
    TBitmap bitmap(c.Width(), c.Height());
    c.PaintTo(bitmap.DC(), 0, 0);
    return bitmap.Pixel(x, y);
}

// The controller's view of the form below: the editor and viewer redraw, and each undo entry the
// controller records lands in Undo.
class HistogramWindow : public IKernelDesignerWindow {
public:
    TobjKernelEditor* editor = nullptr;
    TobjKernelViewer* viewer = nullptr;
    const KernelDesignerController* controller = nullptr;
    std::vector<std::string>* undo = nullptr;

    void ResetEditorRange() override { editor->ResetRange(); }
    void UpdateEditor() override { editor->UpdateDisplay(); }
    void UpdateViewer(bool highlight) override {
        viewer->UpdateDisplay();
        if (highlight)
            viewer->HighlightRange(true);
    }
    void ShowUndoCaptions(const std::string&, bool, const std::string&, bool) override {
        if (controller == nullptr || undo == nullptr)
            return; // the session's "Initial Data"
        const TobjKernelUndoer& undoer = *controller->Undoer();
        undo->push_back(undoer.Entry(undoer.LastIndex()).Description);
    }
    void ShowViewerKernel(std::int32_t) override {}
    void UpdateEditorRuler() override {}
    void RedrawColumn(std::int32_t, std::int32_t, long double) override {}
    void ShowStats(std::int32_t, std::int32_t) override {}
    void ShowViewControls(const TViewControls&) override {}
    void ShowChannel(std::int32_t, const std::string&) override {}
    void SetCaption(const std::string&) override {}
    void ResetValueScale() override {}
    TAmplifyResult RunAmplify() override { return {}; }
    TBlockAdjustResult RunBlockAdjust() override { return {}; }
    THarmonizeResult RunHarmonize(std::int32_t) override { return {}; }
    TMirrorResult RunMirror(std::int32_t, std::int32_t) override { return {}; }
    void ShowError(const std::string&) override {}
    bool ConfirmReset(const std::string&) override { return false; }
};

// A form with the viewer over the editor and the two rulers beside them, on the model's start: each
// kernel holds impulse 0 at 1.0; the view spans -400..400, the editor -10..10. The editor's gestures go
// through a controller over the model.
class HistogramWindows : public ::testing::Test {
protected:
    HistogramWindows() : form(nullptr) {
        form.SetClientSize(940, 600);
        form.SetCaption("Kernel: Untitled");
        HistogramDisplay() = THistogramDisplay{};
        Model().SelectChannel(1);
        Model().ResetToDefaults();

        viewer = &form.Create<TobjKernelViewer>(model, display);
        viewer->SetParent(&form);
        viewer->Kernel = Model().CurrentKernel;
        viewer->SetupViewer(0, 0);
        editor = &form.Create<TobjKernelEditor>(model, display);
        editor->SetParent(&form);
        editor->SetupEditor(
            viewer->Top() + viewer->Height(), 0, 0,
            [this](std::int32_t i, long double v) { viewer->RedrawRecord(i, v); },
            [this](const TColumnTriple& t) { hovered.push_back(t); });
        editor->Viewer = viewer;
        window.editor = editor;
        window.viewer = viewer;
        controller =
            std::make_unique<KernelDesignerController>(Model(), clipboard, editor->WorkingList(), window);
        controller->StartSession(folder.Path());
        window.controller = controller.get();
        window.undo = &undo;
        editor->Controller = controller.get();
        viewer->Controller = controller.get();
        viewer->OnRangeChosen = [this] { editor->UpdateDisplay(); };
        viewer->OnRangeChosen2 = [this] { ++rangesChosen; };
        Model().LeftKernel.OnChange = [this] { editor->ResetRange(); };
        Model().RightKernel.OnChange = [this] { editor->ResetRange(); };

        valueRuler = &form.Create<TobjGraphAxis>();
        valueRuler->SetParent(&form);
        valueRuler->SetColor(kRulerGrey);
        valueRuler->LabelFont.SetName("Small Fonts");
        valueRuler->LabelFont.SetSize(6);
        valueRuler->LabelFont.SetColor(clWhite);
        valueRuler->SetLeft(0);
        valueRuler->SetTop(viewer->Height() + 1);
        valueRuler->SetDecimals(4);
        valueRuler->SetThickness(35);
        valueRuler->SetLength(editor->Height());
        valueRuler->SetEndLabels(true);
        valueRuler->SetReverseLabels(true);
        valueRuler->SetLabelCount(5, 0);
        valueRuler->SetValueRange(-2, 2);
        valueRuler->OnRangeSelect = [this](long double h, long double l) { editor->RangeSelected(h, l); };
        valueRuler->CreateLabels();
        valueRuler->LayoutLabels();
        editor->ValueRuler = valueRuler;

        impulseRuler = &form.Create<TobjGraphAxis>();
        impulseRuler->SetParent(&form);
        impulseRuler->SetColor(kRulerGrey);
        impulseRuler->LabelFont.Assign(valueRuler->LabelFont);
        impulseRuler->SetHorizontal(true);
        impulseRuler->SetTop(valueRuler->Top() + valueRuler->Height());
        impulseRuler->SetLeft(35);
        impulseRuler->SetDecimals(0);
        impulseRuler->SetThickness(35);
        impulseRuler->SetLength(editor->Width());
        impulseRuler->OnSpanSelect = [this](std::int32_t l, std::int32_t h) { editor->SpanSelected(l, h); };
        editor->ImpulseRuler = impulseRuler;
        editor->OnRulerUpdate = [this] { UpdateEditorRuler(); };

        filler = &form.Create<TobjAxisFiller>();
        filler->SetParent(&form);
        filler->SetBounds(0, impulseRuler->Top(), 35, 35);
        filler->SetColor(kRulerGrey);
        filler->SetAxes(impulseRuler, valueRuler);

        const TViewBounds& bounds = *Model().CurrentEditorBounds;
        Model().SelectImpulses(bounds.LowImpulse, bounds.HighImpulse, false);
        editor->UpdateDisplay();
        viewer->UpdateDisplay();
        UpdateEditorRuler();
        form.Show();
        test::PumpPending();
    }

    // The controller goes before the form's windows.
    ~HistogramWindows() override {
        editor->Controller = nullptr;
        viewer->Controller = nullptr;
    }

    // What the designer does after the editor range moved.
    void UpdateEditorRuler() {
        const TViewBounds& bounds = *Model().CurrentEditorBounds;
        impulseRuler->SetLowValue(bounds.LowImpulse);
        impulseRuler->SetHighValue(bounds.HighImpulse);
        impulseRuler->SetColumns(editor->Geometry().ColumnX(), bounds.LowImpulse, bounds.HighImpulse,
                                 bounds.Width, editor->Geometry().CellWidth() / 2);
        impulseRuler->CreateLabels();
        impulseRuler->LayoutLabels();
    }

    // Puts records into the current kernel and shows them.
    void Load(const std::vector<TImpulseRec>& records) {
        Model().CurrentKernel->LoadRecords(records);
        Model().RecomputeBounds(Model().CurrentView(), -1);
        Model().RecomputeBounds(*Model().CurrentEditorBounds, -1);
        const TViewBounds& bounds = *Model().CurrentEditorBounds;
        Model().SelectImpulses(bounds.LowImpulse, bounds.HighImpulse, false);
        editor->ResetRange();
        editor->UpdateDisplay();
        viewer->UpdateDisplay();
    }

    int EditorX(std::int32_t impulse) const {
        const auto& g = editor->Geometry();
        return g.ColumnLeft(impulse - Model().CurrentEditorBounds->LowImpulse) + g.CellWidth() / 2;
    }
    int ViewerX(std::int32_t impulse) const {
        const auto& g = viewer->Geometry();
        return g.ColumnLeft(impulse - Model().CurrentView().LowImpulse) + g.BarOffset();
    }
    int ZeroY() const { return editor->Geometry().ZeroY(); }
    const TobjHistData& KernelList() const { return *Model().CurrentKernel; }

    // The model and the display values the histograms show.
    KernelModel& Model() const { return model; }
    THistogramDisplay& HistogramDisplay() const { return display; }

    KernelTestFolder folder;
    mutable KernelModel model;
    mutable THistogramDisplay display;
    TImpulseClipboard clipboard{model};
    HistogramWindow window;
    TForm form;
    std::unique_ptr<KernelDesignerController> controller;
    TobjKernelViewer* viewer = nullptr;
    TobjKernelEditor* editor = nullptr;
    TobjGraphAxis* valueRuler = nullptr;
    TobjGraphAxis* impulseRuler = nullptr;
    TobjAxisFiller* filler = nullptr;
    std::vector<std::string> undo;
    std::vector<TColumnTriple> hovered;
    int rangesChosen = 0;
};

TEST_F(HistogramWindows, ValueRulerZoomsScrollsAndSelectsABand) {
    std::vector<std::pair<long double, long double>> ranges;
    valueRuler->OnRangeSelect = [&](long double h, long double l) { ranges.emplace_back(h, l); };
    const int length = valueRuler->AxisLength();
    LeftClick(*valueRuler, 17, length / 2);
    ASSERT_EQ(ranges.size(), 1u);
    EXPECT_EQ(ranges[0], (std::pair<long double, long double>{1, -1}));

    const int upper = length / 4;
    const int lower = length * 3 / 4;
    Press(*valueRuler, WM_RBUTTONDOWN, MK_RBUTTON, 17, upper);
    Press(*valueRuler, WM_MOUSEMOVE, MK_RBUTTON, 17, lower);
    EXPECT_TRUE(valueRuler->DragPending());
    EXPECT_EQ(PixelOf(*valueRuler, 5, length / 2), RGB(176, 176, 176));
    EXPECT_EQ(PixelOf(*valueRuler, 5, length / 8), RGB(155, 155, 155));
    EXPECT_EQ(PixelOf(*valueRuler, 1, length / 2), RGB(155, 155, 155)); // the band's margin
    Press(*valueRuler, WM_RBUTTONUP, 0, 17, lower);
    ASSERT_EQ(ranges.size(), 2u);
    EXPECT_EQ(ranges[1].first, 4.0L * (length - upper) / length - 2);
    EXPECT_EQ(ranges[1].second, 4.0L * (length - lower) / length - 2);
    EXPECT_GT(ranges[1].first, ranges[1].second);
    EXPECT_EQ(PixelOf(*valueRuler, 5, length / 2), RGB(155, 155, 155));
}

TEST_F(HistogramWindows, ImpulseRulerWidensNarrowsAndSelectsColumns) {
    std::vector<std::pair<std::int32_t, std::int32_t>> spans;
    impulseRuler->OnSpanSelect = [&](std::int32_t l, std::int32_t h) { spans.emplace_back(l, h); };
    Press(*impulseRuler, WM_RBUTTONDOWN, MK_RBUTTON, 300, 10);
    Press(*impulseRuler, WM_RBUTTONUP, 0, 300, 10);
    LeftClick(*impulseRuler, 300, 10);
    // A band from the column of impulse 4 to that of impulse -2: the span of their impulses.
    Press(*impulseRuler, WM_RBUTTONDOWN, MK_RBUTTON, EditorX(4), 10);
    Press(*impulseRuler, WM_MOUSEMOVE, MK_RBUTTON, EditorX(1), 10);
    Press(*impulseRuler, WM_MOUSEMOVE, MK_RBUTTON, EditorX(-2), 10);
    EXPECT_EQ(PixelOf(*impulseRuler, EditorX(1), 30), RGB(176, 176, 176));
    EXPECT_EQ(PixelOf(*impulseRuler, EditorX(6), 30), RGB(155, 155, 155));
    Press(*impulseRuler, WM_RBUTTONUP, 0, EditorX(-2), 10);
    const decltype(spans) expected{{-20, 20}, {-5, 5}, {-2, 4}};
    EXPECT_EQ(spans, expected);

    // A one-column span widens by at least one column on each side.
    impulseRuler->SetLowValue(7);
    impulseRuler->SetHighValue(7);
    Press(*impulseRuler, WM_RBUTTONDOWN, MK_RBUTTON, 300, 10);
    Press(*impulseRuler, WM_RBUTTONUP, 0, 300, 10);
    EXPECT_EQ(spans.back(), (std::pair<std::int32_t, std::int32_t>{6, 8}));
}

TEST_F(HistogramWindows, RulerSpanReachesTheEditorWithinItsLimits) {
    LeftClick(*impulseRuler, 300, 10); // -10..10 zoomed in to -5..5
    EXPECT_EQ(Model().CurrentEditorBounds->LowImpulse, -5);
    EXPECT_EQ(Model().CurrentEditorBounds->HighImpulse, 5);
    EXPECT_EQ(impulseRuler->Layout().LabelCount(), 11);
    EXPECT_EQ(impulseRuler->Layout().LabelValue(10), 5); // no label beyond the last column

    editor->SpanSelected(0, 802);
    EXPECT_EQ(Model().CurrentEditorBounds->Width, 11);
    editor->SpanSelected(3, 3);
    EXPECT_EQ(Model().CurrentEditorBounds->Width, 11);
    editor->SpanSelected(0, 801);
    EXPECT_EQ(Model().CurrentEditorBounds->Width, 802);
    EXPECT_EQ(editor->Geometry().ColumnCount(), 802);

    editor->RangeSelected(1, 1);
    editor->RangeSelected(-1, 1);
    EXPECT_EQ(HistogramDisplay().Scale.High, 2);
    LeftClick(*valueRuler, 17, valueRuler->AxisLength() / 2);
    EXPECT_EQ(HistogramDisplay().Scale.High, 1);
    EXPECT_EQ(HistogramDisplay().Scale.Low, -1);
    EXPECT_EQ(valueRuler->Layout().LabelCaption(4), "1.0000");
}

TEST_F(HistogramWindows, FillerEndsARulerDragOnItsFifthMove) {
    std::vector<std::pair<long double, long double>> ranges;
    valueRuler->OnRangeSelect = [&](long double h, long double l) { ranges.emplace_back(h, l); };
    Press(*valueRuler, WM_RBUTTONDOWN, MK_RBUTTON, 17, 100);
    Press(*valueRuler, WM_MOUSEMOVE, MK_RBUTTON, 17, 200);
    ReleaseCapture(); // the pointer went where the ruler no longer hears it
    for (int move = 1; move <= 4; ++move)
        Press(*filler, WM_MOUSEMOVE, 0, 10, 10 + move);
    EXPECT_TRUE(valueRuler->DragPending());
    Press(*filler, WM_MOUSEMOVE, 0, 10, 20);
    EXPECT_FALSE(valueRuler->DragPending());
    EXPECT_EQ(ranges.size(), 1u);
}

TEST_F(HistogramWindows, EditorEndsRulerDragsAndPaintPanelPaintsFirst) {
    Press(*valueRuler, WM_RBUTTONDOWN, MK_RBUTTON, 17, 100);
    Press(*valueRuler, WM_MOUSEMOVE, MK_RBUTTON, 17, 200);
    ReleaseCapture();
    ASSERT_TRUE(valueRuler->DragPending());
    Press(*editor, WM_MOUSEMOVE, 0, 100, 100);
    EXPECT_FALSE(valueRuler->DragPending());
    EXPECT_EQ(HistogramDisplay().Scale.High, 4.0L * (editor->Height() - 100) / editor->Height() - 2);

    auto& panel = form.Create<TobjPaintPanel>();
    panel.SetBounds(600, 10, 40, 30);
    panel.SetParent(&form);
    panel.SetColor(RGB(10, 20, 30));
    panel.OnPaint = [&panel](TObject&) { panel.Canvas().SetPixel(20, 15, RGB(200, 0, 0)); };
    EXPECT_EQ(PixelOf(panel, 20, 15), RGB(200, 0, 0));
    EXPECT_EQ(PixelOf(panel, 20, 10), RGB(10, 20, 30));
}

TEST_F(HistogramWindows, EditorCreatesDragsAndDeletesSingleColumns) {
    const std::int32_t before = KernelList().Count();
    // 4 pixels from the zero line creates nothing; 3 pixels does.
    LeftClick(*editor, EditorX(3), ZeroY() - 4);
    EXPECT_EQ(KernelList().Count(), before);
    Press(*editor, WM_LBUTTONDOWN, MK_LBUTTON, EditorX(3), ZeroY() - 3);
    ASSERT_EQ(KernelList().Count(), before + 1);
    const std::int32_t created = KernelList().Find(3, 0, TFindMode::Exact);
    ASSERT_GE(created, 0);
    EXPECT_EQ(KernelList().Kind(created), TSourceKind::Input);
    EXPECT_EQ(KernelList().Value(created), 0);
    EXPECT_TRUE(KernelList().Record(created).Selected);
    EXPECT_EQ(hovered.back(), (TColumnTriple{403, created, 3}));
    // Dragging it up a quarter of the height above the zero line.
    const int above = editor->Geometry().AboveHeight();
    Press(*editor, WM_MOUSEMOVE, MK_LBUTTON, EditorX(3), ZeroY() - above / 2);
    const long double expected = 2.0L * (above / 2) / above;
    EXPECT_EQ(KernelList().Value(created), expected);
    EXPECT_EQ(form.Caption(), "Kernel: Untitled*");
    Press(*editor, WM_LBUTTONUP, 0, EditorX(3), ZeroY() - above / 2);
    EXPECT_EQ(undo, (std::vector<std::string>{"Create Single Column"}));

    // Dragging the record at impulse 0 down below the plot: clamped to the scale's low end.
    const int barTop = editor->WorkingList().Record(0).Bar.Top;
    Press(*editor, WM_LBUTTONDOWN, MK_LBUTTON, EditorX(0), barTop + 2);
    Press(*editor, WM_MOUSEMOVE, MK_LBUTTON, EditorX(0), editor->Height() + 50);
    EXPECT_EQ(KernelList().Value(KernelList().Find(0, 0, TFindMode::Exact)), -2);
    EXPECT_EQ(form.Caption(), "Kernel: Untitled*");
    // The viewer redrew that record at once: its bar now hangs down to the plot bottom.
    EXPECT_EQ(PixelOf(*viewer, ViewerX(0), viewer->Geometry().PlotBottom() - 1), RGB(72, 112, 200));
    EXPECT_NE(PixelOf(*viewer, ViewerX(0), viewer->Geometry().ZeroY() - 3), RGB(72, 112, 200));
    Press(*editor, WM_LBUTTONUP, 0, EditorX(0), editor->Height() + 50);

    // Ctrl + click deletes the created column; on an empty column it is a plain click.
    LeftClick(*editor, EditorX(3), 5, MK_CONTROL);
    EXPECT_EQ(KernelList().Find(3, 0, TFindMode::Exact), -1);
    EXPECT_EQ(KernelList().Count(), before);
    LeftClick(*editor, EditorX(-7), ZeroY() + 2, MK_CONTROL);
    EXPECT_GE(KernelList().Find(-7, 0, TFindMode::Exact), 0);

    const std::vector<std::string> order{"Create Single Column", "Change Column Value",
                                         "Delete Single Column", "Create Single Column"};
    EXPECT_EQ(undo, order);
    EXPECT_EQ(editor->WorkingList().Count(), Model().CurrentEditorBounds->Count);
}

TEST_F(HistogramWindows, PassRecordIsGrabbedButNotDragged) {
    Load({{1, 0, TSourceKind::Input, {}, false}, {0.5L, 5, TSourceKind::Pass, {}, false}});
    form.SetCaption("Kernel: Untitled");
    const std::int32_t index = KernelList().Find(5, 0, TFindMode::Exact);
    const TBarRect bar = editor->WorkingList().Record(1).Bar;
    clipboard.NewClipboard();
    Press(*editor, WM_LBUTTONDOWN, MK_LBUTTON, EditorX(5), bar.Top + 1);
    EXPECT_EQ(editor->GrabbedKernelIndex(), index);
    Press(*editor, WM_MOUSEMOVE, MK_LBUTTON, EditorX(5), bar.Top - 60);
    EXPECT_FALSE(editor->Dragging());
    EXPECT_FALSE(clipboard.HasList()); // a drag's first move empties the clipboard
    Press(*editor, WM_LBUTTONUP, 0, EditorX(5), bar.Top - 60);
    EXPECT_EQ(KernelList().Value(index), 0.5L);
    EXPECT_EQ(form.Caption(), "Kernel: Untitled");
    EXPECT_TRUE(undo.empty());
}

TEST_F(HistogramWindows, ViewerDragChoosesTheEditorRange) {
    // A click changes nothing.
    LeftClick(*viewer, ViewerX(-50), 20);
    EXPECT_EQ(Model().CurrentEditorBounds->LowImpulse, -10);
    EXPECT_EQ(rangesChosen, 0);

    Press(*viewer, WM_LBUTTONDOWN, MK_LBUTTON, ViewerX(30), 20);
    Press(*viewer, WM_MOUSEMOVE, MK_LBUTTON, ViewerX(30), 21); // the band starts at the first move
    Press(*viewer, WM_MOUSEMOVE, MK_LBUTTON, ViewerX(-80), 20);
    Press(*viewer, WM_MOUSEMOVE, MK_LBUTTON, ViewerX(-50), 20); // turned back
    EXPECT_EQ(PixelOf(*viewer, ViewerX(-70), 20), RGB(0, 0, 0));
    EXPECT_EQ(PixelOf(*viewer, ViewerX(-40), 20), RGB(36, 36, 36));
    Press(*viewer, WM_LBUTTONUP, 0, ViewerX(-50), 20);
    const TViewBounds& bounds = *Model().CurrentEditorBounds;
    EXPECT_EQ(bounds.LowImpulse, -50);
    EXPECT_EQ(bounds.HighImpulse, 30);
    EXPECT_EQ(bounds.Width, 81);
    EXPECT_EQ(bounds.Count, 1);
    EXPECT_EQ(Model().Selection.LowImpulse, -50);
    EXPECT_EQ(Model().Selection.HighImpulse, 30);
    EXPECT_EQ(Model().Selection.Count, 1);
    EXPECT_EQ(rangesChosen, 1);
    EXPECT_EQ(editor->Geometry().ColumnCount(), 81);
    EXPECT_EQ(editor->WorkingList().Count(), 1);
}

TEST_F(HistogramWindows, RenderShowsColoursAndExtents) {
    Load({{-2, -3, TSourceKind::Output, {}, false},
          {1, 0, TSourceKind::Input, {}, false},
          {2, 2, TSourceKind::Input, {}, false},
          {3e30L, 4, TSourceKind::Output, {}, false},
          {1, 6, TSourceKind::Pass, {}, false}});
    TBitmap bitmap(editor->Width(), editor->Height());
    editor->PaintTo(bitmap.DC(), 0, 0);
    const auto& g = editor->Geometry();
    const int bottom = g.PlotBottom() - 1;
    EXPECT_EQ(bitmap.Pixel(EditorX(-5), 20), RGB(0, 0, 0));
    EXPECT_EQ(bitmap.Pixel(EditorX(-5), ZeroY()), RGB(136, 0, 0));
    EXPECT_EQ(bitmap.Pixel(EditorX(0), ZeroY() - 10), RGB(16, 56, 144));
    EXPECT_EQ(bitmap.Pixel(EditorX(2), g.PlotTop()), RGB(32, 160, 27));
    EXPECT_NE(bitmap.Pixel(EditorX(2), 0), RGB(32, 160, 27)); // the frame
    EXPECT_EQ(bitmap.Pixel(EditorX(-3), bottom), RGB(180, 144, 20));
    EXPECT_NE(bitmap.Pixel(EditorX(-3), bottom + 1), RGB(180, 144, 20));
    EXPECT_EQ(bitmap.Pixel(EditorX(4), g.PlotTop()), RGB(180, 144, 20)); // clipped, not overflowed
    EXPECT_EQ(bitmap.Pixel(EditorX(6), ZeroY() - 10), RGB(24, 24, 24));
    // The bar is 0.7 of the cell, centred.
    const int left = g.ColumnLeft(2 + 10) + g.BarOffset();
    EXPECT_EQ(bitmap.Pixel(left, ZeroY() - 10), RGB(32, 160, 27));
    EXPECT_EQ(bitmap.Pixel(left - 1, ZeroY() - 10), RGB(0, 0, 0));
    EXPECT_EQ(bitmap.Pixel(left + g.BarWidth() - 1, ZeroY() - 10), RGB(32, 160, 27));
    EXPECT_EQ(bitmap.Pixel(left + g.BarWidth(), ZeroY() - 10), RGB(0, 0, 0));

    // The viewer shows the editor range highlighted, its records in the selected colours.
    TBitmap view(viewer->Width(), viewer->Height());
    viewer->PaintTo(view.DC(), 0, 0);
    const int viewZero = viewer->Geometry().ZeroY();
    EXPECT_EQ(view.Pixel(ViewerX(-5), 5), RGB(36, 36, 36));
    EXPECT_EQ(view.Pixel(ViewerX(-50), 5), RGB(0, 0, 0));
    EXPECT_EQ(view.Pixel(ViewerX(0), viewZero - 3), RGB(72, 112, 200));
    EXPECT_EQ(view.Pixel(ViewerX(2), viewZero - 3), RGB(96, 224, 91));
    EXPECT_EQ(view.Pixel(ViewerX(-3), viewZero + 3), RGB(244, 208, 84));
}

TEST_F(HistogramWindows, EmptyKernelShowsTheZeroLineAndTakesANewColumn) {
    Load({});
    EXPECT_EQ(editor->FirstShown, -1);
    EXPECT_EQ(PixelOf(*editor, EditorX(0), ZeroY()), RGB(136, 0, 0));
    EXPECT_EQ(PixelOf(*editor, EditorX(0), ZeroY() - 10), RGB(0, 0, 0));
    EXPECT_EQ(PixelOf(*viewer, ViewerX(0), 5), RGB(0, 0, 0)); // a view without records: no highlight
    LeftClick(*editor, EditorX(-4), ZeroY() + 3);
    EXPECT_EQ(KernelList().Count(), 1);
    EXPECT_EQ(editor->FirstShown, 0);
    EXPECT_EQ(editor->LastShown, 0);
    EXPECT_EQ(undo, (std::vector<std::string>{"Create Single Column"}));
}

TEST_F(HistogramWindows, FullKernelTakesNoNewColumn) {
    std::vector<TImpulseRec> records;
    for (std::int32_t i = 0; i < kMaxKernelRecords; ++i)
        records.push_back({0.5L, 1000 + i, TSourceKind::Input, {}, false});
    Load(records);
    LeftClick(*editor, EditorX(3), ZeroY() - 1);
    EXPECT_EQ(KernelList().Count(), kMaxKernelRecords);
    EXPECT_EQ(KernelList().Find(3, 0, TFindMode::Exact), -1);
    EXPECT_EQ(editor->GrabbedWorkingIndex(), -1);
    EXPECT_TRUE(undo.empty());
}

// Shows the designer's surfaces with a few hundred records for a look; runs only when asked:
// TARVOLA_SHOW_HISTOGRAMS=<seconds>.
TEST_F(HistogramWindows, ShowsAKernelForALook) {
    const char* seconds = std::getenv("TARVOLA_SHOW_HISTOGRAMS");
    if (seconds == nullptr)
        GTEST_SKIP() << "set TARVOLA_SHOW_HISTOGRAMS to look at the histograms";
    std::vector<TImpulseRec> records;
    for (std::int32_t impulse = -380; impulse <= 390; impulse += 2) {
        const long double decay = std::exp(-std::abs(impulse) / 120.0L);
        const long double value = (impulse % 6 == 0 ? -1 : 1) * 1.6L * decay * ((impulse % 10 + 11) / 20.0L);
        const auto kind = impulse % 7 == 0    ? TSourceKind::Output
                          : impulse % 11 == 0 ? TSourceKind::Pass
                                              : TSourceKind::Input;
        records.push_back({impulse == 0 ? 1.0L : value, impulse, kind, {}, false});
    }
    Load(records);
    editor->SpanSelected(-60, 20);
    test::PumpFor(std::chrono::seconds(std::atoi(seconds)));
}

} // namespace
} // namespace tarvola
