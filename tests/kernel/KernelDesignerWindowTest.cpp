// The kernel designer window under Wine: its layout and menus, the keys, each menu item reaching its
// operation with its one undo entry, the view controls, presets through the protocol, Manage.
#include "forms/Application.h"
#include "forms/ComCtrls.h"
#include "forms/ExtCtrls.h"
#include "forms/Menus.h"
#include "forms/StdCtrls.h"
#include "kernel/GraphAxis.h"
#include "kernel/AmplifyDlg.h"
#include "kernel/BlockAdjustDlg.h"
#include "kernel/HarmonizeDlg.h"
#include "kernel/ImpulseClipboard.h"
#include "kernel/KernelDesigner.h"
#include "kernel/KernelUndoer.h"
#include "kernel/MirrorDlg.h"
#include "kernel/StatsForm.h"
#include "kernel/designers/EchoDesignerForm.h"
#include "kernel/designers/FilterDesignerForm.h"
#include "kernel/designers/ResonanceDesignerForm.h"
#include "kernel/designers/ReverbDesignerForm.h"
#include "tests/kernel/KernelTestFolder.h"
#include "tests/support/MessagePump.h"
#include "tests/support/ScriptedPrompts.h"
#include "tests/support/ScriptedShell.h"
#include "tests/support/WindowDriver.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace tarvola {
namespace {

using test::PumpPending;

TImpulseRec Rec(std::int32_t impulse, long double value, TSourceKind kind = TSourceKind::Input) {
    return {value, impulse, kind, {}, false};
}

// The designer alone, set up as the main window sets it up, in a folder of its own.
class DesignerWindow : public ::testing::Test {
protected:
    DesignerWindow() {
        Application().Initialize();
        designer = std::make_unique<TobjKernelDesigner>(nullptr);
        designer->ShowButtons = false;
        designer->Embedded = true;
        designer->SetupSession(nullptr, nullptr, nullptr, folder.Path(), 0);
        designer->Show();
        designer->ClearFirstTime();
        PumpPending();
    }
    ~DesignerWindow() override { designer.reset(); }

    // The model the designer shows.
    KernelModel& Model() const { return designer->Model(); }

    std::string UndoDescription() const {
        const TobjKernelUndoer& undoer = *designer->Controller().Undoer();
        return undoer.Entry(undoer.Current()).Description;
    }
    int UndoCount() const { return designer->Controller().Undoer()->Count(); }
    void ClickMenu(const std::string& item) {
        SendMessageA(designer->Handle(), WM_COMMAND, designer->Find<TMenuItem>(item).Command(), 0);
        PumpPending();
    }
    // Puts records into the left kernel and shows them, the editor spanning -10..10.
    void Load(const std::vector<TImpulseRec>& records) {
        Model().LeftKernel.LoadRecords(records);
        Model().UpdateChannelStats(1);
        Model().RecomputeBounds(Model().CurrentView(), -1);
        Model().RecomputeBounds(*Model().CurrentEditorBounds, -1);
        const TViewBounds& editor = *Model().CurrentEditorBounds;
        Model().SelectImpulses(editor.LowImpulse, editor.HighImpulse, false);
        designer->Editor->UpdateDisplay();
        designer->Viewer->UpdateDisplay();
    }
    // A click on the bar of the editor's record at that impulse: it grabs the record.
    void Press(std::int32_t impulse) {
        TobjKernelEditor& editor = *designer->Editor;
        const TobjHistData& working = editor.WorkingList();
        const std::int32_t index = working.Find(impulse, 0, TFindMode::Exact);
        ASSERT_GE(index, 0) << impulse;
        const TBarRect bar = working.Record(index).Bar;
        const LPARAM at = MAKELPARAM((bar.Left + bar.Right) / 2, (bar.Top + bar.Bottom) / 2);
        SendMessageA(editor.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, at);
        SendMessageA(editor.Handle(), WM_LBUTTONUP, 0, at);
        PumpPending();
    }
    void TypeEnter(TWinControl& edit, const std::string& text) {
        edit.SetCaption(text);
        SendMessageA(edit.Handle(), WM_CHAR, '\r', 1);
        PumpPending();
    }

