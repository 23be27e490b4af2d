// The simulated card answering APDUs in process: status words, files, cryptography, counters.
#include "sim/card/CardTest.h"
#include "sim/card/Certificate.h"

#include <algorithm>

using namespace qsmsim;

namespace {

TEST_F(CardTest, AnswersSelectionsVersionAndErrorsWithStatusWords)
{
    QsmCard card(config);
    EXPECT_EQ("3B F2 18 00 02 C1 0A 31 FE 58 C8 08 74", ToHex(QsmCard::Atr(), " "));
    EXPECT_EQ("90 00", Send(card, "00 A4 00 0C 02 3F 00"));
    EXPECT_EQ("90 00", Send(card, "00 A4 00 0C 02 10 00"));
    EXPECT_EQ("90 00", Send(card, "00 A4 00 0C 02 EC 01"));
    EXPECT_EQ("6A 82", Send(card, "00 A4 00 0C 02 47 11"));
    EXPECT_EQ("70 04 72 80 C8 08 8F 01 01 90 00", Send(card, "00 CA 01 88 00"));
    EXPECT_EQ("6D 00", Send(card, "00 99 00 00 00"));
    EXPECT_EQ("6D 00", Send(card, "80 99 00 00 00"));
    EXPECT_EQ("6E 00", Send(card, "A0 A4 00 00 02 7F 20"));
    EXPECT_EQ("6E 00", Send(card, "B4 A4 00 00 02 7F 20"));
    EXPECT_EQ("67 00", Send(card, "00 A4"));
    EXPECT_EQ("67 00", Send(card, "00 A4 00 0C 05 3F 00"));       // Lc longer than the data
    EXPECT_EQ("67 00", Send(card, "00 A4 00 0C 01 3F 00 00 00")); // data longer than Lc + Le
    EXPECT_EQ("67 00", Send(card, "80 40 00 00 00 00 00"));
    EXPECT_EQ("6A 88", Send(card, "00 CA 01 77 00"));
    // Chip serial at hex digits 21..32, OS name ending in a zero byte.
    EXPECT_EQ("0012D687A431", ToHex(Data(Send(card, "00 CA 01 81 00"))).substr(20, 12));
    EXPECT_EQ("QSM-OS 4.3", std::string(reinterpret_cast<const char*>(Data(Send(card, "00 CA 01 80 00")).data())));
    EXPECT_EQ("90 00", Sw(Send(card, "00 CA 01 8A 00")));
    EXPECT_EQ("90 00", Sw(Send(card, "00 CA 01 85 00")));

    for (const char* row : {"1.2/4.01", "2.3/4.3b"}) {
        config.version = FindCardVersion(row);
        QsmCard other(config);
        EXPECT_EQ(std::string(row) == "1.2/4.01" ? "70 04 0F 01 C8 03 90 00" : "70 04 70 23 C8 08 8F 01 01 90 00",
                  Send(other, "00 CA 01 88 00"));
    }
}

TEST_F(CardTest, TransportStateNeedsThePinAndDeactivationIsFinal)
{
    QsmCard card(config);
    EXPECT_EQ("C1 01 02", Send(card, "00 CA 01 F1 00").substr(0, 8));
    EXPECT_EQ("69 85", Send(card, Command("80 40 00 00", TransactionData())));
    EXPECT_EQ("69 82", Send(card, Command("80 42 04 00", "CD 04 20 24 03 15 CE 02 09 00 C3 06 39 39 39 39 39 39")));
    Activate(card);
    EXPECT_EQ("C1 01 03", Send(card, "00 CA 01 F1 00").substr(0, 8));
    EXPECT_EQ("69 85", Sw(Send(card, Command("80 42 04 00", "CD 04 20 24 03 15 CE 02 09 00 C3 06 31 32 33 34 35 36"))));
    EXPECT_EQ("90 00", Sw(Send(card, Command("80 40 00 00", TransactionData()))));
    EXPECT_EQ("90 00", Sw(Send(card, Command("80 42 05 00", "CD 04 20 24 03 16 CE 02 18 00"))));
    EXPECT_EQ("C1 01 04", Send(card, "00 CA 01 F1 00").substr(0, 8));
    EXPECT_EQ("69 85", Sw(Send(card, Command("80 40 00 00", TransactionData()))));
    EXPECT_EQ("69 85", Sw(Send(card, Command("80 42 01 00", "CD 04 20 24 03 16 CE 02 18 00"))));
}

TEST_F(CardTest, TransactionIsSignedAndVerifiesExactlyWhenGenuine)
{
    QsmCard card(config);
    Activate(card);
    const Bytes data = FromHex(TransactionData());
    const std::string reply = Send(card, Command("80 40 00 00", TransactionData()));
    ASSERT_EQ("90 00", Sw(reply));
    const Bytes r = Data(reply);
    // tpId, tpIdNo, sequence number 1, signature of 48 bytes.
    const std::string tpId = "ATU12345678-QSM";
    ASSERT_EQ(2 + tpId.size() + 6 + 3 + 50, r.size());
    EXPECT_EQ(tpId, std::string(r.begin() + 2, r.begin() + 2 + tpId.size()));
    const std::size_t seqAt = 2 + tpId.size() + 6;
    EXPECT_EQ("C5 04 00 00 12 67", ToHex(Bytes(r.begin() + seqAt - 6, r.begin() + seqAt), " "));
    EXPECT_EQ("CB 01 01 9E 30", ToHex(Bytes(r.begin() + seqAt, r.begin() + seqAt + 5), " "));
    const Bytes signature(r.begin() + seqAt + 5, r.end());
    // Signed: the data field followed by the response up to the signature field.
    EXPECT_TRUE(card.Key().Verify(Concat(data, Bytes(r.begin(), r.begin() + seqAt + 3)), signature));

    // The verification command as the register builds it: data field, response from "CB01" on.
    const std::string hex = ToHex(r);
    const std::string fromSeq = hex.substr(hex.find("CB01"));
    EXPECT_EQ("90 00", Send(card, Command("80 44 00 00", TransactionData() + fromSeq)));
    EXPECT_EQ("90 00", Send(card, Command("80 44 00 00", TransactionData() + hex)));
    std::string tampered = TransactionData();
    tampered[tampered.size() - 1] = '1'; // rate 19.01 %
    EXPECT_EQ("6A 80", Send(card, Command("80 44 00 00", tampered + fromSeq)));
    std::string badSig = fromSeq;
    badSig[10] = badSig[10] == '0' ? '1' : '0';
    EXPECT_EQ("6A 80", Send(card, Command("80 44 00 00", TransactionData() + badSig)));
    EXPECT_EQ("6A 80", Send(card, Command("80 44 00 00", TransactionData())));
    // A malformed transaction (a field running past the end) is refused and not counted.
    EXPECT_EQ("6A 80", Send(card, Command("80 40 00 00", "CD 04 20 24 03 15 CE 09 14 30")));
    EXPECT_EQ("CB 01 02", ToHex(Data(Send(card, Command("80 40 00 00", TransactionData()))), " ").substr(3 * seqAt, 8));
}

TEST_F(CardTest, CountersAndFilesSurviveARestart)
{
    Bytes certificate;
    {
        QsmCard card(config);
        Activate(card);
        for (int i = 0; i < 3; ++i)
            ASSERT_EQ("90 00", Sw(Send(card, Command("80 40 00 00", TransactionData()))));
        ASSERT_EQ("90 00", Send(card, "00 A4 00 0C 02 3F 00"));
        ASSERT_EQ("90 00", Send(card, "00 A4 00 0C 02 EC 01"));
        ASSERT_EQ("90 00", Send(card, "00 A4 00 0C 02 20 F0"));
        ASSERT_EQ("90 00", Send(card, "00 dc 86 00 08 86 06 02 00 AA 02 00 BB"));
        certificate = card.State().certificate;
    }
    QsmCard again(config);
    EXPECT_EQ(certificate, again.State().certificate);
    const std::string hex = ToHex(Data(Send(again, Command("80 40 00 00", TransactionData()))));
    EXPECT_NE(std::string::npos, hex.find("CB0104"));
    ASSERT_EQ("90 00", Send(again, "00 A4 00 0C 02 EC 01"));
    ASSERT_EQ("90 00", Send(again, "00 A4 00 0C 02 20 F0"));
    EXPECT_EQ("86 06 02 00 AA 02 00 BB 90 00", Send(again, "00 b2 86 00 00"));
}

TEST_F(CardTest, CertificateIsReadInBlocksAndCarriesTheCardKey)
{
    QsmCard card(config);
    EXPECT_EQ("69 86", Send(card, "00 b0 00 00 00")); // no file selected
    ASSERT_EQ("90 00", Send(card, "00 A4 00 0C 02 11 10"));
    Bytes cert = Data(Send(card, "00 b0 00 00 00"));
    ASSERT_EQ(256u, cert.size());
    ASSERT_EQ(0x30, cert[0]);
    ASSERT_EQ(0x82, cert[1]);
    const std::size_t length = static_cast<std::size_t>(cert[2] << 8 | cert[3]) + 4;
    char cmd[32];
    std::snprintf(cmd, sizeof cmd, "00 b0 01 00 %02X", static_cast<unsigned>(length - 256));
    cert = Concat(cert, Data(Send(card, cmd)));
    EXPECT_EQ(card.State().certificate, cert);
    EXPECT_EQ("6B 00", Send(card, "00 b0 07 00 00"));
    // The public point of the card key stands in the certificate's key info.
    const Bytes q = card.Key().PublicPoint();
    EXPECT_NE(cert.end(), std::search(cert.begin(), cert.end(), q.begin(), q.end()));

    // Writing: blocks of 128 bytes, the last one with a trailing zero byte.
    std::string first = "00 d6 00 00 80";
    for (int i = 0; i < 128; ++i)
        first += " 5A";
    ASSERT_EQ("90 00", Send(card, first + " 00"));
    ASSERT_EQ("90 00", Send(card, "00 d6 00 80 03 A5 A5 00"));
    EXPECT_EQ("5A 5A A5 A5 00", ToHex(Data(Send(card, "00 b0 00 7E 05")), " "));
}

TEST_F(CardTest, HashSignAndVerifyWorkOverChainedBlocks)
{
    QsmCard card(config);
    Bytes data(300);
    for (std::size_t i = 0; i < data.size(); ++i)
        data[i] = static_cast<std::uint8_t>(i * 7);
    auto block = [&](const char* head, std::size_t from, std::size_t n) {
        char lc[4];
        std::snprintf(lc, sizeof lc, "%02X", static_cast<unsigned>(n));
        return std::string(head) + " " + lc + " " + ToHex(Bytes(data.begin() + from, data.begin() + from + n), " ") +
               " 00";
    };
    ASSERT_EQ("90 00", Send(card, "00 A4 00 0C 02 11 10"));
    ASSERT_EQ("90 00", Send(card, block("10 2A 90 80", 0, 128)));
    ASSERT_EQ("90 00", Send(card, block("10 2A 90 80", 128, 128)));
    EXPECT_EQ(ToHex(Sha1(data), " ") + " 90 00", Send(card, block("00 2A 90 80", 256, 44)));

    EXPECT_EQ("69 85", Send(card, block("00 2A 9E 9A", 0, 10))); // no key chosen yet
    ASSERT_EQ("90 00", Send(card, "00 22 43 21 00 00"));
    ASSERT_EQ("90 00", Send(card, block("10 2A 9E 9A", 0, 192)));
    const std::string sig = Send(card, block("00 2A 9E 9A", 192, 108));
    ASSERT_EQ("90 00", Sw(sig));
    const Bytes signature = Data(sig);
    ASSERT_EQ(48u, signature.size());
    EXPECT_TRUE(card.Key().Verify(data, signature));

    // Verification: 9A blocks, the last one with 9E and the signature.
    const std::string head = ToHex(Bytes(data.begin(), data.begin() + 192), " ");
    ASSERT_EQ("90 00", Send(card, "10 2A 00 A8 C2 9A C0 " + head));
    const std::string rest = ToHex(Bytes(data.begin() + 192, data.end()), " ");
    EXPECT_EQ("90 00", Send(card, "00 2A 00 A8 A0 9A 6C " + rest + " 9E 30 " + ToHex(signature, " ")));
    ASSERT_EQ("90 00", Send(card, "10 2A 00 A8 C2 9A C0 " + head));
    EXPECT_EQ("6A 80", Send(card, "00 2A 00 A8 A0 9A 6C " + rest + " 9E 30 " + ToHex(Bytes(48, 1), " ")));
}

// The item list is hashed as the card library sends it: blocks of 128 bytes chained with class
// 10, the rest (or nothing, for an empty list) in the last command.
std::string HashOnCard(QsmCard& card, const Bytes& data)
{
    std::size_t at = 0;
    for (; data.size() - at > 128; at += 128) {
        const std::string reply =
            ToHex(card.Process(Concat(FromHex("10 2A 90 80 80"),
                                      Concat(Bytes(data.begin() + at, data.begin() + at + 128), Bytes{0}))),
                  " ");
        if (reply != "90 00") return reply;
    }
    Bytes last = FromHex("00 2A 90 80");
    last.push_back(static_cast<std::uint8_t>(data.size() - at));
    last.insert(last.end(), data.begin() + at, data.end());
    last.push_back(0);
    return ToHex(card.Process(last), " ");
}

TEST_F(CardTest, HashesAnEmptyItemListAndChainsOfAnyItemListLength)
{
    QsmCard card(config);
    ASSERT_EQ("90 00", Send(card, "00 A4 00 0C 02 11 10"));
    // "00 2A 90 80 00 00": the SHA-1 of nothing, also with the Le byte alone.
    EXPECT_EQ("DA 39 A3 EE 5E 6B 4B 0D 32 55 BF EF 95 60 18 90 AF D8 07 09 90 00", HashOnCard(card, {}));
    EXPECT_EQ("DA 39 A3 EE 5E 6B 4B 0D 32 55 BF EF 95 60 18 90 AF D8 07 09 90 00", Send(card, "00 2A 90 80 00"));
    // Signing and verifying still need data.
    ASSERT_EQ("90 00", Send(card, "00 22 43 21 00 00"));
    EXPECT_EQ("67 00", Send(card, "00 2A 9E 9A 00 00"));

    Bytes list(32737);
    for (std::size_t i = 0; i < list.size(); ++i)
        list[i] = static_cast<std::uint8_t>(i * 31 + i / 256);
    EXPECT_EQ(ToHex(Sha1(list), " ") + " 90 00", HashOnCard(card, list));
    // Chains run up to 65,536 bytes; one byte more is refused and the chain is dropped.
    list.resize(65536, 0x5A);
    EXPECT_EQ(ToHex(Sha1(list), " ") + " 90 00", HashOnCard(card, list));
    list.push_back(0xA5);
    EXPECT_EQ("6A 84", HashOnCard(card, list));
    EXPECT_EQ(ToHex(Sha1({1, 2, 3}), " ") + " 90 00", Send(card, "00 2A 90 80 03 01 02 03 00"));
}

TEST_F(CardTest, ReportsCloseTheDayBookMonthsAndAreSigned)
{
    QsmCard card(config);
    Activate(card);
    for (int i = 0; i < 2; ++i)
        ASSERT_EQ("90 00", Sw(Send(card, Command("80 40 00 00", TransactionData()))));
    const std::string dateTime = "CD 04 20 24 03 15 CE 02 18 00";
    // Unsigned: the running day, no signature, nothing closed.
    const std::string x = Send(card, Command("80 42 02 00", dateTime));
    ASSERT_EQ("90 00", Sw(x));
    EXPECT_NE(std::string::npos, x.find("D2 01 01 D3 01 02 CB 01 02 E1 09 D8 03 03 98 0C DB 02 19 00 90 00"));
    // Signed daily report: containers of the day, then a signature over request and response.
    const Bytes z = Data(Send(card, Command("80 42 01 00", dateTime)));
    const std::string zHex = ToHex(z, " ");
    const std::size_t sigAt = zHex.find("9E 30") / 3;
    ASSERT_EQ(z.size(), sigAt + 50);
    EXPECT_NE(std::string::npos, zHex.find("E1 09 D8 03 03 98 0C DB 02 19 00 9E 30"));
    EXPECT_TRUE(card.Key().Verify(Concat(FromHex(dateTime), Bytes(z.begin(), z.begin() + sigAt)),
                                  Bytes(z.begin() + sigAt + 2, z.end())));
    // After the closing the day is empty and March 2024 is booked (start month 2024-03, offset 0).
    EXPECT_EQ(std::string::npos, Send(card, Command("80 42 02 00", dateTime)).find("E1"));
    EXPECT_EQ("F2 03 20 24 03 F3 01 00 90 00", Send(card, "00 CA 01 F2 00"));
    const std::string span = Send(card, Command("80 42 03 00", dateTime + " D0 03 20 24 01 D1 03 20 24 03"));
    EXPECT_NE(std::string::npos, span.find("D2 01 01 D3 01 02 CB 01 02 E1 09 D8 03 03 98 0C DB 02 19 00 9E 30"));
    // No container before the signature (whose random bytes may hold anything).
    const std::string empty = Send(card, Command("80 42 03 00", dateTime + " D0 03 20 24 04 D1 03 20 24 05"));
    EXPECT_EQ(std::string::npos, empty.substr(0, empty.find("9E 30")).find("E1"));
    // Status: report counter 5 (activation, two daily, two span reports so far) and 2 transactions.
    const std::string status = Send(card, "00 CA 01 F1 00");
    EXPECT_NE(std::string::npos, status.find("F6 04 20 24 03 15 F7 03 20 24 03 F8 04 00 00 00 02 F9 04 00 00 00 06"));
}

TEST_F(CardTest, KeyGenerationFollowsTheCardVersionAndFilesAreListed)
{
    config.version = FindCardVersion("2.3/4.3b");
    QsmCard card(config);
    EXPECT_EQ("6D 00", Send(card, "80 46 00 00 04 20 d1 20 e1"));
    EXPECT_EQ("90 00", Send(card, "00 47 00 00 08 83 02 20 e1 84 02 20 d1"));
    ASSERT_EQ("90 00", Send(card, "00 A4 00 0C 02 10 00"));
    ASSERT_EQ("90 00", Send(card, "00 A4 00 0C 02 20 E1"));
    const std::string record = Send(card, "00 b2 86 00 00");
    EXPECT_EQ("86 34 19 00", record.substr(0, 11));
    // The generated key signs under its reference.
    ASSERT_EQ("90 00", Send(card, "00 22 43 D1 00 00"));
    const Bytes sig = Data(Send(card, "00 2A 9E 9A 03 01 02 03 00"));
    const Bytes r = FromHex(record);
    const EcKey generated = EcKey::FromParts(
        {}, Concat(Concat(Bytes{4}, Bytes(r.begin() + 4, r.begin() + 28)), Bytes(r.begin() + 30, r.begin() + 54)));
    EXPECT_TRUE(generated.Verify({1, 2, 3}, sig));
    EXPECT_FALSE(card.Key().Verify({1, 2, 3}, sig));

    config.version = FindCardVersion("2.2/4.01a");
    QsmCard v22(config);
    EXPECT_EQ("6D 00", Send(v22, "00 47 00 00 08 83 02 20 e2 84 02 20 d2"));
    EXPECT_EQ("90 00", Send(v22, "80 46 00 00 04 20 d2 20 e2"));

    ASSERT_EQ("90 00", Send(card, "00A4000C023F00"));
    EXPECT_EQ("86 02 10 00 86 02 EC 01 86 02 11 10 90 00", Send(card, "80 16 02 00 00 00"));
    ASSERT_EQ("90 00", Send(card, "00 A4 00 0C 02 EC 01"));
    const std::string korva = Send(card, "80 16 02 00 00 00");
    EXPECT_EQ(0u, korva.find("86 02 20 E4 86 02 20 E5"));
    EXPECT_NE(std::string::npos, korva.find("86 02 20 F0"));
    ASSERT_EQ("90 00", Send(card, "00 A4 00 0C 02 20 D1"));
    EXPECT_EQ("69 82", Send(card, "00 b2 86 00 00")); // private keys never leave the card
}

} // namespace
