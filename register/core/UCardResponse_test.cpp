// The card's answers read field by field: exact journal elements and receipt lines, and
// answers cut short or malformed that still give complete elements only.
#include <gtest/gtest.h>

#include <string>

#include "register/core/UCardResponse.h"

using namespace UCardResponse;

namespace {

std::string B(std::string_view hex)
{
    std::string out, digits;
    for (char c : hex)
        if (c != ' ') digits += c;
    for (std::size_t i = 0; i + 1 < digits.size(); i += 2)
        out += static_cast<char>(std::stoi(digits.substr(i, 2), nullptr, 16));
    return out;
}

std::string T(int n) { return "T" + std::to_string(n); }

std::string Signature()
{
    std::string s;
    for (int i = 0; i < 48; ++i)
        s += static_cast<char>(0xA0 + i % 16);
    return s;
}
std::string SignatureHex()
{
    std::string s;
    for (int i = 0; i < 48; ++i)
        s += std::string("A") + "0123456789ABCDEF"[i % 16];
    return s;
}

const std::string Status = "C1 01 03 C2 03 32 2E 32 C4 02 54 50 C5 04 FF FF FF FF F5 06 00 12 D6 87 A4 31 "
                           "F6 04 20 24 01 31 F7 03 20 24 01 F8 04 00 00 01 00 F9 04 00 00 00 07";

} // namespace

TEST(CardStatus, NineFieldsAsTexts)
{
    const auto s = ParseCardStatus(B(Status));
    ASSERT_TRUE(s);
    EXPECT_EQ(s->state, "03");
    EXPECT_EQ(s->version, "2.2");
    EXPECT_EQ(s->tpId, "TP");
    EXPECT_EQ(s->tpIdNo, "-1");
    EXPECT_EQ(s->field5, "0012D687A431");
    EXPECT_EQ(s->field6, "20240131");
    EXPECT_EQ(s->field7, "202401");
    EXPECT_EQ(s->field8, "256");
    EXPECT_EQ(s->field9, "7");
}

TEST(CardStatus, AnAnswerCutShortOrWithALongNumberIsRefusedWhole)
{
    const std::string whole = B(Status);
    for (std::size_t n = 0; n < whole.size(); ++n)
        EXPECT_FALSE(ParseCardStatus(whole.substr(0, n))) << n;
    // tpIdNo of five bytes.
    EXPECT_FALSE(ParseCardStatus(B("C1 01 03 C2 00 C4 00 C5 05 00 00 00 00 01 F5 00 F6 00 F7 00 F8 00 F9 00")));
    // Empty number fields read as 0.
    const auto s = ParseCardStatus(B("C1 01 02 C2 00 C4 00 C5 00 F5 00 F6 00 F7 00 F8 00 F9 00"));
    ASSERT_TRUE(s);
    EXPECT_EQ(s->state, "02");
    EXPECT_EQ(s->tpIdNo, "0");
}

TEST(BookedMonths, HeadAndOneCharacterPerMonth)
{
    EXPECT_EQ(ParseBookedMonths(B("F2 02 0A 0B F3 02 61 62")), "0A0B:ab");
    EXPECT_EQ(ParseBookedMonths(B("F2 03 20 09 08 F3 03 00 01 05")), std::string("200908:\x00\x01\x05", 10));
    EXPECT_EQ(ParseBookedMonths(B("F2 02 0A 0B")), "0A0B:");
    EXPECT_EQ(ParseBookedMonths(B("F2 02 0A 0B F3 05 61")), "0A0B:");
    EXPECT_EQ(ParseBookedMonths(B("F2 03 20 09")), "");
    EXPECT_EQ(ParseBookedMonths(""), "");
}

TEST(TransactionResponse, IdentifiersSequenceNumberSignatureAndDebugHash)
{
    const std::string reply = B("C4 03 41 26 42 C5 04 00 00 12 67 CB 02 01 2D 9E 30") + Signature();
    TParsedResponse r = ParseTransactionResponse(reply, T);
    EXPECT_EQ(r.journal, "<tpId>A&amp;B</tpId><tpIdNo>4711</tpIdNo><seqNoTransaction>301</seqNoTransaction><sig>" +
                             SignatureHex() + "</sig>");
    EXPECT_EQ(r.receipt, "\r\nT42: \tA&B\r\nT43: 4711\r\nT46: 301");
    EXPECT_EQ(r.signature, Signature());
    EXPECT_TRUE(r.problems.empty());

    const std::string hash = B("00 11 22 33 44 55 66 77 88 99 AA BB CC DD EE FF 01 02 03 04");
    r = ParseTransactionResponse(reply + B("9A 14") + hash, T);
    EXPECT_EQ(r.journal.substr(r.journal.find("</sig>")),
              "</sig><debugHashTransaction>00112233445566778899AABBCCDDEEFF01020304</debugHashTransaction>");
    EXPECT_TRUE(r.problems.empty());
}

