// The PC/SC functions of the winscard.dll stand-in, over the readers of VirtualReader.
#define WINSCARDDATA
#include "sim/reader/VirtualReader.h"

#include <winscard.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <map>
#include <memory>
#include <optional>

extern "C" {
const SCARD_IO_REQUEST g_rgSCardT0Pci{SCARD_PROTOCOL_T0, sizeof(SCARD_IO_REQUEST)};
const SCARD_IO_REQUEST g_rgSCardT1Pci{SCARD_PROTOCOL_T1, sizeof(SCARD_IO_REQUEST)};
const SCARD_IO_REQUEST g_rgSCardRawPci{SCARD_PROTOCOL_RAW, sizeof(SCARD_IO_REQUEST)};
}

namespace simreader {
namespace {

HMODULE g_module = nullptr;

// The benchmarks' measure of the card exchanges: when SIMREADER_TIMES names a file mapping that
// the benchmark made, every SCardTransmit adds 1 to its first 64-bit counter and its duration in
// performance-counter ticks to the second.
class TransmitTimes {
public:
    TransmitTimes()
    {
        char name[MAX_PATH];
        const DWORD n = GetEnvironmentVariableA("SIMREADER_TIMES", name, sizeof name);
        if (n == 0 || n >= sizeof name) return;
        HANDLE mapping = OpenFileMappingA(FILE_MAP_WRITE, FALSE, name);
        if (!mapping) return;
        counters_ = static_cast<LONG64*>(MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, 2 * sizeof(LONG64)));
        CloseHandle(mapping);
    }
    bool On() const { return counters_ != nullptr; }
    void Add(LONG64 ticks)
    {
        InterlockedIncrement64(&counters_[0]);
        InterlockedExchangeAdd64(&counters_[1], ticks);
    }

private:
    LONG64* counters_ = nullptr;
};

TransmitTimes& Times()
{
    static TransmitTimes times;
    return times;
}

struct Context {
    std::uint64_t cancels = 0;
};

struct Card {
    SCARDCONTEXT context;
    std::size_t reader;
    std::uint32_t insertion;
    DWORD share;
};

// Everything the functions share; created at the first call. Readers are never destroyed
// (their listening threads hold them); a reader that is no longer configured is only taken
// off the list.
class Service {
public:
    Service()
    {
        WSADATA wsa;
        WSAStartup(MAKEWORD(2, 2), &wsa);
        std::string variable;
        if (ReadersVariable(variable)) lastVariable = variable;
        Configure(LoadConfig(g_module));
    }

    std::mutex mu;
    std::condition_variable changed;
    std::vector<std::unique_ptr<Reader>> readers;
    std::vector<bool> listed; // per reader: offered by SCardListReaders
    std::map<SCARDCONTEXT, Context> contexts;
    std::map<SCARDHANDLE, Card> cards;
    ULONG_PTR nextHandle = 0x1000;
    std::optional<std::string> lastVariable;

    // Takes a changed SIMREADER_READERS, as readers plugged in and out while the program runs:
    // a port named again keeps its reader (under the new name), readers of other ports go
    // off the list, new ports get a new reader. Under mu.
    void Refresh()
    {
        std::string variable;
        if (!ReadersVariable(variable) || variable == lastVariable) return;
        lastVariable = variable;
        Configure(LoadConfig(g_module));
        changed.notify_all();
    }
    std::size_t ListedCount() const { return static_cast<std::size_t>(std::count(listed.begin(), listed.end(), true)); }

