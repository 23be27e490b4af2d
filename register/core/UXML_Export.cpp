#include "register/core/UXML_Export.h"

#include <windows.h>

#include <exception>
#include <vector>

#include "common/UHexASCII.h"
#include "common/UTimeShares.h"
#include "gui/base/DateTime.h"
#include "gui/base/Streams.h"
#include "gui/base/SysUtils.h"
#include "register/core/UCard.h"
#include "register/core/UCardResponse.h"
#include "register/core/UFuncMon.h"
#include "register/core/ULang.h"
#include "register/core/UQR.h"
#include "register/core/URegisterCore.h"
#include "register/core/UTempExport.h"
#include "register/core/UXML_Scan.h"
#include "register/core/Ubase64.h"

namespace UXML_Export {

namespace {

// A response is read into at most this many bytes.
constexpr std::size_t MaxResponseBytes = 1024;

TJournalState& Journal() { return RegisterCore().Journal(); }

std::string ExeFolder()
{
    std::vector<char> buf(MAX_PATH);
    for (;;) {
        const DWORD n = GetModuleFileNameA(nullptr, buf.data(), static_cast<DWORD>(buf.size()));
        if (n < buf.size()) return ExtractFilePath(std::string(buf.data(), n));
        buf.resize(buf.size() * 2);
    }
}

// Removes a dated file that was just created and holds no journal.
void RemoveUnfinished(std::unique_ptr<TFileStream>& file, const std::string& name)
{
    file.reset();
    DeleteFileA(name.c_str());
}

// Creates the dated pair: S file, then L file, header and card parameter block. When the L file
// cannot be created, or the header or parameter block cannot be written, the files made are
// removed again and the pair stays unopened, so the next write starts anew.
void OpenDatedPair(TJournalState& j)
{
    std::string lName, sName;
    MakeJournalNames(lName, sName);
    auto s = std::make_unique<TFileStream>(sName, fmCreate);
    std::unique_ptr<TFileStream> l;
    try {
        l = std::make_unique<TFileStream>(lName, fmCreate);
    } catch (...) {
        RemoveUnfinished(s, sName);
        throw;
    }
    j.datedS = std::move(s);
    j.datedL = std::move(l);
    j.datedSName = sName;
    j.datedLName = lName;
    const std::size_t params = j.pendingParams.size();
    try {
        WriteJournal(JournalBoth, KindPlain, JournalHeader);
        WriteQsmParams();
    } catch (...) {
        RemoveUnfinished(j.datedS, j.datedSName);
        RemoveUnfinished(j.datedL, j.datedLName);
        j.datedSName.clear();
        j.datedLName.clear();
        j.pendingParams.resize(params);
        throw;
    }
}

void ToS(std::string_view text) { WriteJournal(JournalS, KindPending, text); }
void ToL(std::string_view text) { WriteJournal(JournalL, KindPending, text); }

std::string Base64(std::string_view bytes) { return Ubase64::Base64EncodeText(bytes); }

std::string Bytes(const std::uint8_t* bytes, int count)
{
    if (!bytes || count <= 0) return {};
    return std::string(reinterpret_cast<const char*>(bytes), static_cast<std::size_t>(count));
}

// The response text as bytes, two digits a byte, at most 1024 bytes.
std::string ResponseBytes(const std::string& hex)
{
    std::string bytes = UHexASCII::HexTextToBytes(hex);
    if (bytes.size() > MaxResponseBytes) bytes.resize(MaxResponseBytes);
    return bytes;
}

void AddQr(const std::string& bytes) { UQR::AddQrData(bytes.data(), bytes.size()); }

std::string Text(int n) { return ULang::GetText(n); }

void LogProblems(const UCardResponse::TParsedResponse& r)
{
    for (const std::string& problem : r.problems)
        UFuncMon::LogToMonitor("\t" + problem);
}

} // namespace

void WriteJournal(std::uint8_t target, std::uint8_t kind, std::string_view text)
{
    UTimeShares::TTimeShare share(UTimeShares::Journals);
    TJournalState& j = Journal();
    if (!j.datedS) OpenDatedPair(j);
    if (!text.empty()) {
        const std::int64_t sEnd = j.datedS->Position(), lEnd = j.datedL->Position();
        try {
            if (target & JournalS) j.datedS->WriteBuffer(text.data(), text.size());
            if (target & JournalL) j.datedL->WriteBuffer(text.data(), text.size());
        } catch (...) {
            // Whole or not at all: a part of an element would break the file for good.
            j.datedS->Truncate(sEnd);
            j.datedL->Truncate(lEnd);
            throw;
        }
    }
    if (kind == KindPending) {
        if (target & JournalS) j.pendingS += text;
        if (target & JournalL) j.pendingL += text;
    } else if (kind == KindParams) {
        if ((target & JournalS) || ((target & JournalL) && target != JournalBoth)) j.pendingParams += text;
    }
}

void MakeJournalNames(std::string& lName, std::string& sName)
{
    const std::string stem = ExeFolder() + "Journal\\" + FormatDateTime("yymmdd", Date()) + "XMLExpBak";
    for (int n = 1; n <= 99; ++n) {
        const std::string number = (n < 10 ? "0" : "") + std::to_string(n);
        const std::string l = stem + number + "L.xml";
        const std::string s = stem + number + "S.xml";
        if (!FileExists(l) && !FileExists(s)) {
            lName = l;
            sName = s;
            return;
        }
    }
    lName = stem + "L.xml";
    sName.clear();
}

void WriteQsmParams()
{
    const UCardResponse::TCardStatus& status = UCard::Status();
    const auto params = [](std::string_view text) { WriteJournal(JournalBoth, KindParams, text); };
    params("<qsmParams>");
    params("<qsmVersion>" + EscapeXmlText(status.version) + "</qsmVersion>");
    params("<tpId>" + EscapeXmlText(status.tpId) + "</tpId>");
    params("<tpIdNo>" + status.tpIdNo + "</tpIdNo>");
    params("<itemProfile>1</itemProfile>");
    if (UCard::CertificateText().empty()) UCard::ReadCertificate();
    params("<certificate>" + UCard::CertificateText() + "</certificate></qsmParams>");
}

void WriteItemHash(const std::uint8_t* bytes, int count)
{
    ToL(RegisterCore().ItemXml() + "<hashTransactionItems>");
    ToL(UHexASCII::RemoveBlanks(UHexASCII::BytesToHexText(Bytes(bytes, count))) + "</hashTransactionItems>");
}

void WriteTransactionRequest(const std::uint8_t* bytes, int count)
{
    const std::string data = Bytes(bytes, count);
    AddQr(data);
    ToS("<transactionRequest>" + Base64(data) + "</transactionRequest>");
}

void WriteTransactionResponse(std::string_view responseHex)
{
    ToS("<transactionResponse>");
    const std::string hex = UHexASCII::RemoveBlanks(responseHex);
    UFuncMon::LogToMonitor("\t" + Text(32) + ": " + hex);
    const std::string bytes = ResponseBytes(hex);
    AddQr(bytes);
    ToS(Base64(bytes) + "</transactionResponse></transactionEncoded>");

    const UCardResponse::TParsedResponse r = UCardResponse::ParseTransactionResponse(bytes, Text);
    ToL(r.journal);
    RegisterCore().TransactionText() += r.receipt;
    LogProblems(r);
    IRegisterHost& host = RegisterCore().Host();
    if (r.signature)
        host.AddSignatureToReceipt(reinterpret_cast<const std::uint8_t*>(r.signature->data()),
                                   static_cast<int>(r.signature->size()), false);
    else host.AddSignatureToReceipt(nullptr, 0, false);
    ToL("</transaction>");
    SyncJournal();
}

void WriteReportRequest(const std::uint8_t* command, int length)
{
    const std::string data = length > 6 ? Bytes(command + 5, length - 6) : std::string();
    AddQr(data);
    ToS("<reportEncoded><reportRequest>" + Base64(data) + "</reportRequest>");
}

void WriteReportResponse(std::string_view responseHex)
{
    const std::string hex = UHexASCII::RemoveBlanks(responseHex);
    const std::string bytes = ResponseBytes(hex);
    AddQr(bytes);
    ToS("<reportResponse>" + Base64(bytes) + "</reportResponse></reportEncoded>");
    UFuncMon::LogToMonitor("\t" + Text(32) + ": " + hex);

    const UCardResponse::TParsedResponse r = UCardResponse::ParseReportResponse(bytes, Text);
    ToL(r.journal);
    std::string& receipt = RegisterCore().TransactionText();
    receipt += r.receipt;
    LogProblems(r);
    IRegisterHost& host = RegisterCore().Host();
    host.SetReceiptText(receipt);
    if (r.signature)
        host.AddSignatureToReceipt(reinterpret_cast<const std::uint8_t*>(r.signature->data()),
                                   static_cast<int>(r.signature->size()), true);
    else host.AddSignatureToReceipt(nullptr, 0, true);
}

void ResetJournal()
{
    TJournalState& j = Journal();
    j.pendingS.clear();
    j.pendingL.clear();
    j.pendingParams.clear();
    j.exportS.clear();
    j.exportL.clear();
}

TJournalMark MarkJournal()
{
    TJournalState& j = Journal();
    if (!j.datedS) OpenDatedPair(j);
    return {j.datedS->Position(), j.datedL->Position(), j.pendingS.size(), j.pendingL.size()};
}

void RollBackJournal(const TJournalMark& mark)
{
    TJournalState& j = Journal();
    if (j.datedS && j.datedS->Position() > mark.s) j.datedS->Truncate(mark.s);
    if (j.datedL && j.datedL->Position() > mark.l) j.datedL->Truncate(mark.l);
    if (j.pendingS.size() > mark.pendingS) j.pendingS.resize(mark.pendingS);
    if (j.pendingL.size() > mark.pendingL) j.pendingL.resize(mark.pendingL);
}

void CloseJournal()
{
    TJournalState& j = Journal();
    std::exception_ptr failure;
    if (j.datedS) {
        try {
            WriteJournal(JournalBoth, KindPlain, RootCloseTag);
        } catch (...) {
            failure = std::current_exception();
        }
        j.datedS.reset();
        j.datedL.reset();
    }
    j.datedSName.clear();
    j.datedLName.clear();
    ResetJournal();
    RegisterCore().ItemXml().clear();
    if (failure) std::rethrow_exception(failure);
}

void SyncJournal()
{
    UTimeShares::TTimeShare share(UTimeShares::Journals);
    TJournalState& j = Journal();
    if (j.datedS) j.datedS->Flush();
    if (j.datedL) j.datedL->Flush();
}

namespace {

// An export file as the file steps see it.
class TStreamFile : public UTempExport::TByteFile {
public:
    explicit TStreamFile(TFileStream& stream) : stream_(stream) {}
    std::int64_t Size() override { return stream_.Size(); }
    std::size_t ReadAt(std::int64_t pos, char* buffer, std::size_t count) override
    {
        stream_.Seek(pos, soBeginning);
        return stream_.Read(buffer, count);
    }
    void WriteAt(std::int64_t pos, std::string_view bytes) override
    {
        stream_.Seek(pos, soBeginning);
        stream_.WriteBuffer(bytes.data(), bytes.size());
    }
    void Truncate(std::int64_t size) override
    {
        if (!stream_.Truncate(size)) throw EStreamError("Stream-Schreibfehler: " + stream_.FileName());
    }

private:
    TFileStream& stream_;
};

// One file of the export pair, open for the time of one step. Every write goes through `file`,
// which can put the file back as it was when it was opened.
struct TExportFile {
    TExportFile(const std::string& name, unsigned mode) : stream(name, mode), raw(stream), file(raw) {}
    TFileStream stream;
    TStreamFile raw;
    UTempExport::TUndoFile file;
    UTempExport::TRootScan scan;
    std::int64_t insertAt = 0;
    bool created = false; // made by this step (removed again when the step fails)
};

// Opens an existing export file; when it cannot be opened, creates it with the header and the
// close tag.
std::unique_ptr<TExportFile> OpenOrCreate(const std::string& name)
{
    if (FileExists(name)) {
        try {
            return std::make_unique<TExportFile>(name, fmOpenReadWrite);
        } catch (const EFOpenError&) {
        }
    }
    auto f = std::make_unique<TExportFile>(name, fmCreate);
    f->created = true;
    return f;
}

// A new file's header and close tag.
void WriteEmptyJournal(TExportFile& f) { f.file.WriteAt(0, std::string(JournalHeader) + std::string(RootCloseTag)); }

// The card parameter blocks of the pending parameter text into both files, each where its
// certificate is missing. The text stays pending for the run: a pair chosen later gets the
// block too, and a file that has it already gets nothing.
void Merge(const TJournalState& j, TExportFile& s, TExportFile& l)
{
    std::string params = j.pendingParams;
    UTempExport::TMergeTarget ts{s.file, s.scan, s.insertAt};
    UTempExport::TMergeTarget tl{l.file, l.scan, l.insertAt};
    UTempExport::MergeCertificates(params, ts, tl);
    s.insertAt = ts.insertAt;
    l.insertAt = tl.insertAt;
}

// Runs the writes of one step on the pair; when one fails (a full disk), both files are put
// back as they were before the step (files the step created are removed) and the error goes
// on. Writing whole, then flushing to the disk, counts as done.
template <class TSteps> void AllOrNothing(TExportFile& s, TExportFile& l, TSteps steps)
{
    try {
        steps();
        s.stream.Flush();
        l.stream.Flush();
    } catch (...) {
        for (TExportFile* f : {&s, &l}) {
            try {
                if (f->created) f->raw.Truncate(0);
                else f->file.Restore();
            } catch (const Exception&) {
                // the file is left as the failed write left it; the first error is the one told
            }
        }
        throw;
    }
}

void RemoveCreated(std::unique_ptr<TExportFile>& f)
{
    if (!f || !f->created) return;
    const std::string name = f->stream.FileName();
    f.reset();
    DeleteFileA(name.c_str());
}

} // namespace

void SetJournalFile(const std::string& chosen, bool isNew)
{
    TJournalState& j = Journal();
    std::string sName, lName;
    UTempExport::ExportPairNames(chosen, sName, lName);
    std::unique_ptr<TExportFile> s, l;
    try {
        if (isNew) {
            s = std::make_unique<TExportFile>(sName, fmCreate);
            s->created = true;
            l = std::make_unique<TExportFile>(lName, fmCreate);
            l->created = true;
        } else {
            s = OpenOrCreate(sName);
            l = OpenOrCreate(lName);
        }
        AllOrNothing(*s, *l, [&] {
            if (s->created) {
                WriteEmptyJournal(*s);
                s->insertAt = UTempExport::AppendPendingS(s->file, j.pendingS, s->scan);
            }
            if (l->created) {
                WriteEmptyJournal(*l);
                l->insertAt = UTempExport::AppendPendingL(l->file, j.pendingL, l->scan);
            }
            if (s->created && l->created) Merge(j, *s, *l);
        });
    } catch (...) {
        // No half-made pair: what this choice created goes again; the pair chosen before stays.
        RemoveCreated(s);
        RemoveCreated(l);
        throw;
    }
    j.exportS = sName;
    j.exportL = lName;
    if (s->created) j.pendingS.clear();
    if (l->created) j.pendingL.clear();
}

void FlushJournal()
{
    TJournalState& j = Journal();
    if (j.exportS.empty()) return;
    TExportFile s(j.exportS, fmOpenReadWrite);
    TExportFile l(j.exportL, fmOpenReadWrite);
    AllOrNothing(s, l, [&] {
        s.insertAt = UTempExport::AppendPendingS(s.file, j.pendingS, s.scan);
        l.insertAt = UTempExport::AppendPendingL(l.file, j.pendingL, l.scan);
        Merge(j, s, l);
    });
    j.pendingS.clear();
    j.pendingL.clear();
}

} // namespace UXML_Export
