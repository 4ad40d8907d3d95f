#include "forms/ComCtrls.h"

#include <commctrl.h>

#include <algorithm>
#include <charconv>
#include <limits>
#include <string>

namespace tarvola {

namespace {

constexpr int kSpinButtonWidth = 16;

} // namespace

bool ParseInt32(std::string_view text, std::int32_t& value) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) {
        text.remove_prefix(1);
    }
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) {
        text.remove_suffix(1);
    }
    if (!text.empty() && text.front() == '+') {
        text.remove_prefix(1);
        // One sign only: "+-5" is no number.
        if (!text.empty() && text.front() == '-') {
            return false;
        }
    }
    std::int32_t parsed = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), parsed);
    if (text.empty() || error != std::errc() || end != text.data() + text.size()) {
        return false;
    }
    value = parsed;
    return true;
}

// ---- TTrackBar

TTrackBar::TTrackBar(TComponent* owner) : TWinControl(owner) {
    SetTabStop(true);
    SetParentColor(true);
    SetBounds(0, 0, 150, 45);
}

void TTrackBar::CreateParams(TCreateParams& params) {
    TWinControl::CreateParams(params);
    params.className = TRACKBAR_CLASSA;
    params.exStyle = 0;
    const bool vertical = orientation_ == TTrackBarOrientation::trVertical;
    params.style |= vertical ? TBS_VERT : TBS_HORZ;
    switch (tickMarks_) {
    case TTickMark::tmBottomRight:
        params.style |= vertical ? TBS_RIGHT : TBS_BOTTOM;
        break;
    case TTickMark::tmTopLeft:
        params.style |= vertical ? TBS_LEFT : TBS_TOP;
        break;
    case TTickMark::tmBoth:
        params.style |= TBS_BOTH;
        break;
    }
    if (tickStyle_ == TTickStyle::tsNone) {
        params.style |= TBS_NOTICKS;
    } else if (tickStyle_ == TTickStyle::tsAuto) {
        params.style |= TBS_AUTOTICKS;
    }
    if (thumbLength_ > 0) {
        params.style |= TBS_FIXEDLENGTH;
    }
}

void TTrackBar::InitializeHandle() {
    TWinControl::InitializeHandle();
    SendMessageA(Handle(), TBM_SETRANGEMIN, FALSE, min_);
    SendMessageA(Handle(), TBM_SETRANGEMAX, FALSE, max_);
    SendMessageA(Handle(), TBM_SETTICFREQ, static_cast<WPARAM>(frequency_), 0);
    SendMessageA(Handle(), TBM_SETPAGESIZE, 0, pageSize_);
    SendMessageA(Handle(), TBM_SETLINESIZE, 0, lineSize_);
    if (thumbLength_ > 0) {
        SendMessageA(Handle(), TBM_SETTHUMBLENGTH, static_cast<WPARAM>(thumbLength_), 0);
    }
    ApplyPosition();
}

void TTrackBar::ApplyPosition() {
    if (HandleAllocated()) {
        SendMessageA(Handle(), TBM_SETPOS, TRUE, position_);
    }
}

void TTrackBar::ClampPosition() {
    const int clamped = std::clamp(position_, min_, max_);
    if (clamped != position_) {
        position_ = clamped;
        ApplyPosition();
        Changed();
    }
}

void TTrackBar::SetMin(int min) {
    min_ = min;
    max_ = std::max(max_, min_);
    if (HandleAllocated()) {
        SendMessageA(Handle(), TBM_SETRANGEMIN, FALSE, min_);
        SendMessageA(Handle(), TBM_SETRANGEMAX, TRUE, max_);
    }
    ClampPosition();
}

void TTrackBar::SetMax(int max) {
    max_ = max;
    min_ = std::min(min_, max_);
    if (HandleAllocated()) {
        SendMessageA(Handle(), TBM_SETRANGEMIN, FALSE, min_);
        SendMessageA(Handle(), TBM_SETRANGEMAX, TRUE, max_);
    }
    ClampPosition();
}

