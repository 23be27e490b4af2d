// The register core's state: one object that holds what the core's modules keep for the whole
// run (the register monitor's log and its listener, the language texts, the application clock,
// the debug window and its command hold, the register window as the core's host, the receipt's
// item list and VAT containers, the card command buffer, the QR payload and the verification
// link, the card's status texts and the journal files), owned by the program block and created
// in the module order.
//
//   // register/main.cpp, the program block:
//   std::unique_ptr<TRegisterCore> core;
//   modules.Add("URegisterCore", [&] { core = std::make_unique<TRegisterCore>(); },
//               [&] { core.reset(); });                 // finalised after the windows are gone
//
//   // the register window (register/ui) implements the host and hands itself over:
//   class TKassTip : public TForm, public IRegisterHost { ... };
//   void TKassTip::FormCreate(TObject*) { RegisterCore().SetHost(this); }
//   TKassTip::~TKassTip() { if (auto* core = TRegisterCore::Current()) core->SetHost(nullptr); }
//
//   // the core's module routines reach the state through RegisterCore():
//   UFuncMon::LogToMonitor("\t" + ULang::GetText(27) + ": " + id);
//   RegisterCore().Host().GetOperatorName();
//
// There is one core at a time: its constructor makes it the program's core, its destructor
// ends that; RegisterCore() without one raises EInvalidOperation (so nothing reaches state that
// is gone). Tests make a core of their own for each case. Everything runs on the GUI thread.
#pragma once

#include <cstdint>
#include <string>

#include "register/core/UAppClock.h"
#include "register/core/UCard.h"
#include "register/core/UCommandBuffer.h"
#include "register/core/UDebugHold.h"
#include "register/core/UFuncMon.h"
#include "register/core/UItemList.h"
#include "register/core/ULang.h"
#include "register/core/UXML_Import.h"
#include "register/core/UQrPayload.h"
#include "register/core/URandom.h"
#include "register/core/UVatContainer.h"
#include "register/core/UXML_Export.h"

// What the core asks of the register window and tells it. The register window implements it;
// core tests give a host of their own.
class IRegisterHost {
public:
    virtual ~IRegisterHost() = default;
    // The rate of VAT class n as a fraction: for n = 1..6 the class's rate in hundredths of a
    // percent divided by 10000 ("1900" -> 0.19); 0 for any other n.
    virtual double GetVatRate(int vatClass) = 0;
    // The name of the selected operator, as typed (at most 16 characters).
    virtual std::string GetOperatorName() = 0;
    // Whether prices are without VAT (the VAT-rate window's switch).
    virtual bool IsTaxExclusive() = 0;
    // The item-list hash (20 bytes) for the receipt: written when the receipt asks for its
    // security texts or when force is set.
    virtual void AddHashToReceipt(const std::uint8_t* data, int length, bool force) = 0;
    // The card's signature (48 bytes) for the receipt, as above; no data (length 0) writes the
    // "no signature" text.
    virtual void AddSignatureToReceipt(const std::uint8_t* data, int length, bool force) = 0;
    // Starts a new, empty receipt.
    virtual void NewReceipt() = 0;
    // Replaces the receipt memo's whole text (a report's lines, CR LF separated).
    virtual void SetReceiptText(const std::string& text) = 0;
    // The receipt memo's background (0x00BBGGRR): the verification result colours it.
    virtual void SetReceiptColor(std::int32_t color) = 0;
};

class TRegisterCore {
public:
    TRegisterCore();
    ~TRegisterCore();
    TRegisterCore(const TRegisterCore&) = delete;
    TRegisterCore& operator=(const TRegisterCore&) = delete;

    // The program's core, or none.
    static TRegisterCore* Current();

    // The register monitor's log and the window that shows it (UFuncMon).
    UFuncMon::TMonitorLog& MonitorLog() { return monitorLog_; }
    const UFuncMon::TMonitorListener& MonitorListener() const { return monitorListener_; }
    void SetMonitorListener(UFuncMon::TMonitorListener listener) { monitorListener_ = std::move(listener); }

    // The language text table and the current language (ULang).
    ULang::TLanguageTexts& Languages() { return languages_; }

    // The application clock (UAppClock).
    UAppClock::TAppClock& Clock() { return clock_; }

    // The debug window, or none (UDebugHold), and whether a command is held in it now.
    UDebugHold::IDebugWindow* DebugWindow() const { return debugWindow_; }
    void SetDebugWindow(UDebugHold::IDebugWindow* window) { debugWindow_ = window; }
    bool Holding() const { return holding_; }
    void SetHolding(bool holding) { holding_ = holding; }

    // The register window; Host() without one raises EInvalidOperation.
    bool HasHost() const { return host_ != nullptr; }
    IRegisterHost& Host() const;
    void SetHost(IRegisterHost* host) { host_ = host; }

    // The loaded product-list file and its products (UXML_Import).
    UXML_Import::TProductFile& ProductFile() { return productFile_; }
    // The receipt being entered (UContainer): the item list, the item XML text (shared with
    // the journal), the VAT containers and the last item-list hash.
    TItemListBytes& ItemList() { return itemList_; }
    std::string& ItemXml() { return itemXml_; }
    TVatContainers& VatContainers() { return vatContainers_; }
    TItemHash& ItemHash() { return itemHash_; }

    // The card command buffer and the receipt text of the last transaction or report
    // (UTransaction).
    TCommandBuffer& Command() { return command_; }
    std::string& TransactionText() { return transactionText_; }

    // The QR payload and the current verification link (UQR).
    TQrPayload& QrPayload() { return qrPayload_; }
    std::string& VerifyUrl() { return verifyUrl_; }

    // The card's status texts, last response and certificate text (UCard).
    UCard::TCardState& Card() { return card_; }

    // The journal files and pending texts (UXML_Export). The core does not close the journal
    // when it goes: the program block's end step (UXML_Export::CloseJournal) does.
    UXML_Export::TJournalState& Journal() { return journal_; }

    // The program's random generator (URandom), seeded by the main window at start.
    TRandom& Random() { return random_; }

private:
    UFuncMon::TMonitorLog monitorLog_;
    UFuncMon::TMonitorListener monitorListener_;
    ULang::TLanguageTexts languages_;
    UAppClock::TAppClock clock_;
    UDebugHold::IDebugWindow* debugWindow_ = nullptr;
    bool holding_ = false;
    IRegisterHost* host_ = nullptr;
    UXML_Import::TProductFile productFile_;
    TItemListBytes itemList_;
    std::string itemXml_;
    TVatContainers vatContainers_;
    TItemHash itemHash_{};
    TCommandBuffer command_;
    std::string transactionText_;
    TQrPayload qrPayload_;
    TRandom random_;
    UCard::TCardState card_;
    UXML_Export::TJournalState journal_;
    std::string verifyUrl_;
};

// The program's core; EInvalidOperation when there is none.
TRegisterCore& RegisterCore();
