// The extended explorer list under Wine on a folder of many files, in list style (the native owner-data
// list fed by the tree) and in report style (the tree window), beside a plain owner-data list view over
// the same names, in the same run and window size:
// - open: root the list at the folder and paint the first screen (the plain list: list the folder with
//   FindFirstFileW, sort the names, set the count and paint);
// - first screen: the items are known, the window paints for the first time;
// - pages: page down from the first item to the last, painting after each page;
// - select all and clear: Ctrl+A, then every item cleared in one call, painting after each.
// Windows only; build and run it with bench/run-wine.sh explorer_list [--files N].
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
#include <stdexcept>
#include <string>
#include <vector>

using namespace tarvola;

namespace {

using TClock = std::chrono::steady_clock;

double Since(TClock::time_point start) {
    return std::chrono::duration<double>(TClock::now() - start).count();
}

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

int FocusedItem(HWND list) {
    return static_cast<int>(SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED));
}

// Pages down from the first item to the last; the number of pages.
int PageToEnd(HWND window, const std::function<bool()>& atEnd) {
    int pages = 0;
    while (!atEnd() && pages < 1000000) {
        SendMessageW(window, WM_KEYDOWN, VK_NEXT, 1);
        SendMessageW(window, WM_KEYUP, VK_NEXT, 0xC0000001);
        UpdateWindow(window);
        ++pages;
    }
    return pages;
}

void SetAllSelected(HWND list, bool selected) {
    LVITEMW item{};
    item.state = selected ? LVIS_SELECTED : 0;
    item.stateMask = LVIS_SELECTED;
    SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&item));
}

struct TFigures {
    double Open = 0;
    double FirstScreen = 0;
    double Pages = 0;
    int PageCount = 0;
    double SelectClear = 0;
};

TFigures MeasurePlain(TForm& form, const std::wstring& folder, DWORD style) {
    TFigures figures;
    auto& plain = form.Create<TPlainList>(style);
    plain.SetParent(&form);
    plain.SetBounds(0, 0, 800, 600);
    const HWND list = plain.Handle();
    auto start = TClock::now();
    plain.Names = ListAndSort(folder);
    SendMessageW(list, LVM_SETITEMCOUNT, plain.Names.size(), 0);
    Paint(list);
    figures.Open = Since(start);
    start = TClock::now();
    Paint(list);
    figures.FirstScreen = Since(start);
    const int last = static_cast<int>(plain.Names.size()) - 1;
    LVITEMW focus{};
    focus.state = focus.stateMask = LVIS_FOCUSED | LVIS_SELECTED;
    SendMessageW(list, LVM_SETITEMSTATE, 0, reinterpret_cast<LPARAM>(&focus));
    start = TClock::now();
    figures.PageCount = PageToEnd(list, [&] { return FocusedItem(list) == last; });
    figures.Pages = Since(start);
    start = TClock::now();
    SetAllSelected(list, true);
    UpdateWindow(list);
    SetAllSelected(list, false);
    UpdateWindow(list);
    figures.SelectClear = Since(start);
    form.FreeComponent(plain);
    PumpWaiting();
    return figures;
}

TFigures MeasureExplorer(TForm& form, const std::wstring& folder, TViewStyleEx style) {
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
    auto start = TClock::now();
    explorer.SetRootFolderCustomPath(WideString(reinterpret_cast<const char16_t*>(folder.c_str())));
    Paint(window);
    figures.Open = Since(start);
    start = TClock::now();
    Paint(window);
    figures.FirstScreen = Since(start);
    const int count = explorer.Core().ItemCount();
    TBaseVirtualTree& tree = explorer.Tree();
    start = TClock::now();
    if (report) {
        tree.SetFocusedNode(tree.GetFirst());
        figures.PageCount = PageToEnd(window, [&] { return tree.FocusedNode() == tree.GetLast(); });
    } else {
        figures.PageCount = PageToEnd(window, [&] { return FocusedItem(window) == count - 1; });
    }
    figures.Pages = Since(start);
    start = TClock::now();
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
    figures.SelectClear = Since(start);
    if (tree.SelectedCount() != 0)
        std::printf("  (the selection was not cleared: %u left)\n", tree.SelectedCount());
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
    std::printf("%s style (ours, plain list view, ours/plain):\n", style);
    row("open", ours.Open, plain.Open);
    row("first screen", ours.FirstScreen, plain.FirstScreen);
    row("pages to the end", ours.Pages, plain.Pages);
    std::printf("  %-22s %9d    %9d\n", "  pages", ours.PageCount, plain.PageCount);
    row("select all and clear", ours.SelectClear, plain.SelectClear);
}

int Run(int files) {
    const std::filesystem::path folder = std::filesystem::temp_directory_path() /
                                         ("tarvola-bench-list-" + std::to_string(GetCurrentProcessId()));
    std::filesystem::create_directories(folder);
    for (int i = 0; i < files; ++i)
        std::ofstream(folder / ("preset " + std::to_string(i) + ".ker")) << 'x';
    std::printf("%d files\n", files);
    {
        TForm form{nullptr};
        form.SetBounds(0, 0, 820, 640);
        form.Show();
        const std::wstring path = folder.wstring();
        const TFigures plainList = MeasurePlain(form, path, LVS_LIST);
        const TFigures oursList = MeasureExplorer(form, path, TViewStyleEx::vsxList);
        Report("list", oursList, plainList);
        const TFigures plainReport = MeasurePlain(form, path, LVS_REPORT);
        const TFigures oursReport = MeasureExplorer(form, path, TViewStyleEx::vsxReport);
        Report("report", oursReport, plainReport);
    }
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    int files = 100000;
    for (int i = 1; i + 1 < argc; ++i)
        if (std::strcmp(argv[i], "--files") == 0)
            files = std::max(1, std::atoi(argv[i + 1]));
    OleInitialize(nullptr);
    TShellLayer::Startup();
    int result = 1;
    try {
        result = Run(files);
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