void TTrackBar::SetPosition(int position) {
    position = std::clamp(position, min_, max_);
    if (position == position_) {
        return;
    }
    position_ = position;
    ApplyPosition();
    Changed();
}

void TTrackBar::SetFrequency(int frequency) {
    frequency_ = std::max(frequency, 1);
    if (HandleAllocated()) {
        SendMessageA(Handle(), TBM_SETTICFREQ, static_cast<WPARAM>(frequency_), 0);
    }
}

void TTrackBar::SetPageSize(int pageSize) {
    pageSize_ = pageSize;
    if (HandleAllocated()) {
        SendMessageA(Handle(), TBM_SETPAGESIZE, 0, pageSize_);
    }
}

void TTrackBar::SetLineSize(int lineSize) {
    lineSize_ = lineSize;
    if (HandleAllocated()) {
        SendMessageA(Handle(), TBM_SETLINESIZE, 0, lineSize_);
    }
}

void TTrackBar::SetOrientation(TTrackBarOrientation orientation) {
    orientation_ = orientation;
    RecreateWnd();
}

void TTrackBar::SetTickMarks(TTickMark marks) {
    tickMarks_ = marks;
    RecreateWnd();
}

void TTrackBar::SetTickStyle(TTickStyle style) {
    tickStyle_ = style;
    RecreateWnd();
}

void TTrackBar::SetThumbLength(int length) {
    thumbLength_ = std::max(length, 0);
    RecreateWnd();
}

void TTrackBar::ScrollNotify(WORD) {
    const int position = static_cast<int>(SendMessageA(Handle(), TBM_GETPOS, 0, 0));
    if (position != position_) {
        position_ = position;
        Changed();
    }
}

void TTrackBar::Changed() {
    if (OnChange) {
        OnChange(*this);
    }
}

void TTrackBar::SetProperty(std::string_view name, std::string_view value) {
    if (name == "Min") {
        SetMin(PropInteger(value, name));
    } else if (name == "Max") {
        SetMax(PropInteger(value, name));
    } else if (name == "Position") {
        SetPosition(PropInteger(value, name));
    } else if (name == "Frequency") {
        SetFrequency(PropInteger(value, name));
    } else if (name == "PageSize") {
        SetPageSize(PropInteger(value, name));
    } else if (name == "LineSize") {
        SetLineSize(PropInteger(value, name));
    } else if (name == "ThumbLength") {
        SetThumbLength(PropInteger(value, name));
    } else if (name == "Orientation") {
        SetOrientation(PropChoice<TTrackBarOrientation>(value, name,
                                                        {{"trHorizontal", TTrackBarOrientation::trHorizontal},
                                                         {"trVertical", TTrackBarOrientation::trVertical}}));
    } else if (name == "TickMarks") {
        SetTickMarks(PropChoice<TTickMark>(value, name,
                                           {{"tmBottomRight", TTickMark::tmBottomRight},
                                            {"tmTopLeft", TTickMark::tmTopLeft},
                                            {"tmBoth", TTickMark::tmBoth}}));
    } else if (name == "TickStyle") {
        SetTickStyle(PropChoice<TTickStyle>(value, name,
                                            {{"tsNone", TTickStyle::tsNone},
                                             {"tsAuto", TTickStyle::tsAuto},
                                             {"tsManual", TTickStyle::tsManual}}));
    } else {
        TWinControl::SetProperty(name, value);
    }
}

// ---- TProgressBar

TProgressBar::TProgressBar(TComponent* owner) : TWinControl(owner) {
    SetBounds(0, 0, 150, 16);
}

void TProgressBar::CreateParams(TCreateParams& params) {
    TWinControl::CreateParams(params);
    params.className = PROGRESS_CLASSA;
    params.exStyle = 0;
    if (smooth_) {
        params.style |= PBS_SMOOTH;
    }
}

void TProgressBar::InitializeHandle() {
    TWinControl::InitializeHandle();
    SendMessageA(Handle(), PBM_SETRANGE32, static_cast<WPARAM>(min_), max_);
    SendMessageA(Handle(), PBM_SETPOS, static_cast<WPARAM>(position_), 0);
}

