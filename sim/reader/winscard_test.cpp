// The virtual reader through the PC/SC functions, as a host linked against winscard sees it.
// The test plays the card over TCP (or starts qsmsim) on free ports given to the reader.
#include <winsock2.h>
#include <windows.h>
#include <winscard.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/SimCard.h"

namespace {

using Bytes = std::vector<unsigned char>;
const Bytes kAtr{0x3B, 0xF2, 0x18, 0x00, 0x02, 0xC1, 0x0A, 0x31, 0xFE, 0x58, 0xC8, 0x08, 0x74};

int FreePort() { return SimCard::FreePort(); }

int g_portA, g_portB;

// Reader configuration must be in place before the first context is made.
class Environment : public ::testing::Environment {
public:
    void SetUp() override
    {
        WSADATA wsa;
        WSAStartup(MAKEWORD(2, 2), &wsa);
        g_portA = FreePort();
        g_portB = FreePort();
        const std::string readers =
            "Sim Reader A=" + std::to_string(g_portA) + ";Sim Reader B=" + std::to_string(g_portB);
        SetEnvironmentVariableA("SIMREADER_READERS", readers.c_str());
    }
};
const auto* const g_env = ::testing::AddGlobalTestEnvironment(new Environment);

// A card on the wire: answers the ATR request and echoes each APDU followed by 90 00 (a silent
// card answers no APDU at all).
class FakeCard {
public:
    explicit FakeCard(int port, bool silent = false) : silent_(silent)
    {
        s_ = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        a.sin_port = htons(static_cast<u_short>(port));
        connected = connect(s_, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0;
        if (connected) thread_ = std::thread([this] { Serve(); });
    }
    ~FakeCard() { Remove(); }
    void Remove()
    {
        if (s_ != INVALID_SOCKET) {
            shutdown(s_, SD_BOTH);
            closesocket(s_);
            s_ = INVALID_SOCKET;
        }
        if (thread_.joinable()) thread_.join();
    }
    bool connected = false;
    std::atomic<int> resets{0};
    std::atomic<bool> refused{false}; // the reader closed the connection without an ATR request

private:
    bool Read(unsigned char* p, int n)
    {
        while (n > 0) {
            int got = recv(s_, reinterpret_cast<char*>(p), n, 0);
            if (got <= 0) return false;
            p += got;
            n -= got;
        }
        return true;
    }
    void Serve()
    {
        bool asked = false;
        for (;;) {
            unsigned char head[2];
            if (!Read(head, 2)) break;
            Bytes payload(static_cast<std::size_t>(head[0] << 8 | head[1]));
            if (!Read(payload.data(), static_cast<int>(payload.size()))) break;
            Bytes reply;
            if (payload.size() == 1) {
                if (payload[0] == 2) ++resets;
                if (payload[0] != 4) continue;
                asked = true;
                reply = kAtr;
            } else if (silent_) {
                continue;
            } else {
                reply = payload;
                reply.push_back(0x90);
                reply.push_back(0x00);
            }
            Bytes frame{static_cast<unsigned char>(reply.size() >> 8), static_cast<unsigned char>(reply.size())};
            frame.insert(frame.end(), reply.begin(), reply.end());
            send(s_, reinterpret_cast<const char*>(frame.data()), static_cast<int>(frame.size()), 0);
        }
        refused = !asked;
    }
    bool silent_;
    SOCKET s_ = INVALID_SOCKET;
    std::thread thread_;
};

class ReaderTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(SCARD_S_SUCCESS, SCardEstablishContext(SCARD_SCOPE_USER, nullptr, nullptr, &ctx));
    }
    void TearDown() override { SCardReleaseContext(ctx); }

    // Waits (hang guard 20 s) until reader A leaves the given state; returns the new state.
    DWORD WaitA(DWORD known, LONG* rc = nullptr)
    {
        SCARD_READERSTATEA st{};
        st.szReader = "Sim Reader A";
        st.dwCurrentState = known;
        const LONG r = SCardGetStatusChangeA(ctx, 20000, &st, 1);
        if (rc) *rc = r;
        return st.dwEventState;
    }
    SCARDCONTEXT ctx = 0;
};

