// Common controls: track bar, progress bar, spin edit (an edit with up-down arrows), page control with tab
// sheets, image list.
#pragma once

#include "forms/ChangeLink.h"
#include "forms/StdCtrls.h"

#include <commctrl.h>

#include <cstdint>
#include <vector>

namespace tarvola {

enum class TTrackBarOrientation { trHorizontal, trVertical };
enum class TTickMark { tmBottomRight, tmTopLeft, tmBoth };
enum class TTickStyle { tsNone, tsAuto, tsManual };

// A track bar; Position is kept within Min..Max, and OnChange fires whenever it changes (user or code).
class TTrackBar : public TWinControl {
public:
    explicit TTrackBar(TComponent* owner);

    int Min() const { return min_; }
    void SetMin(int min);
    int Max() const { return max_; }
    void SetMax(int max);
    int Position() const { return position_; }
    void SetPosition(int position);
    // Spacing of the automatic ticks.
    int Frequency() const { return frequency_; }
    void SetFrequency(int frequency);
    int PageSize() const { return pageSize_; }
    void SetPageSize(int pageSize);
    int LineSize() const { return lineSize_; }
    void SetLineSize(int lineSize);
    TTrackBarOrientation Orientation() const { return orientation_; }
    void SetOrientation(TTrackBarOrientation orientation);
    TTickMark TickMarks() const { return tickMarks_; }
    void SetTickMarks(TTickMark marks);
    TTickStyle TickStyle() const { return tickStyle_; }
    void SetTickStyle(TTickStyle style);
    // 0: the control's own thumb length.
    int ThumbLength() const { return thumbLength_; }
    void SetThumbLength(int length);

    TNotifyEvent OnChange;

    void SetProperty(std::string_view name, std::string_view value) override;

protected:
    void CreateParams(TCreateParams& params) override;
    void InitializeHandle() override;
    void ScrollNotify(WORD code) override;
    virtual void Changed();

private:
    void ApplyPosition();
    void ClampPosition();

    int min_ = 0;
    int max_ = 10;
    int position_ = 0;
    int frequency_ = 1;
    int pageSize_ = 2;
    int lineSize_ = 1;
    TTrackBarOrientation orientation_ = TTrackBarOrientation::trHorizontal;
    TTickMark tickMarks_ = TTickMark::tmBottomRight;
    TTickStyle tickStyle_ = TTickStyle::tsAuto;
    int thumbLength_ = 0;
};

class TProgressBar : public TWinControl {
public:
    explicit TProgressBar(TComponent* owner);
    int Min() const { return min_; }
    void SetMin(int min);
    int Max() const { return max_; }
    void SetMax(int max);
    int Position() const { return position_; }
    void SetPosition(int position);
    int Step() const { return step_; }
    void SetStep(int step) { step_ = step; }
    // Advances Position by Step (staying within Min..Max).
    void StepIt();
    bool Smooth() const { return smooth_; }
    void SetSmooth(bool smooth);

    void SetProperty(std::string_view name, std::string_view value) override;

protected:
    void CreateParams(TCreateParams& params) override;
    void InitializeHandle() override;

private:
    int min_ = 0;
    int max_ = 100;
    int position_ = 0;
    int step_ = 10;
    bool smooth_ = false;
};

// An edit for a whole number with up and down arrows. MinValue = MaxValue means no limits. Reading Value
// parses the text and keeps it within the limits; a text that is no whole number reads as MinValue.
// OnChange fires whenever the text changes (typing, arrows or code).
class TSpinEdit : public TEdit {
public:
    explicit TSpinEdit(TComponent* owner);
    ~TSpinEdit() override;

    std::int32_t MinValue() const { return minValue_; }
    void SetMinValue(std::int32_t value);
    std::int32_t MaxValue() const { return maxValue_; }
    void SetMaxValue(std::int32_t value);
    std::int32_t Value() const;
    void SetValue(std::int32_t value);
    std::int32_t Increment() const { return increment_; }
    void SetIncrement(std::int32_t increment) { increment_ = increment; }
    // False: the text cannot be typed; the arrows still change it.
    bool EditorEnabled() const { return editorEnabled_; }
    void SetEditorEnabled(bool enabled);

    void SetProperty(std::string_view name, std::string_view value) override;

protected:
    void CreateParams(TCreateParams& params) override;
    void InitializeHandle() override;
    void EnabledChanged() override;
    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    std::int32_t Clamp(std::int64_t value) const;
    bool Limited() const { return minValue_ != maxValue_; }
    void MakeButtons();
    void PlaceButtons();
    void Step(int direction);
    void KeepValidText();

    std::int32_t minValue_ = 0;
    std::int32_t maxValue_ = 0;
    std::int32_t increment_ = 1;
    bool editorEnabled_ = true;
    HWND buttons_ = nullptr;
};

// The whole number a text holds (blanks around it allowed), or false.
bool ParseInt32(std::string_view text, std::int32_t& value);

} // namespace tarvola

namespace tarvola {

class TPageControl;

// One page of a page control; its caption is the tab's text. Controls stand on it as on a panel.
class TTabSheet : public TCustomControl {
public:
    explicit TTabSheet(TComponent* owner);
    ~TTabSheet() override;
    TPageControl* PageControl() const;
    int PageIndex() const;

protected:
    void ParentChanged() override;
    void TextChanged() override;

private:
    friend class TPageControl;
    TPageControl* registeredWith_ = nullptr;
};

// Tabs over pages; one page shows at a time. OnChange fires whenever the active page changes.
class TPageControl : public TWinControl {
public:
    explicit TPageControl(TComponent* owner);

    int PageCount() const { return static_cast<int>(pages_.size()); }
    TTabSheet& Pages(int index) const;
    TTabSheet* ActivePage() const;
    void SetActivePage(TTabSheet* page);
    // -1: none.
    int ActivePageIndex() const { return activeIndex_; }
    void SetActivePageIndex(int index);

    TNotifyEvent OnChange;

    void SetProperty(std::string_view name, std::string_view value) override;

protected:
    void CreateParams(TCreateParams& params) override;
    void InitializeHandle() override;
    bool NotifyNotify(NMHDR& header, LRESULT& result) override;
    void Resize() override;

private:
    friend class TTabSheet;
    void InsertPage(TTabSheet& page);
    void RemovePage(TTabSheet& page);
    void UpdateTab(TTabSheet& page);
    void ShowActivePage();
    void PlacePages();

    std::vector<TTabSheet*> pages_;
    int activeIndex_ = -1;
};

// A list of images of one size drawn by index (glyphs, icons). Controls that show its images register a
// change link: they hear when images are added and when the list goes.
class TImageList : public TComponent, public TChangeLinkSource {
public:
    explicit TImageList(TComponent* owner, int width = 16, int height = 16);
    // A list over images someone else owns (the system's image list): shown and drawn, never destroyed here.
    TImageList(TComponent* owner, HIMAGELIST shared);
    ~TImageList() override;
    int Width() const { return width_; }
    int Height() const { return height_; }
    int Count() const;
    // Adds a bitmap of the list's size; pixels of the transparent colour are left out. Returns the index.
    int AddMasked(const TBitmap& image, TColor transparent);
    int AddIcon(HICON icon);
    void Draw(TCanvas& canvas, int x, int y, int index, bool enabled = true) const;
    HIMAGELIST Handle() const { return handle_; }

private:
    int width_;
    int height_;
    HIMAGELIST handle_ = nullptr;
    bool owned_ = true;
};

} // namespace tarvola
