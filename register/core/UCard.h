// The register's card commands besides the transaction and its verification: selecting the
// card application, the card's extended status and booked months, the five report commands
// (daily signed and unsigned, span, activation, deactivation) and the card's certificate.
// Every command goes out as hex text through QsmTool's SEND_CARD_APDU, labelled in blue in the
// card monitor. The status texts, the last response and the certificate text are the core's
// (URegisterCore.h, TCardState); the journal, the card start check and the register window read
// them through Status(), LastResponse() and CertificateText().
//
//   UCard::SelectCardApplication();     // 00 A4 00 0C 02 3F 00, then 00 A4 00 0C 02 10 00
//   UCard::ReadCardStatus();            // 00 CA 01 F1 00; Status().state == "03" when active
//   UCard::SendReport(true);            // 80 42 01 00 0A CD 04 date CE 02 time 00
//   UCard::ReportSpan("\x20\x24\x01", "\x20\x24\x03");
//                                       // 80 42 03 00 14 ... D0 03 20 24 01 D1 03 20 24 03 00
//   UCard::ActivateQsm("C3 06 31 32 33 34 35 36 ");   // the transport PIN 123456
//
// The report routines start a new receipt, journal the report (L journal "<report>" ..
// "</report>", S journal "<reportEncoded>" .. "</reportEncoded>", also when the card gives no
// answer) and put its lines into the transaction text and the receipt memo.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "register/core/UCardResponse.h"

namespace UCard {

// Colour of the card-monitor labels (blue).
constexpr std::int32_t ColorCardLabel = 0xFF0000;
// The buffer that READ_CERT fills: a certificate of up to 2051 bytes.
constexpr std::int32_t CertificateBufferSize = 2051;

// The module's texts, empty at start.
struct TCardState {
    std::string lastResponse; // hex text with blanks, status word removed
    UCardResponse::TCardStatus status;
    std::string certificate; // base64 of the certificate bytes
};

// Sends the command text (not empty) through SEND_CARD_APDU and copies the answer text at
// once; true exactly when the export returned 0.
bool SendApdu(const std::string& command, std::string& response);

// "00 A4 00 0C 02 3F 00", and when that succeeded "00 A4 00 0C 02 10 00"; true when both
// succeeded.
bool SelectCardApplication();

// GET DATA 01F1. True when the card answered and the whole answer holds the nine status
// fields: they then replace the status texts. A failed command or an answer cut short gives
// false and keeps the old texts.
bool ReadCardStatus();

// GET DATA 01F2: the first value as hex digits, ":", and a character per booked month
// ("200908:\x00\x01\x05"); "" when the card gave no answer.
void ReadBookedMonths(std::string& months);

// The daily report, signed (P1 1) or unsigned (P1 2). True when the card answered 90 00.
bool SendReport(bool isSigned);

// The span report (P1 3) over the booked months first..last, each 3 bytes of packed BCD
// yyyyMM. True when the card answered 90 00.
bool ReportSpan(std::string_view firstMonth, std::string_view lastMonth);

// Activation (P1 4) with the PIN field as hex text ("C3 06 31 32 33 34 35 36 "), which is sent
// but never journalled. A refusal shows the box with texts 70 and 71; false then.
bool ActivateQsm(const std::string& pinField);

// Deactivation (P1 5) after two OK/Cancel boxes (texts 72 and 74, caption 73); cancelled at
// either: nothing sent, false.
bool DeactivateQsm();

// READ_CERT into a 2051-byte buffer; on success the certificate text becomes the base64 of its
// bytes and the result is true; otherwise the text stays and the result is false.
bool ReadCertificate();

// The module's texts.
const std::string& LastResponse();
const UCardResponse::TCardStatus& Status();
const std::string& CertificateText();

} // namespace UCard
