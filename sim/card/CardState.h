// What the simulated card keeps between runs: life cycle, counters, keys, files, totals.
#pragma once

#include "sim/card/Bytes.h"

#include <cstdint>
#include <map>
#include <string>

namespace qsmsim {

enum LifeCycle : std::uint8_t { kTransport = 0x02, kActive = 0x03, kDeactivated = 0x04 };

// Turnover sums of a day or a month. Index 1..6 are the VAT classes, 7 agency, 8 delivery notes.
struct Totals {
    std::int64_t turnover[9]{};
    std::int64_t turnoverNeg[9]{};
    int rate[9]{}; // hundredths of a percent, -1 while none was booked
    bool rateChanged[9]{};
    std::uint32_t count[9]{}; // transactions that booked into 7 and 8
    std::int64_t training = 0;
    std::uint32_t trainingCount = 0;
    std::uint32_t firstSeq = 0, lastSeq = 0;

    Totals();
    void Add(const Totals& other);
    std::string Serialize() const;
    static Totals Parse(const std::string& text);
};

struct CardState {
    std::uint8_t lifeCycle = kTransport;
    std::uint32_t transactionSeq = 0;
    std::uint32_t reportSeq = 0;
    Bytes keyD, keyQ;              // the card key
    Bytes certificate;             // content of EF 1110
    std::uint32_t startMonth = 0;  // yyyymm of the activation (or first dated command), 0 before
    std::uint32_t lastClosing = 0; // yyyymmdd of the last daily closing
    Totals day;
    std::map<std::uint32_t, Totals> months;  // booked months, yyyymm
    std::map<std::string, Bytes> files;      // record files, "DDDD/FFFF"
    std::map<std::string, std::string> keys; // generated key pairs by private file id, "d q" hex

    // A missing file leaves the defaults; a damaged line is skipped.
    bool Load(const std::string& path);
    bool Save(const std::string& path) const;
};

} // namespace qsmsim
