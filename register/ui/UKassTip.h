// The register window "Kasse": the operators, the six VAT-rate panels, the clock labels and
// the register core's host (VAT rates, operator name, tax mode). The sale itself is entered
// here too; until it is, the receipt calls of the core do nothing.
#pragma once

#include <cstdint>
#include <string>

#include "gui/Forms.h"
#include "gui/base/DateTime.h"
#include "register/core/URegisterCore.h"

class TsEdit;
class TsLabel;
class TsPanel;
class TRadioButton;
class TGroupBox;

class TKassTip : public TForm, public IRegisterHost {
    GUI_CLASS(TKassTip, TForm)
    explicit TKassTip(TComponent* owner) : TForm(owner) {}
    ~TKassTip() override;
    // The core forgets its host before the window goes.
    void BeforeDestruction() override;

    TRadioButton* BedButton1 = nullptr;
    TRadioButton* BedButton2 = nullptr;
    TsEdit* BedName1 = nullptr;
    TsEdit* BedName2 = nullptr;
    TsLabel* TimeLabel = nullptr;
    TsLabel* DateLabel = nullptr;
    TsPanel* USS1 = nullptr;
    TsPanel* USS2 = nullptr;
    TsPanel* USS3 = nullptr;
    TsPanel* USS4 = nullptr;
    TsPanel* USS5 = nullptr;
    TsPanel* USS6 = nullptr;

    // The next added item starts a new receipt (no receipt is open).
    bool NewReceiptPending = true;
    bool TrainingMode = false;

    // The rate panel of class n (1..6): its caption is the rate in hundredths of a percent.
    TsPanel* RatePanel(int n) const;

    void FormCreate(TObject* Sender);
    // Unticks the main window's register switch, then writes the export journal pair.
    void FormClose(TObject* Sender, TCloseAction& Action);
    // Writes the export journal pair.
    void FormDestroy(TObject* Sender);
    // "Editiere UStS": the VAT-rate dialog.
    void Editiere1Click(TObject* Sender);

    // The main window's clock tick: time in the long time format, date in the short date format.
    void ShowClock(TDateTime time, TDateTime date);
    // Re-applies the training colour after a skin refresh.
    void ApplyTraining();

    // IRegisterHost.
    double GetVatRate(int vatClass) override;
    std::string GetOperatorName() override;
    bool IsTaxExclusive() override;
    void AddHashToReceipt(const std::uint8_t* data, int length, bool force) override;
    void AddSignatureToReceipt(const std::uint8_t* data, int length, bool force) override;
    void NewReceipt() override;
    void SetReceiptText(const std::string& text) override;
    void SetReceiptColor(std::int32_t color) override;

protected:
    const TFormBindings& Bindings() const override;

private:
    void Unregister();
};

extern TKassTip* KassTip;
