// TPCSCConnector: the card library's one path to the card. It holds the PC/SC context, lists
// the readers, watches the chosen reader on a worker thread (TStatusWatch), connects to the
// card, transmits command bytes and turns reader state changes into events. The events run on
// the thread that created the connector, through its hidden window.
//
// The reader list is read afresh by every Init, and the chosen reader's name is taken from
// the list whenever the reader number is set and after every Init, so a reader that went away
// or was renamed is never connected by its old name.
#pragma once

#include <windows.h>
#include <winscard.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "card/UCardHandles.h"
#include "card/UStatusWatch.h"
#include "gui/base/Classes.h"

enum TErrSource { esInit = 0, esConnect = 1, esGetStatus = 2, esTransmit = 3 };
enum TNeededPIN { npPIN1, npPIN2, npPUK1, npPUK2 };

using TPCSCErrorEvent = std::function<void(TObject* Sender, TErrSource source, std::uint32_t code)>;
using TPCSCPinEvent = std::function<void(TObject* Sender, TNeededPIN pin)>;

// Splits text at separator characters into at most highest + 1 names; runs of separators make
// no empty names. Returns the number of names stored; the rest of `names` is cleared.
int SplitReaderNames(const std::string& text, std::vector<std::string>& names, int highest,
                     const std::string& separators);

class TPCSCConnector : public TComponent {
    GUI_CLASS(TPCSCConnector, TComponent)
    explicit TPCSCConnector(TComponent* owner);
    ~TPCSCConnector() override;
    TPCSCConnector(const TPCSCConnector&) = delete;
    TPCSCConnector& operator=(const TPCSCConnector&) = delete;

    bool Init();
    bool Open();
    void Close();
    bool Connect();
    void Disconnect();
    // Transmits command bytes; the reply holds the answer with its status word last, or is
    // empty when nothing could be sent.
    void Transmit(const std::string& command, std::string& reply);

    // GSM commands (class A0) as card readers of phones know them; the library only probes.
    bool GSMCommand(const std::string& header, std::string& data, std::uint8_t& sw1, std::uint8_t& sw2);
    int GSMSelect(const std::string& fileId);

    void SetUseReaderNum(int n);
    int UseReaderNum() const { return useReaderNum_; }
    bool Opened() const { return watch_ != nullptr; }
    bool Connected() const { return connected_; }
    // The card connection; 0 while not connected.
    SCARDHANDLE CardHandle() const { return card_.get(); }
    // The reader state last reported by the watch; 0 while not opened.
    DWORD ReaderState() const { return watch_ ? watch_->State() : 0; }
    const std::vector<std::string>& ReaderList() const { return readerList_; }
    int NumReaders() const { return numReaders_; }
    // The chosen reader's name; empty while none is chosen.
    const std::string& ReaderName() const { return readerName_; }
    HWND WindowHandle() const { return window_.get(); }

    // Attributes of the connected card and reader.
    int AttrProtocol = 0;    // 1 T=0, 2 T=1, 0 none
    std::string AttrICCType; // "ISO7816A", "ISO7816S", "UNKNOWN"
    std::string AttrCardATR;
    std::string AttrVendorName;
    std::string AttrVendorSerial;
    std::string GSMCurrentFile, GSMFileInfo, GSMDirInfo;
    bool GSMVoltage30 = false, GSMVoltage18 = false;

    TNotifyEvent OnCardInserted, OnCardActive, OnCardRemoved, OnCardInvalid, OnReaderWaiting, OnReaderListChange;
    TPCSCPinEvent OnCHVNeeded;
    TPCSCErrorEvent OnError;
    // Asked before a status change sends the card probe: while it answers true, a card
    // operation is running (perhaps a chain of command blocks) and nothing may come between.
    std::function<bool()> CardOperationRunning;

private:
    static LRESULT CALLBACK ConnectorWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    void OnStatusMessage(WPARAM waitResult);
    void StatusChanged(DWORD previous, DWORD now);
    void ChooseReader(int n);
    bool ConnectToReader();
    void ReadAttributes();
    void CardBecameActive(bool probe = true);
    void ClearAttributes();
    void CloseAndDisconnect();
    void Error(TErrSource source, LONG code);

    TSCardContext context_;
    TSCardConnection card_; // released (with a reset of the card) before the context
    bool connected_ = false;
    std::vector<std::string> readerList_;
    int numReaders_ = 0;
    int useReaderNum_ = -1;
    std::string readerName_;
    DWORD previousState_ = 0;
    std::unique_ptr<TStatusWatch> watch_;
    TWindowHandle window_;
};
