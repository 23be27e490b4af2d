// Readers of the winscard.dll stand-in: each listens on a TCP port of the loopback address for
// one simulated card speaking the virtual-reader protocol (2-byte big-endian length, payload;
// 1-byte payloads are control codes: 0 power off, 1 power on, 2 reset, 4 answer to reset).
#pragma once

#include <winsock2.h>
#include <windows.h>

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

namespace simreader {

using Bytes = std::vector<std::uint8_t>;

struct ReaderConfig {
    std::string name;
    int port;
};

// From the environment variable SIMREADER_READERS ("name=port;name=port"; a value naming no
// reader, such as "none", means no reader at all), else from the section [Readers] of
// simreader.ini beside the DLL, else one reader "Tillora Virtual Reader 0" on port 35963.
std::vector<ReaderConfig> LoadConfig(HMODULE module);

// The value of SIMREADER_READERS; false when it is not set.
bool ReadersVariable(std::string& value);

class Reader {
public:
    Reader(ReaderConfig config, std::mutex& mu, std::condition_variable& changed);
    void Start(); // binds and starts the listening thread

    const std::string& Name() const { return config_.name; }
    void Rename(std::string name) { config_.name = std::move(name); } // under the shared mutex
    int Port() const { return config_.port; }

    // Under the shared mutex:
    bool Present() const { return card_ != INVALID_SOCKET; }
    std::uint32_t Events() const { return events_; }       // insertions and removals so far
    std::uint32_t Insertion() const { return insertion_; } // number of the current card
    const Bytes& Atr() const { return atr_; }

    // Card I/O; insertion is the number of the card the caller connected to. A status of the
    // platform's codes is returned.
    LONG Exchange(std::uint32_t insertion, const Bytes& command, Bytes& reply);
    LONG Control(std::uint32_t insertion, std::uint8_t code);

private:
    void Listen();
    bool Admit(SOCKET s);
    void RemoveLocked(); // shared mutex held
    bool CheckGone();    // io mutex held: true when the card closed its side

    ReaderConfig config_;
    std::mutex& mu_;
    std::condition_variable& changed_;
    std::mutex io_; // one exchange at a time
    SOCKET listener_ = INVALID_SOCKET;
    SOCKET card_ = INVALID_SOCKET;
    Bytes atr_;
    std::uint32_t events_ = 0, insertion_ = 0;
};

} // namespace simreader
