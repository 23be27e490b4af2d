// The text and record forms of the card operations: data and signature texts of signing and
// verification, key texts, key records, key file numbers and the KORVA file listing.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace UCardFormats {

// The data text: direct (the bytes are hex digits already, padded on the left with "0" to at
// least 48 digits and to an even count) or encoded (two hex digits a byte).
std::string DataText(std::string_view data, bool direct);
// Chained blocks of a signing or verification, the last element being the final block.
std::vector<std::string_view> ChainBlocks(std::string_view dataText);
// The card's answer as the signature text: hex digits, CR LF after the first 48.
std::string SignatureText(std::string_view answer);
// The signature digits of a signature text: the part before the first LF and the part after
// the last LF (blanks and CR ignored), each padded on the left to at least 48 digits.
std::string SignatureDigits(std::string_view text);

// Key file identifiers of key number n; -1 for a number without a file.
int ExportFileId(std::int32_t n);
int ImportFileId(std::int32_t n);

struct TKeyLines {
    std::string first, second; // hex digits, blanks removed
};
// Key text: the first line ends at a CR, the second starts two characters after it.
TKeyLines SplitKeyText(std::string_view text);
// A key file's content; one of at most 2 bytes holds two empty components.
TKeyLines ReadKeyFile(std::string_view content);

// The key record (tag 86) of two components; empty when they do not fit its length bytes.
std::string BuildKeyRecord(std::string_view component1, std::string_view component2);
// The components of a key record; false when the record is cut short.
bool ParseKeyRecord(std::string_view record, std::string& component1, std::string& component2);

// Takes the file identifiers of a listing answer (hex text) into `list`, each as four hex
// digits and a blank. What is left then either ends the listing (nothing), continues it
// ("8A nn " and the continuation, handed out without the first six characters) or is bad.
enum class TListRest { Done, More, Bad };
TListRest TakeListEntries(std::string answer, std::string& list, std::string& continuation);

} // namespace UCardFormats
