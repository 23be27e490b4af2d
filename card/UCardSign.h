// Signing, verification and hashing on the card. Long data goes to the card as a chain of
// command blocks; between blocks the application's pending messages are processed.
// Each operation answers qrOk, qrBusy (nothing sent) or qrFailed (card/exports/QsmTool.h).
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

class TCardModule;

// Receives the signature text of a successful signing; false when it cannot be kept.
using TSignatureSink = std::function<bool(const std::string& signatureText)>;

std::int32_t SignData(TCardModule& m, std::string_view data, const std::string& keyRef, const TSignatureSink& sink);
// Signs the file's bytes and writes the signature text into the file name plus ".sig".
std::int32_t SignFile(TCardModule& m, const std::string& fileName, const std::string& keyRef);
std::int32_t VerifyData(TCardModule& m, std::string_view data, const std::string& keyRef,
                        std::string_view signatureText);
std::int32_t VerifyFile(TCardModule& m, const std::string& dataFile, const std::string& signatureFile,
                        const std::string& keyRef);
// The card's SHA-1 of the data; fails unless the card answers exactly 20 bytes.
std::int32_t HashData(TCardModule& m, std::string_view data, std::string& hash);

constexpr std::size_t kHashBytes = 20;

// Lets the application process its pending messages (a WM_QUIT is left for its own loop).
void ProcessPendingMessages();
