// Message boxes and the common file and print dialogs.
#pragma once

#include <string>

#include "gui/base/Classes.h"

enum TMsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };
enum : unsigned { mbYes = 1, mbNo = 2, mbOK = 4, mbCancel = 8 };

// Shows a message box over the active window; the result is a modal result (mrOk, mrYes, ...).
int MessageDlg(const std::string& text, TMsgDlgType type, unsigned buttons);
void ShowMessage(const std::string& text);

enum : unsigned { ofOverwritePrompt = 1, ofFileMustExist = 2, ofPathMustExist = 4, ofHideReadOnly = 8 };

class TOpenDialog : public TComponent {
    GUI_CLASS(TOpenDialog, TComponent)
    explicit TOpenDialog(TComponent* owner) : TComponent(owner) {}
    // True when the user chose a file; FileName then holds it.
    virtual bool Execute();
    std::string FileName;
    std::string InitialDir;
    std::string DefaultExt; // with or without the leading dot
    std::string Filter;     // "XML|*.xml|Alle|*.*"
    std::string Title;
    unsigned Options = ofHideReadOnly;
    void SetProperty(const std::string& name, const TPropValue& value) override;

protected:
    bool Run(bool save);
};

class TSaveDialog : public TOpenDialog {
    GUI_CLASS(TSaveDialog, TOpenDialog)
    explicit TSaveDialog(TComponent* owner) : TOpenDialog(owner) {}
    bool Execute() override { return Run(true); }
};

enum TPrintRange { prAllPages, prSelection, prPageNums };

// Lets the user choose a printer; the choice becomes the printer of Printer().
class TPrintDialog : public TComponent {
    GUI_CLASS(TPrintDialog, TComponent)
    explicit TPrintDialog(TComponent* owner) : TComponent(owner) {}
    bool Execute();
    TPrintRange PrintRange = prAllPages;
    bool AllowSelection = false;
    void SetProperty(const std::string& name, const TPropValue& value) override;
};
