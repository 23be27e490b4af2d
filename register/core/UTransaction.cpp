#include "register/core/UTransaction.h"

#include "card/exports/QsmTool.h"
#include "common/UHexASCII.h"
#include "register/core/UContainer.h"
#include "register/core/UConvert.h"
#include "register/core/UDebugHold.h"
#include "register/core/UFuncMon.h"
#include "register/core/ULang.h"
#include "register/core/UQR.h"
#include "register/core/URegisterCore.h"
#include "register/core/UXML_Export.h"
#include "register/core/UXML_Scan.h"

namespace UTransaction {

namespace {

enum : std::uint8_t {
    TagOperator = 0xC6,
    TagHash = 0xC7,
    TagCurrency = 0xC8,
    TagVatAddon = 0xC9,
    TagTraining = 0xCA,
    TagDate = 0xCD,
    TagTime = 0xCE,
    TagTurnover = 0xD8,
    TagTurnoverNeg = 0xD9,
    TagVat = 0xDA,
    TagVatRate = 0xDB,
    TagVatContainer0 = 0xE0, // + container number 1..6
    TagThirdParty = 0xE7,
    TagDeliveryNote = 0xE8,
};

const char Currency[] = "\x03\xD2";

TCommandBuffer& Command() { return RegisterCore().Command(); }

void Log(std::string_view line) { UFuncMon::LogToMonitor(line); }

// A monitor line: a tab, language text n, ": " and the value.
void LogValue(int n, std::string_view value) { Log("\t" + ULang::GetText(n) + ": " + std::string(value)); }

void JournalL(std::string_view text)
{
    UXML_Export::WriteJournal(UXML_Export::JournalL, UXML_Export::KindPending, text);
}
void JournalS(std::string_view text)
{
    UXML_Export::WriteJournal(UXML_Export::JournalS, UXML_Export::KindPending, text);
}

// The transaction failed: the error on the monitor and the receipt in orange red.
void ReportFailure()
{
    LogValue(32, ULang::GetText(33));
    RegisterCore().Host().SetReceiptColor(ColorFailed);
}

// Closes the journal elements of a transaction that is not recorded.
void CloseJournal(bool encodedOpen)
{
    if (encodedOpen) JournalS("</transactionEncoded>");
    JournalL("</transaction>");
    UXML_Export::SyncJournal();
}

// Closes the journal elements of a transaction that a file error stopped; when even that
// cannot be written (a full disk), the transaction is taken out of both journals again from
// its start, so that they stay well-formed.
void CloseOrTakeOut(bool encodedOpen, const UXML_Export::TJournalMark& start)
{
    try {
        CloseJournal(encodedOpen);
    } catch (...) {
        UXML_Export::RollBackJournal(start);
    }
}

// Records the card's answer in the journals. When that fails (a full disk), what went in of it
// is taken out again and the transaction is closed as one without an answer.
void RecordAnswer(std::string_view response, const UXML_Export::TJournalMark& start)
{
    const UXML_Export::TJournalMark answer = UXML_Export::MarkJournal();
    try {
        // The journal records what the register built, not an edited text.
        const std::string_view data = Command().DataField();
        UXML_Export::WriteTransactionRequest(reinterpret_cast<const std::uint8_t*>(data.data()),
                                             static_cast<int>(data.size()));
        UXML_Export::WriteTransactionResponse(response);
    } catch (...) {
        UXML_Export::RollBackJournal(answer);
        CloseOrTakeOut(true, start);
        throw;
    }
}

// The container's inner field of an amount.
void AppendAmountField(std::string& inner, std::uint8_t tag, std::int64_t cents)
{
    const std::string bcd = UConvert::DecimalToBcd(std::to_string(cents));
    inner += static_cast<char>(tag);
    inner += static_cast<char>(bcd.size());
    inner += bcd;
}

void AddVatContainer(int n, const TVatContainer& c)
{
    const std::int64_t turnover = RoundCents(c.turnover);
    const std::int64_t turnoverNeg = RoundCents(c.turnoverNeg);
    const std::int64_t vat = RoundCents(c.vat);
    if (turnover == 0 && turnoverNeg == 0) return;
    const std::string rate = UConvert::RateToBcd(VatRateText(c.vatRate));
    std::string inner;
    AppendAmountField(inner, TagTurnover, turnover);
    if (turnoverNeg != 0) AppendAmountField(inner, TagTurnoverNeg, turnoverNeg);
    AppendAmountField(inner, TagVat, vat);
    inner += static_cast<char>(TagVatRate);
    inner += static_cast<char>(rate.size());
    inner += rate;
    Command().AddField(static_cast<std::uint8_t>(TagVatContainer0 + n), inner);

    const std::string number = std::to_string(n);
    std::string xml = "<containerVat" + number + "><turnover>" + std::to_string(turnover) + "</turnover>";
    if (turnoverNeg != 0) xml += "<turnoverNeg>" + std::to_string(turnoverNeg) + "</turnoverNeg>";
    xml += "<vat>" + std::to_string(vat) + "</vat><vatRate>" + UConvert::BcdToDigits4(rate) + "</vatRate>";
    xml += "</containerVat" + number + ">";
    JournalL(xml);
}

void AddTurnoverContainer(std::uint8_t tag, const char* element, const TVatContainer& c)
{
    const std::int64_t turnover = RoundCents(c.turnover);
    if (turnover == 0) return;
    std::string inner;
    AppendAmountField(inner, TagTurnover, turnover);
    Command().AddField(tag, inner);
    JournalL(std::string("<") + element + "><turnover>" + std::to_string(turnover) + "</turnover></" + element + ">");
}

// Shows the command in the debug window when its box is ticked, logs it, labels the card
// monitor and sends it; the response text comes back in `response`.
int Exchange(bool hold, const char* label, std::string& response)
{
    const std::string text = UDebugHold::HoldCommand(hold, Command().CommandText());
    LogValue(31, text);
    TYPECL_DEBUGWINDOW(label, ColorCardLabel);
    const char* answer = nullptr;
    const std::int32_t result = SEND_CARD_APDU(text.c_str(), &answer);
    response = answer ? answer : "";
    return result;
}

} // namespace

void ResetCommand()
{
    Command().Reset();
    TransactionText().clear();
    UQR::ClearQrData();
}

int AddDate(const UAppClock::TAppStamp& stamp)
{
    Command().AddField(TagDate, stamp.dateBcd);
    const std::string& d = stamp.date;
    LogValue(25, d);
    TransactionText() +=
        "\r\n" + ULang::GetText(25) + ": \t\t" + d.substr(0, 4) + "-" + d.substr(4, 2) + "-" + d.substr(6, 2);
    JournalL("<date>" + d + "</date>");
    return 0;
}

int AddTime(const UAppClock::TAppStamp& stamp)
{
    Command().AddField(TagTime, stamp.timeBcd);
    const std::string& t = stamp.time;
    LogValue(26, t);
    TransactionText() += "\r\n" + ULang::GetText(26) + ": \t\t" + t.substr(0, 2) + ":" + t.substr(2, 2);
    JournalL("<time>" + t + "</time>");
    return 0;
}

int AddOperator(std::string_view name)
{
    if (name.empty()) return -1;
    const std::string id = UConvert::CleanOperatorId(name);
    if (id.empty()) return -2;
    Command().AddField(TagOperator, id);
    LogValue(27, id);
    TransactionText() += "\r\n" + ULang::GetText(27) + ": \t" + std::string(name);
    JournalL("<operatorId>" + EscapeXmlText(name) + "</operatorId>");
    return 0;
}

void AddHash(const TItemHash& hash)
{
    UXML_Export::WriteItemHash(hash.data(), static_cast<int>(hash.size()));
    Command().AddField(TagHash, {reinterpret_cast<const char*>(hash.data()), hash.size()});
    RegisterCore().Host().AddHashToReceipt(hash.data(), static_cast<int>(hash.size()), false);
}

void AddCurrency()
{
    Command().AddField(TagCurrency, {Currency, 2});
    LogValue(28, "03 D2");
    JournalL("<currency>0978</currency>");
}

void AddVatAddon()
{
    Command().AddField(TagVatAddon, "");
    Log("\t" + ULang::GetText(29));
    TransactionText() += "\r\n" + ULang::GetText(29) + " ";
    JournalL("<vatAddon/>");
}

void AddTraining()
{
    Command().AddField(TagTraining, "");
    Log("\t" + ULang::GetText(30));
    TransactionText() += "\r\n" + ULang::GetText(30) + " ";
    JournalL("<training/>");
}

void AddContainers()
{
    const TVatContainers& containers = RegisterCore().VatContainers();
    for (int n = 1; n <= 6; ++n)
        AddVatContainer(n, containers.Get(n));
    AddTurnoverContainer(TagThirdParty, "containerThirdparty", containers.Get(7));
    AddTurnoverContainer(TagDeliveryNote, "containerDeliverynote", containers.Get(8));
}

void SetLc() { Command().SetLc(); }

TCommandBuffer& GetCommand() { return Command(); }

bool BuildVerifyCommand(std::string_view response) { return Command().BuildVerifyCommand(response); }

int SendCommand(std::string& response, const UXML_Export::TJournalMark& start)
{
    int result = Exchange(UDebugHold::GetCheckTrans(), "TRANSACTION", response);
    if (result < 0) {
        ReportFailure();
        try {
            CloseJournal(true);
        } catch (...) {
            // Not even the close fits (a full disk): nothing of the transaction stays.
            UXML_Export::RollBackJournal(start);
            throw;
        }
        return result;
    }
    RecordAnswer(response, start);
    if (!UDebugHold::GetCheckVer()) return result;

    // The verification data: the unedited data field of the buffer and the response.
    if (!BuildVerifyCommand(UHexASCII::HexTextToBytes(UHexASCII::RemoveBlanks(response)))) {
        ReportFailure();
        return -1;
    }
    std::string verifyResponse;
    result = Exchange(UDebugHold::GetCheckManVer(), "VERIFY SIGNATURE", verifyResponse);
    if (result >= 0) {
        LogValue(32, ULang::GetText(34));
        RegisterCore().Host().SetReceiptColor(ColorVerified);
    } else {
        ReportFailure();
    }
    return result;
}

int SendTransaction(bool training, bool vatAddon)
{
    const UFuncMon::TMonitorBatch monitorBatch;
    TRegisterCore& core = RegisterCore();
    core.ItemXml() += "</itemList>";
    Log(ULang::GetText(35));
    ResetCommand();
    const UXML_Export::TJournalMark start = UXML_Export::MarkJournal();
    JournalL("<transaction>");
    bool encodedOpen = false;
    try {
        const UAppClock::TAppStamp stamp = UAppClock::AppStamp();
        AddDate(stamp);
        AddTime(stamp);
        AddOperator(core.Host().GetOperatorName());
        const std::optional<TItemHash> hash = UContainer::HashItemList();
        encodedOpen = true;
        if (!hash) {
            // Never signed with an older receipt's hash: nothing is sent.
            core.Host().SetReceiptColor(ColorFailed);
            CloseJournal(true);
            return -1;
        }
        AddHash(*hash);
        AddCurrency();
        if (vatAddon) AddVatAddon();
        if (training) AddTraining();
        AddContainers();
        SetLc();
    } catch (...) {
        CloseOrTakeOut(encodedOpen, start);
        throw;
    }
    std::string response;
    const int result = SendCommand(response, start);
    return result < 0 ? result : 0;
}

std::string& TransactionText() { return RegisterCore().TransactionText(); }

} // namespace UTransaction
