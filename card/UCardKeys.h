// The card's certificate, its key pairs and key records, and the list of files of its KORVA
// subdirectory. Each operation answers 0 (success), 1 (busy, nothing sent) or -1 (failure).
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

class TCardModule;

// Reads the certificate file; fails without reading further when the certificate is larger
// than `capacity` bytes. Tests the busy flag but does not hold it.
std::int32_t ReadCert(TCardModule& m, std::size_t capacity, std::string& certificate);
std::int32_t WriteCert(TCardModule& m, std::string_view certificate);
// Key types 1 to 4; any other type answers 0 without a command.
std::int32_t GenerateKey(TCardModule& m, std::int32_t type);
std::int32_t ImportKey(TCardModule& m, std::int32_t number, std::string_view keyText);
std::int32_t ImportKeyFromFile(TCardModule& m, std::int32_t number, const std::string& fileName);
// Receives the key text of a successful export; false when it cannot be kept.
using TKeySink = std::function<bool(const std::string& keyText)>;
std::int32_t ExportKey(TCardModule& m, std::int32_t number, const TKeySink& sink);
// Reads the key from the card first, and only then creates the file.
std::int32_t ExportKeyToFile(TCardModule& m, std::int32_t number, const std::string& fileName);
std::int32_t ListKorvaFiles(TCardModule& m, std::string& list);

// The forms of key texts, key records and file listings.
namespace UCardKeys {

// Key file identifiers of key number n; -1 for a number without a file.
int ExportFileId(std::int32_t n);
int ImportFileId(std::int32_t n);

struct TKeyLines {
    std::string first, second;   // hex digits, blanks removed
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

} // namespace UCardKeys
