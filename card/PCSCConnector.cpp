#include "card/PCSCConnector.h"

#include <algorithm>

namespace {

constexpr const char* kWindowClass = "TPCSCConnectorWindow";
constexpr std::size_t kMaxCommand = 260;

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

// One waiting thread per successful Open. It owns its stop flag, so a worker of an earlier
// Open can never keep running after Close.
struct TPCSCConnector::Worker {
    std::shared_ptr<std::atomic<bool>> stop = std::make_shared<std::atomic<bool>>(false);
    HANDLE thread = nullptr;
};

namespace {

struct WorkerArgs {
    HMODULE module; // held while the worker runs, so the library stays mapped until it is gone
    SCARDCONTEXT context;
    std::string reader;
    HWND window;
    std::shared_ptr<std::atomic<bool>> stop;
    std::shared_ptr<std::atomic<DWORD>> state;
};

DWORD WINAPI StatusThreadProc(LPVOID param)
{
    std::unique_ptr<WorkerArgs> args(static_cast<WorkerArgs*>(param));
    SCARD_READERSTATEA record{};
    record.szReader = args->reader.c_str();
    record.dwEventState = args->state->load();
    LONG lastError = SCARD_S_SUCCESS;
    DWORD backoff = 0;
    while (!args->stop->load()) {
        record.dwCurrentState = record.dwEventState;
        const LONG rc = SCardGetStatusChangeA(args->context, INFINITE, &record, 1);
        if (args->stop->load()) break;
        if (rc != SCARD_S_SUCCESS) {
            // A wait that fails at once (service gone, context lost) is reported once; the
            // worker then retries ever more slowly instead of spinning.
            if (rc != lastError)
                PostMessageA(args->window, WM_PCSC_STATUS, static_cast<WPARAM>(static_cast<DWORD>(rc)), 0);
            lastError = rc;
            backoff = std::min<DWORD>(backoff ? backoff * 2 : 50, 2000);
            for (DWORD slept = 0; slept < backoff && !args->stop->load(); slept += 50)
                Sleep(50);
            continue;
        }
        lastError = SCARD_S_SUCCESS;
        backoff = 0;
        args->state->store(record.dwEventState);
        PostMessageA(args->window, WM_PCSC_STATUS, 0, 0);
    }
    HMODULE module = args->module;
    args.reset();
    FreeLibraryAndExitThread(module, 0);
}

HMODULE HoldThisModule()
{
    HMODULE module = nullptr;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS, reinterpret_cast<LPCSTR>(&StatusThreadProc), &module);
    return module;
}

} // namespace

TPCSCConnector::TPCSCConnector(TComponent* owner)
    : TComponent(owner), readerState_(std::make_shared<std::atomic<DWORD>>(0))
{
    RegisterWindowClass();
    window_ =
        CreateWindowExA(0, kWindowClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, GetModuleHandleA(nullptr), nullptr);
    SetWindowLongPtrA(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    SetWindowLongPtrA(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ConnectorWndProc));
}

TPCSCConnector::~TPCSCConnector()
{
    CloseAndDisconnect();
    if (context_) SCardReleaseContext(context_);
    if (window_) DestroyWindow(window_);
}

void TPCSCConnector::Error(TErrSource source, LONG code)
{
    if (OnError) OnError(this, source, static_cast<std::uint32_t>(code));
}

void TPCSCConnector::CloseAndDisconnect()
{
    if (connected_) Disconnect();
    if (opened_) Close();
}

bool TPCSCConnector::Init()
{
    CloseAndDisconnect();
    if (context_ && SCardIsValidContext(context_) == SCARD_S_SUCCESS) SCardReleaseContext(context_);
    context_ = 0;
    LONG rc = SCardEstablishContext(SCARD_SCOPE_USER, nullptr, nullptr, &context_);
    if (rc != SCARD_S_SUCCESS) {
        context_ = 0;
        Error(esInit, rc);
        return false;
    }
    DWORD size = 0;
    rc = SCardListReadersA(context_, nullptr, nullptr, &size);
    std::string buffer;
    if (rc == SCARD_S_SUCCESS && size > 0) {
        buffer.assign(size, '\0');
        rc = SCardListReadersA(context_, nullptr, buffer.data(), &size);
        buffer.resize(std::min<std::size_t>(size, buffer.size()));
    }
    readerList_.clear();
    if (rc != SCARD_S_SUCCESS && rc != static_cast<LONG>(SCARD_E_NO_READERS_AVAILABLE)) {
        numReaders_ = 0;
        Error(esInit, rc);
        return false;
    }
    std::vector<std::string> names;
    SplitReaderNames(buffer, names, 10, std::string(1, '\0'));
    for (const auto& n : names)
        if (!n.empty()) readerList_.push_back(n);
    numReaders_ = static_cast<int>(readerList_.size());
    if (numReaders_ > 0) {
        if (OnReaderListChange) OnReaderListChange(this);
        return true;
    }
    return false;
}

