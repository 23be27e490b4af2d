// The mass-transaction window "Mass-Transactions" (the main window's "Test" > "Mass.Transact."):
// a testing aid that books many random receipts through the register window as a cashier
// would, each one totalled, finished and signed by the card, to load the card and the journals.
//
// "Start" reads the number of receipts (kTrEdit) once; the most items per receipt (kTrBuchEdit),
// the storno odds (kStornoEdit: one storno in this many items), the largest quantity (sStk) and
// the operator switch (sCheckBed) are read again for every receipt or item, so changing them
// during a run takes effect at once. Per receipt: operator 1 or 2 at random when sCheckBed is
// ticked, 1..kTrBuchEdit random items (TKassTip::AddRandomItem), after an item a storno
// (TKassTip::StornoItem) when a random number below kStornoEdit is 1, then "Summe" and
// "Kassieren". The run stays on the GUI thread and handles one waiting window message per item
// and per receipt (it does not wait when none is pending); Progr counts the receipts done.
//
// "Stopp", hiding the window ("Cancel") and the program closing end the run after the item in
// hand: the receipt in progress is still totalled and signed. A run does not start when an edit
// holds no whole number of at least 1 (a message names the field) or the product list is empty.
#pragma once

#include <cstdint>
#include <string>

#include "gui/Forms.h"

class TsButton;
class TsCheckBox;
class TsEdit;
class TsGauge;

class TMassTransForm : public TForm {
    GUI_CLASS(TMassTransForm, TForm)
    explicit TMassTransForm(TComponent* owner) : TForm(owner) {}
    ~TMassTransForm() override;

    TsEdit* kTrBuchEdit = nullptr;
    TsEdit* kTrEdit = nullptr;
    TsEdit* kStornoEdit = nullptr;
    TsEdit* sStk = nullptr;
    TsCheckBox* sCheckBed = nullptr;
    TsGauge* Progr = nullptr;
    TsButton* maStart = nullptr;
    TsButton* maStopp = nullptr;
    TsButton* maCancel = nullptr;

    // Run state: receipts to book and booked, items of the current receipt planned and done.
    int TotalReceipts = 0;
    int DoneReceipts = 0;
    int PlannedItems = 0;
    int DoneItems = 0;

    void maStartClick(TObject* Sender);
    // Ends the run once the item in hand and its receipt are done.
    void maStoppClick(TObject* Sender);
    // Hides the window (which stops a run).
    void maCancelClick(TObject* Sender);
    void FormHide(TObject* Sender);
    bool Running() const { return running_; }

    // The number in an edit when it is a whole decimal number (digits only) of at least 1.
    static bool ReadCount(const std::string& text, int& value);

protected:
    const TFormBindings& Bindings() const override;

private:
    // Checks the four edits and the product list; shows the message and returns false when
    // the run cannot start.
    bool CanStart();
    // One receipt: operator, items, total and finish.
    void BookReceipt();
    // Handles the waiting window messages, at most once per MessageInterval, the painting among
    // them at most once per PaintInterval; when the program is closing, ends the run instead.
    void HandleMessages();
    static constexpr ULONGLONG MessageInterval = 100; // ms
    static constexpr ULONGLONG PaintInterval = 500;   // ms
    // The edit's count, or the last good one while the field holds something else.
    int CountOf(TsEdit* edit, int& last);

    bool running_ = false;
    int maxItems_ = 1, stornoOdds_ = 1, maxQuantity_ = 1;
    ULONGLONG lastMessages_ = 0, lastPaint_ = 0;
};

extern TMassTransForm* MassTransForm;
