#include "sim/card/VpcdLink.h"

#include <winsock2.h>
#include <ws2tcpip.h>

namespace qsmsim {
namespace {

bool RecvAll(SOCKET s, std::uint8_t* buf, std::size_t n)
{
    while (n) {
        const int got = recv(s, reinterpret_cast<char*>(buf), static_cast<int>(n), 0);
        if (got <= 0) return false;
        buf += got;
        n -= static_cast<std::size_t>(got);
    }
    return true;
}

bool SendFrame(SOCKET s, const Bytes& payload)
{
    Bytes frame{static_cast<std::uint8_t>(payload.size() >> 8), static_cast<std::uint8_t>(payload.size())};
    frame = Concat(frame, payload);
    const char* p = reinterpret_cast<const char*>(frame.data());
    std::size_t left = frame.size();
    while (left) {
        const int sent = send(s, p, static_cast<int>(left), 0);
        if (sent <= 0) return false;
        p += sent;
        left -= static_cast<std::size_t>(sent);
    }
    return true;
}

SOCKET Connect(const std::string& host, int port)
{
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* res = nullptr;
    if (getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &res) != 0) return INVALID_SOCKET;
    SOCKET s = INVALID_SOCKET;
    for (addrinfo* ai = res; ai && s == INVALID_SOCKET; ai = ai->ai_next) {
        s = socket(ai->ai_family, ai->ai_socktype, ai->ai_protocol);
        if (s != INVALID_SOCKET && connect(s, ai->ai_addr, static_cast<int>(ai->ai_addrlen)) != 0) {
            closesocket(s);
            s = INVALID_SOCKET;
        }
    }
    freeaddrinfo(res);
    return s;
}

} // namespace

bool ParseFault(const std::string& text, Fault& out)
{
    const auto eq = text.find('=');
    if (eq == std::string::npos) return false;
    out = Fault{};
    out.prefix = FromHex(text.substr(0, eq));
    std::string action = text.substr(eq + 1);
    for (auto comma = action.rfind(','); comma != std::string::npos; comma = action.rfind(',')) {
        const std::string modifier = action.substr(comma + 1);
        if (modifier == "once") {
            out.once = true;
        } else if (modifier.rfind("after:", 0) == 0) {
            try {
                out.skip = std::stoul(modifier.substr(6));
            } catch (const std::exception&) {
                return false;
            }
        } else {
            return false;
        }
        action.resize(comma);
    }
    if (action.rfind("sw:", 0) == 0) {
        const Bytes sw = FromHex(action.substr(3));
        if (sw.size() != 2) return false;
        out.action = Fault::Action::StatusWord;
        out.statusWord = static_cast<std::uint16_t>(sw[0] << 8 | sw[1]);
    } else if (action.rfind("cut:", 0) == 0) {
        out.action = Fault::Action::Truncate;
        try {
            out.keep = std::stoul(action.substr(4));
        } catch (const std::exception&) {
            return false;
        }
    } else if (action == "mute") {
        out.action = Fault::Action::Mute;
    } else if (action == "close") {
        out.action = Fault::Action::Close;
    } else {
        return false;
    }
    return true;
}

CommandLog::CommandLog(const std::string& path)
{
    if (!path.empty()) file_ = std::fopen(path.c_str(), "a");
}

CommandLog::~CommandLog()
{
    if (file_) std::fclose(file_);
}

void CommandLog::Line(const char* kind, const Bytes& bytes)
{
    if (!file_) return;
    std::fprintf(file_, "%s %s\n", kind, ToHex(bytes, " ").c_str());
    std::fflush(file_);
}

void CommandLog::Note(const std::string& text)
{
    if (!file_) return;
    std::fprintf(file_, "# %s\n", text.c_str());
    std::fflush(file_);
}

bool ServeSession(const std::string& host, int port, QsmCard& card, std::vector<Fault>& faults, CommandLog& log)
{
    SOCKET s = Connect(host, port);
    if (s == INVALID_SOCKET) return false;
    log.Note("connected to " + host + ":" + std::to_string(port));
    for (;;) {
        std::uint8_t head[2];
        if (!RecvAll(s, head, 2)) break;
        Bytes payload(static_cast<std::size_t>(head[0] << 8 | head[1]));
        if (!payload.empty() && !RecvAll(s, payload.data(), payload.size())) {
            log.Note("frame cut short");
            break;
        }
        if (payload.empty()) continue;
        if (payload.size() == 1) {
            switch (payload[0]) {
            case 0:
                log.Note("power off");
                card.Reset();
                break;
            case 1:
                log.Note("power on");
                card.Reset();
                break;
            case 2:
                log.Note("reset");
                card.Reset();
                break;
            case 4:
                log.Line("ATR", QsmCard::Atr());
                SendFrame(s, QsmCard::Atr());
                break;
            default:
                log.Note("unknown control code " + std::to_string(payload[0]));
                break;
            }
            continue;
        }
        log.Line("APDU", payload);
        Fault* fault = nullptr;
        for (Fault& f : faults) {
            if (!f.used && payload.size() >= f.prefix.size() &&
                std::equal(f.prefix.begin(), f.prefix.end(), payload.begin())) {
                if (f.skip > 0) {
                    --f.skip;
                    continue;
                }
                fault = &f;
                f.used = f.once;
                break;
            }
        }
        // A refused command leaves the card untouched; otherwise the card works and the reply is
        // damaged or lost on the way.
        Bytes reply;
        if (fault && fault->action == Fault::Action::StatusWord)
            reply = {static_cast<std::uint8_t>(fault->statusWord >> 8), static_cast<std::uint8_t>(fault->statusWord)};
        else reply = card.Process(payload);
        if (fault && fault->action == Fault::Action::Truncate && reply.size() > fault->keep) reply.resize(fault->keep);
        if (fault && fault->action == Fault::Action::Mute) {
            log.Note("fault: no reply");
            continue;
        }
        if (fault && fault->action == Fault::Action::Close) {
            log.Note("fault: connection closed");
            break;
        }
        log.Line("RESP", reply);
        if (!SendFrame(s, reply)) break;
    }
    closesocket(s);
    log.Note("disconnected");
    return true;
}

} // namespace qsmsim