void TProgressBar::SetMin(int min) {
    min_ = min;
    max_ = std::max(max_, min_);
    SetPosition(position_);
    if (HandleAllocated()) {
        SendMessageA(Handle(), PBM_SETRANGE32, static_cast<WPARAM>(min_), max_);
    }
}

void TProgressBar::SetMax(int max) {
    max_ = max;
    min_ = std::min(min_, max_);
    SetPosition(position_);
    if (HandleAllocated()) {
        SendMessageA(Handle(), PBM_SETRANGE32, static_cast<WPARAM>(min_), max_);
    }
}

void TProgressBar::SetPosition(int position) {
    position_ = std::clamp(position, min_, max_);
    if (HandleAllocated()) {
        SendMessageA(Handle(), PBM_SETPOS, static_cast<WPARAM>(position_), 0);
    }
}

void TProgressBar::StepIt() {
    SetPosition(
        static_cast<int>(std::clamp<std::int64_t>(static_cast<std::int64_t>(position_) + step_, min_, max_)));
}

void TProgressBar::SetSmooth(bool smooth) {
    smooth_ = smooth;
    RecreateWnd();
}

void TProgressBar::SetProperty(std::string_view name, std::string_view value) {
    if (name == "Min") {
        SetMin(PropInteger(value, name));
    } else if (name == "Max") {
        SetMax(PropInteger(value, name));
    } else if (name == "Position") {
        SetPosition(PropInteger(value, name));
    } else if (name == "Step") {
        SetStep(PropInteger(value, name));
    } else if (name == "Smooth") {
        SetSmooth(PropBoolean(value, name));
    } else {
        TWinControl::SetProperty(name, value);
    }
}

// ---- TSpinEdit

TSpinEdit::TSpinEdit(TComponent* owner) : TEdit(owner) {
    SetText("0");
    SetBounds(0, 0, 121, 22);
}

TSpinEdit::~TSpinEdit() = default;

void TSpinEdit::CreateParams(TCreateParams& params) {
    TEdit::CreateParams(params);
    params.style |= WS_CLIPCHILDREN;
}

void TSpinEdit::InitializeHandle() {
    TEdit::InitializeHandle();
    SendMessageA(Handle(), EM_SETREADONLY, !editorEnabled_ || ReadOnly(), 0);
    MakeButtons();
}

void TSpinEdit::MakeButtons() {
    buttons_ = CreateWindowExA(0, UPDOWN_CLASSA, nullptr, WS_CHILD | WS_VISIBLE, 0, 0, kSpinButtonWidth, 10,
                               Handle(), nullptr, GetModuleHandleA(nullptr), nullptr);
    if (buttons_ == nullptr) {
        return;
    }
    LinkWindow(buttons_);
    // The arrows never move a position of their own: every click steps Value (UDN_DELTAPOS).
    SendMessageA(buttons_, UDM_SETRANGE32, static_cast<WPARAM>(std::numeric_limits<std::int32_t>::min()),
                 std::numeric_limits<std::int32_t>::max());
    SendMessageA(buttons_, UDM_SETPOS32, 0, 0);
    EnableWindow(buttons_, Enabled());
    PlaceButtons();
    // Keep the text clear of the arrows.
    SendMessageA(Handle(), EM_SETMARGINS, EC_RIGHTMARGIN, MAKELPARAM(0, kSpinButtonWidth));
}

