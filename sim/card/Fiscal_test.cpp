// What the simulated card books and reports for the register's transactions and reports: VAT
// rates in one or two bytes, training sums, the start month, answers that must fit, and the
// fields a real card refuses.
#include "sim/card/CardTest.h"

#include <string>

using namespace qsmsim;

namespace {

class FiscalTest : public CardTest {};

const std::string kDateTime = "CD 04 20 24 03 15 CE 02 18 00";
const std::string kTpId = "C4 0F 41 54 55 31 32 33 34 35 36 37 38 2D 51 53 4D C5 04 00 00 12 67";

// Offset of the signature field (9E), found by walking the answer's fields.
std::size_t SignatureAt(const Bytes& answer)
{
    std::size_t i = 0;
    while (i + 1 < answer.size() && answer[i] != 0x9E)
        i += 2 + answer[i + 1];
    return i;
}

TEST_F(FiscalTest, SaleWithItemsAtZeroAndNineteenPercentIsSignedAndBooked)
{
    QsmCard card(config);
    Activate(card);
    // Class 1 at 19 %, class 4 at 0 % ("0.00" gives the one byte 00), class 5 at 0.5 % (50).
    const std::string data = TransactionData("E1 0D D8 03 01 99 0C DA 02 31 8C DB 02 19 00 "
                                             "E4 0A D8 02 50 0C DA 01 0C DB 01 00 "
                                             "E5 0A D8 02 20 0C DA 01 0C DB 01 50");
    const Bytes answer = Data(Send(card, Command("80 40 00 00", data)));
    ASSERT_EQ(SignatureAt(answer) + 50, answer.size());
    const std::size_t sigAt = SignatureAt(answer);
    EXPECT_TRUE(card.Key().Verify(Concat(FromHex(data), Bytes(answer.begin(), answer.begin() + sigAt)),
                                  Bytes(answer.begin() + sigAt + 2, answer.end())));
    // The report gives each rate in two bytes, in hundredths of a percent.
    EXPECT_EQ("C1 01 03 " + kTpId +
                  " CC 01 02 D2 01 01 D3 01 01 CB 01 01 E1 09 D8 03 01 99 0C DB 02 19 00 "
                  "E4 08 D8 02 50 0C DB 02 00 00 E5 08 D8 02 20 0C DB 02 00 50 90 00",
              Send(card, Command("80 42 02 00", kDateTime)));

    // A rate field of no byte or of three bytes is refused and books nothing.
    EXPECT_EQ("6A 80", Send(card, Command("80 40 00 00", TransactionData("E4 09 D8 02 50 0C DA 01 0C DB 00"))));
    EXPECT_EQ("6A 80",
              Send(card, Command("80 40 00 00", TransactionData("E4 0C D8 02 50 0C DA 01 0C DB 03 00 00 00"))));
    EXPECT_NE(std::string::npos, Send(card, "00 CA 01 F1 00").find("F8 04 00 00 00 01 F9 04 00 00 00 02 90 00"));
}

TEST_F(FiscalTest, TrainingSumCountsClassesOneToSixOnly)
{
    QsmCard card(config);
    Activate(card);
    // 10.00 in class 1 sold as agency (E7 repeats it) and 5.00 in class 2 on a delivery note.
    const std::string data = TransactionData("CA 00 E1 0D D8 03 01 00 0C DA 02 15 9C DB 02 19 00 "
                                             "E2 0C D8 02 50 0C DA 02 03 3C DB 02 07 00 "
                                             "E7 05 D8 03 01 00 0C E8 04 D8 02 50 0C");
    ASSERT_EQ("90 00", Sw(Send(card, Command("80 40 00 00", data))));
    // E9: turnover 15.00, one transaction; no class, agency or delivery-note sums.
    EXPECT_EQ("C1 01 03 " + kTpId + " CC 01 02 D2 01 01 D3 01 01 CB 01 01 E9 08 D8 03 01 50 0C DC 01 01 90 00",
              Send(card, Command("80 42 02 00", kDateTime)));
}

TEST_F(FiscalTest, ReportAnswersUpTo256BytesAndOneThatDoesNotFitChangesNothing)
{
    // The longest tpId, 4-byte counters, all nine containers with 32-bit sums: 249 bytes.
    config.tpId = std::string(kMaxTpId, 'T');
    std::string day;
    for (int n = 1; n <= 8; ++n)
        day += n <= 6 ? "2147483647 0 1900 0 0 " : "2147483647 0 -1 0 4294967295 ";
    day += "-2147483647 4294967295 16777216 4294967295";
    const std::string state =
        "lifecycle=3\ntransactionseq=4294967295\nreportseq=16777216\nstartmonth=202401\nday=" + day + "\n";
    WriteState(state);
    {
        QsmCard card(config);
        const Bytes answer = Data(Send(card, Command("80 42 01 00", kDateTime)));
        ASSERT_EQ(249u, answer.size());
        EXPECT_EQ("E1 0C D8 06 02 14 74 83 64 7C DB 02 19 00",
                  ToHex(Bytes(answer.begin() + 67, answer.begin() + 81), " "));
        EXPECT_EQ("E9 0E D8 06 02 14 74 83 64 7D DC 04 FF FF FF FF 9E 30",
                  ToHex(Bytes(answer.begin() + 183, answer.begin() + 201), " "));
        EXPECT_TRUE(card.Key().Verify(Concat(FromHex(kDateTime), Bytes(answer.begin(), answer.begin() + 199)),
                                      Bytes(answer.begin() + 201, answer.end())));
    }

    // A negative turnover in class 1 makes it 257 bytes: refused, the state file stays as it was.
    WriteState(std::string(state).replace(state.find(" 0 1900"), 7, " 2147483647 1900"));
    QsmCard card(config);
    const std::string before = StateFile();
    EXPECT_EQ("6A 84", Send(card, Command("80 42 01 00", kDateTime)));
    EXPECT_EQ("6A 84", Send(card, Command("80 42 05 00", kDateTime)));
    EXPECT_EQ(before, StateFile());
    EXPECT_EQ(std::string("C1 01 03"), Send(card, "00 CA 01 F1 00").substr(0, 8));
    // Without the signature it fits: the unsigned report shows the day (and takes a number).
    const Bytes shown = Data(Send(card, Command("80 42 02 00", kDateTime)));
    EXPECT_EQ(257u - 50, shown.size());
    EXPECT_EQ("CC 04 01 00 00 01", ToHex(Bytes(shown.begin() + 3 + 34 + 6, shown.begin() + 3 + 34 + 12), " "));
}

TEST_F(FiscalTest, StartMonthIsSetAtFirstUseAndEarlierClosingsAreRefused)
{
    config.freshLifeCycle = kActive;
    QsmCard card(config);
    EXPECT_EQ("F2 03 00 00 00 F3 00 90 00", Send(card, "00 CA 01 F2 00"));
    // The first dated command of a card made active without an activation report sets it.
    SYSTEMTIME now;
    GetLocalTime(&now);
    char today[32], month[16];
    std::snprintf(today, sizeof today, "CD 04 %02d %02d %02d %02d CE 02 18 00", now.wYear / 100, now.wYear % 100,
                  now.wMonth, now.wDay);
    std::snprintf(month, sizeof month, "%02d %02d %02d", now.wYear / 100, now.wYear % 100, now.wMonth);
    ASSERT_EQ("90 00", Sw(Send(card, Command("80 42 02 00", today))));
    EXPECT_EQ("F2 03 " + std::string(month) + " F3 00 90 00", Send(card, "00 CA 01 F2 00"));
    ASSERT_EQ("90 00", Sw(Send(card, Command("80 42 01 00", today))));
    EXPECT_EQ("F2 03 " + std::string(month) + " F3 01 00 90 00", Send(card, "00 CA 01 F2 00"));
    EXPECT_NE(std::string::npos, Send(card, "00 CA 01 F1 00").find("F7 03 " + std::string(month) + " F8"));

    // A closing dated in an earlier month (the register's clock set back) is refused.
    ASSERT_EQ("90 00", Sw(Send(card, Command("80 40 00 00", TransactionData()))));
    const std::string before = StateFile();
    EXPECT_EQ("6A 80", Send(card, Command("80 42 01 00", "CD 04 19 99 12 31 CE 02 18 00")));
    EXPECT_EQ("6A 80", Send(card, Command("80 42 05 00", "CD 04 19 99 12 31 CE 02 18 00")));
    EXPECT_EQ(before, StateFile());

    // A first transaction sets it too (to the month of its date, March 2024).
    std::remove(config.statePath.c_str());
    QsmCard other(config);
    ASSERT_EQ("90 00", Sw(Send(other, Command("80 40 00 00", TransactionData()))));
    EXPECT_EQ("F2 03 20 24 03 F3 00 90 00", Send(other, "00 CA 01 F2 00"));
}

TEST_F(FiscalTest, SpanReportsNeverSumMonthsBeforeTheStart)
{
    // A month booked before the start month (by an older card state) is not reported.
    std::string totals = "199 0 1900 0 0";
    for (int n = 2; n <= 8; ++n)
        totals += " 0 0 -1 0 0";
    totals += " 0 0 1 1"; // no training; transaction 1
    WriteState("lifecycle=3\nstartmonth=202403\nmonth.202402=" + totals + "\nmonth.202403=" + totals + "\n");
    QsmCard card(config);
    EXPECT_EQ("F2 03 20 24 03 F3 01 00 90 00", Send(card, "00 CA 01 F2 00"));
    const Bytes span = Data(Send(card, Command("80 42 03 00", kDateTime + " D0 03 20 24 01 D1 03 20 24 12")));
    ASSERT_EQ(26u + 24 + 48, span.size());
    EXPECT_EQ("CC 01 01 D2 01 01 D3 01 01 CB 01 00 E1 08 D8 02 19 9C DB 02 19 00 9E 30",
              ToHex(Bytes(span.begin() + 26, span.begin() + 26 + 24), " "));
}

TEST_F(FiscalTest, HighSequenceNumbersVerifyFromTheSequenceFieldOn)
{
    WriteState("lifecycle=3\ntransactionseq=255\nstartmonth=202403\n");
    QsmCard card(config);
    const std::string reply = Send(card, Command("80 40 00 00", TransactionData()));
    ASSERT_EQ("90 00", Sw(reply));
    const std::string hex = ToHex(Data(reply));
    // Transaction 256: CB 02 01 00, after the tpId and tpIdNo fields.
    const std::size_t seqAt = 2 * (17 + 6);
    ASSERT_EQ("CB020100", hex.substr(seqAt, 8));
    EXPECT_EQ("90 00", Send(card, Command("80 44 00 00", TransactionData() + hex.substr(seqAt))));
    EXPECT_EQ("90 00", Send(card, Command("80 44 00 00", TransactionData() + hex)));
    std::string other = hex.substr(seqAt);
    other[7] = '1'; // transaction 257
    EXPECT_EQ("6A 80", Send(card, Command("80 44 00 00", TransactionData() + other)));
}

TEST_F(FiscalTest, FieldsOutsideTheirCommandAreRefusedAndChangeNoCounter)
{
    QsmCard card(config);
    Activate(card);
    const std::string status = Send(card, "00 CA 01 F1 00");
    const std::string refused[] = {
        // The PIN field only in the activation, the months only in the span report.
        Command("80 42 01 00", kDateTime + " C3 06 31 32 33 34 35 36"),
        Command("80 42 03 00", kDateTime + " D0 03 20 24 01 D1 03 20 24 03 C3 06 31 32 33 34 35 36"),
        Command("80 42 01 00", kDateTime + " D0 03 20 24 01 D1 03 20 24 03"),
        Command("80 42 02 00", kDateTime + " D0 03 20 24 01"),
        Command("80 42 03 00", kDateTime + " D0 03 20 24 01"),
        // The flags without a value; turnover only in the agency and delivery-note containers.
        Command("80 40 00 00", TransactionData("C9 01 00")),
        Command("80 40 00 00", TransactionData("CA 01 01")),
        Command("80 40 00 00", TransactionData("E7 09 D8 03 01 99 0C DB 02 19 00")),
        Command("80 40 00 00", TransactionData("E7 09 D8 03 01 99 0C DA 02 31 8C")),
        Command("80 40 00 00", TransactionData("E8 0A D8 03 01 99 0C D9 03 01 99 0C")),
        // A date that is no BCD.
        Command("80 42 01 00", "CD 04 20 24 03 1A CE 02 18 00"),
    };
    for (const std::string& command : refused)
        EXPECT_EQ("6A 80", Send(card, command)) << command;
    EXPECT_EQ(status, Send(card, "00 CA 01 F1 00"));
    // What the register sends is accepted.
    EXPECT_EQ("90 00", Sw(Send(card, Command("80 40 00 00", TransactionData("C9 00 CA 00")))));
    EXPECT_EQ("90 00", Sw(Send(card, Command("80 40 00 00", TransactionData("E7 05 D8 03 01 99 0C")))));
}

} // namespace
