#include "tree/TreeResources.h"

#include "tree/TreeTypes.h"

#include <mmsystem.h>
#include <ole2.h>

#include <array>
#include <mutex>
#include <string>

#if defined(__i386__) || defined(__x86_64__)
#include <cpuid.h>
#endif

namespace tarvola {
namespace {

struct TStripResource {
    TCheckImageKind Kind;
    const wchar_t* Name;
    bool ColorMapped;
};

constexpr std::array<TStripResource, 6> CheckStrips{{
    {TCheckImageKind::ckLightCheck, L"VT_CHECK_LIGHT", true},
    {TCheckImageKind::ckDarkCheck, L"VT_CHECK_DARK", true},
    {TCheckImageKind::ckLightTick, L"VT_TICK_LIGHT", true},
    {TCheckImageKind::ckDarkTick, L"VT_TICK_DARK", true},
    {TCheckImageKind::ckFlat, L"VT_FLAT", true},
    {TCheckImageKind::ckXP, L"VT_XP", false},
}};
constexpr const wchar_t* UtilityResource = L"VT_UTILITIES";

struct TGlobals {
    int Users = 0;
    bool OleInitialized = false;
    bool TimerRaised = false;
    UINT ReferenceFormat = 0;
    std::array<HIMAGELIST, 9> Lists{};
    HIMAGELIST Utility = nullptr;
    HCURSOR HeaderSplit = nullptr;
};

std::mutex& GlobalsLock() {
    static std::mutex lock;
    return lock;
}

TGlobals& Globals() {
    static TGlobals globals;
    return globals;
}

bool DetectMMX() {
#if defined(__i386__) || defined(__x86_64__)
    unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
    if (__get_cpuid(1, &eax, &ebx, &ecx, &edx) == 0)
        return false;
    return eax >= 0x50 && (edx & (1u << 23)) != 0;
#else
    return false;
#endif
}

bool& MMXFlag() {
    static bool available = DetectMMX();
    return available;
}

DWORD PlatformVersion() {
    return GetVersion();
}

HINSTANCE ProgramModule() {
    return GetModuleHandleW(nullptr);
}

HIMAGELIST& ListSlot(TGlobals& globals, TCheckImageKind kind) {
    return globals.Lists.at(static_cast<std::size_t>(kind));
}

HIMAGELIST CreateImageList(int width, int height) {
    return ImageList_Create(width, height, ILC_COLOR32 | ILC_MASK, CheckImageCount, 0);
}

// A check set drawn by the platform's own controls: images 1-20 radio buttons, check boxes and three-state
// boxes in their four states, 21-24 the push buttons of Source centred.
HIMAGELIST CreateSystemImageSet(bool flat, HIMAGELIST source) {
    const int width = GetSystemMetrics(SM_CXMENUCHECK) + 3;
    const int height = GetSystemMetrics(SM_CYMENUCHECK) + 3;
    constexpr COLORREF MaskColor = RGB(255, 0, 0);
    HIMAGELIST list = CreateImageList(width, height);
    ImageList_SetBkColor(list, RGB(255, 255, 255));

    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP strip = CreateCompatibleBitmap(screen, width * CheckImageCount, height);
    ReleaseDC(nullptr, screen);
    HGDIOBJ original = SelectObject(dc, strip);
    const RECT all{0, 0, width * CheckImageCount, height};
    HBRUSH maskBrush = CreateSolidBrush(MaskColor);
    FillRect(dc, &all, maskBrush);
    DeleteObject(maskBrush);
    for (int i = 0; i < 20; ++i) {
        const int x = (i + 1) * width;
        UINT kind = i < 8 ? DFCS_BUTTONRADIO : i < 16 ? DFCS_BUTTONCHECK : DFCS_BUTTON3STATE;
        constexpr UINT states[] = {0, DFCS_HOT, DFCS_PUSHED, DFCS_INACTIVE};
        UINT flags = kind | states[i % 4];
        if ((i >= 4 && i <= 7) || i >= 12)
            flags |= DFCS_CHECKED;
        if (flat)
            flags |= DFCS_FLAT;
        RECT cell{x + 1, 2, x + width - 2, height - 1};
        DrawFrameControl(dc, &cell, DFC_BUTTON, flags);
    }
    int sourceWidth = 0;
    int sourceHeight = 0;
    ImageList_GetIconSize(source, &sourceWidth, &sourceHeight);
    for (int i = 21; i <= 24; ++i)
        ImageList_Draw(source, i, dc, i * width + (width - sourceWidth) / 2, (height - sourceHeight) / 2,
                       ILD_TRANSPARENT);
    SelectObject(dc, original);
    DeleteDC(dc);
    ImageList_AddMasked(list, strip, MaskColor);
    DeleteObject(strip);
    return list;
}

void Release(TGlobals& globals) {
    for (HIMAGELIST& list : globals.Lists) {
        if (list != nullptr)
            ImageList_Destroy(list);
        list = nullptr;
    }
    if (globals.Utility != nullptr)
        ImageList_Destroy(globals.Utility);
    globals.Utility = nullptr;
    if (globals.TimerRaised)
        timeEndPeriod(1);
    globals.TimerRaised = false;
    globals.HeaderSplit = nullptr;
    if (globals.OleInitialized)
        OleUninitialize();
    globals.OleInitialized = false;
}

void Create(TGlobals& globals) {
    globals.OleInitialized = SUCCEEDED(OleInitialize(nullptr)); // S_FALSE too: already initialised
    globals.ReferenceFormat = RegisterClipboardFormatW(L"Virtual Tree Reference");
    for (const TStripResource& strip : CheckStrips) {
        HIMAGELIST& list = ListSlot(globals, strip.Kind);
        list = CreateImageList(16, 16);
        LoadInternalImages(list, strip.Name, strip.ColorMapped);
    }
    globals.Utility = CreateImageList(16, 16);
    LoadInternalImages(globals.Utility, UtilityResource, true);
    ListSlot(globals, TCheckImageKind::ckSystem) =
        CreateSystemImageSet(false, ListSlot(globals, TCheckImageKind::ckDarkCheck));
    ListSlot(globals, TCheckImageKind::ckSystemFlat) =
        CreateSystemImageSet(true, ListSlot(globals, TCheckImageKind::ckFlat));
    globals.TimerRaised = timeBeginPeriod(1) == TIMERR_NOERROR;
    globals.HeaderSplit = LoadCursorW(ProgramModule(), L"VT_HEADERSPLIT");
}

} // namespace

void LoadInternalImages(HIMAGELIST list, const wchar_t* name, bool colorMapped) {
    HBITMAP strip = LoadInternalBitmap(name, colorMapped);
    BITMAP info{};
    if (strip == nullptr || GetObjectW(strip, sizeof info, &info) == 0 || info.bmHeight < 1) {
        if (strip != nullptr)
            DeleteObject(strip);
        std::string ascii;
        for (const wchar_t* c = name; *c != 0; ++c)
            ascii += static_cast<char>(*c);
        throw EVirtualTreeAssertion("Internal image \"" + ascii + "\" is missing or corrupt.");
    }
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ original = SelectObject(dc, strip);
    const COLORREF mask = GetPixel(dc, 0, 0);
    SelectObject(dc, original);
    DeleteDC(dc);
    ImageList_SetIconSize(list, info.bmHeight, info.bmHeight); // also removes the old images
    ImageList_AddMasked(list, strip, mask);
    DeleteObject(strip);
}

bool MMXAvailable() {
    return MMXFlag();
}

void SetMMXAvailable(bool available) {
    MMXFlag() = available;
}

bool IsWinNT() {
    return (PlatformVersion() & 0x80000000u) == 0;
}

bool IsWin2K() {
    const DWORD version = PlatformVersion();
    return LOBYTE(LOWORD(version)) == 5 && HIBYTE(LOWORD(version)) == 0;
}

bool IsWinXP() {
    const DWORD version = PlatformVersion();
    return LOBYTE(LOWORD(version)) == 5 && HIBYTE(LOWORD(version)) == 1;
}

void InitializeGlobalStructures() {
    std::lock_guard<std::mutex> hold(GlobalsLock());
    TGlobals& globals = Globals();
    if (globals.Users == 0) {
        try {
            Create(globals);
        } catch (...) {
            Release(globals);
            throw;
        }
    }
    ++globals.Users;
}

void FinalizeGlobalStructures() {
    std::lock_guard<std::mutex> hold(GlobalsLock());
    TGlobals& globals = Globals();
    if (globals.Users == 0)
        return;
    if (--globals.Users == 0)
        Release(globals);
}

HIMAGELIST GetCheckImageListFor(TCheckImageKind kind) {
    const auto index = static_cast<std::size_t>(kind);
    return index < Globals().Lists.size() ? Globals().Lists[index] : nullptr;
}

HIMAGELIST UtilityImages() {
    return Globals().Utility;
}

UINT VirtualTreeReferenceFormat() {
    return Globals().ReferenceFormat;
}

HCURSOR ScreenCursor(int id) {
    if (id == crHeaderSplit && Globals().HeaderSplit != nullptr)
        return Globals().HeaderSplit;
    return LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
}

void ReloadColorMappedImages() {
    std::lock_guard<std::mutex> hold(GlobalsLock());
    TGlobals& globals = Globals();
    if (globals.Users == 0)
        return;
    for (const TStripResource& strip : CheckStrips)
        if (strip.ColorMapped)
            LoadInternalImages(ListSlot(globals, strip.Kind), strip.Name, true);
    LoadInternalImages(globals.Utility, UtilityResource, true);
}

HBITMAP LoadInternalBitmap(const wchar_t* name, bool colorMapped) {
    auto* bitmap =
        static_cast<HBITMAP>(LoadImageW(ProgramModule(), name, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    if (bitmap == nullptr || !colorMapped)
        return bitmap;
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ original = SelectObject(dc, bitmap);
    RGBQUAD table[256]{};
    const UINT count = GetDIBColorTable(dc, 0, 256, table);
    const auto entry = [](COLORREF c) { return RGBQUAD{GetBValue(c), GetGValue(c), GetRValue(c), 0}; };
    for (UINT i = 0; i < count; ++i) {
        RGBQUAD& q = table[i];
        const COLORREF colour = RGB(q.rgbRed, q.rgbGreen, q.rgbBlue);
        if (colour == RGB(255, 255, 255))
            q = entry(GetSysColor(COLOR_WINDOW));
        else if (colour == RGB(192, 192, 192))
            q = entry(GetSysColor(COLOR_BTNFACE));
        else if (colour == RGB(128, 128, 128))
            q = entry(GetSysColor(COLOR_BTNSHADOW));
    }
    if (count > 0)
        SetDIBColorTable(dc, 0, count, table);
    SelectObject(dc, original);
    DeleteDC(dc);
    return bitmap;
}

} // namespace tarvola
