// qsmsim as a black box: this test plays the reader, listens on a free port and talks to the
// card program over the virtual-reader protocol.
#include "sim/card/Bytes.h"

#include <gtest/gtest.h>

#include <winsock2.h>
#include <windows.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

using qsmsim::Bytes;
using qsmsim::FromHex;
using qsmsim::ToHex;

namespace {

std::string Beside(const char* name)
{
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string p = path;
    return p.substr(0, p.find_last_of('\\') + 1) + name;
}

std::string TempName(const char* prefix)
{
    char dir[MAX_PATH], path[MAX_PATH];
    GetTempPathA(MAX_PATH, dir);
    GetTempFileNameA(dir, prefix, 0, path);
    std::remove(path);
    return path;
}

class Reader {
public:
    Reader()
    {
        WSADATA wsa;
        WSAStartup(MAKEWORD(2, 2), &wsa);
        listener_ = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        bind(listener_, reinterpret_cast<sockaddr*>(&a), sizeof a);
        listen(listener_, 4);
        int len = sizeof a;
        getsockname(listener_, reinterpret_cast<sockaddr*>(&a), &len);
        port = ntohs(a.sin_port);
    }
    ~Reader()
    {
        Drop();
        closesocket(listener_);
    }
    // Waits (hang guard 20 s) for the card to connect.
    bool Accept()
    {
        fd_set set;
        FD_ZERO(&set);
        FD_SET(listener_, &set);
        timeval tv{20, 0};
        if (select(0, &set, nullptr, nullptr, &tv) != 1) return false;
        card_ = accept(listener_, nullptr, nullptr);
        DWORD timeout = 10000;
        setsockopt(card_, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&timeout), sizeof timeout);
        return card_ != INVALID_SOCKET;
    }
    void Drop()
    {
        if (card_ != INVALID_SOCKET) closesocket(card_);
        card_ = INVALID_SOCKET;
    }
    void SendRaw(const Bytes& b)
    {
        send(card_, reinterpret_cast<const char*>(b.data()), static_cast<int>(b.size()), 0);
    }
    void SendFrame(const Bytes& payload)
    {
        SendRaw(qsmsim::Concat(
            {static_cast<std::uint8_t>(payload.size() >> 8), static_cast<std::uint8_t>(payload.size())}, payload));
    }
    // The next frame's payload as hex text with blanks; "timeout" when none comes.
    std::string Receive()
    {
        std::uint8_t head[2];
        if (!RecvAll(head, 2)) return "timeout";
        Bytes payload(static_cast<std::size_t>(head[0] << 8 | head[1]));
        if (!RecvAll(payload.data(), payload.size())) return "timeout";
        return ToHex(payload, " ");
    }
    std::string Exchange(const std::string& apdu)
    {
        SendFrame(FromHex(apdu));
        return Receive();
    }
    // True when the card closed its side.
    bool Closed()
    {
        char c;
        return recv(card_, &c, 1, 0) == 0;
    }
    int port = 0;

private:
    bool RecvAll(std::uint8_t* p, std::size_t n)
    {
        while (n) {
            int got = recv(card_, reinterpret_cast<char*>(p), static_cast<int>(n), 0);
            if (got <= 0) return false;
            p += got;
            n -= static_cast<std::size_t>(got);
        }
        return true;
    }
    SOCKET listener_ = INVALID_SOCKET, card_ = INVALID_SOCKET;
};

class Sim {
public:
    explicit Sim(const std::string& args)
    {
        std::string cmd = "\"" + Beside("qsmsim.exe") + "\" " + args;
        STARTUPINFOA si{};
        si.cb = sizeof si;
        ok = CreateProcessA(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi_);
    }
    ~Sim()
    {
        if (!ok) return;
        if (WaitForSingleObject(pi_.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(pi_.hProcess, 1);
        WaitForSingleObject(pi_.hProcess, 10000);
        CloseHandle(pi_.hProcess);
        CloseHandle(pi_.hThread);
    }
    bool Running() { return WaitForSingleObject(pi_.hProcess, 0) == WAIT_TIMEOUT; }
    DWORD WaitExit()
    {
        WaitForSingleObject(pi_.hProcess, 20000);
        DWORD code = STILL_ACTIVE;
        GetExitCodeProcess(pi_.hProcess, &code);
        return code;
    }
    BOOL ok = FALSE;

private:
    PROCESS_INFORMATION pi_{};
};

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

const char kActivate[] = "80 42 04 00 12 CD 04 20 24 03 15 CE 02 09 00 C3 06 31 32 33 34 35 36 00";
const char kTransaction[] = "80 40 00 00 33 CD 04 20 24 03 15 CE 02 14 30 C7 14 11 11 11 11 11 11 11 11 11 11 "
                            "11 11 11 11 11 11 11 11 11 11 C8 02 03 D2 E1 0D D8 03 01 99 0C DA 02 31 8C DB 02 19 00 00";

// The sequence number (hex) of a transaction reply.
std::string SequenceOf(const std::string& reply)
{
    const auto at = reply.find("CB 01 ");
    return at == std::string::npos ? "" : reply.substr(at + 6, 2);
}

class QsmsimTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        state = TempName("qst");
        log = TempName("qsl");
    }
    void TearDown() override
    {
        std::remove(state.c_str());
        std::remove(log.c_str());
    }
    std::string Args(const std::string& more = "")
    {
        return "--port " + std::to_string(reader.port) + " --state \"" + state + "\" --log \"" + log + "\" " + more;
    }
    Reader reader;
    std::string state, log;
};

