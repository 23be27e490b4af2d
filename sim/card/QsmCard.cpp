#include "sim/card/QsmCard.h"

#include "sim/card/Certificate.h"
#include "sim/card/Fields.h"
#include "sim/card/Fiscal.h"

#include <optional>
#include <vector>

namespace qsmsim {
namespace {

const CardVersion kVersions[] = {
    {"1.2/4.01", "1.2", "4.01", "70 04 0F 01 C8 03"},          {"1.2/4.01a", "1.2", "4.01a", "70 04 70 01 C8 04"},
    {"2.2/4.01a", "2.2", "4.01a", "70 04 72 10 C8 04"},        {"2.2/4.3", "2.2", "4.3", "70 04 72 80 C8 08 8F 01 01"},
    {"2.3/4.3b", "2.3", "4.3b", "70 04 70 23 C8 08 8F 01 01"},
};

// Tags of the card's own answer fields.
enum : std::uint8_t {
    kTagLifeCycle = 0xC1,
    kTagCardVersion = 0xC2,
    kTagTpId = 0xC4,
    kTagTpIdNo = 0xC5,
    kTagSeqTransaction = 0xCB,
    kTagSeqReport = 0xCC,
    kTagFirstSeq = 0xD2,
    kTagLastSeq = 0xD3,
    kTagSignature = 0x9E,
    kTagDebugHash = 0x9A,
    kTagData = 0x9A,
};

// The data of one answer: the reader takes at most 256 bytes and the status word.
constexpr std::size_t kMaxAnswer = 256;
constexpr std::size_t kSignatureField = 2 + 48;
// Data of one command chain (sign, verify, hash); an item list holds up to 32,737 bytes.
constexpr std::size_t kMaxChain = 65536;

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

bool IsResponseTag(std::uint8_t tag)
{
    return tag == kTagTpId || tag == kTagTpIdNo || tag == kTagSeqTransaction || tag == kTagSignature;
}

// A digest is given instead of data for key references 1x, 3x, A1 and A2 (hashing off the card).
bool DigestGiven(std::uint8_t reference)
{
    return (reference >> 4) == 1 || (reference >> 4) == 3 || reference == 0xA1 || reference == 0xA2;
}

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

std::string ConfigProblem(const CardConfig& config)
{
    const std::string& pin = config.transportPin;
    if (pin.size() != 6 || pin.find_first_not_of("0123456789") != std::string::npos)
        return "--pin takes exactly six digits";
    if (config.tpId.empty() || config.tpId.size() > kMaxTpId)
        return "--tpid takes 1 to " + std::to_string(kMaxTpId) + " characters";
    return {};
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
    if (a.data.empty() && op != 0x9080) return Sw(0x6700); // hashing nothing gives SHA-1 of nothing
    if (op != 0x9080 && keyReference_ < 0) return Sw(0x6985);
    Bytes signature;
    if (op == 0x00A8) {
        // Verification input: 9A with data, and in the last command 9E with the signature.
        auto fields = ParseTlvs(a.data);
        if (!fields) return Sw(0x6A80);
        for (const Tlv& t : *fields) {
            if (t.tag == kTagData) chain_.insert(chain_.end(), t.value.begin(), t.value.end());
            else if (t.tag == kTagSignature) signature = t.value;
            else return Sw(0x6A80);
        }
    } else {
        chain_.insert(chain_.end(), a.data.begin(), a.data.end());
    }
    if (chain_.size() > kMaxChain) {
        chain_.clear();
        chainP1P2_ = 0;
        return Sw(0x6A84);
    }
    if (chained) {
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

Bytes QsmCard::Transaction(const Apdu& a)
{
    if (a.data.empty()) return Sw(0x6700);
    if (a.p1 || a.p2) return Sw(0x6A86);
    if (state_.lifeCycle != kActive) return Sw(0x6985);
    auto booked = ReadTransaction(a.data);
    if (!booked) return Sw(0x6A80);
    // A card made active without an activation report starts with its first dated command.
    if (!state_.startMonth) state_.startMonth = booked->date / 100;
    const std::uint32_t seq = ++state_.transactionSeq;
    booked->totals.firstSeq = booked->totals.lastSeq = seq;
    state_.day.Add(booked->totals);
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
    const auto request = ReadReportRequest(a.data, a.p1);
    if (!request) return Sw(0x6A80);
    if (a.p1 == 4) {
        if (state_.lifeCycle != kTransport) return Sw(0x6985);
        if (request->pin != config_.transportPin) return Sw(0x6982);
    } else if (state_.lifeCycle != kActive) {
        return Sw(0x6985);
    }

    // The report is worked out on a copy: the card changes only when its answer fits.
    CardState next = state_;
    const std::uint32_t month = request->date / 100;
    if (!next.startMonth) next.startMonth = month;
    Totals totals;
    switch (a.p1) {
    case 1: // signed daily report: closes the day and books it into its month
    case 5: // deactivation: the final closing
        if (month < next.startMonth) return Sw(0x6A80); // no month before the card's start
        totals = next.day;
        next.months[month].Add(next.day);
        next.day = Totals();
        next.lastClosing = request->date;
        if (a.p1 == 5) next.lifeCycle = kDeactivated;
        break;
    case 2: // unsigned: shows the running day
        totals = next.day;
        break;
    case 3:
        for (const auto& [m, t] : next.months)
            if (m >= request->firstMonth && m <= request->lastMonth && m >= next.startMonth) totals.Add(t);
        break;
    case 4:
        next.lifeCycle = kActive;
        next.startMonth = month;
        break;
    }
    const std::uint32_t seq = ++next.reportSeq;

    Bytes response;
    AppendTlv(response, kTagLifeCycle, {next.lifeCycle});
    response = Concat(response, IdentityFields());
    AppendTlv(response, kTagSeqReport, MinimalBigEndian(seq));
    if (totals.firstSeq) AppendTlv(response, kTagFirstSeq, MinimalBigEndian(totals.firstSeq));
    if (totals.lastSeq) AppendTlv(response, kTagLastSeq, MinimalBigEndian(totals.lastSeq));
    AppendTlv(response, kTagSeqTransaction, MinimalBigEndian(next.transactionSeq));
    response = Concat(response, ReportContainers(totals));
    const bool isSigned = a.p1 != 2;
    if (response.size() + (isSigned ? kSignatureField : 0) > kMaxAnswer) return Sw(0x6A84);
    if (isSigned) AppendTlv(response, kTagSignature, Key().Sign(Concat(request->signedPart, response)));
    state_ = std::move(next);
    Save();
    return WithOk(response);
}

} // namespace qsmsim
