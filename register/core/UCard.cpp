#include "register/core/UCard.h"

#include <array>
#include <cstdio>
#include <optional>

#include "card/exports/QsmTool.h"
#include "common/UHexASCII.h"
#include "register/core/UAppClock.h"
#include "register/core/UCardReport.h"
#include "register/core/UConvert.h"
#include "register/core/UFuncMon.h"
#include "register/core/ULang.h"
#include "register/core/URegisterCore.h"
#include "register/core/UTransaction.h"
#include "register/core/UXML_Export.h"
#include "register/core/Ubase64.h"

namespace UCard {

namespace {

TCardState& State() { return RegisterCore().Card(); }

// Sends a command and keeps its answer as the last response.
bool Send(const std::string& command, std::string& response)
{
    const bool ok = SendApdu(command, response);
    State().lastResponse = response;
    return ok;
}

// Hex text (blanks allowed) to bytes; none for an odd number of digits or a character that is
// no hex digit.
std::optional<std::string> StrictHexBytes(std::string_view text)
{
    const std::string digits = UHexASCII::RemoveBlanks(text);
    if (digits.size() % 2 != 0) return std::nullopt;
    std::string bytes;
    bytes.reserve(digits.size() / 2);
    for (std::size_t i = 0; i < digits.size(); i += 2) {
        const std::uint8_t high = UHexASCII::HexDigitValue(digits[i]);
        const std::uint8_t low = UHexASCII::HexDigitValue(digits[i + 1]);
        if (high > 15 || low > 15) return std::nullopt;
        bytes += static_cast<char>(high << 4 | low);
    }
    return bytes;
}

// Bytes as two upper-case hex digits and one blank each.
std::string HexText(const std::uint8_t* bytes, std::size_t count)
{
    std::string text;
    char pair[4];
    for (std::size_t i = 0; i < count; ++i) {
        std::snprintf(pair, sizeof pair, "%02X ", bytes[i]);
        text += pair;
    }
    return text;
}

void JournalL(std::string_view text)
{
    UXML_Export::WriteJournal(UXML_Export::JournalL, UXML_Export::KindPending, text);
}
void JournalS(std::string_view text)
{
    UXML_Export::WriteJournal(UXML_Export::JournalS, UXML_Export::KindPending, text);
}

} // namespace

namespace Detail {

void Label(const std::string& label) { TYPECL_DEBUGWINDOW(label.c_str(), ColorCardLabel); }

bool RunReport(const TReportCommand& report)
{
    const UFuncMon::TMonitorBatch monitorBatch;
    if (report.labelFirst) Label(report.label);
    TRegisterCore& core = RegisterCore();
    UTransaction::ResetCommand();
    core.Host().NewReceipt();
    UTransaction::TransactionText() = report.receiptText;
    UFuncMon::LogToMonitor(report.monitorText);
    const UXML_Export::TJournalMark start = UXML_Export::MarkJournal();
    JournalL("<report>");
    bool requestOpen = false;
    bool ok = false;
    std::optional<UXML_Export::TJournalMark> answer;
    try {
        const UAppClock::TAppStamp stamp = UAppClock::AppStamp();
        UTransaction::AddDate(stamp);
        UTransaction::AddTime(stamp);
        TCommandBuffer& command = UTransaction::GetCommand();
        command.SetHeader(0x80, 0x42, report.p1, 0x00);
        if (report.p1 == 3) {
            command.AddField(0xD0, report.firstMonth);
            command.AddField(0xD1, report.lastMonth);
        }
        command.SetLc();
        std::string text;
        if (report.pinField.empty()) {
            text = command.CommandText();
        } else {
            // The PIN field follows the time field in the text only; Lc counts it.
            std::array<std::uint8_t, 15> head{};
            std::copy_n(command.Bytes().begin(), head.size(), head.begin());
            const std::size_t pinBytes = UHexASCII::HexTextToBytes(report.pinField).size();
            head[4] = static_cast<std::uint8_t>(command.WriteIndex() - TCommandBuffer::HeaderSize + pinBytes);
            text = HexText(head.data(), head.size()) + report.pinField + " 00";
        }
        UXML_Export::WriteReportRequest(command.Bytes().data(), 16 + (report.p1 == 3 ? 10 : 0));
        requestOpen = true;
        if (!report.labelFirst) Label(report.label);
        std::string response;
        ok = Send(text, response);
        answer = UXML_Export::MarkJournal();
        if (ok && !response.empty()) UXML_Export::WriteReportResponse(UHexASCII::RemoveBlanks(response));
        else JournalS("</reportEncoded>");
        requestOpen = false;
        JournalL("</report>");
        UXML_Export::SyncJournal();
    } catch (...) {
        // A file error (a full disk): what went in of the answer is taken out again and the
        // report closed as one without an answer; when not even that can be written, nothing
        // of the report stays, so that both journals stay well-formed.
        if (answer) {
            UXML_Export::RollBackJournal(*answer);
            requestOpen = true;
        }
        try {
            if (requestOpen) JournalS("</reportEncoded>");
            JournalL("</report>");
        } catch (...) {
            UXML_Export::RollBackJournal(start);
        }
        throw;
    }
    return ok;
}

} // namespace Detail

bool SendApdu(const std::string& command, std::string& response)
{
    const char* answer = nullptr;
    const std::int32_t result = SEND_CARD_APDU(command.c_str(), &answer);
    response = answer ? answer : "";
    return result == 0;
}

bool SelectCardApplication()
{
    Detail::Label("SELECT FILE QSM Application");
    std::string response;
    return Send("00 A4 00 0C 02 3F 00", response) && Send("00 A4 00 0C 02 10 00", response);
}

bool ReadCardStatus()
{
    Detail::Label("GET DATA QSM Status extended");
    std::string response;
    if (!Send("00 CA 01 F1 00", response)) return false;
    const auto bytes = StrictHexBytes(response);
    if (!bytes) return false;
    const auto status = UCardResponse::ParseCardStatus(*bytes);
    if (!status) return false;
    State().status = *status;
    return true;
}

void ReadBookedMonths(std::string& months)
{
    months.clear();
    Detail::Label("GET DATA Booked Months");
    std::string response;
    Send("00 CA 01 F2 00", response);
    // The card library hands out a bare success status as it is: no months then.
    if (response.empty() || response == "90 00") return;
    if (const auto bytes = StrictHexBytes(response)) months = UCardResponse::ParseBookedMonths(*bytes);
}

bool SendReport(bool isSigned)
{
    Detail::TReportCommand report;
    report.p1 = isSigned ? 1 : 2;
    report.label = isSigned ? "REPORT signed" : "REPORT unsigned";
    report.receiptText = "\r\n" + ULang::GetText(36) + " ";
    report.monitorText = ULang::GetText(36);
    return Detail::RunReport(report);
}

bool ReportSpan(std::string_view firstMonth, std::string_view lastMonth)
{
    Detail::TReportCommand report;
    report.p1 = 3;
    report.label = "REPORT Span";
    report.firstMonth = std::string(firstMonth);
    report.lastMonth = std::string(lastMonth);
    const std::string text = ULang::GetText(37) + " " + UConvert::BcdToDigits(firstMonth) + " " + ULang::GetText(38) +
                             " " + UConvert::BcdToDigits(lastMonth);
    report.receiptText = "\r\n" + text;
    report.monitorText = text;
    return Detail::RunReport(report);
}

bool ReadCertificate()
{
    std::array<std::uint8_t, CertificateBufferSize> buffer{};
    std::int32_t count = CertificateBufferSize;
    if (READ_CERT(buffer.data(), &count) != 0 || count < 0 || count > CertificateBufferSize) return false;
    State().certificate =
        Ubase64::Base64EncodeText({reinterpret_cast<const char*>(buffer.data()), static_cast<std::size_t>(count)});
    return true;
}

const std::string& LastResponse() { return State().lastResponse; }
const UCardResponse::TCardStatus& Status() { return State().status; }
const std::string& CertificateText() { return State().certificate; }

} // namespace UCard
