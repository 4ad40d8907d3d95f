// The extended explorer list under Wine on a folder of many files, in list style (the native owner-data
// list fed by the tree) and in report style (the tree window), beside a plain owner-data list view over
// the same names, in the same run and window size:
// - open: root the list at the folder and paint the first screen (the plain list: list the folder with
//   FindFirstFileW, sort the names, set the count and paint);
// - first screen: the items are known, the window paints for the first time;
// - pages: page down from the first item, painting after each page, then End and page up from the last
//   item (--pages K each way, default 200; all pages when K pages reach the end); both lists take the same
//   keys, so a list whose pages cost more the longer it is costs so on both sides;
// - select all and clear: Ctrl+A, then every item cleared in one call, painting after each.
// In list style it also prints the time spent answering the list's notifications (item text and icon,
// custom draw, state changes) on each side, which is the share of the time that is ours rather than the
// list view's.
// Each step is the median of --rounds R rounds (default 3), plain and ours taking turns.
// --style list or report measures one style only (default both).
// Windows only; build and run it with
//   bench/run-wine.sh explorer_list [--files N] [--pages K] [--rounds R] [--style list|report].
#ifdef _WIN32

#include "explorer/VirtualExplorerListviewExControl.h"
#include "forms/Form.h"
#include "shell/VirtualImageThreadWin32.h"
#include "shell/VirtualShellUtilities.h"
#include "shell/VirtualSysImages.h"

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

using namespace tarvola;

namespace {

using TClock = std::chrono::steady_clock;

double Since(TClock::time_point start) {
    return std::chrono::duration<double>(TClock::now() - start).count();
}

// Time spent in the handlers of one list view's notifications, by kind. The list's parent window is
// subclassed while the list is measured: the notifications reach its window procedure first.
struct TNotifyTimes {
    double DisplayInfo = 0;
    double CustomDraw = 0;
    double StateChanges = 0;
    double Other = 0;
    long long Count = 0;
    double Total() const { return DisplayInfo + CustomDraw + StateChanges + Other; }
};

struct TNotifyTimer {
    HWND List = nullptr;
    WNDPROC Previous = nullptr;
    TNotifyTimes Times;
};

TNotifyTimer* activeTimer = nullptr;

double& TimeSlotOf(TNotifyTimes& times, UINT code) {
    switch (code) {
    case LVN_GETDISPINFOW:
    case LVN_ODCACHEHINT:
        return times.DisplayInfo;
    case NM_CUSTOMDRAW:
        return times.CustomDraw;
    case LVN_ITEMCHANGED:
    case LVN_ODSTATECHANGED:
        return times.StateChanges;
    default:
        return times.Other;
    }
}

LRESULT CALLBACK TimedParentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    TNotifyTimer* timer = activeTimer;
    if (timer == nullptr)
        return DefWindowProcW(window, message, wParam, lParam);
    const auto* header = reinterpret_cast<const NMHDR*>(lParam);
    if (message != WM_NOTIFY || header == nullptr || header->hwndFrom != timer->List)
        return CallWindowProcW(timer->Previous, window, message, wParam, lParam);
    const auto start = TClock::now();
    const UINT code = header->code;
    const LRESULT result = CallWindowProcW(timer->Previous, window, message, wParam, lParam);
    TimeSlotOf(timer->Times, code) += Since(start);
    ++timer->Times.Count;
    return result;
}

// Times the notifications of the list to its parent while it lives.
class TTimedNotifications {
public:
    TTimedNotifications(HWND parent, HWND list) : parent_(parent) {
        timer_.List = list;
        activeTimer = &timer_;
        timer_.Previous = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrW(parent, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&TimedParentProc)));
    }
    ~TTimedNotifications() {
        SetWindowLongPtrW(parent_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(timer_.Previous));
        activeTimer = nullptr;
    }
    TTimedNotifications(const TTimedNotifications&) = delete;
    TTimedNotifications& operator=(const TTimedNotifications&) = delete;
    const TNotifyTimes& Times() const { return timer_.Times; }

private:
    HWND parent_;
    TNotifyTimer timer_;
};

std::vector<std::wstring> ListAndSort(const std::wstring& folder) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW data;
    const HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE)
        return names;
    do {
        if (std::wcscmp(data.cFileName, L".") != 0 && std::wcscmp(data.cFileName, L"..") != 0)
            names.emplace_back(data.cFileName);
    } while (FindNextFileW(find, &data));
    FindClose(find);
    std::sort(names.begin(), names.end(), [](const std::wstring& a, const std::wstring& b) {
        return lstrcmpiW(a.c_str(), b.c_str()) < 0;
    });
    return names;
}