void TSpinEdit::PlaceButtons() {
    if (buttons_ == nullptr) {
        return;
    }
    RECT client{};
    GetClientRect(Handle(), &client);
    SetWindowPos(buttons_, nullptr, client.right - kSpinButtonWidth, 0, kSpinButtonWidth, client.bottom,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

std::int32_t TSpinEdit::Clamp(std::int64_t value) const {
    if (Limited()) {
        return static_cast<std::int32_t>(std::clamp<std::int64_t>(value, minValue_, maxValue_));
    }
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(value, std::numeric_limits<std::int32_t>::min(),
                                                              std::numeric_limits<std::int32_t>::max()));
}

std::int32_t TSpinEdit::Value() const {
    std::int32_t value = 0;
    if (!ParseInt32(Text(), value)) {
        return minValue_;
    }
    return Clamp(value);
}

void TSpinEdit::SetValue(std::int32_t value) {
    SetText(std::to_string(Clamp(value)));
}

void TSpinEdit::SetMinValue(std::int32_t value) {
    minValue_ = value;
}

void TSpinEdit::SetMaxValue(std::int32_t value) {
    maxValue_ = value;
}

void TSpinEdit::SetEditorEnabled(bool enabled) {
    editorEnabled_ = enabled;
    if (HandleAllocated()) {
        SendMessageA(Handle(), EM_SETREADONLY, !editorEnabled_ || ReadOnly(), 0);
    }
}

void TSpinEdit::Step(int direction) {
    if (ReadOnly()) {
        return;
    }
    SetValue(Clamp(static_cast<std::int64_t>(Value()) + static_cast<std::int64_t>(direction) * increment_));
}

void TSpinEdit::KeepValidText() {
    const std::int32_t value = Value();
    if (Text() != std::to_string(value)) {
        SetValue(value);
    }
}

void TSpinEdit::EnabledChanged() {
    TEdit::EnabledChanged();
    if (buttons_ != nullptr) {
        EnableWindow(buttons_, Enabled());
    }
}

LRESULT TSpinEdit::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_NOTIFY: {
        auto* header = reinterpret_cast<NMHDR*>(lParam);
        if (header->hwndFrom == buttons_ && header->code == UDN_DELTAPOS) {
            const auto* change = reinterpret_cast<NMUPDOWN*>(lParam);
            Step(change->iDelta > 0 ? 1 : -1);
            return TRUE;
        }
        break;
    }
    case WM_VSCROLL:
        if (reinterpret_cast<HWND>(lParam) == buttons_) {
            return 0;
        }
        break;
    case WM_KEYDOWN:
        if (wParam == VK_UP || wParam == VK_DOWN) {
            Step(wParam == VK_UP ? 1 : -1);
            return 0;
        }
        break;
    case WM_KILLFOCUS:
        KeepValidText();
        break;
    case WM_SIZE: {
        const LRESULT result = TEdit::WndProc(message, wParam, lParam);
        PlaceButtons();
        return result;
    }
    case WM_DESTROY:
        buttons_ = nullptr;
        break;
    default:
        break;
    }
    return TEdit::WndProc(message, wParam, lParam);
}

void TSpinEdit::SetProperty(std::string_view name, std::string_view value) {
    if (name == "MinValue") {
        SetMinValue(PropInteger(value, name));
    } else if (name == "MaxValue") {
        SetMaxValue(PropInteger(value, name));
    } else if (name == "Value") {
        SetValue(PropInteger(value, name));
    } else if (name == "Increment") {
        SetIncrement(PropInteger(value, name));
    } else if (name == "EditorEnabled") {
        SetEditorEnabled(PropBoolean(value, name));
    } else {
        TEdit::SetProperty(name, value);
    }
}

} // namespace tarvola

