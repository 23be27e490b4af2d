#include "sim/reader/VirtualReader.h"

#include <winscard.h>

#include <cstdlib>
#include <cstring>
#include <thread>

namespace simreader {
namespace {

constexpr DWORD kReplyTimeoutMs = 10000; // a card that stays silent longer counts as failed

bool WaitReadable(SOCKET s, DWORD ms)
{
    fd_set set;
    FD_ZERO(&set);
    FD_SET(s, &set);
    timeval tv{static_cast<long>(ms / 1000), static_cast<long>(ms % 1000 * 1000)};
    return select(0, &set, nullptr, nullptr, &tv) == 1;
}

bool RecvAll(SOCKET s, std::uint8_t* p, std::size_t n, DWORD ms)
{
    while (n) {
        if (!WaitReadable(s, ms)) return false;
        const int got = recv(s, reinterpret_cast<char*>(p), static_cast<int>(n), 0);
        if (got <= 0) return false;
        p += got;
        n -= static_cast<std::size_t>(got);
    }
    return true;
}

bool SendFrame(SOCKET s, const Bytes& payload)
{
    Bytes frame{static_cast<std::uint8_t>(payload.size() >> 8), static_cast<std::uint8_t>(payload.size())};
    frame.insert(frame.end(), payload.begin(), payload.end());
    return send(s, reinterpret_cast<const char*>(frame.data()), static_cast<int>(frame.size()), 0) ==
           static_cast<int>(frame.size());
}

enum class Got { Frame, Silent, Closed };

Got RecvFrame(SOCKET s, Bytes& payload, DWORD ms)
{
    std::uint8_t head[2];
    if (!WaitReadable(s, ms)) return Got::Silent;
    if (!RecvAll(s, head, 2, ms)) return Got::Closed;
    payload.assign(static_cast<std::size_t>(head[0] << 8 | head[1]), 0);
    return RecvAll(s, payload.data(), payload.size(), ms) ? Got::Frame : Got::Closed;
}

void AddReaders(std::vector<ReaderConfig>& out, const std::string& list, char separator)
{
    std::size_t start = 0;
    while (start < list.size()) {
        std::size_t end = list.find(separator, start);
        if (end == std::string::npos) end = list.size();
        const std::string item = list.substr(start, end - start);
        const std::size_t eq = item.rfind('=');
        if (eq != std::string::npos && eq > 0) {
            const int port = std::atoi(item.c_str() + eq + 1);
            if (port > 0 && port < 65536) out.push_back({item.substr(0, eq), port});
        }
        start = end + 1;
    }
}

} // namespace

bool ReadersVariable(std::string& value)
{
    char buf[4096];
    const DWORD n = GetEnvironmentVariableA("SIMREADER_READERS", buf, sizeof buf);
    if (n == 0 || n >= sizeof buf) return false;
    value.assign(buf, n);
    return true;
}

std::vector<ReaderConfig> LoadConfig(HMODULE module)
{
    std::vector<ReaderConfig> out;
    std::string variable;
    if (ReadersVariable(variable)) {
        AddReaders(out, variable, ';');
        return out; // exactly the readers it names, perhaps none
    }
    char buf[4096];
    char path[MAX_PATH];
    GetModuleFileNameA(module, path, MAX_PATH);
    std::string ini = path;
    ini = ini.substr(0, ini.find_last_of('\\') + 1) + "simreader.ini";
    const DWORD n = GetPrivateProfileSectionA("Readers", buf, sizeof buf, ini.c_str());
    std::string list;
    for (const char* p = buf; p < buf + n && *p; p += std::strlen(p) + 1)
        list += std::string(p) + '\n';
    AddReaders(out, list, '\n');
    if (out.empty()) out.push_back({"Tillora Virtual Reader 0", 35963});
    return out;
}

Reader::Reader(ReaderConfig config, std::mutex& mu, std::condition_variable& changed)
    : config_(std::move(config)), mu_(mu), changed_(changed)
{}

void Reader::Start()
{
    listener_ = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    a.sin_port = htons(static_cast<u_short>(config_.port));
    if (bind(listener_, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 || listen(listener_, 4) != 0) {
        OutputDebugStringA(("simreader: cannot listen on port " + std::to_string(config_.port) + "\n").c_str());
        closesocket(listener_);
        listener_ = INVALID_SOCKET;
        return; // the reader stays listed, without a card
    }
    std::thread([this] { Listen(); }).detach();
}

// Powers the new card on and asks for its answer to reset; the card is then inserted.
// A second card while one is present is refused by closing its connection.
bool Reader::Admit(SOCKET s)
{
    {
        std::lock_guard<std::mutex> lock(mu_);
        if (Present()) return false;
    }
    Bytes atr;
    if (!SendFrame(s, {1}) || !SendFrame(s, {4}) || RecvFrame(s, atr, 5000) != Got::Frame || atr.empty()) return false;
    std::lock_guard<std::mutex> lock(mu_);
    card_ = s;
    atr_ = atr;
    ++events_;
    ++insertion_;
    changed_.notify_all();
    return true;
}

void Reader::RemoveLocked()
{
    if (card_ == INVALID_SOCKET) return;
    closesocket(card_);
    card_ = INVALID_SOCKET;
    atr_.clear();
    ++events_;
    changed_.notify_all();
}

bool Reader::CheckGone()
{
    SOCKET s;
    {
        std::lock_guard<std::mutex> lock(mu_);
        s = card_;
    }
    if (s == INVALID_SOCKET || !WaitReadable(s, 0)) return false;
    // Bytes nobody asked for (a late reply) are dropped; end of stream is a removal.
    char buf[512];
    return recv(s, buf, sizeof buf, 0) <= 0;
}

void Reader::Listen()
{
    for (;;) {
        fd_set set;
        FD_ZERO(&set);
        FD_SET(listener_, &set);
        SOCKET card;
        {
            std::lock_guard<std::mutex> lock(mu_);
            card = card_;
        }
        if (card != INVALID_SOCKET) FD_SET(card, &set);
        timeval tv{0, 100000};
        if (select(0, &set, nullptr, nullptr, &tv) <= 0) continue;
        if (FD_ISSET(listener_, &set)) {
            SOCKET s = accept(listener_, nullptr, nullptr);
            if (s != INVALID_SOCKET && !Admit(s)) closesocket(s);
        }
        if (card != INVALID_SOCKET && FD_ISSET(card, &set)) {
            std::unique_lock<std::mutex> io(io_, std::try_to_lock);
            if (io.owns_lock() && CheckGone()) {
                std::lock_guard<std::mutex> lock(mu_);
                RemoveLocked();
            }
        }
    }
}

LONG Reader::Exchange(std::uint32_t insertion, const Bytes& command, Bytes& reply)
{
    std::lock_guard<std::mutex> io(io_);
    SOCKET s;
    {
        std::lock_guard<std::mutex> lock(mu_);
        if (!Present() || insertion != insertion_) return SCARD_W_REMOVED_CARD;
        s = card_;
    }
    bool gone = CheckGone();
    if (!gone && SendFrame(s, command)) {
        switch (RecvFrame(s, reply, kReplyTimeoutMs)) {
        case Got::Frame:
            return SCARD_S_SUCCESS;
        case Got::Silent:
            return SCARD_E_TIMEOUT;
        case Got::Closed:
            break;
        }
    }
    std::lock_guard<std::mutex> lock(mu_);
    RemoveLocked();
    return SCARD_W_REMOVED_CARD;
}

LONG Reader::Control(std::uint32_t insertion, std::uint8_t code)
{
    std::lock_guard<std::mutex> io(io_);
    std::lock_guard<std::mutex> lock(mu_);
    if (!Present() || insertion != insertion_) return SCARD_W_REMOVED_CARD;
    if (!SendFrame(card_, {code})) {
        RemoveLocked();
        return SCARD_W_REMOVED_CARD;
    }
    return SCARD_S_SUCCESS;
}

} // namespace simreader
