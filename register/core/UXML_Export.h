// The journal files: every sale and report is recorded in a pair of XML journals, the S journal
// (the encoded blocks: base64 of the item list, of the command's data field and of the card's
// response) and the L journal (the same events as readable fields). The core writes its
// elements through WriteJournal as it builds a command:
//
//   UXML_Export::WriteJournal(UXML_Export::JournalL, UXML_Export::KindPending, "<transaction>");
//
// Writing the files comes with the journal module; until then WriteJournal takes the text and
// writes nothing.
#pragma once

#include <cstdint>
#include <string_view>

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

// Writes the text to the selected journals of the dated pair and keeps it as pending text by
// its kind.
void WriteJournal(std::uint8_t target, std::uint8_t kind, std::string_view text);

} // namespace UXML_Export
