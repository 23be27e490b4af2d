// Signing, verification, hashing, certificate, keys and the KORVA list, through the real
// QsmTool.dll against the simulated card; what reached the card is read from its command log.
#include <gtest/gtest.h>

#include <gcrypt.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "tests/support/MessageHost.h"
#include "tests/support/QsmToolDll.h"
#include "tests/support/ScriptedCard.h"
#include "tests/support/SimCard.h"

namespace {

using Cmds = std::vector<std::string>;

std::string Hex(const std::string& bytes) { return ScriptedCard::Hex(bytes); }
std::string Bytes(const std::string& hex) { return ScriptedCard::Bytes(hex); }
const std::uint8_t* U8(const std::string& s) { return reinterpret_cast<const std::uint8_t*>(s.data()); }

std::string Pattern(std::size_t n, unsigned seed)
{
    std::string out;
    for (std::size_t i = 0; i < n; ++i)
        out += static_cast<char>((i * 37 + seed * 101 + (i >> 3)) & 0xFF);
    return out;
}

std::string Sha1(const std::string& data)
{
    std::string digest(20, '\0');
    gcry_md_hash_buffer(GCRY_MD_SHA1, digest.data(), data.data(), data.size());
    return digest;
}

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteFile(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

class CardCrypto : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        gcry_check_version(nullptr);
        const int port = SimCard::FreePort();
        SimCard::UseReaders({{"Tillora Test Reader", port}});
        card_ = std::make_unique<SimCard>(port);
        card_->Insert();
        qsm_ = std::make_unique<QsmToolDll>();
        qsm_->SET_DEBUGWINDOW(1, 0);
        // Hang guard only: the card process needs a moment to plug into the reader.
        started_ = MessageHost::PumpUntil([] { return qsm_->START_CARD() == 0; }, 30000);
        // The connector probes the card it sees arrive (GSM class A0) when its status event is
        // handled; let that happen now rather than between the chained blocks of a test.
        card_->ClearLog();
        MessageHost::PumpUntil([] { return !Sent("A0 ").empty(); }, 5000);
    }
    static void TearDownTestSuite()
    {
        // The card goes first: the reader must not see it leave after its library is gone.
        card_.reset();
        qsm_.reset();
    }
    void SetUp() override
    {
        ASSERT_TRUE(started_) << "the simulated card did not start";
        card_->ClearLog();
    }
    static Cmds Sent() { return card_->Commands(); }
    static Cmds Sent(const std::string& prefix)
    {
        Cmds out;
        for (const auto& c : card_->Commands())
            if (c.rfind(prefix, 0) == 0) out.push_back(c);
        return out;
    }
    // The card's answer to the first command with the prefix, status word removed.
    static std::string AnswerTo(const std::string& prefix)
    {
        const auto lines = card_->LogLines();
        for (std::size_t i = 0; i + 1 < lines.size(); ++i)
            if (lines[i].rfind("APDU " + prefix, 0) == 0 && lines[i + 1].rfind("RESP ", 0) == 0) {
                const std::string r = lines[i + 1].substr(5);
                return r.size() >= 6 ? r.substr(0, r.size() - 6) : "";
            }
        return "<none>";
    }
    static QsmToolDll& Qsm() { return *qsm_; }
    static SimCard& Card() { return *card_; }

    static inline std::unique_ptr<SimCard> card_;
    static inline std::unique_ptr<QsmToolDll> qsm_;
    static inline bool started_ = false;
};

const Cmds kSignSetup21 = {"00 A4 00 0C 02 3F 00", "00 A4 00 0C 02 EC 01", "00 22 43 21 00 00"};

