// The simulated QSM card: answers command APDUs with response APDUs (data, then SW1 SW2).
#pragma once

#include "sim/card/Bytes.h"
#include "sim/card/CardCrypto.h"
#include "sim/card/CardState.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace qsmsim {

// One row of the card's version table: the answer to GET DATA 01 88 names the card version
// and the version of its operating system.
struct CardVersion {
    const char* name;        // "2.2/4.3"
    const char* cardVersion; // "2.2"
    const char* osVersion;   // "4.3"
    const char* answer;      // hex text of the GET DATA 01 88 answer
};
// The known rows; nullptr for an unknown name.
const CardVersion* FindCardVersion(const std::string& name);
std::string CardVersionNames();

struct CardConfig {
    std::string statePath = "qsmsim.state";
    const CardVersion* version = FindCardVersion("2.2/4.3");
    std::string transportPin = "123456";  // six digits
    std::string tpId = "ATU12345678-QSM"; // 1..kMaxTpId characters
    std::uint32_t tpIdNo = 4711;
    Bytes chipSerial = FromHex("00 12 D6 87 A4 31"); // six bytes
    bool debugHash = false;                          // append the 9A field (SHA-1 of the signed data) to transactions
    std::uint8_t freshLifeCycle = kTransport;        // life cycle of a card without a state file
};

// The longest tpId: with it every transaction answer (also with the 9A field) fits into the
// 256 bytes of an answer, and so does a signed report with 32-bit counters and all nine
// containers, each holding a turnover, a rate and a count within 32 bits. Larger reports
// (negative turnovers, overflow or rate-change flags besides) may not fit and are refused.
constexpr std::size_t kMaxTpId = 32;

// Empty when the settings can be used, else what is wrong, such as
// "--pin takes exactly six digits" (the register always sends six PIN characters).
std::string ConfigProblem(const CardConfig& config);

class QsmCard {
public:
    explicit QsmCard(CardConfig config);

    static Bytes Atr(); // 3B F2 18 00 02 C1 0A 31 FE 58 C8 08 74, protocol T=1

    // Power on or reset: the application state (selection, security environment, chains) is reset.
    void Reset();
    Bytes Process(const Bytes& apdu);

    const CardState& State() const { return state_; }
    EcKey Key() const { return EcKey::FromParts(state_.keyD, state_.keyQ); }

private:
    struct Apdu;
    Bytes Select(const Apdu& a);
    Bytes GetData(const Apdu& a);
    Bytes ReadBinary(const Apdu& a);
    Bytes UpdateBinary(const Apdu& a);
    Bytes UpdateRecord(const Apdu& a);
    Bytes ReadRecord(const Apdu& a);
    Bytes ListFiles(const Apdu& a);
    Bytes Mse(const Apdu& a);
    Bytes Pso(const Apdu& a, bool chained);
    Bytes GenerateKey(const Apdu& a, bool proprietary);
    Bytes Transaction(const Apdu& a);
    Bytes VerifyTransaction(const Apdu& a);
    Bytes Report(const Apdu& a);

    Bytes IdentityFields() const; // tpId and tpIdNo fields of the responses
    EcKey KeyFor(std::uint8_t reference) const;
    void Save();

    CardConfig config_;
    CardState state_;
    std::uint16_t currentDf_ = 0x3F00;
    std::uint16_t currentEf_ = 0;
    int keyReference_ = -1;
    std::uint16_t chainP1P2_ = 0; // operation of the running chain, 0 none
    Bytes chain_;
};

} // namespace qsmsim