// The reference: a plain owner-data list view over a vector of names, every item with the same icon.
class TPlainList : public TWinControl {
public:
    TPlainList(TComponent* owner, DWORD style) : TWinControl(owner), style_(style) {}
    std::vector<std::wstring> Names;
    int Icon = 0;

protected:
    void CreateParams(TCreateParams& params) override {
        TWinControl::CreateParams(params);
        params.className = WC_LISTVIEWA;
        params.style |= LVS_OWNERDATA | LVS_SHAREIMAGELISTS | LVS_SHOWSELALWAYS | style_;
        params.exStyle |= WS_EX_CLIENTEDGE;
    }
    void InitializeHandle() override {
        TWinControl::InitializeHandle();
        SendMessageW(Handle(), CCM_SETUNICODEFORMAT, TRUE, 0);
        SendMessageW(Handle(), LVM_SETIMAGELIST, LVSIL_SMALL,
                     reinterpret_cast<LPARAM>(SmallSysImages().Handle()));
        LVCOLUMNW column{};
        column.mask = LVCF_WIDTH | LVCF_TEXT;
        column.cx = 200;
        column.pszText = const_cast<wchar_t*>(L"Name");
        SendMessageW(Handle(), LVM_INSERTCOLUMNW, 0, reinterpret_cast<LPARAM>(&column));
    }
    bool NotifyNotify(NMHDR& header, LRESULT& result) override {
        result = 0;
        if (header.code != LVN_GETDISPINFOW)
            return false;
        LVITEMW& item = reinterpret_cast<NMLVDISPINFOW&>(header).item;
        if (item.iItem < 0 || static_cast<std::size_t>(item.iItem) >= Names.size())
            return true;
        if ((item.mask & LVIF_TEXT) != 0 && item.cchTextMax > 0)
            lstrcpynW(item.pszText, Names[static_cast<std::size_t>(item.iItem)].c_str(), item.cchTextMax);
        if ((item.mask & LVIF_IMAGE) != 0)
            item.iImage = Icon;
        return true;
    }

private:
    DWORD style_;
};

void Paint(HWND window) {
    InvalidateRect(window, nullptr, TRUE);
    UpdateWindow(window);
}

void PumpWaiting() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

// Between two of a user's actions the message loop runs: posted results (icons) come in, and other
// threads' work handed to the window (the tree's position cache) arrives. Not timed; the same for both
// lists.
void Settle() {
    const auto start = TClock::now();
    do {
        PumpWaiting();
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    } while (Since(start) < 0.2);
}

int FocusedItem(HWND list) {
    return static_cast<int>(SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED));
}

void PressKey(HWND window, WPARAM key) {
    SendMessageW(window, WM_KEYDOWN, key, 1);
    SendMessageW(window, WM_KEYUP, key, 0xC0000001);
    UpdateWindow(window);
}

// Pages down from the first item towards the last, at most `pages` times; when that does not reach the
// end, End goes there and as many pages go up from it. The number of keys pressed.
int PageThrough(HWND window, int pages, const std::function<bool()>& atEnd) {
    int pressed = 0;
    while (!atEnd() && pressed < pages) {
        PressKey(window, VK_NEXT);
        ++pressed;
    }
    if (atEnd())
        return pressed;
    PressKey(window, VK_END);
    ++pressed;
    for (int page = 0; page < pages; ++page) {
        PressKey(window, VK_PRIOR);
        ++pressed;
    }
    return pressed;
}

void SetAllSelected(HWND list, bool selected) {
    LVITEMW item{};
    item.state = selected ? LVIS_SELECTED : 0;
    item.stateMask = LVIS_SELECTED;
    SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&item));
}

// A step's time, and how much of it went to answering the list's notifications.
struct TStep {
    double Time = 0;
    double InHandlers = 0;
};

struct TFigures {
    TStep Open;
    TStep FirstScreen;
    TStep Pages;
    int PageCount = 0;
    TStep SelectClear;
    TNotifyTimes Notifications;
};

class TStepClock {
public:
    explicit TStepClock(const TTimedNotifications& timed) : timed_(timed) { Restart(); }
    void Restart() {
        start_ = TClock::now();
        handlersAtStart_ = timed_.Times().Total();
    }
    // Ends the step and starts the next one.
    void Stop(TStep& step) {
        step.Time = Since(start_);
        step.InHandlers = timed_.Times().Total() - handlersAtStart_;
        Restart();
    }

private:
    const TTimedNotifications& timed_;
    TClock::time_point start_;
    double handlersAtStart_ = 0;
};