TEST_F(CardCrypto, SignChainsLongDataAndItsSignatureVerifies)
{
    const std::string d150 = Pattern(150, 1);
    const char* signature = nullptr;
    ASSERT_EQ(Qsm().SIGN(U8(d150), 150, "21", &signature), 0);
    Cmds expected = kSignSetup21;
    expected.push_back("10 2A 9E 9A 40 " + Hex(d150.substr(0, 64)) + " 00");
    expected.push_back("00 2A 9E 9A 56 " + Hex(d150.substr(64)) + " 00");
    EXPECT_EQ(Sent(), expected);

    // 96 digits of r and s, a line break after the first 48.
    ASSERT_NE(signature, nullptr);
    const std::string sig150 = signature;
    ASSERT_EQ(sig150.size(), 98u);
    EXPECT_EQ(sig150.substr(48, 2), "\r\n");
    EXPECT_EQ(sig150.find_first_not_of("0123456789ABCDEF\r\n"), std::string::npos);
    EXPECT_EQ(Hex(Bytes(sig150.substr(0, 48) + sig150.substr(50))), AnswerTo("00 2A 9E 9A"));

    card_->ClearLog();
    const std::string d300 = Pattern(300, 2);
    ASSERT_EQ(Qsm().SIGN(U8(d300), 300, "21", &signature), 0);
    const std::string sig300 = signature;
    EXPECT_EQ(Sent("10 2A 9E 9A"), Cmds{"10 2A 9E 9A C0 " + Hex(d300.substr(0, 192)) + " 00"});
    EXPECT_EQ(Sent("00 2A 9E 9A"), Cmds{"00 2A 9E 9A 6C " + Hex(d300.substr(192)) + " 00"});

    card_->ClearLog();
    EXPECT_EQ(Qsm().VERIFY(U8(d300), 300, "21", sig300.c_str()), 0);
    const std::string sigBytes = Hex(Bytes(sig300.substr(0, 48) + sig300.substr(50)));
    EXPECT_EQ(Sent("10 2A 00 A8"), Cmds{"10 2A 00 A8 C2 9A C0 " + Hex(d300.substr(0, 192))});
    EXPECT_EQ(Sent("00 2A 00 A8"), Cmds{"00 2A 00 A8 A0 9A 6C " + Hex(d300.substr(192)) + " 9E 30 " + sigBytes});

    EXPECT_EQ(Qsm().VERIFY(U8(d150), 150, "21", sig300.c_str()), -1);
    // One line without a break is the second half; the first half becomes 24 zero bytes.
    card_->ClearLog();
    const std::string oneLine = sig300.substr(0, 48) + sig300.substr(50);
    EXPECT_EQ(Qsm().VERIFY(U8(d300), 300, "21", oneLine.c_str()), -1);
    EXPECT_EQ(Sent("00 2A 00 A8"), Cmds{"00 2A 00 A8 B8 9A 6C " + Hex(d300.substr(192)) + " 9E 48 " +
                                        Hex(std::string(24, '\0')) + " " + sigBytes});
}

TEST_F(CardCrypto, DataOfExactly128BytesGoesInOneCommandAndOneMoreByteIsChained)
{
    const std::string d128 = Pattern(128, 3), d129 = Pattern(129, 4);
    const char* signature = nullptr;
    ASSERT_EQ(Qsm().SIGN(U8(d128), 128, "21", &signature), 0);
    EXPECT_EQ(Sent("00 2A 9E 9A"), Cmds{"00 2A 9E 9A 80 " + Hex(d128) + " 00"});
    EXPECT_TRUE(Sent("10 2A").empty());
    const std::string sig128 = signature;
    card_->ClearLog();
    EXPECT_EQ(Qsm().VERIFY(U8(d128), 128, "21", sig128.c_str()), 0);
    EXPECT_TRUE(Sent("10 2A").empty());
    card_->ClearLog();
    ASSERT_EQ(Qsm().SIGN(U8(d129), 129, "21", &signature), 0);
    EXPECT_EQ(Sent("10 2A 9E 9A"), Cmds{"10 2A 9E 9A 40 " + Hex(d129.substr(0, 64)) + " 00"});
    EXPECT_EQ(Sent("00 2A 9E 9A"), Cmds{"00 2A 9E 9A 41 " + Hex(d129.substr(64)) + " 00"});
}

