#include "sim/card/Fiscal.h"

#include "sim/card/Fields.h"

namespace qsmsim {
namespace {

enum : std::uint8_t {
    kTagPin = 0xC3,
    kTagOperator = 0xC6,
    kTagHash = 0xC7,
    kTagCurrency = 0xC8,
    kTagVatAddon = 0xC9,
    kTagTraining = 0xCA,
    kTagDate = 0xCD,
    kTagTime = 0xCE,
    kTagFirstMonth = 0xD0,
    kTagLastMonth = 0xD1,
    kTagTurnover = 0xD8,
    kTagTurnoverNeg = 0xD9,
    kTagVat = 0xDA,
    kTagVatRate = 0xDB,
    kTagCount = 0xDC,
    kTagOverflow = 0xDD,
    kTagVatChange = 0xDE,
    kTagTrainingSum = 0xE9,
};

constexpr std::int64_t kOverflowLimit = 2147483647; // sums beyond 32 bits are flagged

bool IsBcd(const Bytes& value, std::size_t size) { return value.size() == size && ParseBcd(value); }

// The inner fields of container n (1..8) into `one`; false when one is not allowed there.
bool BookContainer(int n, const Bytes& value, Totals& one)
{
    auto inner = ParseTlvs(value);
    if (!inner || inner->empty()) return false;
    for (const Tlv& x : *inner) {
        if (x.tag == kTagTurnover) {
            auto v = ParseSignedBcd(x.value);
            if (!v) return false;
            one.turnover[n] += *v;
            continue;
        }
        if (n > 6) return false; // agency and delivery-note containers carry the turnover only
        if (x.tag == kTagVatRate) {
            auto r = ParseBcd(x.value);
            if (!r || x.value.empty() || x.value.size() > 2) return false;
            one.rate[n] = static_cast<int>(*r);
        } else if (x.tag == kTagTurnoverNeg || x.tag == kTagVat) {
            auto v = ParseSignedBcd(x.value);
            if (!v) return false;
            if (x.tag == kTagTurnoverNeg) one.turnoverNeg[n] += *v;
        } else {
            return false;
        }
    }
    if (n >= 7) one.count[n] = 1;
    return true;
}

void AppendAmount(Bytes& out, std::uint8_t tag, std::int64_t v) { AppendTlv(out, tag, SignedBcd(v)); }

bool BeyondLimit(std::int64_t v) { return v > kOverflowLimit || v < -kOverflowLimit; }

} // namespace

std::optional<BookedTransaction> ReadTransaction(const Bytes& data)
{
    auto fields = ParseTlvs(data);
    if (!fields) return std::nullopt;
    bool date = false, time = false, hash = false, currency = false, training = false;
    BookedTransaction out;
    Totals& one = out.totals;
    for (const Tlv& f : *fields) {
        switch (f.tag) {
        case kTagDate:
            if (!IsBcd(f.value, 4)) return std::nullopt;
            out.date = *ParseBcd(f.value);
            date = true;
            break;
        case kTagTime:
            time = IsBcd(f.value, 2);
            break;
        case kTagOperator:
            if (f.value.empty() || f.value.size() > 16) return std::nullopt;
            break;
        case kTagHash:
            hash = f.value.size() == 20;
            break;
        case kTagCurrency:
            currency = f.value.size() == 2;
            break;
        case kTagVatAddon:
        case kTagTraining:
            if (!f.value.empty()) return std::nullopt;
            training = training || f.tag == kTagTraining;
            break;
        default:
            if (f.tag < 0xE1 || f.tag > 0xE8 || !BookContainer(f.tag - 0xE0, f.value, one)) return std::nullopt;
        }
    }
    if (!date || !time || !hash || !currency) return std::nullopt;
    if (training) {
        Totals sum;
        for (int n = 1; n <= 6; ++n)
            sum.training += one.turnover[n];
        sum.trainingCount = 1;
        one = sum;
    }
    return out;
}

std::optional<ReportRequest> ReadReportRequest(const Bytes& data, std::uint8_t p1)
{
    auto fields = ParseTlvs(data);
    if (!fields) return std::nullopt;
    ReportRequest out;
    bool date = false, time = false, first = false, last = false;
    for (const Tlv& f : *fields) {
        if (f.tag == kTagDate && IsBcd(f.value, 4)) {
            out.date = *ParseBcd(f.value);
            date = true;
        } else if (f.tag == kTagTime && IsBcd(f.value, 2)) {
            time = true;
        } else if (f.tag == kTagFirstMonth && p1 == 3 && IsBcd(f.value, 3)) {
            out.firstMonth = *ParseBcd(f.value);
            first = true;
        } else if (f.tag == kTagLastMonth && p1 == 3 && IsBcd(f.value, 3)) {
            out.lastMonth = *ParseBcd(f.value);
            last = true;
        } else if (f.tag == kTagPin && p1 == 4) {
            out.pin.emplace(f.value.begin(), f.value.end());
            continue; // the PIN is not signed
        } else {
            return std::nullopt;
        }
        out.signedPart.insert(out.signedPart.end(), data.begin() + f.offset,
                              data.begin() + f.offset + 2 + f.value.size());
    }
    if (!date || !time || (p1 == 3 && !(first && last))) return std::nullopt;
    return out;
}

Bytes ReportContainers(const Totals& t)
{
    Bytes out;
    for (int n = 1; n <= 6; ++n) {
        if (!t.turnover[n] && !t.turnoverNeg[n]) continue;
        Bytes c;
        AppendAmount(c, kTagTurnover, t.turnover[n]);
        if (t.turnoverNeg[n]) AppendAmount(c, kTagTurnoverNeg, t.turnoverNeg[n]);
        AppendTlv(c, kTagVatRate, Bcd(static_cast<std::uint32_t>(t.rate[n] < 0 ? 0 : t.rate[n]), 2));
        if (BeyondLimit(t.turnover[n])) AppendTlv(c, kTagOverflow, {});
        if (t.rateChanged[n]) AppendTlv(c, kTagVatChange, {});
        AppendTlv(out, static_cast<std::uint8_t>(0xE0 + n), c);
    }
    auto counted = [&](std::uint8_t tag, std::int64_t turnover, std::uint32_t count, bool overflowField) {
        if (!turnover && !count) return;
        Bytes c;
        AppendAmount(c, kTagTurnover, turnover);
        AppendTlv(c, kTagCount, MinimalBigEndian(count));
        if (overflowField && BeyondLimit(turnover)) AppendTlv(c, kTagOverflow, {});
        AppendTlv(out, tag, c);
    };
    counted(0xE7, t.turnover[7], t.count[7], true);
    counted(0xE8, t.turnover[8], t.count[8], false);
    counted(kTagTrainingSum, t.training, t.trainingCount, true);
    return out;
}

} // namespace qsmsim