    KernelTestFolder folder;
    test::TScriptedPrompts prompts;
    test::TScriptedShell shell;
    std::unique_ptr<TobjKernelDesigner> designer;
};

TEST_F(DesignerWindow, LaysOutItsControlsAsDesigned) {
    EXPECT_EQ(designer->Caption(), "");
    EXPECT_EQ(designer->BorderStyle(), TFormBorderStyle::bsSingle);
    EXPECT_EQ(designer->BorderIcons(), 0u);
    EXPECT_EQ(designer->Font().Name(), "Small Fonts");
    EXPECT_EQ(designer->Font().Height(), -9);
    struct Box {
        const char* name;
        const char* caption;
        int left, top, width, height;
    };
    for (const Box& b : {Box{"GroupBox2", "Editor Column", 182, 424, 116, 60},
                         Box{"GroupBox1", "Controls", 301, 424, 710, 60}}) {
        const TGroupBox& box = designer->Find<TGroupBox>(b.name);
        EXPECT_EQ(box.Caption(), b.caption);
        EXPECT_EQ(box.Left(), b.left);
        EXPECT_EQ(box.Top(), b.top);
        EXPECT_EQ(box.Width(), b.width);
        EXPECT_EQ(box.Height(), b.height);
    }
    EXPECT_EQ(designer->Edt_Value->Caption(), "0.000");
    EXPECT_EQ(designer->Edt_Value->EditLabel().Caption(), "Datum Value");
    EXPECT_EQ(designer->CmBx_Source->Items(), (std::vector<std::string>{"Pass", "Input", "Output"}));
    EXPECT_EQ(designer->CmBx_Source->Caption(), "Input");
    EXPECT_EQ(designer->Spn_ViewNmbr->MinValue(), 1);
    EXPECT_EQ(designer->Spn_ViewNmbr->MaxValue(), 10);
    EXPECT_FALSE(designer->Spn_ViewNmbr->EditorEnabled());
    EXPECT_FALSE(designer->Spn_ZeroImpls->EditorEnabled());
    EXPECT_EQ(designer->Spn_ZeroImpls->MaxLength(), 4);
    EXPECT_EQ(designer->Btn_CopyAll->Caption(), "Copy all from Right");
    EXPECT_EQ(designer->Pnl_Left->Color(), 0xC0F0F0u);
    EXPECT_EQ(designer->Pnl_Right->Color(), 0xA0C0C0u);
    for (const char* label : {"Lbl_ImplsNmbr", "Lbl_DatumNmbr", "Lbl_Time"})
        EXPECT_EQ(designer->Find<TLabel>(label).Caption(), "0");

    // The design area right of the browser's column: viewer over editor, the rulers along them.
    const int right = designer->BrowserRight();
    EXPECT_EQ(right, 181);
    EXPECT_EQ(designer->ValueRuler->Left(), right);
    EXPECT_EQ(designer->ValueRuler->Top(), designer->Viewer->Height() + 1);
    EXPECT_EQ(designer->Viewer->Left(), right + 35);
    EXPECT_EQ(designer->Editor->Left(), right + 35);
    EXPECT_EQ(designer->Editor->Top(), designer->Viewer->Height() + 1);
    EXPECT_EQ(designer->ImpulseRuler->Top(), designer->Editor->Top() + designer->Editor->Height());
    EXPECT_EQ(designer->ImpulseRuler->Width(), designer->Editor->Width());
    EXPECT_LE(designer->ImpulseRuler->Top() + designer->ImpulseRuler->Height(), 424);
    EXPECT_EQ(designer->RulersFiller->Top(), designer->ImpulseRuler->Top());
    EXPECT_EQ(designer->ValueFiller->Height(), designer->ValueRuler->Top());
    EXPECT_EQ(designer->Editor->Left() + designer->Editor->Width(), 1009);
}

TEST_F(DesignerWindow, MenusCarryTheirCaptionsShortCutsAndTagsAndNoKeyTwice) {
    struct Item {
        const char* name;
        const char* caption;
        const char* shortCut;
        int tag;
    };
    const Item items[] = {
        {"MnItm_Undo", "Can't Undo", "Ctrl+Q", 0},
        {"MnItm_Redo", "Can't Redo", "Ctrl+W", 0},
        {"MnItm_Copy", "Copy", "Ctrl+C", 1},
        {"MnItm_Cut", "Cut", "Ctrl+X", 2},
        {"MnItm_Clear", "Clear", "Ctrl+Del", 3},
        {"MnItm_PasteOverwrite", "Paste Overwrite", "Ctrl+V", 4},
        {"MnItm_PasteMix", "Paste Mix", "Ctrl+B", 5},
        {"MnItm_Reverse", "Reverse", "Ctrl+R", 6},
        {"MnItm_Mirror", "Mirror...", "Ctrl+M", 7},
        {"MnItm_Invert", "Invert", "Ctrl+I", 8},
        {"MnItm_Amplify", "Amplify...", "Ctrl+A", 9},
        {"MnItm_BlockAdjust", "Block Adjust...", "Ctrl+S", 10},
        {"MnItm_Harmonize", "Harmonize...", "Ctrl+H", 11},
        {"MnItm_Reset", "Reset All", "Ctrl+Alt+A", 0},
        {"MnItm_AbleStats", "&Enable Stats", "Ctrl+Alt+S", 0},
        {"MnItm_Reverb", "Reverb", "Ctrl+Alt+R", 0},
        {"MnItm_Resonance", "Resonance", "Ctrl+Alt+Z", 0},
        {"MnItm_Echo", "Echo", "Ctrl+Alt+E", 0},
        {"MnItm_Filter", "Filter", "Ctrl+Alt+F", 0},
        {"MnItm_AddPreset", "Add", "Ctrl+Ins", 0},
        {"MnItm_DeletePreset", "Delete", "Shift+Ctrl+Del", 0},
        {"MnItm_UpFolder", "Up Folder", "F10", 0},
        {"MnItm_PresetsRoot", "Presets Root", "F11", 0},
        {"MnItm_Manage", "Manage...", "F12", 0},
    };
    std::map<TShortCut, std::string> bound;
    for (const Item& item : items) {
        SCOPED_TRACE(item.name);
        const TMenuItem& menuItem = designer->Find<TMenuItem>(item.name);
        EXPECT_EQ(menuItem.Caption(), item.caption);
        EXPECT_EQ(ShortCutToText(menuItem.ShortCut()), item.shortCut);
        EXPECT_EQ(menuItem.Tag(), item.tag);
        EXPECT_TRUE(bound.emplace(menuItem.ShortCut(), item.name).second)
            << "bound to " << bound[menuItem.ShortCut()];
    }
    HMENU bar = GetMenu(designer->Handle());
    ASSERT_EQ(GetMenuItemCount(bar), 4);
    std::vector<std::string> menus;
    for (int i = 0; i < 4; ++i) {
        char text[32] = {};
        GetMenuStringA(bar, static_cast<UINT>(i), text, sizeof text, MF_BYPOSITION);
        menus.push_back(text);
    }
    EXPECT_EQ(menus, (std::vector<std::string>{"Edit", "Kernel", "Designers", "Presets"}));
}

TEST_F(DesignerWindow, EachEditItemRunsItsOperationWithItsOneUndoEntry) {
    struct Case {
        const char* item;
        const char* description; // "" when the item records nothing
    };
    const Case cases[] = {
        {"MnItm_Copy", ""},
        {"MnItm_PasteMix", "Paste Mix"},
        {"MnItm_PasteOverwrite", "Paste Overwrite"},
        {"MnItm_Reverse", "Reverse"},
        {"MnItm_Invert", "Invert"},
        {"MnItm_Cut", "Cut"},
        {"MnItm_Clear", "Clear"},
    };
    Load({Rec(-3, 0.5L), Rec(0, 1.0L), Rec(2, -0.25L)});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.item);
        const int before = UndoCount();
        const std::string description = UndoDescription();
        ClickMenu(c.item);
        if (*c.description == '\0') {
            EXPECT_EQ(UndoCount(), before);
            EXPECT_EQ(UndoDescription(), description);
        } else {
            EXPECT_EQ(UndoCount(), before + 1);
            EXPECT_EQ(UndoDescription(), c.description);
        }
    }
    EXPECT_EQ(Model().LeftKernel.Count(), 0);
    EXPECT_EQ(designer->MnItm_Undo->Caption(), std::to_string(UndoCount() - 1) + ": Undo Clear");
    EXPECT_TRUE(designer->MnItm_Undo->Enabled());

    ClickMenu("MnItm_Undo");
    EXPECT_TRUE(designer->MnItm_Redo->Enabled());
    EXPECT_EQ(designer->MnItm_Redo->Caption(), std::to_string(UndoCount() - 1) + ": Redo Clear");
    ClickMenu("MnItm_Undo"); // the Cut
    EXPECT_EQ(Model().LeftKernel.Count(), 3);
    ClickMenu("MnItm_Redo");
    EXPECT_EQ(Model().LeftKernel.Count(), 0);
}