TFigures MeasurePlain(TForm& form, const std::wstring& folder, DWORD style, int pages) {
    TFigures figures;
    auto& plain = form.Create<TPlainList>(style);
    plain.SetParent(&form);
    plain.SetBounds(0, 0, 800, 600);
    const HWND list = plain.Handle();
    std::optional<TTimedNotifications> timed(std::in_place, form.Handle(), list);
    TStepClock clock(*timed);
    plain.Names = ListAndSort(folder);
    SendMessageW(list, LVM_SETITEMCOUNT, plain.Names.size(), 0);
    Paint(list);
    clock.Stop(figures.Open);
    clock.Restart();
    Paint(list);
    clock.Stop(figures.FirstScreen);
    const int last = static_cast<int>(plain.Names.size()) - 1;
    LVITEMW focus{};
    focus.state = focus.stateMask = LVIS_FOCUSED | LVIS_SELECTED;
    SendMessageW(list, LVM_SETITEMSTATE, 0, reinterpret_cast<LPARAM>(&focus));
    Settle();
    clock.Restart();
    figures.PageCount = PageThrough(list, pages, [&] { return FocusedItem(list) == last; });
    clock.Stop(figures.Pages);
    Settle();
    clock.Restart();
    SetAllSelected(list, true);
    UpdateWindow(list);
    SetAllSelected(list, false);
    UpdateWindow(list);
    clock.Stop(figures.SelectClear);
    figures.Notifications = timed->Times();
    timed.reset();
    form.FreeComponent(plain);
    PumpWaiting();
    return figures;
}

TFigures MeasureExplorer(TForm& form, const std::wstring& folder, TViewStyleEx style, int pages) {
    TFigures figures;
    auto& explorer = form.Create<TVirtualExplorerListviewEx>();
    explorer.SetParent(&form);
    // Icons come from the icon thread, as in the program: the screen shows placeholders first.
    TVirtualImageThreadManager threads(TShellLayer::Get().PIDLMgr());
    explorer.SetImageThreads(&threads);
    explorer.SetBounds(0, 0, 800, 600);
    explorer.SetViewStyle(style);
    const bool report = style == TViewStyleEx::vsxReport;
    const HWND window = report ? explorer.Handle() : explorer.ShadowList().Handle();
    std::optional<TTimedNotifications> timed(std::in_place, form.Handle(), window);
    TStepClock clock(*timed);
    explorer.SetRootFolderCustomPath(WideString(reinterpret_cast<const char16_t*>(folder.c_str())));
    Paint(window);
    clock.Stop(figures.Open);
    clock.Restart();
    Paint(window);
    clock.Stop(figures.FirstScreen);
    const int count = explorer.Core().ItemCount();
    TBaseVirtualTree& tree = explorer.Tree();
    if (report)
        tree.SetFocusedNode(tree.GetFirst());
    Settle();
    clock.Restart();
    if (report) {
        figures.PageCount = PageThrough(window, pages, [&] { return tree.FocusedNode() == tree.GetLast(); });
    } else {
        figures.PageCount = PageThrough(window, pages, [&] { return FocusedItem(window) == count - 1; });
    }
    clock.Stop(figures.Pages);
    Settle();
    clock.Restart();
    if (report) {
        tree.SelectAll(false);
        UpdateWindow(window);
        tree.ClearSelection();
        UpdateWindow(window);
    } else {
        explorer.Core().ListKeyDown('A', 0x04);
        UpdateWindow(window);
        SetAllSelected(window, false);
        UpdateWindow(window);
    }
    clock.Stop(figures.SelectClear);
    if (tree.SelectedCount() != 0)
        std::printf("  (the selection was not cleared: %u left)\n", tree.SelectedCount());
    figures.Notifications = timed->Times();
    timed.reset();
    explorer.SetImageThreads(nullptr);
    form.FreeComponent(explorer);
    PumpWaiting();
    return figures;
}