TEST_F(CardCrypto, SignWithKey11TakesTheDataAsDigitsPaddedTo48)
{
    const std::string digits = "0123456789ABCDEF0123";
    const char* signature = nullptr;
    ASSERT_EQ(Qsm().SIGN(U8(digits), 20, "11", &signature), 0);
    EXPECT_EQ(Sent("00 2A 9E 9A"),
              Cmds{"00 2A 9E 9A 18 " + Hex(std::string(14, '\0')) + " 01 23 45 67 89 AB CD EF 01 23 00"});
    EXPECT_TRUE(Sent("10 2A").empty());
}

TEST_F(CardCrypto, AGuardedExportCalledBetweenChainedBlocksIsRefused)
{
    MessageHost host;
    int duringSign = 99;
    host.OnMessage = [&](UINT) {
        std::int32_t count = 3;
        std::uint8_t hash[20];
        duringSign = Qsm().HASH_DATA(U8("abc"), hash, &count);
    };
    PostMessageA(host.Handle(), WM_USER + 7, 0, 0);
    const std::string data = Pattern(300, 3);
    const char* signature = nullptr;
    ASSERT_EQ(Qsm().SIGN(U8(data), 300, "21", &signature), 0);
    EXPECT_EQ(duringSign, 1);
    EXPECT_TRUE(Sent("00 A4 00 0C 02 11 10").empty());
}

TEST_F(CardCrypto, SignedFileVerifiesUntilOneByteChanges)
{
    const std::string file = Card().Folder() + "\\receipt.bin";
    std::string data = Pattern(500, 4);
    WriteFile(file, data);
    ASSERT_EQ(Qsm().SIGN_FILE(file.c_str(), "21"), 0);
    const std::string sig = ReadFile(file + ".sig");
    ASSERT_EQ(sig.size(), 98u);
    EXPECT_EQ(sig.substr(48, 2), "\r\n");
    EXPECT_EQ(Sent("10 2A 9E 9A C0 ").size(), 2u); // 192 + 192 bytes, then the last 116
    EXPECT_EQ(Sent("00 2A 9E 9A 74 ").size(), 1u);

    EXPECT_EQ(Qsm().VERIFY_FILE(file.c_str(), (file + ".sig").c_str(), "21"), 0);
    data[321] ^= 0x01;
    WriteFile(file, data);
    EXPECT_EQ(Qsm().VERIFY_FILE(file.c_str(), (file + ".sig").c_str(), "21"), -1);

    card_->ClearLog();
    const std::string missing = Card().Folder() + "\\missing.bin";
    EXPECT_EQ(Qsm().SIGN_FILE(missing.c_str(), "21"), -1);
    EXPECT_EQ(Qsm().VERIFY_FILE(missing.c_str(), (file + ".sig").c_str(), "21"), -1);
    EXPECT_TRUE(Sent().empty());
}

TEST_F(CardCrypto, HashIsTheHostsSha1SentInBlocksOf128Bytes)
{
    const std::string data = Pattern(300, 5);
    std::uint8_t hash[20] = {};
    std::int32_t count = 300;
    ASSERT_EQ(Qsm().HASH_DATA(U8(data), hash, &count), 0);
    EXPECT_EQ(count, 20);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(hash), 20), Sha1(data));
    EXPECT_EQ(Sent(), (Cmds{"00 A4 00 0C 02 11 10", "10 2A 90 80 80 " + Hex(data.substr(0, 128)) + " 00",
                            "10 2A 90 80 80 " + Hex(data.substr(128, 128)) + " 00",
                            "00 2A 90 80 2C " + Hex(data.substr(256)) + " 00"}));

    const std::string small = Pattern(20, 6);
    count = 20;
    ASSERT_EQ(Qsm().HASH_DATA(U8(small), hash, &count), 0);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(hash), 20), Sha1(small));
}

