// Reading the card's answers: the extended status (GET DATA 01F1), the booked months
// (GET DATA 01F2), the transaction response (80 40) and the report response (80 42). Each
// routine takes the answer's bytes (the status word already removed) and checks every field
// against their length before it reads it; numbers are converted without raising. Nothing
// here touches Win32, the files or the core's state, so the routines build and fuzz on the
// host.
//
//   ParseCardStatus(C1 01 03 C2 03 "2.2" C4 02 "TP" C5 04 FF FF FF FF F5 01 AA F6 00 F7 00
//                   F8 01 05 F9 01 07)
//     -> state "03", version "2.2", tpId "TP", tpIdNo "-1", field5 "AA", field6 "", field7 "",
//        field8 "5", field9 "7"
//   ParseBookedMonths(F2 02 0A 0B F3 02 61 62) -> "0A0B:ab"
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace UCardResponse {

// The card's extended status, field by field, as the register keeps it as texts.
struct TCardStatus {
    std::string state;   // field 1: its value byte as two upper-case hex digits ("02")
    std::string version; // field 2: the value bytes as characters
    std::string tpId;    // field 3: the value bytes as characters
    std::string tpIdNo;  // field 4: a signed 32-bit number in decimal (FF FF FF FF -> "-1")
    std::string field5;  // fields 5 to 7: the value as upper-case hex digits without blanks
    std::string field6;
    std::string field7;
    std::string field8; // fields 8 and 9: signed 32-bit numbers in decimal
    std::string field9;
};

// The nine fields of a status answer: field 1 is three bytes (tag, length, value byte), fields
// 2 to 9 tag, length and value (tags are not tested). None when the answer ends before field 9
// is complete, or when a number field holds more than 4 bytes.
std::optional<TCardStatus> ParseCardStatus(std::string_view reply);

// The booked months: the first field's value as upper-case hex digits, ":", then each value
// byte of the second field as one character ("0A0B:ab"). Without a second field (or with one cut
// short) the head alone ("0A0B:"); "" for an empty answer or one whose first field is cut short.
std::string ParseBookedMonths(std::string_view reply);

// Language text n (1..90) for the receipt lines.
using TTextSource = std::function<std::string(int n)>;

// What a response gives the journal, the receipt and the monitor.
struct TParsedResponse {
    // The L journal's elements, complete ones only, in order (without the closing
    // "</transaction>" or "</report>", which the caller writes).
    std::string journal;
    // Receipt lines to append to the transaction text (CR LF before each).
    std::string receipt;
    // The 48 signature bytes, or none.
    std::optional<std::string> signature;
    // What was wrong with the answer, one monitor text each (empty for a sound answer).
    std::vector<std::string> problems;
};

// A transaction response: C4 tpId, C5 tpIdNo, CB sequence number (read by position, tags not
// tested), then the 48 signature bytes from the fourth field's value on and, when the byte
// after them is 9A, the debug hash:
//   <tpId>..</tpId><tpIdNo>..</tpIdNo><seqNoTransaction>..</seqNoTransaction><sig>..</sig>
//   [<debugHashTransaction>..</debugHashTransaction>]
// Receipt: CR LF text 42 ": " tab tpId, CR LF text 43 ": " tpIdNo, CR LF text 46 ": " number.
// Parsing stops at the first field that is cut short or holds a number over 4 bytes.
TParsedResponse ParseTransactionResponse(std::string_view reply, const TTextSource& text);

// A report response: life cycle, tpId, tpIdNo, report number, the optional D2, D3 and CB
// numbers, the containers E1..E6, E7, E8, E9, and the signature when bytes follow, e.g.
//   C1 01 03 C4 08 "TP000001" C5 04 00 00 00 01 CC 04 00 00 00 07 ... E1 07 D8 03 01 99 0C
//   DB 02 19 00 ... 9E 30 sig
//   -> <lifeCycle>03</lifeCycle><tpId>TP000001</tpId><tpIdNo>1</tpIdNo>
//      <seqNoReport>7</seqNoReport>...<containerVat1><turnover>01990</turnover>
//      <vatRate>1900</vatRate></containerVat1>...<sig>..</sig>
// An element (also a whole container) is written only when all its bytes are there.
TParsedResponse ParseReportResponse(std::string_view reply, const TTextSource& text);

// The bytes as one big-endian number read as a signed 32-bit integer, in decimal ("0" for
// none); none for more than 4 bytes.
std::optional<std::string> SignedNumberText(std::string_view bytes);

} // namespace UCardResponse
