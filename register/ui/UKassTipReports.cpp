// The register window's report mode (daily report, booked months, period report), the special-item
// editor switch and the card status receipt.
#include <string>

#include "gui/base/Exceptions.h"
#include "gui/base/NumberFormat.h"
#include "register/core/UCard.h"
#include "register/core/UConvert.h"
#include "register/core/ULang.h"
#include "register/ui/UKassTip.h"
#include "skin/controls/sAlphaListBox.h"
#include "skin/controls/sButton.h"
#include "skin/controls/sCheckBox.h"
#include "skin/controls/sLabel.h"

namespace {

// Two digits, a leading "0" below 10.
std::string TwoDigits(int n) { return (n < 10 ? "0" : "") + std::to_string(n); }

// A booked month's six digits yyyyMM from its list entry "+  n | MM/yyyy" as packed BCD.
std::string MonthEntryBcd(const std::string& entry)
{
    const std::string rest = entry.size() > 7 ? entry.substr(7) : std::string();
    const std::string digits = (rest.size() > 3 ? rest.substr(3, 4) : std::string()) + rest.substr(0, 2);
    return UConvert::DigitTextToBcd(digits);
}

} // namespace

void TKassTip::ItemButtonClick(TObject*)
{
    EditorShown = !EditorShown;
    ArrangePanels();
}

void TKassTip::ReportButtonClick(TObject*)
{
    ReportMode = true;
    ArrangePanels();
    if (MonthList->Items().Count() == 0) RepSyncButtonClick(this);
    NewReceipt();
    NewReceiptPending = true;
}

void TKassTip::ReportVerlButtonClick(TObject*)
{
    ReportMode = false;
    ArrangePanels();
    NewReceiptPending = true;
}

void TKassTip::TagButtonClick(TObject*)
{
    if (CardCommandRunning()) return;
    UCard::SendReport(TagRepCheckBox->Checked());
}

std::string TKassTip::FormatMonthEntry(int offset, int startMonth, int startYear)
{
    std::string n = std::to_string(offset);
    if (n.size() < 3) n.insert(0, 3 - n.size(), ' ');
    const int m = offset + startMonth;
    const int q = (m - 1) / 12;
    return "+" + n + " | " + TwoDigits(m - 12 * q) + "/" + std::to_string(startYear + q);
}

void TKassTip::RepSyncButtonClick(TObject*)
{
    if (CardCommandRunning()) return;
    std::string s;
    UCard::ReadBookedMonths(s);
    if (!s.empty()) ShowBookedMonths(s);
}

void TKassTip::ShowBookedMonths(const std::string& s)
{
    MonthList->Items().Clear();
    const size_t colon = s.find(':');
    const std::string head = colon == std::string::npos ? std::string() : s.substr(0, colon);
    const std::string rest = colon == std::string::npos ? s : s.substr(colon + 1);
    // Four year digits and two month digits, nothing else.
    bool sixDigits = head.size() == 6;
    for (char c : head)
        sixDigits = sixDigits && c >= '0' && c <= '9';
    if (!sixDigits) throw EConvertError("'" + head + "' ist kein gültiger Integerwert");
    const int startMonth = StrToInt(head.substr(4, 2));
    const int startYear = StrToInt(head.substr(0, 4));
    CardStart->SetCaption(head.substr(4, 2) + "/" + head.substr(0, 4));
    for (unsigned char c : rest)
        MonthList->Items().Add(FormatMonthEntry(c, startMonth, startYear));
}

void TKassTip::BerRepButtonClick(TObject*)
{
    if (CardCommandRunning()) return;
    // The selection's first and last entry, whichever way it was made.
    int first = -1;
    int last = -1;
    const int count = MonthList->Items().Count();
    for (int i = 0; i < count; ++i)
        if (MonthList->Selected(i)) {
            if (first < 0) first = i;
            last = i;
        }
    if (first < 0) return;
    UCard::ReportSpan(MonthEntryBcd(MonthList->Items().Get(first)), MonthEntryBcd(MonthList->Items().Get(last)));
}

void TKassTip::ShowCardStatusHead()
{
    NewReceipt();
    AddReceiptLine("");
    AddReceiptLine("\t  " + ULang::GetText(60));
    AddReceiptLine("");
}

void TKassTip::ShowCardStatus()
{
    const UCardResponse::TCardStatus& s = UCard::Status();
    ShowCardStatusHead();
    AddReceiptLine(ULang::GetText(63) + "\t\t" + s.state);
    AddReceiptLine(ULang::GetText(61) + "\t\t\t" + s.version);
    AddReceiptLine(ULang::GetText(42) + "\t\t" + s.tpId);
    AddReceiptLine(ULang::GetText(43) + "\t\t" + s.tpIdNo);
    AddReceiptLine(ULang::GetText(64) + "\t\t" + s.field5);
    AddReceiptLine(ULang::GetText(65) + "\t\t" + s.field6);
    AddReceiptLine(ULang::GetText(66) + "\t\t" + s.field7);
    AddReceiptLine(ULang::GetText(67) + "\t\t" + s.field8);
    AddReceiptLine(ULang::GetText(68) + "\t" + s.field9);
}

void TKassTip::ShowCardStatusFailure()
{
    ShowCardStatusHead();
    AddReceiptLine("\t" + ULang::GetText(33));
}