namespace tarvola {

// ---- TTabSheet

TTabSheet::TTabSheet(TComponent* owner) : TCustomControl(owner) {}

TTabSheet::~TTabSheet() {
    if (registeredWith_ != nullptr) {
        registeredWith_->RemovePage(*this);
    }
}

TPageControl* TTabSheet::PageControl() const {
    return registeredWith_;
}

int TTabSheet::PageIndex() const {
    if (registeredWith_ == nullptr) {
        return -1;
    }
    const auto& pages = registeredWith_->pages_;
    return static_cast<int>(std::find(pages.begin(), pages.end(), this) - pages.begin());
}

void TTabSheet::ParentChanged() {
    TCustomControl::ParentChanged();
    if (registeredWith_ != nullptr) {
        registeredWith_->RemovePage(*this);
    }
    if (auto* pageControl = dynamic_cast<TPageControl*>(Parent())) {
        pageControl->InsertPage(*this);
    }
}

void TTabSheet::TextChanged() {
    TCustomControl::TextChanged();
    if (registeredWith_ != nullptr) {
        registeredWith_->UpdateTab(*this);
    }
}

// ---- TPageControl

TPageControl::TPageControl(TComponent* owner) : TWinControl(owner) {
    SetTabStop(true);
    SetBounds(0, 0, 289, 193);
}

void TPageControl::CreateParams(TCreateParams& params) {
    TWinControl::CreateParams(params);
    params.className = WC_TABCONTROLA;
    params.exStyle = WS_EX_CONTROLPARENT;
}

void TPageControl::InitializeHandle() {
    TWinControl::InitializeHandle();
    for (std::size_t i = 0; i < pages_.size(); ++i) {
        TCITEMA item{};
        item.mask = TCIF_TEXT;
        item.pszText = const_cast<char*>(pages_[i]->Caption().c_str());
        SendMessageA(Handle(), TCM_INSERTITEMA, i, reinterpret_cast<LPARAM>(&item));
    }
    if (activeIndex_ >= 0) {
        SendMessageA(Handle(), TCM_SETCURSEL, static_cast<WPARAM>(activeIndex_), 0);
    }
}

TTabSheet& TPageControl::Pages(int index) const {
    if (index < 0 || index >= PageCount()) {
        throw EComponentError("Page index out of range");
    }
    return *pages_[static_cast<std::size_t>(index)];
}

TTabSheet* TPageControl::ActivePage() const {
    return activeIndex_ >= 0 ? pages_[static_cast<std::size_t>(activeIndex_)] : nullptr;
}

void TPageControl::SetActivePage(TTabSheet* page) {
    if (page == nullptr) {
        SetActivePageIndex(-1);
        return;
    }
    if (page->PageControl() != this) {
        throw EComponentError(page->Name() + " is no page of " + Name());
    }
    SetActivePageIndex(page->PageIndex());
}

void TPageControl::SetActivePageIndex(int index) {
    if (index < -1 || index >= PageCount()) {
        throw EComponentError("Page index out of range");
    }
    if (index == activeIndex_) {
        return;
    }
    activeIndex_ = index;
    if (HandleAllocated()) {
        SendMessageA(Handle(), TCM_SETCURSEL, static_cast<WPARAM>(index), 0);
    }
    ShowActivePage();
    if (OnChange) {
        OnChange(*this);
    }
}

void TPageControl::InsertPage(TTabSheet& page) {
    page.registeredWith_ = this;
    pages_.push_back(&page);
    if (HandleAllocated()) {
        TCITEMA item{};
        item.mask = TCIF_TEXT;
        item.pszText = const_cast<char*>(page.Caption().c_str());
        SendMessageA(Handle(), TCM_INSERTITEMA, pages_.size() - 1, reinterpret_cast<LPARAM>(&item));
    }
    PlacePages();
    if (activeIndex_ < 0) {
        activeIndex_ = 0;
        if (HandleAllocated()) {
            SendMessageA(Handle(), TCM_SETCURSEL, 0, 0);
        }
    }
    ShowActivePage();
}

void TPageControl::RemovePage(TTabSheet& page) {
    auto found = std::find(pages_.begin(), pages_.end(), &page);
    if (found == pages_.end()) {
        return;
    }
    const int index = static_cast<int>(found - pages_.begin());
    pages_.erase(found);
    page.registeredWith_ = nullptr;
    if (HandleAllocated()) {
        SendMessageA(Handle(), TCM_DELETEITEM, static_cast<WPARAM>(index), 0);
    }
    if (activeIndex_ >= PageCount()) {
        activeIndex_ = PageCount() - 1;
    }
    if (HandleAllocated() && activeIndex_ >= 0) {
        SendMessageA(Handle(), TCM_SETCURSEL, static_cast<WPARAM>(activeIndex_), 0);
    }
    ShowActivePage();
}

void TPageControl::UpdateTab(TTabSheet& page) {
    if (!HandleAllocated()) {
        return;
    }
    TCITEMA item{};
    item.mask = TCIF_TEXT;
    item.pszText = const_cast<char*>(page.Caption().c_str());
    SendMessageA(Handle(), TCM_SETITEMA, static_cast<WPARAM>(page.PageIndex()),
                 reinterpret_cast<LPARAM>(&item));
}

void TPageControl::ShowActivePage() {
    for (std::size_t i = 0; i < pages_.size(); ++i) {
        pages_[i]->SetVisible(static_cast<int>(i) == activeIndex_);
    }
}

void TPageControl::PlacePages() {
    RECT area{0, 0, Width(), Height()};
    if (HandleAllocated()) {
        GetClientRect(Handle(), &area);
        SendMessageA(Handle(), TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&area));
    }
    for (TTabSheet* page : pages_) {
        page->SetBounds(area.left, area.top, area.right - area.left, area.bottom - area.top);
    }
}