TEST_F(ReaderTest, ListsTheConfiguredReadersWithThePlatformsBufferRules)
{
    DWORD size = 0;
    ASSERT_EQ(SCARD_S_SUCCESS, SCardListReadersA(ctx, nullptr, nullptr, &size));
    const std::string expected = std::string("Sim Reader A") + '\0' + "Sim Reader B" + '\0' + '\0';
    EXPECT_EQ(expected.size(), size);
    std::string names(size, 'x');
    ASSERT_EQ(SCARD_S_SUCCESS, SCardListReadersA(ctx, nullptr, names.data(), &size));
    EXPECT_EQ(expected, names);
    DWORD small = 5;
    EXPECT_EQ(SCARD_E_INSUFFICIENT_BUFFER, SCardListReadersA(ctx, nullptr, names.data(), &small));
    EXPECT_EQ(size, small);
    LPSTR allocated = nullptr;
    DWORD autoSize = SCARD_AUTOALLOCATE;
    ASSERT_EQ(SCARD_S_SUCCESS, SCardListReadersA(ctx, nullptr, reinterpret_cast<LPSTR>(&allocated), &autoSize));
    EXPECT_EQ(expected, std::string(allocated, autoSize));
    SCardFreeMemory(ctx, allocated);

    EXPECT_EQ(SCARD_S_SUCCESS, SCardIsValidContext(ctx));
    SCARDCONTEXT other = 0;
    ASSERT_EQ(SCARD_S_SUCCESS, SCardEstablishContext(SCARD_SCOPE_USER, nullptr, nullptr, &other));
    EXPECT_EQ(SCARD_S_SUCCESS, SCardReleaseContext(other));
    EXPECT_NE(SCARD_S_SUCCESS, SCardIsValidContext(other));
    EXPECT_EQ(SCARD_E_INVALID_HANDLE, SCardReleaseContext(other));

    // Without a card: empty, nothing to connect to, a wait with time-out 0 times out.
    EXPECT_EQ(DWORD(SCARD_STATE_EMPTY | SCARD_STATE_CHANGED), WaitA(SCARD_STATE_UNAWARE) & 0xFFFF);
    SCARD_READERSTATEA st{};
    st.szReader = "Sim Reader B";
    st.dwCurrentState = SCARD_STATE_EMPTY;
    EXPECT_EQ(SCARD_E_TIMEOUT, SCardGetStatusChangeA(ctx, 0, &st, 1));
    SCARDHANDLE card;
    DWORD protocol;
    EXPECT_EQ(SCARD_E_NO_SMARTCARD,
              SCardConnectA(ctx, "Sim Reader B", SCARD_SHARE_SHARED, SCARD_PROTOCOL_T1, &card, &protocol));
    EXPECT_EQ(SCARD_E_UNKNOWN_READER,
              SCardConnectA(ctx, "Nope", SCARD_SHARE_SHARED, SCARD_PROTOCOL_T1, &card, &protocol));
}

