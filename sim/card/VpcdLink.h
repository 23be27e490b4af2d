// The card's side of the virtual-reader protocol: the card connects to the reader over TCP;
// frames are a 2-byte big-endian length and a payload. A 1-byte payload is a control code
// (0 power off, 1 power on, 2 reset, 4 send the answer to reset); a longer one is a command APDU
// answered by one response APDU.
#pragma once

#include "sim/card/Bytes.h"
#include "sim/card/QsmCard.h"

#include <cstdio>
#include <string>
#include <vector>

namespace qsmsim {

// Fault injection: a command whose bytes start with the prefix is answered differently.
struct Fault {
    enum class Action { StatusWord, Truncate, Mute, Close };
    Bytes prefix;
    Action action = Action::StatusWord;
    std::uint16_t statusWord = 0;
    std::size_t keep = 0; // bytes of the real reply kept by Truncate
    bool once = false;
    bool used = false;
    std::size_t skip = 0; // matching commands that pass untouched before the fault applies
};
// "<hex prefix>=sw:6A82", "=cut:N", "=mute" or "=close", optionally followed by ",once"
// and/or ",after:N" (the first N matching commands pass untouched).
bool ParseFault(const std::string& text, Fault& out);

class CommandLog {
public:
    explicit CommandLog(const std::string& path);
    ~CommandLog();
    void Line(const char* kind, const Bytes& bytes); // "<kind> <hex with blanks>"
    void Note(const std::string& text);              // "# <text>"
private:
    std::FILE* file_ = nullptr;
};

// Connects to host:port and serves one reader session; returns when the reader closes the
// connection (true) or when it cannot be reached (false).
bool ServeSession(const std::string& host, int port, QsmCard& card, std::vector<Fault>& faults, CommandLog& log);

} // namespace qsmsim
