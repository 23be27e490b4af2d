// Receipt printing: the receipt memo's text and the QR symbol of the current verification link
// (UQR) go as one raw ESC/POS job through the print spooler to the Epson TM-T88IV receipt
// printer, installed under the fixed name "EPSON TM-T88IV Receipt". The printer draws the
// symbol itself. The job, in this order:
//   1B 74 10            ESC t 16: character code table 16
//   1B 43 18            ESC C 24
//   the memo's text     code page 1252 as it stands (the euro sign is byte 80), CR LF between lines
//   0D 0A
//   BuildCentredQr()    1B 61 31, the QR block of the link, 1B 61 30
//   1B 00 1D 56 41 00   feed to the cutting position and cut
// The spooler document is "Zahlungsbeleg", data type "RAW", written in one WritePrinter call.
#pragma once

#include <string>
#include <string_view>

class TStrings;

namespace UPrint {

inline constexpr const char* PrinterName = "EPSON TM-T88IV Receipt";
inline constexpr const char* DocumentName = "Zahlungsbeleg";
// Longest text a QR block carries: its length + 3 must fit the two bytes pL pH.
inline constexpr std::size_t MaxQrText = 65532;

// The three GS ( k commands for a text: error-correction level L, store the text, print it.
//   1D 28 6B 03 00 31 45 30, 1D 28 6B pL pH 31 50 30 <text>, 1D 28 6B 03 00 31 51 30
// pL pH: text length + 3, low byte first (300 characters -> 2F 01; no text -> 03 00). A text
// longer than MaxQrText raises the range error.
std::string BuildQrBlock(std::string_view text);

// ESC a 1 (centre), the QR block of UQR::GetVerifyUrl, ESC a 0 (left).
std::string BuildCentredQr();

// Prints the receipt memo's lines (the register window's memo) with the QR block:
//  1. opens the printer; when it cannot, shows "kann Drucker mit Namen "EPSON TM-T88IV Receipt"
//     nicht öffnen" in a message box with OK (owner the active window, caption the program's
//     file name) and stops: nothing printed, the memo untouched;
//  2. trims the memo itself: while it has more than two lines and the last is empty, the last
//     line goes;
//  3. builds the job (a link over MaxQrText: range error, nothing printed, printer closed);
//  4. starts the document and a page (when either fails: nothing written, a started document
//     ended, the printer closed), writes the job in one call (its result is not examined),
//     ends page and document and closes the printer.
void PrintReceipt(TStrings& memo);

} // namespace UPrint