TEST_F(ReaderTest, CardArrivalAndDepartureWakeTheWaitAndApdusAreForwarded)
{
    const DWORD empty = WaitA(SCARD_STATE_UNAWARE) & ~DWORD(SCARD_STATE_CHANGED);
    ASSERT_TRUE(empty & SCARD_STATE_EMPTY);
    std::unique_ptr<FakeCard> fake;
    std::thread inserter([&] {
        Sleep(300);
        fake = std::make_unique<FakeCard>(g_portA);
    });
    LONG rc;
    const DWORD present = WaitA(empty, &rc);
    inserter.join();
    ASSERT_EQ(SCARD_S_SUCCESS, rc);
    ASSERT_TRUE(fake->connected);
    EXPECT_TRUE(present & SCARD_STATE_PRESENT);
    EXPECT_TRUE(present & SCARD_STATE_CHANGED);
    EXPECT_NE(empty >> 16, present >> 16); // the event count moved

    SCARDHANDLE card;
    DWORD protocol = 0;
    EXPECT_EQ(SCARD_E_PROTO_MISMATCH,
              SCardConnectA(ctx, "Sim Reader A", SCARD_SHARE_SHARED, SCARD_PROTOCOL_T0, &card, &protocol));
    ASSERT_EQ(SCARD_S_SUCCESS, SCardConnectA(ctx, "Sim Reader A", SCARD_SHARE_SHARED,
                                             SCARD_PROTOCOL_T0 | SCARD_PROTOCOL_T1, &card, &protocol));
    EXPECT_EQ(DWORD(SCARD_PROTOCOL_T1), protocol);

    unsigned char buf[127];
    DWORD len = sizeof buf;
    ASSERT_EQ(SCARD_S_SUCCESS, SCardGetAttrib(card, SCARD_ATTR_ATR_STRING, buf, &len));
    EXPECT_EQ(kAtr, Bytes(buf, buf + len));
    DWORD proto = 0, plen = 4;
    ASSERT_EQ(SCARD_S_SUCCESS,
              SCardGetAttrib(card, SCARD_ATTR_CURRENT_PROTOCOL_TYPE, reinterpret_cast<LPBYTE>(&proto), &plen));
    EXPECT_EQ(DWORD(2), proto);
    len = sizeof buf;
    ASSERT_EQ(SCARD_S_SUCCESS, SCardGetAttrib(card, SCARD_ATTR_ICC_TYPE_PER_ATR, buf, &len));
    EXPECT_EQ(1u, len);
    EXPECT_EQ(1, buf[0]);
    for (DWORD id : {DWORD(SCARD_ATTR_VENDOR_NAME), DWORD(SCARD_ATTR_VENDOR_IFD_SERIAL_NO)}) {
        len = sizeof buf;
        EXPECT_EQ(SCARD_S_SUCCESS, SCardGetAttrib(card, id, buf, &len));
        EXPECT_GT(len, 0u);
    }
    len = sizeof buf;
    EXPECT_EQ(SCARD_E_UNSUPPORTED_FEATURE, SCardGetAttrib(card, 0x7A007, buf, &len));

    const Bytes apdu{0x00, 0xA4, 0x00, 0x0C, 0x02, 0x3F, 0x00};
    len = sizeof buf;
    ASSERT_EQ(SCARD_S_SUCCESS,
              SCardTransmit(card, SCARD_PCI_T1, apdu.data(), static_cast<DWORD>(apdu.size()), nullptr, buf, &len));
    Bytes expected = apdu;
    expected.push_back(0x90);
    expected.push_back(0x00);
    EXPECT_EQ(expected, Bytes(buf, buf + len));
    len = 3;
    EXPECT_EQ(SCARD_E_INSUFFICIENT_BUFFER,
              SCardTransmit(card, SCARD_PCI_T1, apdu.data(), static_cast<DWORD>(apdu.size()), nullptr, buf, &len));
    EXPECT_EQ(9u, len);

    // A second card on the same port is turned away; the first stays.
    FakeCard second(g_portA);
    SCARD_READERSTATEA st{};
    st.szReader = "Sim Reader A";
    st.dwCurrentState = WaitA(SCARD_STATE_UNAWARE) & ~DWORD(SCARD_STATE_CHANGED);
    second.Remove();
    EXPECT_TRUE(second.refused);
    EXPECT_EQ(SCARD_E_TIMEOUT, SCardGetStatusChangeA(ctx, 0, &st, 1));

    const DWORD before = st.dwCurrentState;
    std::thread remover([&] {
        Sleep(300);
        fake->Remove();
    });
    const DWORD gone = WaitA(before, &rc);
    remover.join();
    EXPECT_EQ(SCARD_S_SUCCESS, rc);
    EXPECT_TRUE(gone & SCARD_STATE_EMPTY);
    len = sizeof buf;
    EXPECT_EQ(SCARD_W_REMOVED_CARD,
              SCardTransmit(card, SCARD_PCI_T1, apdu.data(), static_cast<DWORD>(apdu.size()), nullptr, buf, &len));
    EXPECT_EQ(SCARD_S_SUCCESS, SCardDisconnect(card, SCARD_RESET_CARD));
    EXPECT_EQ(SCARD_E_INVALID_HANDLE, SCardDisconnect(card, SCARD_RESET_CARD));
}

TEST_F(ReaderTest, ACardSilentPastTheReadersTimeOutIsATimeOutAndStaysInserted)
{
    const DWORD empty = WaitA(SCARD_STATE_UNAWARE) & ~DWORD(SCARD_STATE_CHANGED);
    ASSERT_TRUE(empty & SCARD_STATE_EMPTY);
    FakeCard fake(g_portA, true);
    ASSERT_TRUE(fake.connected);
    ASSERT_TRUE(WaitA(empty) & SCARD_STATE_PRESENT);
    SCARDHANDLE card;
    DWORD protocol = 0;
    ASSERT_EQ(SCARD_S_SUCCESS,
              SCardConnectA(ctx, "Sim Reader A", SCARD_SHARE_SHARED, SCARD_PROTOCOL_T1, &card, &protocol));
    const Bytes apdu{0x00, 0xCA, 0x01, 0xF1, 0x00};
    unsigned char buf[64];
    DWORD len = sizeof buf;
    EXPECT_EQ(SCARD_E_TIMEOUT,
              SCardTransmit(card, SCARD_PCI_T1, apdu.data(), static_cast<DWORD>(apdu.size()), nullptr, buf, &len));
    const DWORD present = WaitA(SCARD_STATE_UNAWARE) & ~DWORD(SCARD_STATE_CHANGED);
    EXPECT_TRUE(present & SCARD_STATE_PRESENT);
    EXPECT_EQ(SCARD_S_SUCCESS, SCardDisconnect(card, SCARD_LEAVE_CARD));
    fake.Remove();
    EXPECT_TRUE(WaitA(present) & SCARD_STATE_EMPTY);
}

TEST_F(ReaderTest, CancelEndsAWaitingCall)
{
    std::atomic<LONG> rc{1};
    std::thread waiter([&] {
        SCARD_READERSTATEA st{};
        st.szReader = "Sim Reader B";
        st.dwCurrentState = SCARD_STATE_EMPTY;
        rc = SCardGetStatusChangeA(ctx, INFINITE, &st, 1);
    });
    Sleep(300);
    EXPECT_EQ(1, rc.load()); // still waiting
    EXPECT_EQ(SCARD_S_SUCCESS, SCardCancel(ctx));
    waiter.join();
    EXPECT_EQ(SCARD_E_CANCELLED, rc.load());
}

