// The journal files: every sale and report is recorded in the dated pair of XML journals in the
// folder "Journal" beside the executable, created at the first journal write of a run
// (yymmddXMLExpBakNNS.xml and ..NNL.xml, NN the first number 01..99 of the day for which neither
// file exists). The S journal takes the encoded blocks (base64 of the item list, of the
// command's data field and of the card's response), the L journal the same events as readable
// fields. Both begin with the same 118-byte header and card parameter block and end with
// "</vantra>" when the core ends (CloseJournal). Each file is one line of XML; "&", "<" and ">"
// in text values are escaped, everything else is written byte for byte (code page 1252 under
// an "ISO-8859-1" declaration).
//
//   UXML_Export::WriteJournal(UXML_Export::JournalL, UXML_Export::KindPending, "<transaction>");
//   ...
//   UXML_Export::CloseJournal();          // at the end of the run
//
// Texts written with kind 1 or 2 are also kept as pending texts for an export pair. The files
// are flushed to disk at the end of every transaction and report block (SyncJournal), so a
// recorded sale survives the program being killed; only "</vantra>" is then missing.
// The module state is the core's (URegisterCore.h, TJournalState); all of it runs on the GUI
// thread. File errors are the class library's: EFCreateError naming the file when the pair
// cannot be created (the next write tries again), EStreamError for a failed write (a full
// disk), which leaves no part of the text in the file.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "gui/base/Streams.h"

namespace UXML_Export {

// Target flags: bit 0 the S journal, bit 1 the L journal.
constexpr std::uint8_t JournalS = 1;
constexpr std::uint8_t JournalL = 2;
constexpr std::uint8_t JournalBoth = 3;

// Kinds of journal text: 0 plain (header, root close tag), 1 kept as pending text of the
// targets, 2 kept once as the pending card parameter block.
constexpr std::uint8_t KindPlain = 0;
constexpr std::uint8_t KindPending = 1;
constexpr std::uint8_t KindParams = 2;

// The first 118 bytes of every journal file.
constexpr std::string_view JournalHeader =
    "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><vantra><document-information>"
    "<version>1.0</version></document-information>";
constexpr std::string_view RootCloseTag = "</vantra>";

// The module's state: the dated pair (open for the whole run once created), the pending
// texts and the export pair's names.
class TJournalState {
public:
    TJournalState() = default;
    TJournalState(const TJournalState&) = delete;
    TJournalState& operator=(const TJournalState&) = delete;

    std::unique_ptr<TFileStream> datedS, datedL;
    std::string datedSName, datedLName;
    std::string pendingS, pendingL, pendingParams;
    std::string exportS, exportL;
};

// Writes the text to the selected files of the dated pair (creating the pair, its header and
// card parameter block first when it is not open) and keeps it as pending text by kind. A text
// goes into the files whole or not at all: when a write fails (a full disk), what went in of it
// is cut off again before the error goes on. A pair whose header or card parameter block cannot
// be written is removed again and counts as not open, as one that cannot be created.
void WriteJournal(std::uint8_t target, std::uint8_t kind, std::string_view text);

// Names of a new dated pair for today's local date: the first number 01..99 whose L file and
// S file both do not exist. When all 99 are taken, the L name is the unnumbered
// "yymmddXMLExpBakL.xml" and the S name is empty (its creation then fails).
void MakeJournalNames(std::string& lName, std::string& sName);

// The card parameter block to both files (kind 2): qsmParams with the card version, tpId and
// tpIdNo of the last status read, itemProfile 1 and the certificate (read from the card first
// when none is held).
void WriteQsmParams();

// The item XML text, then "<hashTransactionItems>", the bytes as hex digits and
// "</hashTransactionItems>" (L journal).
void WriteItemHash(const std::uint8_t* bytes, int count);

// The request block of a sale: "<transactionRequest>", base64 of the data field,
// "</transactionRequest>" (S journal); the bytes also go into the QR payload.
void WriteTransactionRequest(const std::uint8_t* bytes, int count);

// The response block of a sale (hex text, blanks allowed): base64 of the response bytes to the
// S journal, closing "</transactionEncoded>"; the card's identifiers, sequence number and
// signature (and the debug hash when there is one) to the L journal, closing "</transaction>";
// receipt lines into the transaction text; the signature to the receipt; the bytes into the QR
// payload. A short or malformed answer writes the complete elements, logs the fault to the
// register monitor and still closes both blocks.
void WriteTransactionResponse(std::string_view responseHex);

// The request block of a report: "<reportEncoded><reportRequest>", base64 of the command's
// bytes from the sixth on (length - 6 bytes: for a 16-byte report command the date and time
// fields), "</reportRequest>" (S journal); those bytes also go into the QR payload.
void WriteReportRequest(const std::uint8_t* command, int length);

// The response block of a report (hex text without blanks): base64 to the S journal, closing
// "</reportEncoded>"; the report's fields to the L journal; its lines into the transaction text,
// which then becomes the receipt memo's text; the signature (or none) to the receipt.
void WriteReportResponse(std::string_view responseHex);

// A place in the dated pair and in the pending texts: where a block began that may have to be
// taken out again.
struct TJournalMark {
    std::int64_t s = 0, l = 0;
    std::size_t pendingS = 0, pendingL = 0;
};

// Opens the dated pair when it is not open (as the next write would, with the same errors) and
// tells where both files and the S and L pending texts end now.
TJournalMark MarkJournal();

// Cuts both dated files and the S and L pending texts back to the mark: a block that could not
// be finished (a full disk) leaves nothing of it behind. Cutting needs no room on the disk;
// it raises nothing.
void RollBackJournal(const TJournalMark& mark);

// Forgets the export pair and empties the three pending texts; the dated pair stays open.
void ResetJournal();

// At the end of the run: "</vantra>" to both dated files and closes them (when the pair is
// open); then every text of the module is emptied. A later write opens a new pair. When the
// close tag cannot be written the files are closed all the same and the error goes on.
void CloseJournal();

// Flushes the dated files to disk (end of every transaction and report block).
void SyncJournal();

// Makes the pair of the chosen file the export pair. Its names come from the last "." of the
// file-name part: "Kasse01L.xml", "Kasse01S.xml" and "Kasse01.xml" all give Kasse01S.xml and
// Kasse01L.xml. New: both files are created (replacing existing ones) with the header, the
// pending texts so far, the card parameter block and "</vantra>". Not new: a file that exists
// is left as it is (the next flush fills it); one that cannot be opened is created with the
// header, its pending text and "</vantra>", and when both are created the parameter block
// follows. A text that went into its file is no longer pending. File errors are the class
// library's (EFCreateError naming the file, EStreamError for a full disk); after one, the files
// this call created are removed again, the pair chosen before stays chosen and the pending texts
// stay.
void SetJournalFile(const std::string& chosen, bool isNew);

// When an export pair is chosen: inserts the S and L pending texts directly before the
// "</vantra>" of their files (at the end of a file that has none, with a new close tag), then
// each card parameter block whose certificate text the file does not hold yet, writes both
// files to the disk and empties the S and L pending texts (the parameter block stays pending
// for a pair chosen later; it is emptied by ResetJournal and CloseJournal). Whole or not at
// all: a file that cannot be opened (deleted, locked) raises EFOpenError naming it, a write
// that finds no room EStreamError naming its file; then both files are as they were before the
// flush, byte for byte, and the pending texts stay for the next flush, which writes all of
// them once, in order. Without an export pair it does nothing.
void FlushJournal();

} // namespace UXML_Export