TEST(TransactionResponse, AShortOrMalformedAnswerGivesCompleteElementsAndItsFault)
{
    const std::string reply = B("C4 01 41 C5 04 00 00 12 67 CB 01 05 9E 30") + Signature();
    struct Case {
        std::string bytes, journal, problem;
    };
    const Case cases[] = {
        {"", "", "Antwort der Karte unvollständig: tpId"},
        {B("C4 05 41 42"), "", "Antwort der Karte unvollständig: tpId"},
        {B("C4 01 41 C5"), "<tpId>A</tpId>", "Antwort der Karte unvollständig: tpIdNo"},
        {B("C4 01 41 C5 05 00 00 00 12 67 CB 01 05"), "<tpId>A</tpId>",
         "Antwort der Karte fehlerhaft: tpIdNo länger als 4 Bytes"},
        {reply.substr(0, 20), "<tpId>A</tpId><tpIdNo>4711</tpIdNo><seqNoTransaction>5</seqNoTransaction>",
         "Antwort der Karte unvollständig: sig"},
        {reply + B("9A 14 01 02"), "", "Antwort der Karte unvollständig: debugHashTransaction"},
    };
    for (const Case& c : cases) {
        const TParsedResponse r = ParseTransactionResponse(c.bytes, T);
        if (!c.journal.empty()) {
            EXPECT_EQ(r.journal, c.journal);
        }
        EXPECT_EQ(r.problems, std::vector<std::string>{c.problem});
    }
    EXPECT_FALSE(ParseTransactionResponse(reply.substr(0, 20), T).signature);
    // The signature stands, only the debug hash is cut.
    const TParsedResponse r = ParseTransactionResponse(reply + B("9A 14 01 02"), T);
    EXPECT_EQ(r.signature, Signature());
    EXPECT_EQ(r.journal.substr(r.journal.size() - 6), "</sig>");
}

TEST(ReportResponse, ASignedReportFieldByField)
{
    const std::string reply =
        B("C1 01 03 C4 08 54 50 30 30 30 30 30 31 C5 04 00 00 00 01 CC 04 00 00 00 07 D2 04 00 "
          "00 00 01 D3 04 00 00 00 2A E1 07 D8 03 01 99 0C DB 02 19 00 E7 07 D8 02 10 0C DC 01 03 "
          "9E 30") +
        Signature();
    const TParsedResponse r = ParseReportResponse(reply, T);
    EXPECT_EQ(r.journal,
              "<lifeCycle>03</lifeCycle><tpId>TP000001</tpId><tpIdNo>1</tpIdNo><seqNoReport>7</seqNoReport>"
              "<seqNoTransactionFirst>1</seqNoTransactionFirst><seqNoTransactionLast>42</seqNoTransactionLast>"
              "<containerVat1><turnover>01990</turnover><vatRate>1900</vatRate></containerVat1>"
              "<containerThirdparty><turnover>100</turnover><cnt>3</cnt></containerThirdparty><sig>" +
                  SignatureHex() + "</sig>");
    EXPECT_EQ(r.receipt, "\r\nT57: \t03\r\nT42: \tTP000001\r\nT43: 1\r\nT47: \t7\r\nT44: \t1\r\nT45: \t42"
                         "\r\nContainer1 :\r\n\tT48: 01990\r\n\tT50: 1900"
                         "\r\nT53 :\r\n\tT48: 100\r\n\tT54: 3");
    EXPECT_EQ(r.signature, Signature());
    EXPECT_TRUE(r.problems.empty());
}

TEST(ReportResponse, ContainersTwoUnsignedNegativeOverflowAndRateChange)
{
    const std::string head = "C1 01 03 C4 01 54 C5 01 01 CC 01 02 CB 01 09 ";
    // Containers 1 and 2 only, no signature; D9 only where present; DD and DE flags.
    const TParsedResponse r =
        ParseReportResponse(B(head + "E1 0D D8 02 10 0C D9 02 05 0D DB 02 19 00 DD 00 "
                                     "E2 09 D8 01 5C DB 02 07 00 DE 00 E8 07 D8 02 01 0C DC 01 02 E9 09 D8 01 3C DC "
                                     "01 01 DD 00"),
                            T);
    EXPECT_EQ(r.journal, "<lifeCycle>03</lifeCycle><tpId>T</tpId><tpIdNo>1</tpIdNo><seqNoReport>2</seqNoReport>"
                         "<seqNoTransaction>9</seqNoTransaction>"
                         "<containerVat1><turnover>100</turnover><turnoverNeg>-050</turnoverNeg><vatRate>1900</vatRate>"
                         "<overflow /></containerVat1>"
                         "<containerVat2><turnover>5</turnover><vatRate>0700</vatRate><vatChange /></containerVat2>"
                         "<containerDeliverynote><turnover>010</turnover><cnt>2</cnt></containerDeliverynote>"
                         "<containerTraining><turnover>3</turnover><cnt>1</cnt><overflow /></containerTraining>");
    EXPECT_EQ(r.receipt, "\r\nT57: \t03\r\nT42: \tT\r\nT43: 1\r\nT47: \t2\r\nT46: \t\t9"
                         "\r\nContainer1 :\r\n\tT48: 100\r\n\tT49: -050\r\n\tT50: 1900\r\n\tT51"
                         "\r\nContainer2 :\r\n\tT48: 5\r\n\tT50: 0700\r\n\tT52"
                         "\r\nT55 :\r\n\tT48: 010\r\n\tT54: 2"
                         "\r\nT56 :\r\n\tT48: 3\r\n\tT54: 1\r\n\tT51");
    EXPECT_FALSE(r.signature);
    EXPECT_TRUE(r.problems.empty());
}

