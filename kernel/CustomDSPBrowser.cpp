// The preset browser in the designer base form's left column: its list, glyphs and handlers. What the
// handlers mean is the PresetBrowserController's; the form relays.
#include "kernel/CustomDSP.h"

#include "explorer/VirtualExplorerListviewExControl.h"
#include "kernel/PresetBrowserController.h"
#include "kernel/PresetBrowserHost.h"
#include "kernel/PresetExplorerList.h"
#include "kernel/PresetGlyphs.h"

#include <windows.h>

namespace tarvola {

namespace {

// Asked of the disk: an archive or a file named like a folder is no folder here.
bool IsDirectory(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

} // namespace

void TobjCustomDSP::MakeBrowser() {
    ShlVw_Presets = &Create<TVirtualExplorerListviewEx>();
    ShlVw_Presets->SetName("ShlVw_Presets");
    ShlVw_Presets->SetViewStyle(TViewStyleEx::vsxList);
    ShlVw_Presets->TextColors().FolderTextColor = kFolderTextColour;
    ShlVw_Presets->TextColors().FileTextColor = kFileTextColour;
    ShlVw_Presets->SetBounds(10, 24, 160, 221);
    ShlVw_Presets->SetParent(this);
    BtBtn_UpFolder->SetGlyph(*MakePresetGlyph(TPresetGlyph::UpFolder));
    BtBtn_PrstRoot->SetGlyph(*MakePresetGlyph(TPresetGlyph::PresetsRoot));
    BtBtn_NewFolder->SetGlyph(*MakePresetGlyph(TPresetGlyph::NewFolder));
    browserHost_ = std::make_unique<TPresetBrowserHost>(*this);
    presetList_ = std::make_unique<TPresetExplorerList>(*ShlVw_Presets, IsDirectory);
    browser_ = std::make_unique<PresetBrowserController>(*presetList_, *browserHost_);
    // Enter, Backspace and double-click move the list by itself: the browser follows it.
    presetList_->OnBrowsed = [this] { browser_->ListBrowsed(); };
    BindBrowserEvents();
}

void TobjCustomDSP::BindBrowserEvents() {
    Bind(ShlVw_Presets->OnClick, this, &TobjCustomDSP::Presets_Click);
    Bind(ShlVw_Presets->OnDblClick, this, &TobjCustomDSP::Presets_DblClick);
    Bind(Edt_PrstEntry->OnChange, this, &TobjCustomDSP::PrstEntry_Change);
    Bind(Btn_Add->OnClick, this, &TobjCustomDSP::Add_Click);
    Bind(Btn_Del->OnClick, this, &TobjCustomDSP::Del_Click);
    Bind(BtBtn_UpFolder->OnClick, this, &TobjCustomDSP::UpFolder_Click);
    Bind(BtBtn_PrstRoot->OnClick, this, &TobjCustomDSP::PrstRoot_Click);
    Bind(BtBtn_NewFolder->OnClick, this, &TobjCustomDSP::NewFolder_Click);
}

const std::string& TobjCustomDSP::CollectionCaption() const {
    return browser_->CollectionCaption();
}

void TobjCustomDSP::PrstEntry_Change(TObject&) {
    browser_->PrstEntry_Change();
}

void TobjCustomDSP::Presets_Click(TObject&) {
    browser_->Presets_Click();
}

void TobjCustomDSP::Presets_DblClick(TObject&) {
    browser_->Presets_DblClick();
}

void TobjCustomDSP::Add_Click(TObject&) {
    browser_->Add_Click();
}

void TobjCustomDSP::Del_Click(TObject&) {
    browser_->Del_Click();
}

void TobjCustomDSP::UpFolder_Click(TObject&) {
    browser_->UpFolder_Click();
}

void TobjCustomDSP::PrstRoot_Click(TObject&) {
    browser_->PrstRoot_Click();
}

void TobjCustomDSP::NewFolder_Click(TObject&) {
    browser_->NewFolder_Click();
}

} // namespace tarvola
