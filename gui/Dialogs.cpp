#include "gui/Dialogs.h"

#include <windows.h>
#include <commdlg.h>

#include <cstring>
#include <vector>

#include "gui/Forms.h"
#include "gui/Printers.h"
#include "gui/base/SysUtils.h"

int MessageDlg(const std::string& text, TMsgDlgType type, unsigned buttons)
{
    UINT flags = type == mtWarning        ? MB_ICONWARNING
                 : type == mtError        ? MB_ICONERROR
                 : type == mtInformation  ? MB_ICONINFORMATION
                 : type == mtConfirmation ? MB_ICONQUESTION
                                          : 0;
    if ((buttons & (mbYes | mbNo)) == (mbYes | mbNo)) flags |= (buttons & mbCancel) ? MB_YESNOCANCEL : MB_YESNO;
    else if ((buttons & (mbOK | mbCancel)) == (mbOK | mbCancel)) flags |= MB_OKCANCEL;
    else flags |= MB_OK;
    static const char* const titles[] = {"Warnung", "Fehler", "Information", "Bestätigung", ""};
    std::string caption = type == mtCustom ? Application->Title() : titles[type];
    switch (Application->MessageBox(text, caption, flags)) {
    case IDYES:
        return mrYes;
    case IDNO:
        return mrNo;
    case IDCANCEL:
        return mrCancel;
    default:
        return mrOk;
    }
}

void ShowMessage(const std::string& text)
{
    Application->MessageBox(
        text, Application->Title().empty() ? ExtractFileName(Application->ExeName()) : Application->Title(), MB_OK);
}

bool TOpenDialog::Execute() { return Run(false); }

bool TOpenDialog::Run(bool save)
{
    std::string filter = Filter;
    for (char& c : filter)
        if (c == '|') c = '\0';
    filter += std::string(2, '\0');
    std::vector<char> file(MAX_PATH * 4, '\0');
    FileName.copy(file.data(), file.size() - 1);
    std::string ext = !DefaultExt.empty() && DefaultExt[0] == '.' ? DefaultExt.substr(1) : DefaultExt;
    if (ext.size() > 1 && ext[0] == '*') ext = ext.substr(ext.find('.') + 1);
    OPENFILENAMEA ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = GetActiveWindow();
    ofn.lpstrFilter = Filter.empty() ? nullptr : filter.c_str();
    ofn.lpstrFile = file.data();
    ofn.nMaxFile = static_cast<DWORD>(file.size());
    ofn.lpstrInitialDir = InitialDir.empty() ? nullptr : InitialDir.c_str();
    ofn.lpstrTitle = Title.empty() ? nullptr : Title.c_str();
    ofn.lpstrDefExt = ext.empty() ? nullptr : ext.c_str();
    ofn.Flags = OFN_EXPLORER | OFN_NOCHANGEDIR;
    if (Options & ofOverwritePrompt) ofn.Flags |= OFN_OVERWRITEPROMPT;
    if (Options & ofFileMustExist) ofn.Flags |= OFN_FILEMUSTEXIST;
    if (Options & ofPathMustExist) ofn.Flags |= OFN_PATHMUSTEXIST;
    if (Options & ofHideReadOnly) ofn.Flags |= OFN_HIDEREADONLY;
    BOOL ok = save ? GetSaveFileNameA(&ofn) : GetOpenFileNameA(&ofn);
    if (ok) FileName = file.data();
    return ok != 0;
}

void TOpenDialog::SetProperty(const std::string& name, const TPropValue& v)
{
    if (SameText(name, "FileName")) FileName = v.AsString();
    else if (SameText(name, "InitialDir")) InitialDir = v.AsString();
    else if (SameText(name, "DefaultExt")) DefaultExt = v.AsString();
    else if (SameText(name, "Filter")) Filter = v.AsString();
    else if (SameText(name, "Title")) Title = v.AsString();
    else if (SameText(name, "Options")) {
        Options = 0;
        if (v.Has("ofOverwritePrompt")) Options |= ofOverwritePrompt;
        if (v.Has("ofFileMustExist")) Options |= ofFileMustExist;
        if (v.Has("ofPathMustExist")) Options |= ofPathMustExist;
        if (v.Has("ofHideReadOnly")) Options |= ofHideReadOnly;
    } else TComponent::SetProperty(name, v);
}

namespace {
// A DEVNAMES block naming a printer, for the print dialog to show it chosen.
HGLOBAL DevNames(const std::string& device)
{
    static const char driver[] = "winspool";
    size_t size = sizeof(DEVNAMES) + sizeof driver + device.size() + 2;
    HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size);
    if (!h) return nullptr;
    auto* names = static_cast<DEVNAMES*>(GlobalLock(h));
    char* base = reinterpret_cast<char*>(names);
    names->wDriverOffset = sizeof(DEVNAMES);
    names->wDeviceOffset = static_cast<WORD>(names->wDriverOffset + sizeof driver);
    names->wOutputOffset = static_cast<WORD>(names->wDeviceOffset + device.size() + 1);
    std::memcpy(base + names->wDriverOffset, driver, sizeof driver);
    std::memcpy(base + names->wDeviceOffset, device.c_str(), device.size() + 1);
    GlobalUnlock(h);
    return h;
}
} // namespace

bool TPrintDialog::Execute()
{
    PRINTDLGA pd{};
    pd.lStructSize = sizeof pd;
    pd.hwndOwner = GetActiveWindow();
    pd.Flags = PD_RETURNDC | PD_NOPAGENUMS | (AllowSelection ? 0 : PD_NOSELECTION);
    // The dialog opens on the printer chosen before.
    if (!Printer()->PrinterName().empty()) pd.hDevNames = DevNames(Printer()->PrinterName());
    BOOL ok = PrintDlgA(&pd);
    std::string device;
    if (pd.hDevNames) {
        auto* names = static_cast<DEVNAMES*>(GlobalLock(pd.hDevNames));
        device = reinterpret_cast<const char*>(names) + names->wDeviceOffset;
        GlobalUnlock(pd.hDevNames);
        GlobalFree(pd.hDevNames);
    }
    if (pd.hDevMode) GlobalFree(pd.hDevMode);
    if (pd.hDC) DeleteDC(pd.hDC);
    if (!ok) return false;
    PrintRange = (pd.Flags & PD_SELECTION) ? prSelection : prAllPages;
    Printer()->SetPrinterName(device);
    return true;
}

void TPrintDialog::SetProperty(const std::string& name, const TPropValue& v)
{
    if (SameText(name, "Options")) AllowSelection = v.Has("poSelection");
    else TComponent::SetProperty(name, v);
}