TEST(ReportResponse, AllSixVatContainersComeBeforeTheSignature)
{
    std::string hex = "C1 01 03 C4 01 54 C5 01 01 CC 01 02 ";
    std::string journal = "<lifeCycle>03</lifeCycle><tpId>T</tpId><tpIdNo>1</tpIdNo><seqNoReport>2</seqNoReport>";
    for (int n = 1; n <= 6; ++n) {
        const std::string d = std::to_string(n);
        hex += "E" + d + " 07 D8 02 0" + d + " 5C DB 02 0" + d + " 00 ";
        journal += "<containerVat" + d + "><turnover>0" + d + "5</turnover><vatRate>0" + d +
                   "00</vatRate></containerVat" + d + ">";
    }
    const TParsedResponse r = ParseReportResponse(B(hex + "9E 30") + Signature(), T);
    EXPECT_EQ(r.journal, journal + "<sig>" + SignatureHex() + "</sig>");
    EXPECT_NE(r.receipt.find("\r\nContainer6 :\r\n\tT48: 065\r\n\tT50: 0600"), std::string::npos) << r.receipt;
    EXPECT_EQ(r.signature, Signature());
    EXPECT_TRUE(r.problems.empty());
}

TEST(ReportResponse, AShortOrMalformedAnswerWritesCompleteElementsOnly)
{
    const std::string head = "C1 01 03 C4 01 54 C5 01 01 CC 01 02 ";
    const std::string done = "<lifeCycle>03</lifeCycle><tpId>T</tpId><tpIdNo>1</tpIdNo><seqNoReport>2</seqNoReport>";
    struct Case {
        std::string hex, journal, problem;
    };
    const Case cases[] = {
        {"", "", "Antwort der Karte unvollständig: lifeCycle"},
        {"C1 01", "", "Antwort der Karte unvollständig: lifeCycle"},
        {"C1 01 03 C4 09 54", "<lifeCycle>03</lifeCycle>", "Antwort der Karte unvollständig: tpId"},
        {"C1 01 03 C4 01 54 C5 05 00 00 00 00 01 CC 01 02", "<lifeCycle>03</lifeCycle><tpId>T</tpId>",
         "Antwort der Karte fehlerhaft: tpIdNo länger als 4 Bytes"},
        {head + "E1 07 D8 03 01 99", done, "Antwort der Karte unvollständig: containerVat1"},
        {head + "E1 07 D8 03 01 99 0C DB", done, "Antwort der Karte unvollständig: containerVat1"},
        {head + "E1 07 D8 01 1C DB 02 19 00 E7 07 D8 02 10 0C DC 05 01 02 03 04 05",
         done + "<containerVat1><turnover>1</turnover><vatRate>1900</vatRate></containerVat1>",
         "Antwort der Karte unvollständig: containerThirdparty"},
        {head + "9E 30 01 02 03", done, "Antwort der Karte unvollständig: sig"},
    };
    for (const Case& c : cases) {
        const TParsedResponse r = ParseReportResponse(B(c.hex), T);
        EXPECT_EQ(r.journal, c.journal) << c.hex;
        EXPECT_EQ(r.problems, std::vector<std::string>{c.problem}) << c.hex;
        EXPECT_FALSE(r.signature);
    }
}

TEST(Numbers, SignedUpToFourBytes)
{
    EXPECT_EQ(SignedNumberText(""), "0");
    EXPECT_EQ(SignedNumberText(B("FF FF FF FF")), "-1");
    EXPECT_EQ(SignedNumberText(B("7F FF FF FF")), "2147483647");
    EXPECT_EQ(SignedNumberText(B("01 2D")), "301");
    EXPECT_FALSE(SignedNumberText(B("00 00 00 00 01")));
}