void TPCSCConnector::SetUseReaderNum(int n)
{
    if (n == useReaderNum_) return;
    CloseAndDisconnect();
    if (n >= 0 && n < static_cast<int>(readerList_.size())) {
        readerName_ = readerList_[static_cast<std::size_t>(n)];
        useReaderNum_ = n;
    } else {
        readerName_.clear();
        useReaderNum_ = -1;
    }
}

bool TPCSCConnector::Open()
{
    CloseAndDisconnect();
    if (useReaderNum_ < 0 || !context_ || SCardIsValidContext(context_) != SCARD_S_SUCCESS) return false;
    readerState_->store(0);
    previousState_ = 0;
    auto worker = std::make_unique<Worker>();
    auto* args = new WorkerArgs{HoldThisModule(), context_, readerName_, window_, worker->stop, readerState_};
    worker->thread = CreateThread(nullptr, 0, &StatusThreadProc, args, 0, nullptr);
    if (!worker->thread) {
        FreeLibrary(args->module);
        delete args;
        return false;
    }
    opened_ = std::move(worker);
    return true;
}

void TPCSCConnector::Close()
{
    if (opened_) {
        opened_->stop->store(true);
        SCardCancel(context_);
        // The worker leaves at its next wake-up; wait for it so no two ever wait at once.
        if (WaitForSingleObject(opened_->thread, 5000) == WAIT_TIMEOUT) {
            SCardCancel(context_);
            WaitForSingleObject(opened_->thread, 5000);
        }
        CloseHandle(opened_->thread);
        opened_.reset();
    }
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
    const LONG rc = SCardConnectA(context_, readerName_.c_str(), SCARD_SHARE_SHARED,
                                  SCARD_PROTOCOL_T0 | SCARD_PROTOCOL_T1, &handle, &protocol);
    if (rc == static_cast<LONG>(SCARD_W_REMOVED_CARD)) {
        // The card went away between the status change and the connect: not connected.
        card_ = 0;
        return false;
    }
    if (rc != SCARD_S_SUCCESS) {
        Error(esConnect, rc);
        return false;
    }
    card_ = handle;
    AttrProtocol = static_cast<int>(protocol);
    ReadAttributes();
    if (AttrProtocol != 0) CardBecameActive();
    return true;
}

void TPCSCConnector::Disconnect()
{
    if (!connected_) return;
    SCardDisconnect(card_, SCARD_RESET_CARD);
    connected_ = false;
    card_ = 0;
}

void TPCSCConnector::ReadAttributes()
{
    auto bytes = [this](DWORD id, std::string& field) {
        BYTE buffer[127];
        DWORD len = sizeof buffer;
        if (SCardGetAttrib(card_, id, buffer, &len) == SCARD_S_SUCCESS)
            field.assign(reinterpret_cast<const char*>(buffer), std::min<DWORD>(len, sizeof buffer));
        else field.clear();
    };
    auto integer = [this](DWORD id, bool& ok) -> DWORD {
        DWORD value = 0;
        DWORD len = sizeof value;
        ok = SCardGetAttrib(card_, id, reinterpret_cast<BYTE*>(&value), &len) == SCARD_S_SUCCESS;
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
        // No card handle: nothing can be sent.
        Error(esTransmit, static_cast<LONG>(SCARD_E_INVALID_HANDLE));
        return;
    }
    const SCARD_IO_REQUEST* pci = AttrProtocol == 1 ? SCARD_PCI_T0 : AttrProtocol == 2 ? SCARD_PCI_T1 : nullptr;
    BYTE buffer[kMaxCommand];
    DWORD len = sizeof buffer;
    const LONG rc = SCardTransmit(card_, pci, reinterpret_cast<const BYTE*>(command.data()),
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

LRESULT CALLBACK TPCSCConnector::ConnectorWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_PCSC_STATUS) {
        auto* self = reinterpret_cast<TPCSCConnector*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
        if (self) {
            if (wParam != 0) self->Error(esGetStatus, static_cast<LONG>(static_cast<DWORD>(wParam)));
            const DWORD now = self->readerState_->load();
            if (now != self->previousState_) self->StatusChanged(self->previousState_, now);
        }
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}
