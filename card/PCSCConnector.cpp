#include "card/PCSCConnector.h"

#include <algorithm>

namespace {

constexpr const char* kWindowClass = "TPCSCConnectorWindow";
constexpr std::size_t kMaxCommand = 260;
constexpr int kHighestReader = 10; // at most 11 readers are listed

void RegisterWindowClass()
{
    static bool done = false;
    if (done) return;
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = kWindowClass;
    RegisterClassA(&wc);
    done = true;
}

std::uint8_t ByteAt(const std::string& s, std::size_t n) // n counts from 1
{
    return n >= 1 && n <= s.size() ? static_cast<std::uint8_t>(s[n - 1]) : 0;
}

} // namespace

int SplitReaderNames(const std::string& text, std::vector<std::string>& names, int highest,
                     const std::string& separators)
{
    names.assign(static_cast<std::size_t>(highest + 1), std::string());
    int stored = 0;
    std::string piece;
    bool previousWasSeparator = true;
    for (char c : text) {
        if (separators.find(c) != std::string::npos) {
            if (!previousWasSeparator) {
                if (stored > highest) break;
                names[static_cast<std::size_t>(stored++)] = piece;
            }
            piece.clear();
            previousWasSeparator = true;
        } else {
            piece += c;
            previousWasSeparator = false;
        }
    }
    if (!previousWasSeparator && stored <= highest) names[static_cast<std::size_t>(stored++)] = piece;
    return stored;
}

