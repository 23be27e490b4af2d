// The fiscal content of the card's commands: what a transaction books, what a report asks for,
// and the containers with which a report answers.
#pragma once

#include "sim/card/Bytes.h"
#include "sim/card/CardState.h"

#include <cstdint>
#include <optional>
#include <string>

namespace qsmsim {

// A transaction's data field as the card books it.
struct BookedTransaction {
    std::uint32_t date = 0; // yyyymmdd
    Totals totals;          // one transaction; a training transaction books only its training sum
};

// Fields CD (4), CE (2), C7 (20) and C8 (2) are required; C6 (1..16), C9 (0), CA (0) and the
// containers are optional. E1..E6 hold D8, D9, DA (signed BCD) and DB (rate, one or two BCD
// bytes in hundredths of a percent: 19 00 is 19 %, 50 is 0.5 %, 00 is 0 %); E7 and E8 hold D8
// only. Any other field, or one of a wrong length or form, gives nullopt.
// A training transaction (CA) books, as its training sum, the turnovers of classes 1..6 only:
// amounts 7 and 8 repeat amounts of those classes.
std::optional<BookedTransaction> ReadTransaction(const Bytes& data);

// A report's data field: CD and CE always; D0 and D1 (3 bytes each) exactly with P1 3; C3 (the
// transport PIN) only with P1 4. nullopt for anything else.
struct ReportRequest {
    std::uint32_t date = 0;                      // yyyymmdd
    std::uint32_t firstMonth = 0, lastMonth = 0; // yyyymm, P1 3
    std::optional<std::string> pin;              // the C3 value, P1 4
    Bytes signedPart;                            // the data field without the C3 field
};
std::optional<ReportRequest> ReadReportRequest(const Bytes& data, std::uint8_t p1);

// The containers of a report's answer, in the order the register reads them: E1..E6 (D8, [D9],
// DB 02 rate, [DD 00 beyond 32 bits], [DE 00 rate changed]), E7 and E8 (D8, DC count, E7 also
// [DD 00]), E9 training (D8, DC count, [DD 00]). Containers without turnover are left out.
Bytes ReportContainers(const Totals& t);

} // namespace qsmsim
