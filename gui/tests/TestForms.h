// The forms of the window tests; their layouts are in forms/*.form.
#pragma once

#include "gui/ExtCtrls.h"
#include "gui/Forms.h"
#include "gui/Menus.h"
#include "gui/StdCtrls.h"
#include "gui/base/SysUtils.h"

class TAutoForm : public TForm {
    GUI_CLASS(TAutoForm, TForm)
    using TForm::TForm;
    TButton* OkButton = nullptr;
    TEdit* NameEdit = nullptr;
    TPanel* InnerPanel = nullptr;
    TLabel* ResultLabel = nullptr;
    TLabel* TickLabel = nullptr;
    TGauge* Progress = nullptr;
    TTimer* Timer1 = nullptr;
    int ticks = 0;

    void OkButtonClick(TObject*) { ResultLabel->SetCaption("Geklickt: " + NameEdit->Text()); }
    void Hallo1Click(TObject*) { InnerPanel->SetCaption("Hallo aus dem Menü"); }
    void Timer1Timer(TObject*)
    {
        ++ticks;
        Progress->SetProgress(ticks * 25);
        TickLabel->SetCaption("Tick " + std::to_string(ticks));
        if (ticks == 3) Timer1->SetEnabled(false);
    }

protected:
    const TFormBindings& Bindings() const override
    {
        static const TFormBindings b = {
            {"OkButton", &TAutoForm::OkButton},       {"NameEdit", &TAutoForm::NameEdit},
            {"InnerPanel", &TAutoForm::InnerPanel},   {"ResultLabel", &TAutoForm::ResultLabel},
            {"TickLabel", &TAutoForm::TickLabel},     {"Progress", &TAutoForm::Progress},
            {"Timer1", &TAutoForm::Timer1},           {"OkButtonClick", &TAutoForm::OkButtonClick},
            {"Hallo1Click", &TAutoForm::Hallo1Click}, {"Timer1Timer", &TAutoForm::Timer1Timer},
        };
        return b;
    }
};

class TModalHost : public TForm {
    GUI_CLASS(TModalHost, TForm)
    using TForm::TForm;
    int clicks = 0;
    void HostButtonClick(TObject*) { ++clicks; }

protected:
    const TFormBindings& Bindings() const override
    {
        static const TFormBindings b = {{"HostButtonClick", &TModalHost::HostButtonClick}};
        return b;
    }
};

class TModalDlg : public TForm {
    GUI_CLASS(TModalDlg, TForm)
    using TForm::TForm;
};

class TCheckForm : public TForm {
    GUI_CLASS(TCheckForm, TForm)
    using TForm::TForm;
    TCheckBox* KassBox = nullptr;
    TRadioButton *Left1 = nullptr, *Left2 = nullptr, *Right1 = nullptr, *Right2 = nullptr;
    int clicks = 0;
    bool checkedInHandler = false;
    void KassBoxClick(TObject*)
    {
        ++clicks;
        checkedInHandler = KassBox->Checked();
    }

protected:
    const TFormBindings& Bindings() const override
    {
        static const TFormBindings b = {
            {"KassBox", &TCheckForm::KassBox}, {"Left1", &TCheckForm::Left1},
            {"Left2", &TCheckForm::Left2},     {"Right1", &TCheckForm::Right1},
            {"Right2", &TCheckForm::Right2},   {"KassBoxClick", &TCheckForm::KassBoxClick},
        };
        return b;
    }
};

// Tab order across panels; the keys its edit and the form itself receive are noted.
class TTabForm : public TForm {
    GUI_CLASS(TTabForm, TForm)
    using TForm::TForm;
    std::string editKeys, formKeys;
    std::vector<WORD> formKeyDowns;
    void SumEditKeyPress(TObject*, char& Key) { editKeys += Key; }
    void FormKeyPress(TObject*, char& Key) { formKeys += Key; }
    void FormKeyDown(TObject*, WORD& Key, TShiftState) { formKeyDowns.push_back(Key); }

protected:
    const TFormBindings& Bindings() const override
    {
        static const TFormBindings b = {
            {"SumEditKeyPress", &TTabForm::SumEditKeyPress},
            {"FormKeyPress", &TTabForm::FormKeyPress},
            {"FormKeyDown", &TTabForm::FormKeyDown},
        };
        return b;
    }
};

// Its description names a handler the class does not have.
class TBadForm : public TForm {
    GUI_CLASS(TBadForm, TForm)
    using TForm::TForm;
    void Button1Click(TObject*) {}

protected:
    const TFormBindings& Bindings() const override
    {
        static const TFormBindings b = {{"Button1Click", &TBadForm::Button1Click}};
        return b;
    }
};

// Its description misspells a property.
class TTypoForm : public TForm {
    GUI_CLASS(TTypoForm, TForm)
    using TForm::TForm;
};