TPCSCConnector::TPCSCConnector(TComponent* owner) : TComponent(owner)
{
    RegisterWindowClass();
    window_.reset(
        CreateWindowExA(0, kWindowClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, GetModuleHandleA(nullptr), nullptr));
    SetWindowLongPtrA(window_.get(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    SetWindowLongPtrA(window_.get(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ConnectorWndProc));
}

TPCSCConnector::~TPCSCConnector()
{
    CloseAndDisconnect();
    // The window goes with its member; no message may reach this object on the way.
    SetWindowLongPtrA(window_.get(), GWLP_USERDATA, 0);
}

void TPCSCConnector::Error(TErrSource source, LONG code)
{
    if (OnError) OnError(this, source, static_cast<std::uint32_t>(code));
}

void TPCSCConnector::CloseAndDisconnect()
{
    if (connected_) Disconnect();
    if (watch_) Close();
}

bool TPCSCConnector::Init()
{
    CloseAndDisconnect();
    // Whatever happens below, the list of an earlier Init and the name taken from it are gone;
    // the reader number names a reader of the new list.
    const int chosen = useReaderNum_;
    readerList_.clear();
    numReaders_ = 0;
    ChooseReader(-1);
    if (context_ && SCardIsValidContext(context_.get()) == SCARD_S_SUCCESS) context_.reset();
    else context_.release(); // an invalid context has nothing left to release
    SCARDCONTEXT context = 0;
    LONG rc = SCardEstablishContext(SCARD_SCOPE_USER, nullptr, nullptr, &context);
    if (rc != SCARD_S_SUCCESS) {
        Error(esInit, rc);
        return false;
    }
    context_.reset(context);
    DWORD size = 0;
    rc = SCardListReadersA(context_.get(), nullptr, nullptr, &size);
    std::string buffer;
    if (rc == SCARD_S_SUCCESS && size > 0) {
        buffer.assign(size, '\0');
        rc = SCardListReadersA(context_.get(), nullptr, buffer.data(), &size);
        buffer.resize(std::min<std::size_t>(size, buffer.size()));
    }
    if (rc != SCARD_S_SUCCESS && rc != static_cast<LONG>(SCARD_E_NO_READERS_AVAILABLE)) {
        Error(esInit, rc);
        return false;
    }
    std::vector<std::string> names;
    SplitReaderNames(buffer, names, kHighestReader, std::string(1, '\0'));
    for (const auto& n : names)
        if (!n.empty()) readerList_.push_back(n);
    numReaders_ = static_cast<int>(readerList_.size());
    ChooseReader(chosen); // none when the list got shorter
    if (numReaders_ > 0) {
        if (OnReaderListChange) OnReaderListChange(this);
        return true;
    }
    return false;
}

void TPCSCConnector::ChooseReader(int n)
{
    if (n >= 0 && n < static_cast<int>(readerList_.size())) {
        readerName_ = readerList_[static_cast<std::size_t>(n)];
        useReaderNum_ = n;
    } else {
        readerName_.clear();
        useReaderNum_ = -1;
    }
}

void TPCSCConnector::SetUseReaderNum(int n)
{
    if (n != useReaderNum_) CloseAndDisconnect();
    ChooseReader(n);
}

bool TPCSCConnector::Open()
{
    CloseAndDisconnect();
    if (useReaderNum_ < 0 || !context_ || SCardIsValidContext(context_.get()) != SCARD_S_SUCCESS) return false;
    previousState_ = 0;
    auto watch = std::make_unique<TStatusWatch>(context_.get(), readerName_, window_.get());
    if (!watch->Started()) return false;
    watch_ = std::move(watch);
    return true;
}

void TPCSCConnector::Close()
{
    // The watch ends its worker; one that does not end in time is left behind on its own.
    watch_.reset();
    if (connected_) Disconnect();
}

bool TPCSCConnector::Connect()
{
    if (connected_) Disconnect();
    if (useReaderNum_ >= 0) connected_ = ConnectToReader();
    return connected_;
}

bool TPCSCConnector::ConnectToReader()
{
    DWORD protocol = 0;
    SCARDHANDLE handle = 0;
    const LONG rc = SCardConnectA(context_.get(), readerName_.c_str(), SCARD_SHARE_SHARED,
                                  SCARD_PROTOCOL_T0 | SCARD_PROTOCOL_T1, &handle, &protocol);
    if (rc == static_cast<LONG>(SCARD_W_REMOVED_CARD)) {
        // The card went away between the status change and the connect: not connected.
        return false;
    }
    if (rc != SCARD_S_SUCCESS) {
        Error(esConnect, rc);
        return false;
    }
    card_.reset(handle);
    AttrProtocol = static_cast<int>(protocol);
    ReadAttributes();
    if (AttrProtocol != 0) CardBecameActive();
    return true;
}

void TPCSCConnector::Disconnect()
{
    if (!connected_) return;
    card_.reset(); // SCardDisconnect with a reset of the card
    connected_ = false;
}

void TPCSCConnector::ReadAttributes()
{
    auto bytes = [this](DWORD id, std::string& field) {
        BYTE buffer[127];
        DWORD len = sizeof buffer;
        if (SCardGetAttrib(card_.get(), id, buffer, &len) == SCARD_S_SUCCESS)
            field.assign(reinterpret_cast<const char*>(buffer), std::min<DWORD>(len, sizeof buffer));
        else field.clear();
    };
    auto integer = [this](DWORD id, bool& ok) -> DWORD {
        DWORD value = 0;
        DWORD len = sizeof value;
        ok = SCardGetAttrib(card_.get(), id, reinterpret_cast<BYTE*>(&value), &len) == SCARD_S_SUCCESS;
        return ok ? value : 0;
    };
    bytes(SCARD_ATTR_ATR_STRING, AttrCardATR);
    bytes(SCARD_ATTR_VENDOR_NAME, AttrVendorName);
    bytes(SCARD_ATTR_VENDOR_IFD_SERIAL_NO, AttrVendorSerial);
    bool ok = false;
    AttrProtocol = static_cast<int>(integer(SCARD_ATTR_CURRENT_PROTOCOL_TYPE, ok));
    const DWORD type = integer(SCARD_ATTR_ICC_TYPE_PER_ATR, ok);
    if (!ok) AttrICCType.clear();
    else AttrICCType = type == 1 ? "ISO7816A" : type == 2 ? "ISO7816S" : "UNKNOWN";
}

void TPCSCConnector::CardBecameActive(bool probe)
{
    if (probe && GSMSelect(std::string("\x7F\x20", 2)) == 0x9000) {
        const std::uint8_t b = ByteAt(GSMDirInfo, 14);
        GSMVoltage30 = (b & 0x10) != 0;
        GSMVoltage18 = (b & 0x20) != 0;
    }
    if (OnCardActive) OnCardActive(this);
}

void TPCSCConnector::ClearAttributes()
{
    AttrProtocol = 0;
    AttrICCType.clear();
    AttrCardATR.clear();
    AttrVendorName.clear();
    AttrVendorSerial.clear();
    GSMCurrentFile.clear();
    GSMFileInfo.clear();
    GSMDirInfo.clear();
    GSMVoltage30 = GSMVoltage18 = false;
}

void TPCSCConnector::Transmit(const std::string& command, std::string& reply)
{
    reply.clear();
    if (command.size() > kMaxCommand) return;
    if (!card_) {
        // No card connection: nothing can be sent.
        Error(esTransmit, static_cast<LONG>(SCARD_E_INVALID_HANDLE));
        return;
    }
    const SCARD_IO_REQUEST* pci = AttrProtocol == 1 ? SCARD_PCI_T0 : AttrProtocol == 2 ? SCARD_PCI_T1 : nullptr;
    BYTE buffer[kMaxCommand];
    DWORD len = sizeof buffer;
    const LONG rc = SCardTransmit(card_.get(), pci, reinterpret_cast<const BYTE*>(command.data()),
                                  static_cast<DWORD>(command.size()), nullptr, buffer, &len);
    if (rc != SCARD_S_SUCCESS) {
        Error(esTransmit, rc);
        return;
    }
    reply.assign(reinterpret_cast<const char*>(buffer), std::min<DWORD>(len, sizeof buffer));
}

bool TPCSCConnector::GSMCommand(const std::string& header, std::string& data, std::uint8_t& sw1, std::uint8_t& sw2)
{
    auto exchange = [&](const std::string& command) {
        std::string reply;
        Transmit(command, reply);
        if (reply.size() < 2) {
            data.clear();
            sw1 = sw2 = 0;
            return false;
        }
        sw1 = static_cast<std::uint8_t>(reply[reply.size() - 2]);
        sw2 = static_cast<std::uint8_t>(reply[reply.size() - 1]);
        data = reply.substr(0, reply.size() - 2);
        return true;
    };
    if (!exchange(header + data)) return false;
    if (sw1 != 0x9F) return true;
    return exchange(std::string("\xA0\xC0\x00\x00", 4) + static_cast<char>(sw2));
}

int TPCSCConnector::GSMSelect(const std::string& fileId)
{
    std::string data = fileId;
    std::uint8_t sw1 = 0, sw2 = 0;
    GSMCommand(std::string("\xA0\xA4\x00\x00\x02", 5), data, sw1, sw2);
    const int sw = (sw1 << 8) | sw2;
    if (sw == 0x9000) {
        GSMCurrentFile = std::string(1, static_cast<char>(ByteAt(data, 5))) + static_cast<char>(ByteAt(data, 6));
        if (ByteAt(data, 7) == 4) GSMFileInfo = data;
        else GSMDirInfo = data;
    }
    return sw;
}

void TPCSCConnector::StatusChanged(DWORD previous, DWORD now)
{
    if ((now & SCARD_STATE_MUTE) && !(previous & SCARD_STATE_MUTE) && OnCardInvalid) OnCardInvalid(this);
    if ((now & SCARD_STATE_PRESENT) && !(previous & SCARD_STATE_PRESENT) &&
        !(now & (SCARD_STATE_MUTE | SCARD_STATE_IGNORE))) {
        if (OnCardInserted) OnCardInserted(this);
        if (connected_) {
            ReadAttributes();
            if (AttrProtocol != 0) CardBecameActive(!(CardOperationRunning && CardOperationRunning()));
        }
    }
    if ((previous & SCARD_STATE_PRESENT) && !(now & SCARD_STATE_PRESENT)) {
        ClearAttributes();
        if (OnCardRemoved) OnCardRemoved(this);
        Disconnect();
    }
    if ((now & SCARD_STATE_EMPTY) && !(previous & SCARD_STATE_EMPTY) && OnReaderWaiting) OnReaderWaiting(this);
    previousState_ = now;
}

void TPCSCConnector::OnStatusMessage(WPARAM waitResult)
{
    if (waitResult != 0) Error(esGetStatus, static_cast<LONG>(static_cast<DWORD>(waitResult)));
    // A message of a watch that is over finds no watch, or the next one's state.
    if (!watch_) return;
    const DWORD now = watch_->State();
    if (now != previousState_) StatusChanged(previousState_, now);
}

LRESULT CALLBACK TPCSCConnector::ConnectorWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_PCSC_STATUS) {
        if (auto* self = reinterpret_cast<TPCSCConnector*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA)))
            self->OnStatusMessage(wParam);
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}