TEST_F(DesignerWindow, TheDialogItemsApplyWhatTheirDialogsReturn) {
    const auto confirm = [](const char* level) {
        return [level](TobjEditOperationDlg& dialog) {
            dialog.Edit().SetCaption(level);
            dialog.Find<TButton>("Btn_OK").Click();
        };
    };
    struct Case {
        const char* item;
        std::function<void(TobjEditOperationDlg&)> user;
        const char* description;
        std::vector<std::pair<std::int32_t, long double>> records; // the left kernel afterwards
    };
    const Case cases[] = {
        {"MnItm_Amplify", confirm("0.5"), "Amplify", {{-3, 0.25L}, {0, 0.5L}, {2, -0.125L}}},
        {"MnItm_Amplify",
         [](TobjEditOperationDlg& d) { d.Find<TButton>("Btn_Cancel").Click(); },
         "Amplify",
         {{-3, 0.5L}, {0, 1.0L}, {2, -0.25L}}},
        {"MnItm_BlockAdjust", confirm("0.5"), "Block Adjust", {{-3, 1.0L}, {0, 1.5L}, {2, 0.25L}}},
        {"MnItm_Harmonize",
         confirm("1"),
         "Harmonize", // low -10, factor 0.5: the block moves by 5
         {{-3, 0.5L}, {0, 1.0L}, {2, 0.25L}, {5, 1.0L}, {7, -0.25L}}},
        {"MnItm_Mirror",
         [](TobjEditOperationDlg& dialog) {
             static_cast<TobjMirror&>(dialog).RdGp_Reflector->SetItemIndex(4); // around the editor's high + 1
             dialog.Find<TButton>("Btn_OK").Click();
         },
         "Mirror",
         {{-3, 0.5L}, {0, 1.0L}, {2, -0.25L}, {20, -0.25L}, {22, 1.0L}, {25, 0.5L}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.description);
        Load({Rec(-3, 0.5L), Rec(0, 1.0L), Rec(2, -0.25L)});
        int runs = 0;
        prompts.OnShowModal = [&](TForm& form) {
            ++runs;
            EXPECT_EQ(form.Owner(), designer.get());
            c.user(dynamic_cast<TobjEditOperationDlg&>(form));
            return form.ModalResult();
        };
        const int before = UndoCount();
        ClickMenu(c.item);
        EXPECT_EQ(runs, 1);
        EXPECT_EQ(UndoCount(), before + 1);
        EXPECT_EQ(UndoDescription(), c.description);
        std::vector<std::pair<std::int32_t, long double>> records;
        for (const TImpulseRec& rec : Model().LeftKernel.Records())
            records.emplace_back(rec.Impulse, rec.Value);
        EXPECT_EQ(records, c.records);
    }
}

TEST_F(DesignerWindow, KernelDesignersAndPresetsItemsReachTheirWork) {
    // Each designer runs modally over the window and leaves its undo entry, also when cancelled.
    std::vector<std::string> shown;
    prompts.OnShowModal = [&](TForm& form) {
        shown.push_back(form.Caption());
        EXPECT_NE(dynamic_cast<TobjEffectDesigner*>(&form), nullptr);
        return mrCancel;
    };
    const std::pair<const char*, const char*> designers[] = {{"MnItm_Filter", "Design FIR Filter"},
                                                             {"MnItm_Reverb", "Design Reverberation"},
                                                             {"MnItm_Echo", "Design Echo"},
                                                             {"MnItm_Resonance", "Design Resonance"}};
    for (const auto& [item, description] : designers) {
        SCOPED_TRACE(item);
        const int before = UndoCount();
        ClickMenu(item);
        EXPECT_EQ(UndoCount(), before + 1);
        EXPECT_EQ(UndoDescription(), description);
    }
    EXPECT_EQ(shown.size(), 4u);

    // Reset asks first; No keeps the kernel.
    Load({Rec(0, 1.0L), Rec(5, 0.5L)});
    prompts.Answers = {mrNo};
    ClickMenu("MnItm_Reset");
    EXPECT_EQ(Model().LeftKernel.Count(), 2);
    ASSERT_FALSE(prompts.Messages.empty());
    EXPECT_EQ(prompts.Messages.back().text,
              "All impulse data in BOTH channels will be cleared.\rDo you wish to proceed?");
    EXPECT_EQ(prompts.Messages.back().type, TMsgDlgType::mtWarning);
    prompts.Answers = {mrYes};
    ClickMenu("MnItm_Reset");
    EXPECT_EQ(Model().LeftKernel.Count(), 1);
    EXPECT_EQ(UndoDescription(), "Reset Kernel");
    EXPECT_EQ(designer->Caption(), "Kernel: Untitled");

    // Manage opens the file explorer on the presets folder, quoted.
    ClickMenu("MnItm_Manage");
    ASSERT_EQ(shell.Started.size(), 1u);
    EXPECT_EQ(shell.Started[0].file, "Explorer.exe /e,\"" + folder.Path() + "User\\Presets\"");
    EXPECT_EQ(shell.Started[0].show, SW_SHOWNORMAL);
}

TEST_F(DesignerWindow, CtrlVInTheValueEditPastesTextAndCtrlDelClearsOnlyOutsideIt) {
    Load({Rec(0, 1.0L), Rec(3, 0.5L)});
    ClickMenu("MnItm_Copy");
    const int before = UndoCount();
    SetFocus(designer->Edt_Value->Handle());
    {
        test::TKeysDown ctrl({VK_CONTROL});
        test::PostKey(designer->Edt_Value->Handle(), 'V');
        test::PostKey(designer->Edt_Value->Handle(), VK_DELETE);
        PumpPending();
    }
    EXPECT_EQ(UndoCount(), before);
    EXPECT_EQ(Model().LeftKernel.Count(), 2);

    SetFocus(designer->Btn_CopyAll->Handle());
    {
        test::TKeysDown ctrl({VK_CONTROL});
        test::PostKey(designer->Btn_CopyAll->Handle(), VK_DELETE);
        PumpPending();
    }
    EXPECT_EQ(UndoDescription(), "Clear");
    EXPECT_EQ(Model().LeftKernel.Count(), 0);
}

TEST_F(DesignerWindow, EnterInTheEditsIsTakenByTheirHandlers) {
    TypeEnter(*designer->Edt_LastColImpls, "100");
    EXPECT_EQ(Model().CurrentView().HighImpulse, 100);
    EXPECT_EQ(Model().CurrentView().LowImpulse, -700);
    TypeEnter(*designer->Edt_NmbrVwrCols, "201");
    EXPECT_EQ(Model().CurrentView().LowImpulse, -100);
    EXPECT_EQ(Model().CurrentView().Width, 201);
    EXPECT_EQ(designer->Spn_ZeroImpls->Value(), 100);
    TypeEnter(*designer->Edt_NmbrVwrCols, "1000");
    EXPECT_EQ(designer->Edt_NmbrVwrCols->Caption(), "801");
    EXPECT_EQ(Model().CurrentView().Width, 201);
    // Without a grabbed column the value edit keeps its text.
    TypeEnter(*designer->Edt_Value, "0.75");
    EXPECT_EQ(designer->Edt_Value->Caption(), "0.75");
}

TEST_F(DesignerWindow, TheColumnControlsWorkOnTheColumnPressedInTheEditor) {
    Load({Rec(0, 1.0L), Rec(3, 0.5L)});
    const auto press = [&](std::int32_t impulse) { Press(impulse); };
    press(3);
    EXPECT_EQ(designer->Lbl_ImplsNmbr->Caption(), "3");
    EXPECT_EQ(designer->Lbl_DatumNmbr->Caption(), "1");
    EXPECT_EQ(designer->Edt_Value->Caption(), "0.5");
    EXPECT_EQ(designer->CmBx_Source->Caption(), "Input");

    TypeEnter(*designer->Edt_Value, "0.75");
    EXPECT_EQ(Model().LeftKernel.Value(1), 0.75L);
    EXPECT_EQ(UndoDescription(), "Enter Datum Value");
    TypeEnter(*designer->Edt_Value, "+-5");
    EXPECT_EQ(designer->Edt_Value->Caption(), "Error");
    EXPECT_EQ(Model().LeftKernel.Value(1), 0.75L);

    designer->CmBx_Source->SetItemIndex(2); // the user's pick of "Output"
    designer->Source_Select(*designer->CmBx_Source);
    EXPECT_EQ(Model().LeftKernel.Kind(1), TSourceKind::Output);
    EXPECT_EQ(UndoDescription(), "Set Audio Source");

    press(0);
    designer->CmBx_Source->SetItemIndex(2);
    designer->Source_Select(*designer->CmBx_Source);
    EXPECT_EQ(Model().LeftKernel.Kind(0), TSourceKind::Input);
    EXPECT_EQ(designer->CmBx_Source->Caption(), "Input");
}

// A grabbed column stands for one record of the records the editor showed when it was pressed; once the
// editor shows its range afresh (another channel, an edit, an undo) the value and source controls must
// not reach whatever record now has the grabbed column's place.
TEST_F(DesignerWindow, TheColumnControlsLetGoOfAColumnOnceTheEditorShowsItsRangeAfresh) {
    const auto choose = [&](TSourceKind kind) {
        designer->CmBx_Source->SetItemIndex(static_cast<int>(kind));
        designer->Source_Select(*designer->CmBx_Source);
    };
    struct Case {
        const char* name;
        std::int32_t pressed;
        std::function<void()> afterwards;
    };
    const std::vector<Case> cases = {
        {"the other channel", 0, [&] { designer->PnlRight_Click(*designer->Pnl_Right); }},
        {"an undo", 3, [&] { ClickMenu("MnItm_Undo"); }},
        {"an edit that removed the column", 3, [&] { ClickMenu("MnItm_Clear"); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        designer->PnlLeft_Click(*designer->Pnl_Left);
        // Undo goes back to records at 0 and 5, where 5 takes the place 3 had in the editor.
        Load({Rec(0, 1.0L), Rec(5, 0.5L)});
        ClickMenu("MnItm_Invert");
        Load({Rec(0, 1.0L), Rec(3, 0.25L), Rec(5, 0.5L)});
        ClickMenu("MnItm_Invert");
        Model().RightKernel.LoadRecords({Rec(0, 1.0L)});
        Press(c.pressed);
        ASSERT_EQ(designer->Editor->GrabbedWorkingIndex(), c.pressed == 0 ? 0 : 1);
        c.afterwards();
        const std::vector<TImpulseRec> left = Model().LeftKernel.Records();
        const std::vector<TImpulseRec> right = Model().RightKernel.Records();
        const int entries = UndoCount();
        prompts.Messages.clear();

        TypeEnter(*designer->Edt_Value, "0.125");
        choose(TSourceKind::Pass);
        EXPECT_EQ(Model().LeftKernel.Records(), left);
        EXPECT_EQ(Model().RightKernel.Records(), right);
        EXPECT_EQ(UndoCount(), entries);
        EXPECT_TRUE(prompts.Messages.empty());
        EXPECT_EQ(designer->Editor->GrabbedWorkingIndex(), -1);
    }
}

// The mouse may be taken from a press (another window takes the capture) before its release arrives: the
// press then ends there, its undo entry is recorded, and the editor follows the kernel again.
TEST_F(DesignerWindow, APressThatLosesTheMouseEndsAsARelease) {
    Load({Rec(0, 1.0L), Rec(3, 0.5L)});
    ClickMenu("MnItm_Invert"); // an entry holding both records
    TobjKernelEditor& editor = *designer->Editor;
    const TBarRect bar = editor.WorkingList().Record(1).Bar;
    const int before = UndoCount();
    SendMessageA(editor.Handle(), WM_LBUTTONDOWN, MK_LBUTTON | MK_CONTROL,
                 MAKELPARAM((bar.Left + bar.Right) / 2, (bar.Top + bar.Bottom) / 2));
    ASSERT_EQ(Model().LeftKernel.Count(), 1); // the column went at the press
    ReleaseCapture();
    PumpPending();
    EXPECT_EQ(UndoCount(), before + 1);
    EXPECT_EQ(UndoDescription(), "Delete Single Column");

    ClickMenu("MnItm_Undo");
    EXPECT_EQ(Model().LeftKernel.Count(), 2);
    EXPECT_EQ(editor.WorkingList().Count(), 2);
}

// The same for a drag across the viewer: it chooses the editor range as far as it went, and later moves
// without a button choose nothing.
TEST_F(DesignerWindow, AViewerDragThatLosesTheMouseEndsAsARelease) {
    TypeEnter(*designer->Edt_NmbrVwrCols, "21");
    TypeEnter(*designer->Edt_LastColImpls, "10"); // the view spans -10..10
    TobjKernelViewer& viewer = *designer->Viewer;
    const auto at = [&](std::int32_t impulse, int y = 20) {
        const HistogramGeometry& geometry = viewer.Geometry();
        const std::int32_t column = impulse - Model().CurrentView().LowImpulse;
        return MAKELPARAM(geometry.ColumnLeft(column) + geometry.CellWidth() / 2, y);
    };
    SendMessageA(viewer.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, at(2, 25));
    SendMessageA(viewer.Handle(), WM_MOUSEMOVE, MK_LBUTTON, at(2));
    SendMessageA(viewer.Handle(), WM_MOUSEMOVE, MK_LBUTTON, at(5));
    ReleaseCapture();
    PumpPending();
    SendMessageA(viewer.Handle(), WM_MOUSEMOVE, 0, at(8));
    PumpPending();
    EXPECT_EQ(Model().CurrentEditorBounds->LowImpulse, 2);
    EXPECT_EQ(Model().CurrentEditorBounds->HighImpulse, 5);
    EXPECT_EQ(Model().Selection.LowImpulse, 2);
    EXPECT_EQ(Model().Selection.HighImpulse, 5);
}

TEST_F(DesignerWindow, TheSpinsAndPanelsReachTheController) {
    Load({Rec(0, 1.0L), Rec(3, 0.5L)});
    designer->Spn_ZeroImpls->SetValue(401);
    PumpPending();
    EXPECT_EQ(UndoDescription(), "Shift Impulse Zero");
    EXPECT_EQ(Model().LeftKernel.Impulse(1), 2);

    designer->Spn_ViewNmbr->SetValue(2);
    EXPECT_EQ(Model().ViewNumber, 2);

    SendMessageA(designer->Pnl_Right->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, 0);
    SendMessageA(designer->Pnl_Right->Handle(), WM_LBUTTONUP, 0, 0);
    PumpPending();
    EXPECT_EQ(Model().Channel, 2);
    EXPECT_EQ(designer->Viewer->Kernel, &Model().RightKernel);
    EXPECT_EQ(designer->Pnl_Left->Color(), 0xA0C0C0u);
    EXPECT_EQ(designer->Pnl_Right->Color(), 0xC0F0F0u);
    EXPECT_EQ(designer->Btn_CopyAll->Caption(), "Copy all from Left");
    designer->Btn_CopyAll->Click();
    EXPECT_EQ(UndoDescription(), "Duplicate Left to Right");
    EXPECT_EQ(Model().RightKernel.Count(), 2);
}

TEST_F(DesignerWindow, PresetsSaveOnceAndLoadAsOneUndoStep) {
    Load({Rec(0, 1.0L), Rec(7, 0.5L)});
    EXPECT_TRUE(designer->SavePreset("Hall"));
    EXPECT_FALSE(designer->SavePreset("Hall"));
    ClickMenu("MnItm_Clear");
    designer->LoadPreset(designer->CurrentFolder + "Hall.ker");
    EXPECT_EQ(designer->Caption(), "Kernel: Hall");
    EXPECT_EQ(UndoDescription(), "Load Preset");
    ASSERT_EQ(Model().LeftKernel.Count(), 2);
    EXPECT_EQ(Model().LeftKernel.Impulse(1), 7);

    designer->LoadPreset(designer->CurrentFolder + "Missing.ker");
    ASSERT_FALSE(prompts.Messages.empty());
    EXPECT_NE(prompts.Messages.back().text.find("does not exist"), std::string::npos);
    EXPECT_TRUE(designer->DeletePreset("Hall"));
    EXPECT_FALSE(std::filesystem::exists(designer->CurrentFolder + "Hall.ker"));
}

TEST_F(DesignerWindow, TheStatisticsWindowFollowsTheKernelsAndGoesWithTheMenuOrAltF4) {
    TMenuItem& item = designer->Find<TMenuItem>("MnItm_AbleStats");
    ClickMenu("MnItm_AbleStats");
    ASSERT_NE(designer->StatsWindow(), nullptr);
    TobjStatsForm& stats = *designer->StatsWindow();
    EXPECT_EQ(item.Caption(), "&Disable Stats");
    EXPECT_TRUE(IsWindowVisible(stats.Handle()));
    EXPECT_EQ(stats.Left(), designer->Left() + 100);
    EXPECT_EQ(stats.Top(), designer->Top() - 50);
    EXPECT_EQ(stats.Lbl_TotalNmbr->Caption(), "2");

    Load({Rec(0, 1.0L), Rec(3, 0.5L), Rec(5, 0.25L)});
    ClickMenu("MnItm_Copy");
    ClickMenu("MnItm_PasteMix"); // any edit brings the counts
    EXPECT_EQ(stats.Lbl_NmbrLeft->Caption(), "3");
    EXPECT_EQ(stats.Lbl_NmbrRight->Caption(), "1");
    EXPECT_EQ(stats.Lbl_TotalNmbr->Caption(), "4");

    ClickMenu("MnItm_AbleStats");
    EXPECT_EQ(designer->StatsWindow(), nullptr);
    EXPECT_EQ(item.Caption(), "&Enable Stats");

    // Alt+F4 on the statistics window frees it as the menu would.
    ClickMenu("MnItm_AbleStats");
    ASSERT_NE(designer->StatsWindow(), nullptr);
    SendMessageA(designer->StatsWindow()->Handle(), WM_SYSCOMMAND, SC_CLOSE, 0);
    test::PumpUntil([&] { return designer->StatsWindow() == nullptr; }, std::chrono::milliseconds(2000));
    EXPECT_EQ(designer->StatsWindow(), nullptr);
    EXPECT_EQ(item.Caption(), "&Enable Stats");
    ClickMenu("MnItm_AbleStats");
    EXPECT_NE(designer->StatsWindow(), nullptr);
    EXPECT_EQ(item.Caption(), "&Disable Stats");
}

TEST_F(DesignerWindow, MovesOverTheFormEndARulerDragOnTheFifth) {
    TobjGraphAxis& ruler = *designer->ValueRuler;
    SendMessageA(ruler.Handle(), WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(17, 100));
    SendMessageA(ruler.Handle(), WM_MOUSEMOVE, MK_RBUTTON, MAKELPARAM(17, 200));
    ReleaseCapture(); // the pointer went where the ruler no longer hears it
    for (int move = 1; move <= 4; ++move)
        SendMessageA(designer->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(600, 470 + move));
    EXPECT_TRUE(ruler.DragPending());
    SendMessageA(designer->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(600, 480));
    EXPECT_FALSE(ruler.DragPending());
}

TEST_F(DesignerWindow, AltF4LeavesTheWindowStanding) {
    SendMessageA(designer->Handle(), WM_CLOSE, 0, 0);
    PumpPending();
    EXPECT_TRUE(IsWindowVisible(designer->Handle()));
}

} // namespace
} // namespace tarvola
