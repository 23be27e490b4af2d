// A card played by the test itself, for answers the simulated card never gives: it plugs into
// the virtual reader on `port` (the virtual-reader protocol: 2-byte big-endian length and a
// payload; 1-byte payloads are control codes, 4 asks for the answer to reset) and answers each
// command APDU with what the script returns. Commands are recorded as upper-case hex text with
// blanks ("00 A4 00 0C 02 3F 00").
#pragma once

#include <winsock2.h>
#include <windows.h>

#include <atomic>
#include <cstdio>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class ScriptedCard {
public:
    // Takes the command as hex text, returns the reply (data and status word) as hex text.
    using Script = std::function<std::string(const std::string& command)>;

    ScriptedCard(int port, Script script) : port_(port), script_(std::move(script))
    {
        thread_ = std::thread([this] { Run(); });
    }
    ~ScriptedCard()
    {
        stop_ = true;
        {
            std::lock_guard<std::mutex> lock(mu_);
            if (s_ != INVALID_SOCKET) shutdown(s_, SD_BOTH);
        }
        thread_.join();
    }
    ScriptedCard(const ScriptedCard&) = delete;
    ScriptedCard& operator=(const ScriptedCard&) = delete;

    std::vector<std::string> Commands()
    {
        std::lock_guard<std::mutex> lock(mu_);
        return commands_;
    }
    void ClearCommands()
    {
        std::lock_guard<std::mutex> lock(mu_);
        commands_.clear();
    }

    static std::string Hex(const std::string& bytes)
    {
        std::string out;
        char buf[4];
        for (unsigned char c : bytes) {
            std::snprintf(buf, sizeof buf, "%02X", c);
            out += (out.empty() ? "" : " ") + std::string(buf);
        }
        return out;
    }
    static std::string Bytes(const std::string& hex)
    {
        std::string out, digits;
        for (char c : hex)
            if (c != ' ') digits += c;
        for (std::size_t i = 0; i + 1 < digits.size(); i += 2)
            out += static_cast<char>(std::stoi(digits.substr(i, 2), nullptr, 16));
        return out;
    }

private:
    // Connects (again and again while the reader is not there yet) and serves the reader.
    void Run()
    {
        while (!stop_) {
            SOCKET s = socket(AF_INET, SOCK_STREAM, 0);
            sockaddr_in a{};
            a.sin_family = AF_INET;
            a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
            a.sin_port = htons(static_cast<u_short>(port_));
            if (connect(s, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0) {
                closesocket(s);
                Sleep(100);
                continue;
            }
            {
                std::lock_guard<std::mutex> lock(mu_);
                s_ = s;
            }
            if (!stop_) Serve(s);
            {
                std::lock_guard<std::mutex> lock(mu_);
                s_ = INVALID_SOCKET;
            }
            closesocket(s);
        }
    }
    static bool Read(SOCKET s, char* p, int n)
    {
        while (n > 0) {
            const int got = recv(s, p, n, 0);
            if (got <= 0) return false;
            p += got;
            n -= got;
        }
        return true;
    }
    void Serve(SOCKET s)
    {
        for (;;) {
            unsigned char head[2];
            if (!Read(s, reinterpret_cast<char*>(head), 2)) return;
            std::string payload(static_cast<std::size_t>(head[0] << 8 | head[1]), '\0');
            if (!payload.empty() && !Read(s, payload.data(), static_cast<int>(payload.size()))) return;
            std::string reply;
            if (payload.size() == 1) {
                if (payload[0] != 4) continue;
                reply = Bytes("3B F2 18 00 02 C1 0A 31 FE 58 C8 08 74");
            } else {
                const std::string command = Hex(payload);
                {
                    std::lock_guard<std::mutex> lock(mu_);
                    commands_.push_back(command);
                }
                reply = Bytes(script_(command));
            }
            std::string frame{static_cast<char>(reply.size() >> 8), static_cast<char>(reply.size())};
            frame += reply;
            if (send(s, frame.data(), static_cast<int>(frame.size()), 0) != static_cast<int>(frame.size())) return;
        }
    }

    int port_;
    Script script_;
    std::thread thread_;
    std::mutex mu_;
    SOCKET s_ = INVALID_SOCKET;
    std::vector<std::string> commands_;
    std::atomic<bool> stop_{false};
};