    Reader* Find(const char* name, std::size_t& index)
    {
        for (index = 0; name && index < readers.size(); ++index)
            if (listed[index] && readers[index]->Name() == name) return readers[index].get();
        return nullptr;
    }
    bool Connected(std::size_t reader)
    {
        for (const auto& [h, c] : cards)
            if (c.reader == reader && c.insertion == readers[reader]->Insertion()) return true;
        return false;
    }

private:
    void Configure(const std::vector<ReaderConfig>& configs)
    {
        listed.assign(readers.size(), false);
        for (const ReaderConfig& c : configs) {
            std::size_t i = 0;
            while (i < readers.size() && readers[i]->Port() != c.port)
                ++i;
            if (i == readers.size()) {
                readers.push_back(std::make_unique<Reader>(c, mu, changed));
                readers.back()->Start();
                listed.push_back(true);
            } else {
                readers[i]->Rename(c.name);
                listed[i] = true;
            }
        }
    }
};

Service& TheService()
{
    static Service* service = new Service(); // lives until the process ends
    return *service;
}

// Copies a result into the caller's buffer, with the platform's length query and auto-allocation.
LONG Hand(const void* data, DWORD size, LPBYTE buffer, LPDWORD length)
{
    if (!length) return SCARD_E_INVALID_PARAMETER;
    if (*length == SCARD_AUTOALLOCATE && buffer) {
        void* p = HeapAlloc(GetProcessHeap(), 0, size ? size : 1);
        std::memcpy(p, data, size);
        *reinterpret_cast<void**>(buffer) = p;
        *length = size;
        return SCARD_S_SUCCESS;
    }
    if (!buffer) {
        *length = size;
        return SCARD_S_SUCCESS;
    }
    if (*length < size) {
        *length = size;
        return SCARD_E_INSUFFICIENT_BUFFER;
    }
    std::memcpy(buffer, data, size);
    *length = size;
    return SCARD_S_SUCCESS;
}

constexpr DWORD kStateBits = SCARD_STATE_EMPTY | SCARD_STATE_PRESENT | SCARD_STATE_MUTE | SCARD_STATE_INUSE |
                             SCARD_STATE_EXCLUSIVE | SCARD_STATE_UNAVAILABLE | SCARD_STATE_UNKNOWN;

} // namespace
} // namespace simreader

using namespace simreader;

extern "C" {

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH) {
        g_module = instance;
        DisableThreadLibraryCalls(instance);
    }
    return TRUE;
}

LONG WINAPI SCardEstablishContext(DWORD scope, LPCVOID, LPCVOID, LPSCARDCONTEXT context)
{
    if (!context) return SCARD_E_INVALID_PARAMETER;
    if (scope != SCARD_SCOPE_USER && scope != SCARD_SCOPE_SYSTEM && scope != SCARD_SCOPE_TERMINAL)
        return SCARD_E_INVALID_VALUE;
    Service& s = TheService();
    std::lock_guard<std::mutex> lock(s.mu);
    s.Refresh();
    // As the platform's service, which stops when the last reader goes.
    if (s.ListedCount() == 0) return SCARD_E_NO_SERVICE;
    *context = s.nextHandle++;
    s.contexts[*context] = Context{};
    return SCARD_S_SUCCESS;
}

LONG WINAPI SCardReleaseContext(SCARDCONTEXT context)
{
    Service& s = TheService();
    std::lock_guard<std::mutex> lock(s.mu);
    if (!s.contexts.erase(context)) return SCARD_E_INVALID_HANDLE;
    for (auto it = s.cards.begin(); it != s.cards.end();)
        it = it->second.context == context ? s.cards.erase(it) : std::next(it);
    s.changed.notify_all();
    return SCARD_S_SUCCESS;
}

LONG WINAPI SCardIsValidContext(SCARDCONTEXT context)
{
    Service& s = TheService();
    std::lock_guard<std::mutex> lock(s.mu);
    return s.contexts.count(context) ? SCARD_S_SUCCESS : ERROR_INVALID_HANDLE;
}

LONG WINAPI SCardFreeMemory(SCARDCONTEXT, LPCVOID memory)
{
    if (memory) HeapFree(GetProcessHeap(), 0, const_cast<LPVOID>(memory));
    return SCARD_S_SUCCESS;
}

LONG WINAPI SCardListReadersA(SCARDCONTEXT context, LPCSTR, LPSTR readers, LPDWORD length)
{
    Service& s = TheService();
    std::string multi;
    {
        std::lock_guard<std::mutex> lock(s.mu);
        if (context && !s.contexts.count(context)) return SCARD_E_INVALID_HANDLE;
        for (std::size_t i = 0; i < s.readers.size(); ++i)
            if (s.listed[i]) multi += s.readers[i]->Name() + '\0';
    }
    if (multi.empty()) return SCARD_E_NO_READERS_AVAILABLE;
    multi += '\0';
    return Hand(multi.data(), static_cast<DWORD>(multi.size()), reinterpret_cast<LPBYTE>(readers), length);
}

