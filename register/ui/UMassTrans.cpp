#include "register/ui/UMassTrans.h"

#include <windows.h>

#include <climits>
#include <exception>

#include "common/UTimeShares.h"
#include "gui/Dialogs.h"
#include "gui/StdCtrls.h"
#include "register/core/UFuncMon.h"
#include "register/core/URegisterCore.h"
#include "register/core/UTransaction.h"
#include "register/ui/UKassTip.h"
#include "skin/controls/sAlphaListBox.h"
#include "skin/controls/sButton.h"
#include "skin/controls/sCheckBox.h"
#include "skin/controls/sEdit.h"
#include "skin/controls/sGauge.h"

TMassTransForm* MassTransForm = nullptr;

TMassTransForm::~TMassTransForm()
{
    if (MassTransForm == this) MassTransForm = nullptr;
}

const TFormBindings& TMassTransForm::Bindings() const
{
    static const TFormBindings b = {
        {"kTrBuchEdit", &TMassTransForm::kTrBuchEdit},   {"kTrEdit", &TMassTransForm::kTrEdit},
        {"kStornoEdit", &TMassTransForm::kStornoEdit},   {"sStk", &TMassTransForm::sStk},
        {"sCheckBed", &TMassTransForm::sCheckBed},       {"Progr", &TMassTransForm::Progr},
        {"maStart", &TMassTransForm::maStart},           {"maStopp", &TMassTransForm::maStopp},
        {"maCancel", &TMassTransForm::maCancel},         {"maStartClick", &TMassTransForm::maStartClick},
        {"maStoppClick", &TMassTransForm::maStoppClick}, {"maCancelClick", &TMassTransForm::maCancelClick},
        {"FormHide", &TMassTransForm::FormHide},
    };
    return b;
}

bool TMassTransForm::ReadCount(const std::string& text, int& value)
{
    if (text.empty()) return false;
    long long n = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        n = n * 10 + (c - '0');
        if (n > INT_MAX) return false;
    }
    if (n < 1) return false;
    value = static_cast<int>(n);
    return true;
}

bool TMassTransForm::CanStart()
{
    const struct {
        TsEdit* edit;
        const char* label;
    } fields[] = {
        {kTrBuchEdit, "max. Anzahl der Buchungspositionen pro Transaktion"},
        {kTrEdit, "Anzahl der Transaktionen"},
        {kStornoEdit, "Stornowahrscheinlichkeit"},
        {sStk, "max. Stk"},
    };
    for (const auto& f : fields) {
        int value = 0;
        if (!ReadCount(f.edit->Text(), value)) {
            ShowMessage(std::string("\"") + f.label + "\": bitte eine ganze Zahl ab 1 eingeben.");
            return false;
        }
    }
    if (!KassTip || KassTip->ProdListSel->GetCount() == 0) {
        ShowMessage("Die Produktliste ist leer: keine Buchungen möglich.");
        return false;
    }
    return true;
}

int TMassTransForm::CountOf(TsEdit* edit, int& last)
{
    int value = 0;
    if (ReadCount(edit->Text(), value)) last = value;
    return last;
}

void TMassTransForm::maStartClick(TObject*)
{
    if (running_ || !CanStart()) return;
    ReadCount(kTrEdit->Text(), TotalReceipts);
    CountOf(kTrBuchEdit, maxItems_);
    CountOf(kStornoEdit, stornoOdds_);
    CountOf(sStk, maxQuantity_);
    maStart->SetEnabled(false);
    maStopp->SetEnabled(true);
    DoneReceipts = 0;
    Progr->SetMaxValue(TotalReceipts);
    Progr->SetProgress(0);
    running_ = true;
    try {
        {
            // The receipts' lines and what the register monitor logs meanwhile are collected and
            // shown together: each edit of a memo costs milliseconds under Wine, however few
            // lines it adds, and a receipt's text replaces the one before. Whatever lets a window
            // paint or waits for the user shows them first (TKassTip::ShowCollected).
            TStringsUpdate receiptLines(KassTip->BelegMemo->Lines());
            const UFuncMon::TMonitorBatch monitorLines;
            const TKassTip::TKeysHold keys(*KassTip);
            while (DoneReceipts < TotalReceipts) {
                // What the steps inside leave of a receipt's time (a benchmark's split).
                UTimeShares::TTimeShare share(UTimeShares::MassProgress);
                BookReceipt();
                ++DoneReceipts;
                UTimeShares::CountReceipt();
                Progr->SetProgress(DoneReceipts);
            }
        }
        // The last receipt's QR picture, placed once its lines are shown.
        KassTip->ShowCollected();
    } catch (...) {
        running_ = false;
        KassTip->ShowCollected();
        throw;
    }
    running_ = false;
    maStart->SetEnabled(true);
    maStopp->SetEnabled(false);
}

