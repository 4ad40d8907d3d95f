// Typing a path into the explorer combo box over a folder of many files, with the auto-complete list
// open: the time each keystroke takes (the list rebuilt and the drop-down and edit painted), against
// listing the folder afresh through the shell, which is what each keystroke cost when every one listed the
// folder again, measured in the same run. Windows only; build and run it with bench/run-wine.sh.
// Usage: bench_explorer_combo [--files N]
#ifdef _WIN32

#include "explorer/VirtualExplorerCombobox.h"
#include "forms/Form.h"
#include "shell/VirtualShellUtilities.h"
#include "tests/support/QueuedSteps.h"

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

using namespace tarvola;
using tarvola::test::PostTyped;
using tarvola::test::TQueuedSteps;

namespace {

using Clock = std::chrono::steady_clock;

double Milliseconds(Clock::duration duration) {
    return std::chrono::duration<double, std::milli>(duration).count();
}

double Median(std::vector<double> values) {
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

int Run(int files) {
    const std::filesystem::path folder = std::filesystem::temp_directory_path() /
                                         ("tarvola-bench-combo-" + std::to_string(GetCurrentProcessId()));
    std::filesystem::create_directories(folder);
    for (int i = 0; i < files; ++i)
        std::ofstream(folder / ("preset " + std::to_string(i) + ".ker")) << 'x';
    const std::wstring path = folder.wstring();
    const WideString wideFolder(path.begin(), path.end());

    TForm form(nullptr);
    form.SetClientSize(600, 300);
    auto& box = form.Create<TVirtualExplorerCombobox>();
    box.SetBounds(10, 10, 560, 23);
    box.SetParent(&form);
    box.SetActive(true);
    form.Show();
    TPopupAutoCompleteDropDown& list = box.AutoCompleteDropDown();
    const WideString start = TNamespace::CreateFromFileName(wideFolder)->NameParseAddress() + u"\\";
    box.Edit().SetWideText(start, false);
    box.Edit().SetFocus();
    // Posted: the focus change has posted its select-all, which must come first.
    PostMessageW(box.Edit().Handle(), EM_SETSEL, start.size(), static_cast<LPARAM>(start.size()));

    // Typed: "preset 1234.ker", one keystroke at a time; the first opens the list and lists the folder.
    const std::string typed = "preset " + std::to_string(files / 2) + ".ker";
    std::vector<double> keystrokes;
    std::size_t lastRows = 0;
    int listings = 0;
    TQueuedSteps steps;
    Clock::time_point previous = Clock::now();
    for (char c : typed) {
        PostTyped(box.Edit().Handle(), std::string(1, c));
        steps.Post([&] {
            UpdateWindow(list.Handle());
            UpdateWindow(box.Edit().Handle());
            const Clock::time_point now = Clock::now();
            keystrokes.push_back(Milliseconds(now - previous));
            previous = now;
            lastRows = list.Tree().RootNodeCount();
            listings = list.Filter().Listings();
        });
    }
    steps.Post([&] { PostMessageW(box.Edit().Handle(), WM_KEYDOWN, VK_ESCAPE, 1); });
    previous = Clock::now();
    MSG message{};
    while (keystrokes.size() < typed.size() || list.RolledDown()) {
        if (!GetMessageW(&message, nullptr, 0, 0))
            break;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }

    // The reference: each keystroke listing the folder afresh through the shell, then filtering.
    std::vector<double> relisting;
    for (int i = 0; i < 3; ++i) {
        const Clock::time_point begin = Clock::now();
        TVirtualShellAutoComplete fresh;
        fresh.SetCurrentDir(start);
        fresh.Refresh();
        const TWideStringList& strings = fresh.Strings();
        std::size_t matches = 0;
        const WideString prefix = PlatformText().LowerCase(start + u"preset 1");
        for (int s = 0; s < strings.Count(); ++s)
            matches += PlatformText().LowerCase(strings.Get(s)).starts_with(prefix) ? 1 : 0;
        relisting.push_back(Milliseconds(Clock::now() - begin));
        (void)matches;
    }

    std::filesystem::remove_all(folder);
    std::vector<double> after(keystrokes.begin() + 1, keystrokes.end());
    const double afterMedian = Median(after);
    const double afterWorst = after.empty() ? 0 : *std::max_element(after.begin(), after.end());
    const double reference = Median(relisting);
    std::printf("files %d, typed \"%s\" (%zu keystrokes), folder listings %d, rows at the end %zu\n", files,
                typed.c_str(), typed.size(), listings, lastRows);
    std::printf("first keystroke (opens the list, lists the folder): %8.2f ms\n", keystrokes.front());
    std::printf("later keystrokes, median:                           %8.2f ms\n", afterMedian);
    std::printf("later keystrokes, worst:                            %8.2f ms\n", afterWorst);
    std::printf("reference, listing the folder afresh (median of 3): %8.2f ms\n", reference);
    std::printf("later keystroke / fresh listing:                    %8.3f\n", afterMedian / reference);
    return listings == 1 && lastRows == 1 ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    int files = 20000;
    for (int i = 1; i + 1 < argc; i += 2)
        if (std::strcmp(argv[i], "--files") == 0)
            files = std::max(1, std::atoi(argv[i + 1]));
    if (FAILED(OleInitialize(nullptr)))
        return 1;
    TShellLayer::Startup();
    const int result = Run(files);
    TShellLayer::Shutdown();
    OleUninitialize();
    return result;
}

#else

#include <cstdio>

int main() {
    std::printf("bench_explorer_combo measures the combo box under Windows or Wine: run it with "
                "bench/run-wine.sh\n");
    return 0;
}

#endif