LONG WINAPI SCardGetStatusChangeA(SCARDCONTEXT context, DWORD timeout, LPSCARD_READERSTATEA states, DWORD count)
{
    Service& s = TheService();
    std::unique_lock<std::mutex> lock(s.mu);
    auto ctx = s.contexts.find(context);
    if (ctx == s.contexts.end()) return SCARD_E_INVALID_HANDLE;
    if (count && !states) return SCARD_E_INVALID_PARAMETER;
    const std::uint64_t cancels = ctx->second.cancels;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout);
    for (;;) {
        bool any = false;
        for (DWORD i = 0; i < count; ++i) {
            SCARD_READERSTATEA& st = states[i];
            std::size_t index;
            const Reader* r = s.Find(st.szReader, index);
            DWORD now;
            if (st.szReader && std::strcmp(st.szReader, "\\\\?PnP?\\Notification") == 0) {
                now = static_cast<DWORD>(s.ListedCount()) << 16;
            } else if (!r) {
                now = SCARD_STATE_UNKNOWN | SCARD_STATE_IGNORE;
            } else {
                now = (r->Present() ? SCARD_STATE_PRESENT : SCARD_STATE_EMPTY) |
                      (r->Present() && s.Connected(index) ? SCARD_STATE_INUSE : 0) | (r->Events() << 16);
                st.cbAtr = static_cast<DWORD>(r->Atr().size());
                std::memcpy(st.rgbAtr, r->Atr().data(), std::min<std::size_t>(r->Atr().size(), sizeof st.rgbAtr));
            }
            const DWORD known = st.dwCurrentState;
            bool differs = (known & SCARD_STATE_IGNORE) == 0 &&
                           (known == SCARD_STATE_UNAWARE || (known & kStateBits) != (now & kStateBits) ||
                            ((known >> 16) != 0 && (known >> 16) != (now >> 16)));
            if (!r && known != SCARD_STATE_UNAWARE && (known & SCARD_STATE_UNKNOWN)) differs = false;
            st.dwEventState = now | (differs ? SCARD_STATE_CHANGED : 0);
            any = any || differs;
        }
        if (any) return SCARD_S_SUCCESS;
        if (timeout == 0) return SCARD_E_TIMEOUT;
        if (timeout == INFINITE) {
            s.changed.wait(lock);
        } else if (s.changed.wait_until(lock, deadline) == std::cv_status::timeout) {
            return SCARD_E_TIMEOUT;
        }
        ctx = s.contexts.find(context);
        if (ctx == s.contexts.end() || ctx->second.cancels != cancels) return SCARD_E_CANCELLED;
    }
}

LONG WINAPI SCardCancel(SCARDCONTEXT context)
{
    Service& s = TheService();
    std::lock_guard<std::mutex> lock(s.mu);
    auto ctx = s.contexts.find(context);
    if (ctx == s.contexts.end()) return SCARD_E_INVALID_HANDLE;
    ++ctx->second.cancels;
    s.changed.notify_all();
    return SCARD_S_SUCCESS;
}

LONG WINAPI SCardConnectA(SCARDCONTEXT context, LPCSTR name, DWORD share, DWORD protocols, LPSCARDHANDLE card,
                          LPDWORD active)
{
    if (!card || !active) return SCARD_E_INVALID_PARAMETER;
    Service& s = TheService();
    std::lock_guard<std::mutex> lock(s.mu);
    if (!s.contexts.count(context)) return SCARD_E_INVALID_HANDLE;
    std::size_t index;
    Reader* r = s.Find(name, index);
    if (!r) return SCARD_E_UNKNOWN_READER;
    if (share != SCARD_SHARE_SHARED && share != SCARD_SHARE_EXCLUSIVE && share != SCARD_SHARE_DIRECT)
        return SCARD_E_INVALID_VALUE;
    if (!r->Present()) return SCARD_E_NO_SMARTCARD;
    if (share != SCARD_SHARE_DIRECT && !(protocols & SCARD_PROTOCOL_T1)) return SCARD_E_PROTO_MISMATCH;
    for (const auto& [h, c] : s.cards)
        if (c.reader == index && c.insertion == r->Insertion() &&
            (share == SCARD_SHARE_EXCLUSIVE || c.share == SCARD_SHARE_EXCLUSIVE))
            return SCARD_E_SHARING_VIOLATION;
    *card = s.nextHandle++;
    s.cards[*card] = Card{context, index, r->Insertion(), share};
    *active = share == SCARD_SHARE_DIRECT ? 0 : SCARD_PROTOCOL_T1;
    s.changed.notify_all(); // the reader is in use now
    return SCARD_S_SUCCESS;
}

