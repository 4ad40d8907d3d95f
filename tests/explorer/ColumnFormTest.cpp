// The column settings dialog under Wine: its layout, the width edit's keys, and live updates only while
// "Live Update" is checked.
#include "explorer/ColumnForm.h"
#include "tests/support/MessagePump.h"
#include "tree/TreeControl.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace tarvola::test {
namespace {

// OLE runs for the whole program, as it does around the program's run.
struct TOleScope {
    TOleScope() { EXPECT_TRUE(SUCCEEDED(OleInitialize(nullptr))); }
    ~TOleScope() { OleUninitialize(); }
};

class ColumnFormTest : public testing::Test {
protected:
    ColumnFormTest() {
        dialog.AddColumn({L"Name", true, 180, 0});
        dialog.AddColumn({L"Size", true, 96, 1});
        dialog.AddColumn({L"Owner", false, 120, 5});
        dialog.OnVETUpdate = [this](TFormColumnSettings&) { ++updates; };
        dialog.Show();
        PumpPending();
    }
    TBaseVirtualTree& List() { return dialog.VSTColumnNames->Tree(); }
    PVirtualNode NodeAt(int index) {
        PVirtualNode node = List().GetFirstChild(nullptr);
        while (node != nullptr && index-- > 0)
            node = List().GetNextSibling(node);
        return node;
    }
    void Type(char key) {
        SendMessageA(dialog.EditPixelWidth->Handle(), WM_CHAR, static_cast<WPARAM>(key), 0);
    }

    TOleScope ole;
    TFormColumnSettings dialog{nullptr};
    int updates = 0;
};

TEST_F(ColumnFormTest, LayoutAndTexts) {
    // With TARVOLA_COLUMN_SHOTS set to a number of milliseconds the dialog stays up for a screenshot.
    if (const char* pause = std::getenv("TARVOLA_COLUMN_SHOTS"))
        PumpFor(std::chrono::milliseconds(std::atoi(pause)));
    EXPECT_EQ(dialog.Caption(), "Column Settings");
    EXPECT_EQ(dialog.Width(), TFormColumnSettings::kWidth);
    EXPECT_EQ(dialog.Height(), TFormColumnSettings::kHeight);
    EXPECT_EQ(dialog.Label1->Caption(),
              "Check the columns you would like to make visible in this Folder.  Drag and "
              "Drop to reorder the columns. ");
    EXPECT_EQ(dialog.Label2->Caption(), "The selected column should be ");
    EXPECT_EQ(dialog.Label3->Caption(), "pixels wide");
    EXPECT_EQ(dialog.CheckBoxLiveUpdate->Caption(), "Live Update");
    EXPECT_EQ(dialog.Columns().size(), 3u);
    EXPECT_EQ(List().CheckState(NodeAt(2)), TCheckState::csUncheckedNormal);
    // The width line is centred and the edit sits right of its label.
    EXPECT_EQ(dialog.EditPixelWidth->Left(), dialog.Label2->Left() + dialog.Label2->Width() + 4);
    EXPECT_EQ(dialog.CheckBoxLiveUpdate->Left(), dialog.Label2->Left());
    // Growing keeps the buttons at the bottom right and the list filling the rest.
    dialog.SetBounds(dialog.Left(), dialog.Top(), 400, 500);
    PumpPending();
    EXPECT_EQ(dialog.ButtonCancel->Left() + dialog.ButtonCancel->Width(), dialog.ClientWidth() - 8);
    EXPECT_EQ(dialog.VSTColumnNames->Width(), dialog.ClientWidth() - 16);
    // It cannot be made smaller than its first size.
    dialog.SetBounds(dialog.Left(), dialog.Top(), 100, 100);
    PumpPending();
    RECT frame{};
    GetWindowRect(dialog.Handle(), &frame);
    EXPECT_GE(frame.right - frame.left, TFormColumnSettings::kWidth);
    EXPECT_GE(frame.bottom - frame.top, TFormColumnSettings::kHeight);
}

TEST_F(ColumnFormTest, WidthEditTakesDigitsAndEnterStoresTheWidth) {
    List().SetFocusedNode(NodeAt(1));
    EXPECT_EQ(dialog.EditPixelWidth->Text(), "96");
    dialog.EditPixelWidth->SetText("");
    Type('x');
    Type('7');
    Type('5');
    EXPECT_EQ(dialog.EditPixelWidth->Text(), "75");
    dialog.CheckBoxLiveUpdate->SetChecked(true);
    updates = 0;
    Type('\r');
    EXPECT_EQ(dialog.Columns()[1].Width, 75);
    EXPECT_EQ(updates, 1);
    EXPECT_EQ(dialog.ModalResult(), mrNone); // Enter in the edit is not OK
    // Moving the focus stores the edit into the node that loses it and shows the next one's width.
    dialog.EditPixelWidth->SetText("64");
    List().SetFocusedNode(NodeAt(0));
    EXPECT_EQ(dialog.Columns()[1].Width, 64);
    EXPECT_EQ(dialog.EditPixelWidth->Text(), "180");
}

TEST_F(ColumnFormTest, ChecksUpdateTheViewOnlyWithLiveUpdate) {
    List().SetCheckState(NodeAt(2), TCheckState::csCheckedNormal);
    EXPECT_TRUE(dialog.Columns()[2].Enabled);
    EXPECT_EQ(updates, 0);
    dialog.CheckBoxLiveUpdate->SetChecked(true);
    EXPECT_EQ(updates, 1); // switching it on brings the view up to date
    List().SetCheckState(NodeAt(0), TCheckState::csUncheckedNormal);
    EXPECT_FALSE(dialog.Columns()[0].Enabled);
    EXPECT_EQ(updates, 2);
}

TEST_F(ColumnFormTest, EnterOutsideTheEditPressesOk) {
    EXPECT_TRUE(dialog.PressDefaultButton(dialog.CheckBoxLiveUpdate->Handle()));
    EXPECT_EQ(dialog.ModalResult(), mrOk);
}

} // namespace
} // namespace tarvola::test
