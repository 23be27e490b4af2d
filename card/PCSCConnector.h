// TPCSCConnector: the card library's one path to the card. It holds the PC/SC context, lists
// the readers, watches the chosen reader on a worker thread, connects to the card, transmits
// command bytes and turns reader state changes into events. The events run on the thread
// that created the connector, through its hidden window.
#pragma once

#include <windows.h>
#include <winscard.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "gui/base/Classes.h"

enum TErrSource { esInit = 0, esConnect = 1, esGetStatus = 2, esTransmit = 3 };
enum TNeededPIN { npPIN1, npPIN2, npPUK1, npPUK2 };

using TPCSCErrorEvent = std::function<void(TObject* Sender, TErrSource source, std::uint32_t code)>;
using TPCSCPinEvent = std::function<void(TObject* Sender, TNeededPIN pin)>;

// Posted by the worker to the hidden window after each wait; wParam is the wait's result.
constexpr UINT WM_PCSC_STATUS = WM_USER + 42;

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
    bool Opened() const { return opened_ != nullptr; }
    bool Connected() const { return connected_; }
    DWORD ReaderState() const { return readerState_->load(); }
    const std::vector<std::string>& ReaderList() const { return readerList_; }
    int NumReaders() const { return numReaders_; }
    HWND WindowHandle() const { return window_; }

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
    struct Worker;
    static LRESULT CALLBACK ConnectorWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    void StatusChanged(DWORD previous, DWORD now);
    bool ConnectToReader();
    void ReadAttributes();
    void CardBecameActive(bool probe = true);
    void ClearAttributes();
    void CloseAndDisconnect();
    void Error(TErrSource source, LONG code);

    SCARDCONTEXT context_ = 0;
    SCARDHANDLE card_ = 0;
    bool connected_ = false;
    std::vector<std::string> readerList_;
    int numReaders_ = 0;
    int useReaderNum_ = -1;
    std::string readerName_;
    // Written by the worker, read on the window's thread.
    std::shared_ptr<std::atomic<DWORD>> readerState_;
    DWORD previousState_ = 0;
    std::unique_ptr<Worker> opened_;
    HWND window_ = nullptr;
};