TEST_F(QsmsimTest, AnswersControlCodesAndApdusAndLogsEachExchange)
{
    Sim sim(Args("--once"));
    ASSERT_TRUE(sim.ok);
    ASSERT_TRUE(reader.Accept());
    reader.SendFrame({1}); // power on: no answer
    reader.SendFrame({4});
    EXPECT_EQ("3B F2 18 00 02 C1 0A 31 FE 58 C8 08 74", reader.Receive());
    EXPECT_EQ("90 00", reader.Exchange("00 A4 00 0C 02 3F 00"));
    EXPECT_EQ("70 04 72 80 C8 08 8F 01 01 90 00", reader.Exchange("00 CA 01 88 00"));
    EXPECT_EQ("6E 00", reader.Exchange("A0 A4 00 00 02 7F 20"));
    reader.SendFrame({}); // an empty frame is ignored
    EXPECT_EQ("6D 00", reader.Exchange("00 EE 00 00"));
    reader.Drop();
    EXPECT_EQ(0u, sim.WaitExit());

    const std::string text = ReadFile(log);
    EXPECT_NE(std::string::npos, text.find("ATR 3B F2 18 00 02 C1 0A 31 FE 58 C8 08 74\n"));
    EXPECT_NE(std::string::npos, text.find("APDU 00 CA 01 88 00\nRESP 70 04 72 80 C8 08 8F 01 01 90 00\n"));
    EXPECT_NE(std::string::npos, text.find("APDU 00 EE 00 00\nRESP 6D 00\n"));
}

TEST_F(QsmsimTest, StateFileCarriesTheCountersAcrossARestart)
{
    {
        Sim sim(Args("--once"));
        ASSERT_TRUE(reader.Accept());
        const std::string activated = reader.Exchange(kActivate);
        EXPECT_EQ("90 00", activated.substr(activated.size() - 5));
        EXPECT_EQ("01", SequenceOf(reader.Exchange(kTransaction)));
        EXPECT_EQ("02", SequenceOf(reader.Exchange(kTransaction)));
        reader.Drop();
        EXPECT_EQ(0u, sim.WaitExit());
    }
    Sim again(Args("--once"));
    ASSERT_TRUE(reader.Accept());
    EXPECT_EQ("03", SequenceOf(reader.Exchange(kTransaction)));
}

TEST_F(QsmsimTest, TakesASixDigitPinAndATpIdOfAtMost32Characters)
{
    const std::string longest(32, 'T');
    for (const std::string& bad :
         {std::string("--pin 12345"), std::string("--pin 1234567"), std::string("--pin 12345A"),
          "--tpid " + longest + "T", std::string("--tpid \"\"")}) {
        Sim sim(Args(bad));
        ASSERT_TRUE(sim.ok);
        EXPECT_EQ(2u, sim.WaitExit()) << bad;
    }
    Sim sim(Args("--once --pin 654321 --tpid " + longest));
    ASSERT_TRUE(reader.Accept());
    EXPECT_EQ("69 82", reader.Exchange(kActivate));
    const std::string activated =
        reader.Exchange("80 42 04 00 12 CD 04 20 24 03 15 CE 02 09 00 C3 06 36 35 34 33 32 31 00");
    EXPECT_EQ("C1 01 03 C4 20 54 54", activated.substr(0, 20));
    EXPECT_EQ("90 00", activated.substr(activated.size() - 5));
}

TEST_F(QsmsimTest, FaultsReplaceCutOrSwallowTheReply)
{
    Sim sim(Args("--once --fresh active --fault 00CA0188=sw:6A82 --fault \"80 40=cut:3,once\" --fault 00CA0181=mute"));
    ASSERT_TRUE(reader.Accept());
    EXPECT_EQ("6A 82", reader.Exchange("00 CA 01 88 00"));
    EXPECT_EQ("C4 0F 41", reader.Exchange(kTransaction)); // the card signed, the reply was cut
    EXPECT_EQ("02", SequenceOf(reader.Exchange(kTransaction)));
    EXPECT_EQ("timeout", reader.Exchange("00 CA 01 81 00"));
    reader.Drop();
    EXPECT_EQ(0u, sim.WaitExit());
}

TEST_F(QsmsimTest, BadFramesEndTheSessionCleanlyAndTheCardComesBack)
{
    Sim sim(Args());
    ASSERT_TRUE(reader.Accept());
    reader.SendRaw({0x00, 0x10, 0x00, 0xA4}); // a frame cut short, then the reader goes away
    reader.Drop();
    ASSERT_TRUE(reader.Accept()); // the card connects again
    EXPECT_TRUE(sim.Running());
    EXPECT_EQ("67 00", reader.Exchange("00 A4 00"));          // shorter than a header
    EXPECT_EQ("67 00", reader.Exchange("00 A4 00 0C 09 3F")); // Lc beyond the data
    Bytes big(300, 0x11);
    reader.SendFrame(big);
    EXPECT_EQ("67 00", reader.Receive());
    EXPECT_EQ("90 00", reader.Exchange("00 A4 00 0C 02 3F 00"));
    EXPECT_NE(std::string::npos, ReadFile(log).find("# frame cut short"));
}

} // namespace
