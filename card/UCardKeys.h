// The card's certificate, its key pairs and key records, and the list of files of its KORVA
// subdirectory. Each operation answers qrOk, qrBusy (nothing sent) or qrFailed
// (card/exports/QsmTool.h).
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

class TCardModule;

// Reads the certificate (its DER length + 4 bytes) from the certificate file; fails without
// reading further when it is larger than `capacity` bytes. Tests the busy flag but does not
// hold it.
std::int32_t ReadCert(TCardModule& m, std::size_t capacity, std::string& certificate);
std::int32_t WriteCert(TCardModule& m, std::string_view certificate);
// Key types 1 to 4; any other type answers qrOk without a command.
std::int32_t GenerateKey(TCardModule& m, std::int32_t type);
std::int32_t ImportKey(TCardModule& m, std::int32_t number, std::string_view keyText);
std::int32_t ImportKeyFromFile(TCardModule& m, std::int32_t number, const std::string& fileName);
// Receives the key text of a successful export; false when it cannot be kept.
using TKeySink = std::function<bool(const std::string& keyText)>;
std::int32_t ExportKey(TCardModule& m, std::int32_t number, const TKeySink& sink);
// Reads the key from the card first, and only then creates the file.
std::int32_t ExportKeyToFile(TCardModule& m, std::int32_t number, const std::string& fileName);
std::int32_t ListKorvaFiles(TCardModule& m, std::string& list);