LONG WINAPI SCardDisconnect(SCARDHANDLE card, DWORD disposition)
{
    Service& s = TheService();
    Reader* r;
    std::uint32_t insertion;
    {
        std::lock_guard<std::mutex> lock(s.mu);
        auto it = s.cards.find(card);
        if (it == s.cards.end()) return SCARD_E_INVALID_HANDLE;
        r = s.readers[it->second.reader].get();
        insertion = it->second.insertion;
        s.cards.erase(it);
        s.changed.notify_all();
    }
    if (disposition == SCARD_RESET_CARD) {
        r->Control(insertion, 2);
    } else if (disposition == SCARD_UNPOWER_CARD || disposition == SCARD_EJECT_CARD) {
        r->Control(insertion, 0);
        r->Control(insertion, 1); // powered again for the next connection
    }
    return SCARD_S_SUCCESS;
}

LONG WINAPI SCardTransmit(SCARDHANDLE card, LPCSCARD_IO_REQUEST sendPci, LPCBYTE sendBuffer, DWORD sendLength,
                          LPSCARD_IO_REQUEST recvPci, LPBYTE recvBuffer, LPDWORD recvLength)
{
    Service& s = TheService();
    Reader* r;
    std::uint32_t insertion;
    {
        std::lock_guard<std::mutex> lock(s.mu);
        auto it = s.cards.find(card);
        if (it == s.cards.end()) return SCARD_E_INVALID_HANDLE;
        r = s.readers[it->second.reader].get();
        insertion = it->second.insertion;
        if (insertion != r->Insertion() || !r->Present()) return SCARD_W_REMOVED_CARD;
    }
    if (!sendPci || !sendBuffer || !recvLength || sendLength < 4) return SCARD_E_INVALID_PARAMETER;
    if (sendPci->dwProtocol != SCARD_PROTOCOL_T1) return SCARD_E_PROTO_MISMATCH;
    Bytes reply;
    LARGE_INTEGER start, end;
    QueryPerformanceCounter(&start);
    const LONG rc = r->Exchange(insertion, Bytes(sendBuffer, sendBuffer + sendLength), reply);
    if (Times().On()) {
        QueryPerformanceCounter(&end);
        Times().Add(end.QuadPart - start.QuadPart);
    }
    if (rc != SCARD_S_SUCCESS) return rc;
    if (recvPci) recvPci->dwProtocol = SCARD_PROTOCOL_T1;
    return Hand(reply.data(), static_cast<DWORD>(reply.size()), recvBuffer, recvLength);
}

LONG WINAPI SCardGetAttrib(SCARDHANDLE card, DWORD id, LPBYTE attr, LPDWORD length)
{
    Service& s = TheService();
    Bytes value;
    {
        std::lock_guard<std::mutex> lock(s.mu);
        auto it = s.cards.find(card);
        if (it == s.cards.end()) return SCARD_E_INVALID_HANDLE;
        const Reader& r = *s.readers[it->second.reader];
        if (it->second.insertion != r.Insertion() || !r.Present()) return SCARD_W_REMOVED_CARD;
        auto text = [](const std::string& t) { return Bytes(t.begin(), t.end()); };
        switch (id) {
        case SCARD_ATTR_ATR_STRING:
            value = r.Atr();
            break;
        case SCARD_ATTR_VENDOR_NAME:
            value = text("Tillora");
            break;
        case SCARD_ATTR_VENDOR_IFD_TYPE:
            value = text("Virtual PC/SC reader");
            break;
        case SCARD_ATTR_VENDOR_IFD_SERIAL_NO:
            value = text("SIM" + std::to_string(r.Port()));
            break;
        case SCARD_ATTR_DEVICE_FRIENDLY_NAME_A:
        case SCARD_ATTR_DEVICE_SYSTEM_NAME_A:
            value = text(r.Name());
            value.push_back(0);
            break;
        case SCARD_ATTR_CURRENT_PROTOCOL_TYPE:
            value = {static_cast<std::uint8_t>(it->second.share == SCARD_SHARE_DIRECT ? 0 : SCARD_PROTOCOL_T1), 0, 0,
                     0};
            break;
        case SCARD_ATTR_ICC_TYPE_PER_ATR:
            value = {1};
            break; // ISO 7816 asynchronous
        case SCARD_ATTR_ICC_PRESENCE:
            value = {2};
            break; // present and powered
        default:
            return SCARD_E_UNSUPPORTED_FEATURE;
        }
    }
    return Hand(value.data(), static_cast<DWORD>(value.size()), attr, length);
}

} // extern "C"