void TMassTransForm::BookReceipt()
{
    TRandom& random = RegisterCore().Random();
    if (sCheckBed->Checked()) KassTip->SelectOperator(static_cast<int>(random.Next(2)) + 1);
    PlannedItems = static_cast<int>(random.Next(static_cast<std::uint32_t>(CountOf(kTrBuchEdit, maxItems_)))) + 1;
    DoneItems = 0;
    HandleMessages();
    while (DoneItems < PlannedItems) {
        try {
            UTimeShares::TTimeShare share(UTimeShares::MassItems);
            KassTip->AddRandomItem(CountOf(sStk, maxQuantity_));
            if (random.Next(static_cast<std::uint32_t>(CountOf(kStornoEdit, stornoOdds_))) == 1) KassTip->StornoItem();
        } catch (const std::exception& e) {
            // Reported as a click on the register window would report it; the run goes on.
            KassTip->ShowCollected();
            Application->ShowException(e);
        }
        ++DoneItems;
        UTimeShares::CountItem();
        HandleMessages();
    }
    // A receipt without a single item is neither totalled nor signed.
    if (KassTip->NewReceiptPending) return;
    bool failed = false;
    try {
        {
            UTimeShares::TTimeShare share(UTimeShares::MassTotal);
            KassTip->SumButtonClick(this);
        }
        UTimeShares::TTimeShare share(UTimeShares::MassSigning);
        KassTip->KassButtonClick(this);
        failed = KassTip->BelegMemo->Color() == static_cast<TColor>(UTransaction::ColorFailed);
    } catch (const std::exception& e) {
        // The card's failure is on the receipt (text and colour); the next receipt follows.
        KassTip->ShowCollected();
        Application->ShowException(e);
        failed = true;
    }
    // A failed receipt is often a card taken out: its report is handled before the next
    // receipt, so that the card error window ends the run instead of a receipt sent to no card.
    if (failed) {
        lastMessages_ = 0;
        HandleMessages();
    }
}

void TMassTransForm::HandleMessages()
{
    if (Application->Terminated()) {
        maStoppClick(this);
        return;
    }
    // Every 100 ms the messages waiting (a click on "Stopp", what the receipts posted) are
    // handled, all of them; the windows paint what the receipts changed twice a second. One
    // message after every item painted every window for every item, which cost far more than
    // booking it, and under Wine a memo or list with a themed scroll bar takes 10 to 20 ms to
    // paint its frame, so painting at every handling still cost more than the receipts.
    const ULONGLONG now = GetTickCount64();
    if (now - lastMessages_ < MessageInterval) return;
    const bool paint = now - lastPaint_ >= PaintInterval;
    UTimeShares::TTimeShare share(UTimeShares::MassMessages);
    KassTip->ShowCollected();
    Application->ProcessMessages(paint);
    lastMessages_ = GetTickCount64();
    if (paint) lastPaint_ = lastMessages_;
    if (Application->Terminated()) maStoppClick(this);
}

void TMassTransForm::maStoppClick(TObject*)
{
    DoneItems = PlannedItems;
    DoneReceipts = TotalReceipts;
}

void TMassTransForm::maCancelClick(TObject*) { Hide(); }

void TMassTransForm::FormHide(TObject*) { maStoppClick(this); }
