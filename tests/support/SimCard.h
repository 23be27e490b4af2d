// The simulated QSM card for tests of the card library: qsmsim started as a separate process
// that plugs into the virtual reader (the winscard.dll stand-in beside the test program).
// Insert() starts the card, Remove() pulls it; the card's command log tells what was sent.
#pragma once

#include <winsock2.h>
#include <windows.h>

#include <fstream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

class SimCard {
public:
    // A loopback port nobody listens on right now.
    static int FreePort()
    {
        WSADATA wsa;
        WSAStartup(MAKEWORD(2, 2), &wsa);
        SOCKET s = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a);
        int len = sizeof a;
        getsockname(s, reinterpret_cast<sockaddr*>(&a), &len);
        closesocket(s);
        return ntohs(a.sin_port);
    }

    // The virtual readers, as (name, port) pairs, that the reader DLL offers from its next
    // PC/SC context on (none: no reader at all, and no context either).
    static void UseReaders(const std::vector<std::pair<std::string, int>>& readers)
    {
        std::string list;
        for (const auto& [name, port] : readers)
            list += (list.empty() ? "" : ";") + name + "=" + std::to_string(port);
        SetEnvironmentVariableA("SIMREADER_READERS", list.empty() ? "none" : list.c_str());
    }

    // A card for the reader on `port`; `options` are more qsmsim options ("--version 2.3/4.3b").
    explicit SimCard(int port, std::string options = "") : port_(port), options_(std::move(options))
    {
        char temp[MAX_PATH];
        GetTempPathA(MAX_PATH, temp);
        dir_ = std::string(temp) + "simcard-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(port) +
               "-" + std::to_string(GetTickCount());
        CreateDirectoryA(dir_.c_str(), nullptr);
    }
    ~SimCard()
    {
        Remove();
        DeleteFileA(LogPath().c_str());
        DeleteFileA(StatePath().c_str());
        RemoveDirectoryA(dir_.c_str());
    }
    SimCard(const SimCard&) = delete;
    SimCard& operator=(const SimCard&) = delete;

    std::string LogPath() const { return dir_ + "\\card.log"; }
    std::string StatePath() const { return dir_ + "\\card.state"; }
    std::string Folder() const { return dir_; }
    void SetOptions(const std::string& options) { options_ = options; }

    bool Insert()
    {
        if (Inserted()) return true;
        std::string cmd = "\"" + Beside("qsmsim.exe") + "\" --port " + std::to_string(port_) + " --state \"" +
                          StatePath() + "\" --log \"" + LogPath() + "\" " + options_;
        STARTUPINFOA si{};
        si.cb = sizeof si;
        // Under a busy wine server a process start has been seen to fail once and succeed
        // right after.
        for (int attempt = 0; attempt < 3; ++attempt, Sleep(200))
            if (CreateProcessA(nullptr, cmd.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr, &si,
                               &pi_)) {
                running_ = true;
                return true;
            }
        return false;
    }
    void Remove()
    {
        if (!running_) return;
        TerminateProcess(pi_.hProcess, 0);
        WaitForSingleObject(pi_.hProcess, 10000);
        CloseHandle(pi_.hProcess);
        CloseHandle(pi_.hThread);
        running_ = false;
    }
    bool Inserted() const { return running_; }
    // Whether the card process has plugged into its reader since the log was last cleared.
    bool Plugged() const
    {
        for (const auto& l : LogLines())
            if (l.rfind("# connected", 0) == 0 || l.rfind("ATR ", 0) == 0) return true;
        return false;
    }

    // The card's log: "ATR ...", "APDU ..." and "RESP ..." lines.
    std::vector<std::string> LogLines() const
    {
        std::vector<std::string> lines;
        std::ifstream in(LogPath());
        std::string line;
        while (std::getline(in, line)) {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            lines.push_back(line);
        }
        return lines;
    }
    // The command APDUs the card received, as hex text.
    std::vector<std::string> Commands() const
    {
        std::vector<std::string> out;
        for (const auto& l : LogLines())
            if (l.rfind("APDU ", 0) == 0) out.push_back(l.substr(5));
        return out;
    }
    // The command APDUs the card received that begin with the hex text ("80 40 ").
    std::vector<std::string> Commands(const std::string& start) const
    {
        std::vector<std::string> out;
        for (const auto& c : Commands())
            if (c.rfind(start, 0) == 0) out.push_back(c);
        return out;
    }
    // Forgets what was logged so far.
    void ClearLog() const { std::ofstream(LogPath(), std::ios::trunc); }

private:
    static std::string Beside(const std::string& file)
    {
        char path[MAX_PATH];
        GetModuleFileNameA(nullptr, path, MAX_PATH);
        std::string dir = path;
        dir = dir.substr(0, dir.find_last_of('\\') + 1);
        return dir + file;
    }

    int port_;
    std::string options_;
    std::string dir_;
    PROCESS_INFORMATION pi_{};
    bool running_ = false;
};