TEST_F(ReaderTest, DisconnectWithResetResetsTheCard)
{
    FakeCard fake(g_portB);
    ASSERT_TRUE(fake.connected);
    SCARD_READERSTATEA st{};
    st.szReader = "Sim Reader B";
    st.dwCurrentState = SCARD_STATE_EMPTY;
    ASSERT_EQ(SCARD_S_SUCCESS, SCardGetStatusChangeA(ctx, 20000, &st, 1));
    ASSERT_TRUE(st.dwEventState & SCARD_STATE_PRESENT);
    SCARDHANDLE card;
    DWORD protocol;
    ASSERT_EQ(SCARD_S_SUCCESS,
              SCardConnectA(ctx, "Sim Reader B", SCARD_SHARE_SHARED, SCARD_PROTOCOL_T1, &card, &protocol));
    EXPECT_EQ(SCARD_S_SUCCESS, SCardDisconnect(card, SCARD_RESET_CARD));
    for (int i = 0; i < 200 && fake.resets == 0; ++i)
        Sleep(10);
    EXPECT_EQ(1, fake.resets.load());
}

// The readers offered change with SIMREADER_READERS, seen by the next context: as readers
// plugged in, renamed (same port) and pulled out while a program runs.
TEST_F(ReaderTest, AChangedReaderListReachesTheNextContext)
{
    auto listOf = [](SCARDCONTEXT c) {
        char names[512];
        DWORD size = sizeof names;
        const LONG rc = SCardListReadersA(c, nullptr, names, &size);
        return rc == SCARD_S_SUCCESS ? std::string(names, size) : "error " + std::to_string(rc);
    };
    auto contextWith = [](const std::string& readers, SCARDCONTEXT& c) {
        SetEnvironmentVariableA("SIMREADER_READERS", readers.c_str());
        return SCardEstablishContext(SCARD_SCOPE_USER, nullptr, nullptr, &c);
    };
    const std::string original = "Sim Reader A=" + std::to_string(g_portA) + ";Sim Reader B=" + std::to_string(g_portB);
    const int portC = FreePort();
    SCARDCONTEXT c1 = 0, c2 = 0, c3 = 0, c4 = 0;
    ASSERT_EQ(SCARD_S_SUCCESS,
              contextWith("Sim Reader B=" + std::to_string(g_portB) + ";Sim Reader C=" + std::to_string(portC), c1));
    EXPECT_EQ(listOf(c1), std::string("Sim Reader B") + '\0' + "Sim Reader C" + '\0' + '\0');
    EXPECT_EQ(listOf(ctx), listOf(c1)); // one service: the list is the same for every context

    // The reader of port B under another name, with a card in it.
    ASSERT_EQ(SCARD_S_SUCCESS, contextWith("Kasse 2=" + std::to_string(g_portB), c2));
    EXPECT_EQ(listOf(c2), std::string("Kasse 2") + '\0' + '\0');
    FakeCard fake(g_portB);
    ASSERT_TRUE(fake.connected);
    SCARD_READERSTATEA st{};
    st.szReader = "Kasse 2";
    st.dwCurrentState = SCARD_STATE_EMPTY;
    ASSERT_EQ(SCARD_S_SUCCESS, SCardGetStatusChangeA(c2, 20000, &st, 1));
    EXPECT_TRUE(st.dwEventState & SCARD_STATE_PRESENT);
    SCARDHANDLE card;
    DWORD protocol;
    EXPECT_EQ(SCARD_E_UNKNOWN_READER,
              SCardConnectA(c2, "Sim Reader B", SCARD_SHARE_SHARED, SCARD_PROTOCOL_T1, &card, &protocol));
    ASSERT_EQ(SCARD_S_SUCCESS, SCardConnectA(c2, "Kasse 2", SCARD_SHARE_SHARED, SCARD_PROTOCOL_T1, &card, &protocol));
    EXPECT_EQ(SCARD_S_SUCCESS, SCardDisconnect(card, SCARD_LEAVE_CARD));
    fake.Remove();

    // No reader at all: the service is gone, no context is made.
    EXPECT_EQ(SCARD_E_NO_SERVICE, contextWith("none", c3));
    ASSERT_EQ(SCARD_S_SUCCESS, contextWith(original, c4));
    EXPECT_EQ(listOf(c4), std::string("Sim Reader A") + '\0' + "Sim Reader B" + '\0' + '\0');
    for (SCARDCONTEXT c : {c1, c2, c4})
        SCardReleaseContext(c);
}

} // namespace
