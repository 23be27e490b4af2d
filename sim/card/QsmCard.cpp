#include "sim/card/QsmCard.h"

#include "sim/card/Certificate.h"

#include <optional>
#include <vector>

namespace qsmsim {
namespace {

const CardVersion kVersions[] = {
    {"1.2/4.01", "1.2", "4.01", "70 04 0F 01 C8 03"},          {"1.2/4.01a", "1.2", "4.01a", "70 04 70 01 C8 04"},
    {"2.2/4.01a", "2.2", "4.01a", "70 04 72 10 C8 04"},        {"2.2/4.3", "2.2", "4.3", "70 04 72 80 C8 08 8F 01 01"},
    {"2.3/4.3b", "2.3", "4.3b", "70 04 70 23 C8 08 8F 01 01"},
};

// Tags of the card's own response fields.
enum : std::uint8_t {
    kTagLifeCycle = 0xC1,
    kTagCardVersion = 0xC2,
    kTagPin = 0xC3,
    kTagTpId = 0xC4,
    kTagTpIdNo = 0xC5,
    kTagSeqTransaction = 0xCB,
    kTagSeqReport = 0xCC,
    kTagFirstMonth = 0xD0,
    kTagLastMonth = 0xD1,
    kTagFirstSeq = 0xD2,
    kTagLastSeq = 0xD3,
    kTagTurnover = 0xD8,
    kTagTurnoverNeg = 0xD9,
    kTagVat = 0xDA,
    kTagVatRate = 0xDB,
    kTagCount = 0xDC,
    kTagOverflow = 0xDD,
    kTagVatChange = 0xDE,
    kTagTraining = 0xE9,
    kTagSignature = 0x9E,
    kTagDebugHash = 0x9A,
    kTagData = 0x9A,
};

const Bytes kOk{0x90, 0x00};
Bytes Sw(std::uint16_t sw) { return {static_cast<std::uint8_t>(sw >> 8), static_cast<std::uint8_t>(sw)}; }
Bytes WithOk(Bytes data) { return Concat(std::move(data), kOk); }

// Files of the card. Key record files hold one record each; private key files are never read.
enum class Kind { Df, Binary, Record, PrivateKey };
struct FileEntry {
    std::uint16_t id, parent;
    Kind kind;
};

const std::vector<FileEntry>& Tree()
{
    static const std::vector<FileEntry> tree = [] {
        std::vector<FileEntry> t{{0x3F00, 0, Kind::Df},
                                 {0x1000, 0x3F00, Kind::Df},
                                 {0xEC01, 0x3F00, Kind::Df},
                                 {0x1110, 0x3F00, Kind::Binary}};
        for (int n = 0; n <= 25; ++n) // key records read by export, in 1000
            t.push_back({static_cast<std::uint16_t>(n <= 14 ? 0x20E0 + n : 0x20F0 + n - 10), 0x1000, Kind::Record});
        for (int n = 0; n <= 21; ++n) // key records written by import, in EC01
            t.push_back({static_cast<std::uint16_t>(n <= 14 ? 0x20E4 + n : 0x20F0 + n - 6), 0xEC01, Kind::Record});
        for (std::uint16_t id : {0x20D1, 0x20D2, 0x20A1, 0x20A2})
            t.push_back({id, 0xEC01, Kind::PrivateKey});
        return t;
    }();
    return tree;
}

const FileEntry* FindFile(std::uint16_t id, std::uint16_t currentDf)
{
    for (const FileEntry& f : Tree())
        if (f.id == id && (f.parent == currentDf || f.id == currentDf)) return &f;
    for (const FileEntry& f : Tree())
        if (f.id == id) return &f;
    return nullptr;
}

std::string FileKey(std::uint16_t df, std::uint16_t ef)
{
    return ToHex({static_cast<std::uint8_t>(df >> 8), static_cast<std::uint8_t>(df)}) + "/" +
           ToHex({static_cast<std::uint8_t>(ef >> 8), static_cast<std::uint8_t>(ef)});
}

// Signed packed BCD: digits, then the sign nibble C or D.
std::optional<std::int64_t> ParseSignedBcd(const Bytes& b)
{
    if (b.empty() || b.size() > 9) return std::nullopt;
    std::int64_t v = 0;
    for (std::size_t i = 0; i < b.size(); ++i) {
        int hi = b[i] >> 4, lo = b[i] & 15;
        if (hi > 9) return std::nullopt;
        v = v * 10 + hi;
        if (i + 1 < b.size()) {
            if (lo > 9) return std::nullopt;
            v = v * 10 + lo;
        } else if (lo == 0xD) {
            v = -v;
        } else if (lo != 0xC) {
            return std::nullopt;
        }
    }
    return v;
}

Bytes SignedBcd(std::int64_t v)
{
    std::string digits = std::to_string(v < 0 ? -v : v);
    if (digits.size() % 2 == 0) digits.insert(digits.begin(), '0');
    digits += (v < 0) ? 'D' : 'C';
    return FromHex(digits);
}

// Unsigned packed BCD digits as a number; nullopt for a non-digit nibble.
std::optional<std::uint32_t> ParseBcd(const Bytes& b)
{
    std::uint32_t v = 0;
    for (std::uint8_t x : b) {
        if ((x >> 4) > 9 || (x & 15) > 9) return std::nullopt;
        v = v * 100 + (x >> 4) * 10 + (x & 15);
    }
    return v;
}

Bytes Bcd(std::uint32_t v, std::size_t bytes)
{
    Bytes out(bytes);
    for (std::size_t i = bytes; i-- > 0; v /= 100)
        out[i] = static_cast<std::uint8_t>((v % 100 / 10) << 4 | v % 10);
    return out;
}

struct Tlv {
    std::uint8_t tag;
    Bytes value;
    std::size_t offset; // of the tag byte
};

// Splits a byte run into tag, one length byte, value; nullopt when a field runs past the end.
std::optional<std::vector<Tlv>> ParseTlvs(const Bytes& data, std::size_t from = 0, std::size_t to = std::string::npos)
{
    if (to > data.size()) to = data.size();
    std::vector<Tlv> out;
    std::size_t i = from;
    while (i < to) {
        if (i + 2 > to || i + 2 + data[i + 1] > to) return std::nullopt;
        out.push_back({data[i], Bytes(data.begin() + i + 2, data.begin() + i + 2 + data[i + 1]), i});
        i += 2 + data[i + 1];
    }
    return out;
}

bool IsResponseTag(std::uint8_t tag)
{
    return tag == kTagTpId || tag == kTagTpIdNo || tag == kTagSeqTransaction || tag == kTagSignature;
}

// A digest is given instead of data for key references 1x, 3x, A1 and A2 (hashing off the card).
bool DigestGiven(std::uint8_t reference)
{
    return (reference >> 4) == 1 || (reference >> 4) == 3 || reference == 0xA1 || reference == 0xA2;
}

constexpr std::int64_t kOverflowLimit = 2147483647; // sums beyond 32 bits are flagged

} // namespace

const CardVersion* FindCardVersion(const std::string& name)
{
    for (const CardVersion& v : kVersions)
        if (name == v.name) return &v;
    return nullptr;
}

std::string CardVersionNames()
{
    std::string out;
    for (const CardVersion& v : kVersions)
        out += (out.empty() ? "" : ", ") + std::string(v.name);
    return out;
}

struct QsmCard::Apdu {
    std::uint8_t cla, ins, p1, p2;
    Bytes data;
    int le = -1; // expected length, 1..256; -1 when no Le byte was sent
    std::uint16_t P1P2() const { return static_cast<std::uint16_t>(p1 << 8 | p2); }
};

QsmCard::QsmCard(CardConfig config) : config_(std::move(config))
{
    bool changed = !state_.Load(config_.statePath);
    if (changed) state_.lifeCycle = config_.freshLifeCycle;
    if (!EcKey::FromParts(state_.keyD, state_.keyQ).Valid()) {
        EcKey k = EcKey::Generate();
        state_.keyD = k.PrivateScalar();
        state_.keyQ = k.PublicPoint();
        state_.certificate.clear();
        changed = true;
    }
    if (state_.certificate.empty()) {
        state_.certificate = MakeCertificate(Key(), "QSM " + config_.tpId, config_.tpId, config_.tpIdNo);
        changed = true;
    }
    if (changed) Save();
}

Bytes QsmCard::Atr() { return FromHex("3B F2 18 00 02 C1 0A 31 FE 58 C8 08 74"); }

void QsmCard::Reset()
{
    currentDf_ = 0x3F00;
    currentEf_ = 0;
    keyReference_ = -1;
    chainP1P2_ = 0;
    chain_.clear();
}

void QsmCard::Save() { state_.Save(config_.statePath); }

Bytes QsmCard::Process(const Bytes& raw)
{
    if (raw.size() < 4) return Sw(0x6700);
    Apdu a{raw[0], raw[1], raw[2], raw[3], {}, -1};
    if (raw.size() == 5) {
        a.le = raw[4] ? raw[4] : 256;
    } else if (raw.size() > 5) {
        const std::size_t lc = raw[4];
        // Lc 00 is only accepted as "no data, Le 00" (80 16 02 00 00 00).
        if (raw.size() < 5 + lc || raw.size() > 6 + lc || (lc == 0 && raw.size() != 6)) return Sw(0x6700);
        a.data.assign(raw.begin() + 5, raw.begin() + 5 + lc);
        if (raw.size() == 6 + lc) a.le = raw.back() ? raw.back() : 256;
    }
    // A chain ends with any command that does not continue it.
    const bool continuesChain = a.ins == 0x2A && a.P1P2() == chainP1P2_;
    if (!continuesChain) {
        chainP1P2_ = 0;
        chain_.clear();
    }

    switch (a.cla) {
    case 0x00:
    case 0x10:
        switch (a.ins) {
        case 0xA4:
            return a.cla == 0x00 ? Select(a) : Sw(0x6884);
        case 0xCA:
            return a.cla == 0x00 ? GetData(a) : Sw(0x6884);
        case 0xB0:
            return ReadBinary(a);
        case 0xD6:
            return UpdateBinary(a);
        case 0xDC:
            return UpdateRecord(a);
        case 0xB2:
            return ReadRecord(a);
        case 0x22:
            return Mse(a);
        case 0x2A:
            return Pso(a, a.cla == 0x10);
        case 0x47:
            return GenerateKey(a, false);
        default:
            return Sw(0x6D00);
        }
    case 0x80:
        switch (a.ins) {
        case 0x40:
            return Transaction(a);
        case 0x42:
            return Report(a);
        case 0x44:
            return VerifyTransaction(a);
        case 0x46:
            return GenerateKey(a, true);
        case 0x16:
            return ListFiles(a);
        default:
            return Sw(0x6D00);
        }
    default:
        return Sw(0x6E00); // also the GSM class A0
    }
}

Bytes QsmCard::Select(const Apdu& a)
{
    if (a.p1 != 0x00) return Sw(0x6A86);
    if (a.data.size() != 2) return Sw(0x6700);
    const FileEntry* f = FindFile(static_cast<std::uint16_t>(a.data[0] << 8 | a.data[1]), currentDf_);
    if (!f) return Sw(0x6A82);
    if (f->kind == Kind::Df) {
        currentDf_ = f->id;
        currentEf_ = 0;
    } else {
        currentDf_ = f->parent;
        currentEf_ = f->id;
    }
    if (a.p2 == 0x0C) return kOk;
    // File control parameters: file id, and the size of a transparent file.
    Bytes fcp;
    AppendTlv(fcp, 0x83, {a.data[0], a.data[1]});
    if (f->kind == Kind::Binary)
        AppendTlv(fcp, 0x80,
                  {static_cast<std::uint8_t>(state_.certificate.size() >> 8),
                   static_cast<std::uint8_t>(state_.certificate.size())});
    Bytes out;
    AppendTlv(out, 0x62, fcp);
    return WithOk(out);
}

Bytes QsmCard::GetData(const Apdu& a)
{
    if (a.p1 != 0x01) return Sw(0x6A88);
    Bytes out;
    switch (a.p2) {
    case 0x88:
        return WithOk(FromHex(config_.version->answer));
    case 0x81:
        return WithOk(Concat(FromHex("51 53 4D 2D 53 49 4D 00 01 02"), config_.chipSerial));
    case 0x8A: {
        std::size_t used = state_.certificate.size();
        for (const auto& [k, v] : state_.files)
            used += v.size();
        return WithOk(BigEndian32(static_cast<std::uint32_t>(65536 - 16384 - used)));
    }
    case 0x85:
        return WithOk({0x0F, 0xA0});
    case 0x80: {
        std::string name = std::string("QSM-OS ") + config_.version->osVersion;
        return WithOk(Concat(Bytes(name.begin(), name.end()), Bytes{0x00}));
    }
    case 0xF1: {
        const std::string version = config_.version->cardVersion;
        AppendTlv(out, kTagLifeCycle, {state_.lifeCycle});
        AppendTlv(out, kTagCardVersion, Bytes(version.begin(), version.end()));
        out = Concat(out, IdentityFields());
        AppendTlv(out, 0xF5, config_.chipSerial);
        AppendTlv(out, 0xF6, Bcd(state_.lastClosing, 4));
        AppendTlv(out, 0xF7, Bcd(state_.startMonth, 3));
        AppendTlv(out, 0xF8, BigEndian32(state_.transactionSeq));
        AppendTlv(out, 0xF9, BigEndian32(state_.reportSeq));
        return WithOk(out);
    }
    case 0xF2: {
        // Start month, then one byte per booked month: its distance from the start month.
        const std::uint32_t start = state_.startMonth;
        Bytes offsets;
        for (const auto& [m, t] : state_.months) {
            int d = static_cast<int>(m / 100 - start / 100) * 12 + static_cast<int>(m % 100) -
                    static_cast<int>(start % 100);
            if (start && d >= 0 && d < 256 && offsets.size() < 250) offsets.push_back(static_cast<std::uint8_t>(d));
        }
        AppendTlv(out, 0xF2, Bcd(start, 3));
        AppendTlv(out, 0xF3, offsets);
        return WithOk(out);
    }
    default:
        return Sw(0x6A88);
    }
}

Bytes QsmCard::ReadBinary(const Apdu& a)
{
    if (currentEf_ != 0x1110) return Sw(0x6986);
    if (!a.data.empty() || a.le < 0) return Sw(0x6700);
    const std::size_t offset = a.P1P2() & 0x7FFF;
    const Bytes& cert = state_.certificate;
    if (offset >= cert.size()) return Sw(0x6B00);
    const std::size_t n = std::min<std::size_t>(static_cast<std::size_t>(a.le), cert.size() - offset);
    return WithOk(Bytes(cert.begin() + offset, cert.begin() + offset + n));
}

Bytes QsmCard::UpdateBinary(const Apdu& a)
{
    if (currentEf_ != 0x1110) return Sw(0x6986);
    if (a.data.empty()) return Sw(0x6700);
    const std::size_t offset = a.P1P2() & 0x7FFF;
    if (offset + a.data.size() > 2048) return Sw(0x6A84);
    Bytes& cert = state_.certificate;
    if (offset > cert.size()) return Sw(0x6B00);
    if (cert.size() < offset + a.data.size()) cert.resize(offset + a.data.size());
    std::copy(a.data.begin(), a.data.end(), cert.begin() + offset);
    Save();
    return kOk;
}

Bytes QsmCard::UpdateRecord(const Apdu& a)
{
    const FileEntry* f = currentEf_ ? FindFile(currentEf_, currentDf_) : nullptr;
    if (!f || f->kind != Kind::Record) return Sw(0x6986);
    // One key record: 86 L, L1 00 component 1, L2 00 component 2.
    const Bytes& r = a.data;
    if (r.size() < 6 || r[0] != 0x86 || r[1] != r.size() - 2) return Sw(0x6A80);
    const std::size_t l1 = r[2];
    if (l1 < 1 || 3 + l1 + 2 > r.size() || r[3] != 0 || 3 + l1 + 1 + r[3 + l1] != r.size() || r[4 + l1] != 0)
        return Sw(0x6A80);
    state_.files[FileKey(currentDf_, currentEf_)] = r;
    Save();
    return kOk;
}

Bytes QsmCard::ReadRecord(const Apdu& a)
{
    if (!a.data.empty()) return Sw(0x6700);
    const FileEntry* f = currentEf_ ? FindFile(currentEf_, currentDf_) : nullptr;
    if (!f || f->kind == Kind::Binary) return Sw(0x6986);
    if (f->kind == Kind::PrivateKey) return Sw(0x6982);
    auto it = state_.files.find(FileKey(currentDf_, currentEf_));
    if (it == state_.files.end()) return Sw(0x6A83);
    return WithOk(it->second);
}

Bytes QsmCard::ListFiles(const Apdu& a)
{
    if (a.p1 != 0x02) return Sw(0x6A86);
    if (!a.data.empty()) return Sw(0x6700);
    std::vector<std::uint16_t> ids;
    for (const FileEntry& f : Tree())
        if (f.parent == currentDf_) ids.push_back(f.id);
    // At most 60 entries an answer; 8A 01 nn continues with entry nn (given as P2).
    Bytes out;
    std::size_t i = a.p2;
    for (; i < ids.size() && i < a.p2 + 60u; ++i)
        AppendTlv(out, 0x86, {static_cast<std::uint8_t>(ids[i] >> 8), static_cast<std::uint8_t>(ids[i])});
    if (i < ids.size()) AppendTlv(out, 0x8A, {static_cast<std::uint8_t>(i)});
    return WithOk(out);
}

Bytes QsmCard::Mse(const Apdu& a)
{
    keyReference_ = a.p2;
    return kOk;
}

EcKey QsmCard::KeyFor(std::uint8_t reference) const
{
    for (const char* id : {"20D1", "20D2", "20A1", "20A2"}) {
        if (FromHex(std::string(id).substr(2))[0] != reference) continue;
        auto it = state_.keys.find(id);
        if (it != state_.keys.end()) {
            Bytes both = FromHex(it->second);
            if (both.size() == 24 + 49)
                return EcKey::FromParts(Bytes(both.begin(), both.begin() + 24), Bytes(both.begin() + 24, both.end()));
        }
    }
    return Key();
}

Bytes QsmCard::Pso(const Apdu& a, bool chained)
{
    const std::uint16_t op = a.P1P2();
    if (op != 0x9E9A && op != 0x9080 && op != 0x00A8) return Sw(0x6A86);
    if (a.data.empty()) return Sw(0x6700);
    if (op != 0x9080 && keyReference_ < 0) return Sw(0x6985);
    Bytes signature;
    if (op == 0x00A8) {
        // Verification input: 9A with data, and in the last command 9E with the signature.
        auto fields = ParseTlvs(a.data);
        if (!fields) return Sw(0x6A80);
        for (const Tlv& t : *fields) {
            if (t.tag == kTagData) chain_ = Concat(chain_, t.value);
            else if (t.tag == kTagSignature) signature = t.value;
            else return Sw(0x6A80);
        }
    } else {
        chain_ = Concat(chain_, a.data);
    }
    if (chained) {
        if (chain_.size() > 16384) {
            chain_.clear();
            return Sw(0x6A84);
        }
        chainP1P2_ = op;
        return kOk;
    }
    Bytes data;
    data.swap(chain_);
    chainP1P2_ = 0;
    if (op == 0x9080) return WithOk(Sha1(data));
    const auto reference = static_cast<std::uint8_t>(keyReference_);
    const Bytes digest = DigestGiven(reference) ? data : Sha1(data);
    const EcKey key = KeyFor(reference);
    if (op == 0x9E9A) return WithOk(key.SignDigest(digest));
    return key.VerifyDigest(digest, signature) ? kOk : Sw(0x6A80);
}

Bytes QsmCard::GenerateKey(const Apdu& a, bool proprietary)
{
    // Version 2.2 cards take 80 46 (public file id, private file id); the others 00 47 with
    // 83 02 public file id and 84 02 private file id.
    const bool isV22 = std::string(config_.version->cardVersion) == "2.2";
    if (proprietary != isV22) return Sw(0x6D00);
    std::uint16_t pub = 0, priv = 0;
    if (proprietary) {
        if (a.data.size() != 4) return Sw(0x6700);
        priv = static_cast<std::uint16_t>(a.data[0] << 8 | a.data[1]);
        pub = static_cast<std::uint16_t>(a.data[2] << 8 | a.data[3]);
    } else {
        auto fields = ParseTlvs(a.data);
        if (!fields) return Sw(0x6700);
        for (const Tlv& t : *fields) {
            if (t.value.size() != 2) return Sw(0x6A80);
            const auto id = static_cast<std::uint16_t>(t.value[0] << 8 | t.value[1]);
            if (t.tag == 0x83) pub = id;
            else if (t.tag == 0x84) priv = id;
        }
    }
    const FileEntry* pf = FindFile(priv, 0xEC01);
    const FileEntry* qf = FindFile(pub, 0x1000);
    if (!pf || pf->kind != Kind::PrivateKey || !qf || qf->kind != Kind::Record || qf->parent != 0x1000)
        return Sw(0x6A82);
    const EcKey k = EcKey::Generate();
    state_.keys[ToHex({static_cast<std::uint8_t>(priv >> 8), static_cast<std::uint8_t>(priv)})] =
        ToHex(Concat(k.PrivateScalar(), k.PublicPoint()));
    Bytes record{0x86, 0, 25, 0};
    record = Concat(record, k.X());
    record = Concat(record, Bytes{25, 0});
    record = Concat(record, k.Y());
    record[1] = static_cast<std::uint8_t>(record.size() - 2);
    state_.files[FileKey(0x1000, pub)] = record;
    Save();
    return kOk;
}

Bytes QsmCard::IdentityFields() const
{
    Bytes out;
    AppendTlv(out, kTagTpId, Bytes(config_.tpId.begin(), config_.tpId.end()));
    AppendTlv(out, kTagTpIdNo, BigEndian32(config_.tpIdNo));
    return out;
}

namespace {

// Books the fields of one transaction; false when a field is malformed or one is missing.
bool BookTransaction(const std::vector<Tlv>& fields, Totals& t)
{
    bool date = false, time = false, hash = false, currency = false, training = false;
    Totals one;
    for (const Tlv& f : fields) {
        switch (f.tag) {
        case 0xCD:
            date = f.value.size() == 4 && ParseBcd(f.value);
            break;
        case 0xCE:
            time = f.value.size() == 2 && ParseBcd(f.value);
            break;
        case 0xC6:
            if (f.value.empty() || f.value.size() > 16) return false;
            break;
        case 0xC7:
            hash = f.value.size() == 20;
            break;
        case 0xC8:
            currency = f.value.size() == 2;
            break;
        case 0xC9:
            break;
        case 0xCA:
            training = true;
            break;
        default: {
            if (f.tag < 0xE1 || f.tag > 0xE8) return false;
            const int n = f.tag - 0xE0;
            auto inner = ParseTlvs(f.value);
            if (!inner || inner->empty()) return false;
            for (const Tlv& x : *inner) {
                if (x.tag == kTagVatRate) {
                    auto r = ParseBcd(x.value);
                    if (!r || x.value.size() != 2) return false;
                    one.rate[n] = static_cast<int>(*r);
                    continue;
                }
                auto v = ParseSignedBcd(x.value);
                if (!v) return false;
                if (x.tag == kTagTurnover) one.turnover[n] += *v;
                else if (x.tag == kTagTurnoverNeg) one.turnoverNeg[n] += *v;
                else if (x.tag != kTagVat) return false;
            }
            if (n >= 7) one.count[n] = 1;
        }
        }
    }
    if (!date || !time || !hash || !currency) return false;
    if (training) {
        Totals tr;
        for (int n = 1; n <= 8; ++n)
            tr.training += one.turnover[n];
        tr.trainingCount = 1;
        one = tr;
    }
    t.Add(one);
    return true;
}

void AppendAmount(Bytes& out, std::uint8_t tag, std::int64_t v) { AppendTlv(out, tag, SignedBcd(v)); }

// The containers of a report, as the register reads them.
Bytes ReportContainers(const Totals& t)
{
    Bytes out;
    for (int n = 1; n <= 6; ++n) {
        if (!t.turnover[n] && !t.turnoverNeg[n]) continue;
        Bytes c;
        AppendAmount(c, kTagTurnover, t.turnover[n]);
        if (t.turnoverNeg[n]) AppendAmount(c, kTagTurnoverNeg, t.turnoverNeg[n]);
        AppendTlv(c, kTagVatRate, Bcd(static_cast<std::uint32_t>(t.rate[n] < 0 ? 0 : t.rate[n]), 2));
        if (t.turnover[n] > kOverflowLimit || t.turnover[n] < -kOverflowLimit) AppendTlv(c, kTagOverflow, {});
        if (t.rateChanged[n]) AppendTlv(c, kTagVatChange, {});
        AppendTlv(out, static_cast<std::uint8_t>(0xE0 + n), c);
    }
    auto counted = [&](std::uint8_t tag, std::int64_t turnover, std::uint32_t count, bool overflowField) {
        if (!turnover && !count) return;
        Bytes c;
        AppendAmount(c, kTagTurnover, turnover);
        AppendTlv(c, kTagCount, MinimalBigEndian(count));
        if (overflowField && (turnover > kOverflowLimit || turnover < -kOverflowLimit)) AppendTlv(c, kTagOverflow, {});
        AppendTlv(out, tag, c);
    };
    counted(0xE7, t.turnover[7], t.count[7], true);
    counted(0xE8, t.turnover[8], t.count[8], false);
    counted(kTagTraining, t.training, t.trainingCount, true);
    return out;
}

} // namespace

Bytes QsmCard::Transaction(const Apdu& a)
{
    if (a.data.empty()) return Sw(0x6700);
    if (a.p1 || a.p2) return Sw(0x6A86);
    if (state_.lifeCycle != kActive) return Sw(0x6985);
    auto fields = ParseTlvs(a.data);
    if (!fields) return Sw(0x6A80);
    Totals booked;
    if (!BookTransaction(*fields, booked)) return Sw(0x6A80);
    const std::uint32_t seq = ++state_.transactionSeq;
    booked.firstSeq = booked.lastSeq = seq;
    state_.day.Add(booked);
    // Signed: the command's data field followed by the response fields before the signature.
    Bytes response = IdentityFields();
    AppendTlv(response, kTagSeqTransaction, MinimalBigEndian(seq));
    const Bytes signedData = Concat(a.data, response);
    AppendTlv(response, kTagSignature, Key().Sign(signedData));
    if (config_.debugHash) AppendTlv(response, kTagDebugHash, Sha1(signedData));
    Save();
    return WithOk(response);
}

Bytes QsmCard::VerifyTransaction(const Apdu& a)
{
    if (a.data.empty()) return Sw(0x6700);
    // The transaction's data field, then response fields from the sequence number on (or the
    // whole response); missing identity fields are the card's own.
    std::size_t split = 0;
    while (split < a.data.size() && !IsResponseTag(a.data[split])) {
        if (split + 1 >= a.data.size()) return Sw(0x6A80);
        split += 2 + a.data[split + 1];
    }
    if (split > a.data.size()) return Sw(0x6A80);
    auto tail = ParseTlvs(a.data, split);
    if (!tail) return Sw(0x6A80);
    Bytes tpId, tpIdNo, seq, signature;
    for (const Tlv& t : *tail) {
        Bytes field;
        AppendTlv(field, t.tag, t.value);
        if (t.tag == kTagTpId) tpId = field;
        else if (t.tag == kTagTpIdNo) tpIdNo = field;
        else if (t.tag == kTagSeqTransaction) seq = field;
        else if (t.tag == kTagSignature) signature = t.value;
    }
    if (seq.empty() || signature.size() != 48) return Sw(0x6A80);
    const Bytes own = IdentityFields();
    if (tpId.empty()) tpId.assign(own.begin(), own.begin() + 2 + own[1]);
    if (tpIdNo.empty()) tpIdNo.assign(own.begin() + 2 + own[1], own.end());
    const Bytes signedData = Concat(Concat(Concat(Bytes(a.data.begin(), a.data.begin() + split), tpId), tpIdNo), seq);
    return Key().Verify(signedData, signature) ? kOk : Sw(0x6A80);
}

Bytes QsmCard::Report(const Apdu& a)
{
    if (a.data.empty()) return Sw(0x6700);
    if (a.p1 < 1 || a.p1 > 5 || a.p2) return Sw(0x6A86);
    auto fields = ParseTlvs(a.data);
    if (!fields) return Sw(0x6A80);
    std::optional<std::uint32_t> date, time, first, last;
    std::string pin;
    bool hasPin = false;
    std::size_t signedEnd = a.data.size(); // the PIN field is not signed
    for (const Tlv& f : *fields) {
        if (f.tag == 0xCD && f.value.size() == 4) date = ParseBcd(f.value);
        else if (f.tag == 0xCE && f.value.size() == 2) time = ParseBcd(f.value);
        else if (f.tag == kTagFirstMonth && f.value.size() == 3) first = ParseBcd(f.value);
        else if (f.tag == kTagLastMonth && f.value.size() == 3) last = ParseBcd(f.value);
        else if (f.tag == kTagPin) {
            pin.assign(f.value.begin(), f.value.end());
            hasPin = true;
            signedEnd = f.offset;
        } else return Sw(0x6A80);
    }
    if (!date || !time || (a.p1 == 3 && (!first || !last))) return Sw(0x6A80);

    if (a.p1 == 4) {
        if (state_.lifeCycle != kTransport) return Sw(0x6985);
        if (!hasPin || pin != config_.transportPin) return Sw(0x6982);
    } else if (state_.lifeCycle != kActive) {
        return Sw(0x6985);
    }

    Totals totals;
    switch (a.p1) {
    case 1: // signed daily report: closes the day and books it into its month
    case 5: // deactivation: the final closing
        totals = state_.day;
        if (!state_.startMonth) state_.startMonth = *date / 100;
        state_.months[*date / 100].Add(state_.day);
        state_.day = Totals();
        state_.lastClosing = *date;
        if (a.p1 == 5) state_.lifeCycle = kDeactivated;
        break;
    case 2:
        totals = state_.day;
        break; // unsigned: shows the running day
    case 3:
        for (const auto& [m, t] : state_.months)
            if (m >= *first && m <= *last) totals.Add(t);
        break;
    case 4:
        state_.lifeCycle = kActive;
        state_.startMonth = *date / 100;
        break;
    }
    const std::uint32_t seq = ++state_.reportSeq;

    Bytes response;
    AppendTlv(response, kTagLifeCycle, {state_.lifeCycle});
    response = Concat(response, IdentityFields());
    AppendTlv(response, kTagSeqReport, MinimalBigEndian(seq));
    if (totals.firstSeq) AppendTlv(response, kTagFirstSeq, MinimalBigEndian(totals.firstSeq));
    if (totals.lastSeq) AppendTlv(response, kTagLastSeq, MinimalBigEndian(totals.lastSeq));
    AppendTlv(response, kTagSeqTransaction, MinimalBigEndian(state_.transactionSeq));
    response = Concat(response, ReportContainers(totals));
    if (a.p1 != 2) {
        const Bytes signedData = Concat(Bytes(a.data.begin(), a.data.begin() + signedEnd), response);
        AppendTlv(response, kTagSignature, Key().Sign(signedData));
    }
    Save();
    if (response.size() > 256) return Sw(0x6A84);
    return WithOk(response);
}

} // namespace qsmsim