void Report(const char* style, const TFigures& ours, const TFigures& plain) {
    auto row = [](const char* step, double a, double b) {
        std::printf("  %-22s %9.1f ms %9.1f ms   ratio %5.2f\n", step, a * 1000, b * 1000,
                    b > 0 ? a / b : 0.0);
    };
    auto stepRow = [](const char* step, const TStep& a, const TStep& b) {
        std::printf("  %-22s %9.1f ms %9.1f ms   ratio %5.2f   in handlers %8.1f ms %8.1f ms\n", step,
                    a.Time * 1000, b.Time * 1000, b.Time > 0 ? a.Time / b.Time : 0.0, a.InHandlers * 1000,
                    b.InHandlers * 1000);
    };
    std::printf("%s style (ours, plain list view, ours/plain):\n", style);
    stepRow("open", ours.Open, plain.Open);
    stepRow("first screen", ours.FirstScreen, plain.FirstScreen);
    stepRow("pages", ours.Pages, plain.Pages);
    std::printf("  %-22s %9d    %9d\n", "  pages", ours.PageCount, plain.PageCount);
    stepRow("select all and clear", ours.SelectClear, plain.SelectClear);
    if (ours.Notifications.Count == 0)
        return;
    std::printf("  time in the notification handlers, all steps (ours, plain):\n");
    row("  item text and icon", ours.Notifications.DisplayInfo, plain.Notifications.DisplayInfo);
    row("  custom draw", ours.Notifications.CustomDraw, plain.Notifications.CustomDraw);
    row("  state changes", ours.Notifications.StateChanges, plain.Notifications.StateChanges);
    row("  other", ours.Notifications.Other, plain.Notifications.Other);
    std::printf("  %-22s %9lld    %9lld\n", "  notifications", ours.Notifications.Count,
                plain.Notifications.Count);
}

// Each step's median over the rounds (the machine's noise moves single runs a lot); the notification
// breakdown of the last round.
TFigures Median(const std::vector<TFigures>& rounds) {
    TFigures median = rounds.back();
    auto middle = [&](TStep TFigures::*step) {
        std::vector<double> times;
        std::vector<double> inHandlers;
        for (const TFigures& round : rounds) {
            times.push_back((round.*step).Time);
            inHandlers.push_back((round.*step).InHandlers);
        }
        std::sort(times.begin(), times.end());
        std::sort(inHandlers.begin(), inHandlers.end());
        (median.*step).Time = times[times.size() / 2];
        (median.*step).InHandlers = inHandlers[inHandlers.size() / 2];
    };
    middle(&TFigures::Open);
    middle(&TFigures::FirstScreen);
    middle(&TFigures::Pages);
    middle(&TFigures::SelectClear);
    return median;
}

// Plain and ours take turns, round after round, so that a slow spell of the machine falls on both.
void MeasureStyle(TForm& form, const std::wstring& path, const char* name, DWORD plainStyle,
                  TViewStyleEx oursStyle, int pages, int rounds) {
    std::vector<TFigures> plain;
    std::vector<TFigures> ours;
    for (int round = 0; round < rounds; ++round) {
        plain.push_back(MeasurePlain(form, path, plainStyle, pages));
        ours.push_back(MeasureExplorer(form, path, oursStyle, pages));
    }
    Report(name, Median(ours), Median(plain));
}

int Run(int files, int pages, int rounds, const std::string& styles) {
    const std::filesystem::path folder = std::filesystem::temp_directory_path() /
                                         ("tarvola-bench-list-" + std::to_string(GetCurrentProcessId()));
    std::filesystem::create_directories(folder);
    for (int i = 0; i < files; ++i)
        std::ofstream(folder / ("preset " + std::to_string(i) + ".ker")) << 'x';
    std::printf("%d files, %d pages each way, median of %d rounds\n", files, pages, rounds);
    {
        TForm form{nullptr};
        form.SetBounds(0, 0, 820, 640);
        form.Show();
        const std::wstring path = folder.wstring();
        if (styles != "report")
            MeasureStyle(form, path, "list", LVS_LIST, TViewStyleEx::vsxList, pages, rounds);
        if (styles != "list")
            MeasureStyle(form, path, "report", LVS_REPORT, TViewStyleEx::vsxReport, pages, rounds);
    }
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    int files = 100000;
    int pages = 200;
    int rounds = 3;
    std::string styles = "both";
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::strcmp(argv[i], "--files") == 0)
            files = std::max(1, std::atoi(argv[i + 1]));
        if (std::strcmp(argv[i], "--pages") == 0)
            pages = std::max(1, std::atoi(argv[i + 1]));
        if (std::strcmp(argv[i], "--rounds") == 0)
            rounds = std::max(1, std::atoi(argv[i + 1]));
        if (std::strcmp(argv[i], "--style") == 0)
            styles = argv[i + 1];
    }
    OleInitialize(nullptr);
    TShellLayer::Startup();
    int result = 1;
    try {
        result = Run(files, pages, rounds, styles);
    } catch (const std::exception& error) {
        std::printf("failed: %s\n", error.what());
    }
    TShellLayer::Shutdown();
    OleUninitialize();
    return result;
}

#else
int main() {
    return 0;
}
#endif
