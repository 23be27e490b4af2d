// The transaction: a finished receipt becomes the VANTRA transaction command
// 80 40 00 00 Lc data 00, the card signs it through QsmTool's SEND_CARD_APDU, and, when the
// debug window's verify box is ticked, the card checks the signature at once with
// 80 44 00 00 (the transaction's data field and the response from its sequence number on).
// The data field, in this order:
//
//   CD 04 date (BCD yyyyMMdd)   CE 02 time (BCD hhmm)    -- one reading of the application clock
//   C6 n  operator id           (when the name cleans to something)
//   C7 14 item-list hash        C8 02 03 D2 (currency 978)
//   C9 00 VAT addon, CA 00 training (when asked)
//   E1..E6 VAT containers: D8 turnover, [D9 turnoverNeg], DA vat, DB rate (when turnover or
//   turnoverNeg is not 0); E7 agency, E8 delivery notes: D8 turnover (when not 0)
//
// Every step logs to the register monitor and writes its journal elements; TransactionText
// collects the receipt lines of the transaction. The buffer (URegisterCore.h, TCommandBuffer)
// also serves the report commands: ResetCommand, AddDate, AddTime, GetCommand.
//
//   UTransaction::SendTransaction(training, vatAddon);   // from the register window's finish
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "register/core/UAppClock.h"
#include "register/core/UCommandBuffer.h"
#include "register/core/UItemList.h"
#include "register/core/UXML_Export.h"

namespace UTransaction {

// Receipt colours of the verification (0x00BBGGRR).
constexpr std::int32_t ColorVerified = 0xD7F1E7; // pale green
constexpr std::int32_t ColorFailed = 0x3366FF;   // orange red
// Colour of the card-monitor labels "TRANSACTION" and "VERIFY SIGNATURE" (blue).
constexpr std::int32_t ColorCardLabel = 0xFF0000;

// Builds, sends and records one transaction: closes the item XML, hashes the item list,
// builds the command, sends it and verifies it when asked. Result 0 when the card signed it
// (and verified it, when asked); negative when the hash, the exchange or the verification
// failed (the monitor shows the error text and the receipt turns orange red). A field that
// does not fit the buffer raises the range error: nothing is sent, the journal elements are
// closed.
int SendTransaction(bool training, bool vatAddon);

// CLA 80, INS 40, P1 00, P2 00, the rest 0, write index 5; TransactionText and the QR payload
// emptied.
void ResetCommand();

// Field CD with the date of the stamp, field CE with its time (take both from one stamp).
int AddDate(const UAppClock::TAppStamp& stamp);
int AddTime(const UAppClock::TAppStamp& stamp);

// Field C6 with the name cleaned by the operator-id rule; 0, or -1 for an empty name and -2
// for one that cleans to nothing (nothing written then).
int AddOperator(std::string_view name);

// Field C7; the hash also goes to the receipt (the host's AddHashToReceipt, not forced).
void AddHash(const TItemHash& hash);
// Field C8 03 D2.
void AddCurrency();
// Fields C9 and CA, both empty.
void AddVatAddon();
void AddTraining();
// The containers E1..E6, E7 and E8.
void AddContainers();
// Lc := write index - 5.
void SetLc();

// The buffer with its write index (the report commands set their header and fields in it).
TCommandBuffer& GetCommand();

// Turns the buffer into the verification command for the card's response (bytes); false,
// and nothing changed, when it does not fit the buffer.
bool BuildVerifyCommand(std::string_view response);

// Sends the buffer (held for editing in the debug window when its transaction box is
// ticked), records the exchange and runs the verification when asked. The response text
// comes back in `response`. Result: the last SEND_CARD_APDU result; -1 when the verification
// data did not fit. `start` marks where the transaction began in the journals: when the answer
// cannot be recorded (a full disk), the transaction is closed as one without an answer or,
// when not even that can be written, taken out again from there, and the error goes on.
int SendCommand(std::string& response, const UXML_Export::TJournalMark& start);

// The receipt text of the transaction: emptied by ResetCommand, one line (CR LF first) per
// field; the journal and the reports add lines; the register window shows it.
std::string& TransactionText();

} // namespace UTransaction