TEST_F(CardCrypto, CertificateWrittenReadsBackAndATooSmallBufferIsRefused)
{
    std::string cert = Bytes("30 82 00 C4") + Pattern(196, 7);
    ASSERT_EQ(Qsm().WRITE_CERT(U8(cert), 200), 0);
    // 128 bytes at 0000, then 72 bytes and one zero byte at 0080.
    EXPECT_EQ(Sent("00 D6"), (Cmds{"00 D6 00 00 80 " + Hex(cert.substr(0, 128)) + " 00",
                                   "00 D6 00 80 49 " + Hex(cert.substr(128)) + " 00"}));

    std::vector<std::uint8_t> buffer(2051, 0);
    std::int32_t count = 2051;
    ASSERT_EQ(Qsm().READ_CERT(buffer.data(), &count), 0);
    ASSERT_EQ(count, 200);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(buffer.data()), 200), cert);

    // A buffer of exactly the certificate's size takes it.
    std::vector<std::uint8_t> exact(200, 0);
    count = 200;
    ASSERT_EQ(Qsm().READ_CERT(exact.data(), &count), 0);
    EXPECT_EQ(count, 200);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(exact.data()), 200), cert);

    std::vector<std::uint8_t> small(199, 0x5A);
    count = 199;
    EXPECT_EQ(Qsm().READ_CERT(small.data(), &count), -1);
    EXPECT_EQ(count, 199);
    EXPECT_EQ(small, std::vector<std::uint8_t>(199, 0x5A));
}

TEST_F(CardCrypto, KeyExportedToAFileImportsIntoItsKeyFile)
{
    ASSERT_EQ(Qsm().GENERATE_KEY(1), 0);
    EXPECT_EQ(Sent(), (Cmds{"00 A4 00 0C 02 3F 00", "00 A4 00 0C 02 EC 01", "80 46 00 00 04 20 D1 20 E1"}));

    card_->ClearLog();
    const std::string file = Card().Folder() + "\\key1.txt";
    ASSERT_EQ(Qsm().EXPORT_KEY_TOFILE(1, file.c_str()), 0);
    EXPECT_EQ(Sent(), (Cmds{"00 A4 00 0C 02 3F 00", "00 A4 00 0C 02 10 00", "00 A4 00 0C 02 20 E1", "00 B2 86 00 00"}));
    const std::string record = Bytes(AnswerTo("00 B2"));
    ASSERT_EQ(record.size(), 54u); // 86 34, 19 00 X, 19 00 Y
    auto plain = [](const std::string& b) {
        std::string h = Hex(b);
        h.erase(std::remove(h.begin(), h.end(), ' '), h.end());
        return h;
    };
    EXPECT_EQ(ReadFile(file), plain(record.substr(4, 24)) + "\r\n" + plain(record.substr(30, 24)));

    card_->ClearLog();
    ASSERT_EQ(Qsm().IMPORT_KEY_FROMFILE(1, file.c_str()), 0);
    EXPECT_EQ(Sent(), (Cmds{"00 A4 00 0C 02 3F 00", "00 A4 00 0C 02 EC 01", "00 A4 00 0C 02 20 E5",
                            "00 DC 86 00 36 " + Hex(record)}));

    card_->ClearLog();
    ASSERT_EQ(Qsm().IMPORT_KEY(12, "01 02\r\n0304"), 0);
    EXPECT_EQ(Sent(), (Cmds{"00 A4 00 0C 02 3F 00", "00 A4 00 0C 02 EC 01", "00 A4 00 0C 02 20 F0",
                            "00 DC 86 00 0A 86 08 03 00 01 02 03 00 03 04"}));
    const char* key = nullptr;
    EXPECT_EQ(Qsm().EXPORT_KEY(12, &key), -1); // nothing generated there
    EXPECT_EQ(Qsm().EXPORT_KEY(15, &key), -1);
    EXPECT_EQ(Sent("00 A4 00 0C 02 20 EC").size(), 1u);
    EXPECT_EQ(Sent("00 A4 00 0C 02 20 F5").size(), 1u);
    EXPECT_EQ(key, nullptr);

    const std::string missing = Card().Folder() + "\\none.txt";
    EXPECT_EQ(Qsm().IMPORT_KEY_FROMFILE(1, missing.c_str()), -1);
    EXPECT_NE(QsmToolDll::MonitorText().find("Datei " + missing + " nicht vorhanden! "), std::string::npos);

    card_->ClearLog();
    EXPECT_EQ(Qsm().GENERATE_KEY(5), 0);
    EXPECT_TRUE(Sent().empty());
}