void TPageControl::Resize() {
    PlacePages();
    TWinControl::Resize();
}

bool TPageControl::NotifyNotify(NMHDR& header, LRESULT& result) {
    if (header.code != static_cast<UINT>(TCN_SELCHANGE)) {
        return false;
    }
    const int index = static_cast<int>(SendMessageA(Handle(), TCM_GETCURSEL, 0, 0));
    if (index != activeIndex_ && index >= 0 && index < PageCount()) {
        activeIndex_ = index;
        ShowActivePage();
        if (OnChange) {
            OnChange(*this);
        }
    }
    result = 0;
    return true;
}

void TPageControl::SetProperty(std::string_view name, std::string_view value) {
    if (name == "ActivePageIndex") {
        SetActivePageIndex(PropInteger(value, name));
    } else {
        TWinControl::SetProperty(name, value);
    }
}

// ---- TImageList

TImageList::TImageList(TComponent* owner, int width, int height)
    : TComponent(owner), width_(width), height_(height) {
    handle_ = ImageList_Create(width_, height_, ILC_COLOR32 | ILC_MASK, 4, 4);
    if (handle_ == nullptr) {
        throw std::runtime_error("Cannot create an image list");
    }
}

TImageList::TImageList(TComponent* owner, HIMAGELIST shared)
    : TComponent(owner), width_(0), height_(0), handle_(shared), owned_(false) {
    if (handle_ == nullptr || !ImageList_GetIconSize(handle_, &width_, &height_)) {
        throw std::runtime_error("Cannot use the image list");
    }
}

TImageList::~TImageList() {
    DetachLinks();
    if (owned_) {
        ImageList_Destroy(handle_);
    }
}

int TImageList::Count() const {
    return ImageList_GetImageCount(handle_);
}

int TImageList::AddMasked(const TBitmap& image, TColor transparent) {
    // The list keeps its own copy; ours must not be selected into a context meanwhile.
    TBitmap copy(width_, height_);
    BitBlt(copy.DC(), 0, 0, width_, height_, image.DC(), 0, 0, SRCCOPY);
    HBITMAP bitmap = CreateCompatibleBitmap(copy.DC(), width_, height_);
    HDC dc = CreateCompatibleDC(copy.DC());
    HGDIOBJ old = SelectObject(dc, bitmap);
    BitBlt(dc, 0, 0, width_, height_, copy.DC(), 0, 0, SRCCOPY);
    SelectObject(dc, old);
    DeleteDC(dc);
    const int index = ImageList_AddMasked(handle_, bitmap, ColorToRGB(transparent));
    DeleteObject(bitmap);
    if (index < 0) {
        throw std::runtime_error("Cannot add to the image list");
    }
    Change();
    return index;
}

int TImageList::AddIcon(HICON icon) {
    const int index = ImageList_AddIcon(handle_, icon);
    if (index < 0) {
        throw std::runtime_error("Cannot add to the image list");
    }
    Change();
    return index;
}

void TImageList::Draw(TCanvas& canvas, int x, int y, int index, bool enabled) const {
    if (index < 0 || index >= Count()) {
        throw EComponentError("Image index out of range");
    }
    ImageList_DrawEx(handle_, index, canvas.Handle(), x, y, 0, 0, CLR_NONE, CLR_NONE,
                     ILD_TRANSPARENT | (enabled ? 0 : ILD_BLEND50));
}

} // namespace tarvola