TEST_F(CardCrypto, EachKeyTypeOfAVersion22CardHasItsOwnCommand)
{
    const char* const commands[] = {"80 46 00 00 04 20 D2 20 E2", "80 46 00 00 04 20 A1 20 E3",
                                    "80 46 00 00 04 20 A2 20 E4"};
    for (int type = 2; type <= 4; ++type) {
        card_->ClearLog();
        ASSERT_EQ(Qsm().GENERATE_KEY(type), 0) << type;
        EXPECT_EQ(Sent(), (Cmds{"00 A4 00 0C 02 3F 00", "00 A4 00 0C 02 EC 01", commands[type - 2]})) << type;
    }
}

TEST_F(CardCrypto, AVerificationWhoseLastCommandWouldPass255BytesSendsNoVerify)
{
    // A signature of 75 + 76 bytes; with 100 data bytes the last command holds 255 bytes.
    const std::string signature = std::string(150, 'A') + "\r\n" + std::string(152, 'B');
    const std::string data = Pattern(101, 9);
    EXPECT_EQ(Qsm().VERIFY(U8(data), 100, "21", signature.c_str()), -1); // not genuine
    const Cmds sent = Sent("00 2A 00 A8");
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].substr(0, 21), "00 2A 00 A8 FF 9A 64 ");
    // One data byte more: nothing of the verification goes to the card.
    card_->ClearLog();
    EXPECT_EQ(Qsm().VERIFY(U8(data), 101, "21", signature.c_str()), -1);
    EXPECT_TRUE(Sent("00 2A 00 A8").empty());
    EXPECT_TRUE(Sent("10 2A 00 A8").empty());
}

TEST_F(CardCrypto, AFailedExportKeepsTheExistingKeyFile)
{
    const std::string file = Card().Folder() + "\\key5.txt";
    WriteFile(file, "AABB\r\nCCDD");
    EXPECT_EQ(Qsm().EXPORT_KEY_TOFILE(5, file.c_str()), -1); // no record in 20E5 of 1000
    EXPECT_EQ(ReadFile(file), "AABB\r\nCCDD");
}

TEST_F(CardCrypto, KorvaListingNamesTheFilesOfEC01)
{
    const char* list = nullptr;
    ASSERT_EQ(Qsm().LIST_KORVA_FILES(&list), 0);
    std::string expected;
    for (int n = 0; n <= 14; ++n)
        expected += Hex(std::string{'\x20', static_cast<char>(0xE4 + n)}).erase(2, 1) + " ";
    for (int n = 15; n <= 21; ++n)
        expected += Hex(std::string{'\x20', static_cast<char>(0xF0 + n - 6)}).erase(2, 1) + " ";
    expected += "20D1 20D2 20A1 20A2 ";
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(std::string(list), expected);
    EXPECT_EQ(Sent(), (Cmds{"00 A4 00 0C 02 3F 00", "80 16 02 00 00 00", "00 A4 00 0C 02 EC 01", "80 16 02 00 00 00"}));
}

} // namespace
