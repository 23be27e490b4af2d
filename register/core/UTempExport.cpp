#include "register/core/UTempExport.h"

#include <algorithm>
#include <cstring>

namespace UTempExport {

namespace {

// Tags longer than this are none of the ones looked for; only the first bytes are kept.
constexpr std::size_t MaxTag = 24;
constexpr std::size_t ReadBlock = 64 * 1024;

constexpr std::string_view ParamsOpen = "<qsmParams>";
constexpr std::string_view ParamsClose = "</qsmParams>";
constexpr std::string_view CertOpen = "<certificate>";
constexpr std::string_view CertClose = "</certificate>";

bool Holds(const TRootScan& scan, const std::string& certificate)
{
    return std::find(scan.certificates.begin(), scan.certificates.end(), certificate) != scan.certificates.end();
}

std::string CertificateOf(std::string_view block)
{
    const std::size_t open = block.find(CertOpen);
    if (open == std::string_view::npos) return {};
    const std::size_t from = open + CertOpen.size();
    const std::size_t close = block.find(CertClose, from);
    return std::string(block.substr(from, close == std::string_view::npos ? std::string_view::npos : close - from));
}

} // namespace

std::size_t TMemoryFile::ReadAt(std::int64_t pos, char* buffer, std::size_t count)
{
    if (pos < 0 || static_cast<std::uint64_t>(pos) >= bytes_.size()) return 0;
    const std::size_t n = std::min(count, bytes_.size() - static_cast<std::size_t>(pos));
    std::memcpy(buffer, bytes_.data() + pos, n);
    return n;
}

void TMemoryFile::WriteAt(std::int64_t pos, std::string_view bytes)
{
    const std::size_t at = static_cast<std::size_t>(pos);
    if (bytes_.size() < at + bytes.size()) bytes_.resize(at + bytes.size());
    std::memcpy(bytes_.data() + at, bytes.data(), bytes.size());
}

void TUndoFile::Keep(std::int64_t pos)
{
    pos = std::max<std::int64_t>(pos, 0);
    if (pos >= keptFrom_) return;
    std::string old(static_cast<std::size_t>(keptFrom_ - pos), '\0');
    std::size_t got = 0;
    while (got < old.size()) {
        const std::size_t n = file_.ReadAt(pos + static_cast<std::int64_t>(got), old.data() + got, old.size() - got);
        if (n == 0) break;
        got += n;
    }
    old.resize(got);
    kept_ = old + kept_;
    keptFrom_ = pos;
}

void TUndoFile::WriteAt(std::int64_t pos, std::string_view bytes)
{
    Keep(pos);
    file_.WriteAt(pos, bytes);
}

void TUndoFile::Truncate(std::int64_t size)
{
    Keep(size);
    file_.Truncate(size);
}

void TUndoFile::Restore()
{
    if (file_.Size() > size_) file_.Truncate(size_);
    if (!kept_.empty()) file_.WriteAt(keptFrom_, kept_);
    kept_.clear();
    keptFrom_ = size_;
}

TRootScan FindRootEnd(TByteFile& file)
{
    TRootScan scan;
    const std::int64_t size = file.Size();
    std::string tag; // the tag being read ("<" ... ), its first MaxTag bytes
    std::size_t tagLength = 0;
    enum { None, InId, InCertificate } inText = None;
    std::string text; // the character data after <certificateId> or <certificate>
    // Blocks of at most ReadBlock bytes; a small file takes a small buffer.
    std::vector<char> block(static_cast<std::size_t>(std::clamp<std::int64_t>(size, 1, ReadBlock)));
    std::int64_t pos = 0;
    while (pos < size) {
        const std::size_t n = file.ReadAt(pos, block.data(), block.size());
        if (n == 0) break;
        for (std::size_t k = 0; k < n; ++k) {
            const char c = block[k];
            if (c == '<') {
                if (inText == InId) scan.certificateIds += text + ";";
                else if (inText == InCertificate) scan.certificates.push_back(text);
                inText = None;
                text.clear();
                tag = "<";
                tagLength = 1;
                continue;
            }
            if (tagLength == 0) {
                if (inText != None) text += c;
                continue;
            }
            ++tagLength;
            if (tag.size() < MaxTag) tag += c;
            if (c != '>') continue;
            if (tagLength == tag.size()) {
                if (tag == RootCloseTag) {
                    scan.rootEnd = pos + static_cast<std::int64_t>(k + 1 - tag.size());
                    scan.found = true;
                    return scan;
                }
                if (tag == "<certificateId>") inText = InId;
                else if (tag == CertOpen) inText = InCertificate;
            }
            tag.clear();
            tagLength = 0;
        }
        pos += static_cast<std::int64_t>(n);
    }
    scan.rootEnd = pos;
    return scan;
}

std::int64_t AppendPending(TByteFile& file, std::string_view pending, TRootScan& scan)
{
    scan = FindRootEnd(file);
    std::string text(pending);
    text += RootCloseTag;
    file.WriteAt(scan.rootEnd, text);
    return scan.rootEnd + static_cast<std::int64_t>(pending.size());
}

void MergeCertificates(std::string& pendingParams, TMergeTarget& s, TMergeTarget& l)
{
    while (!pendingParams.empty()) {
        const std::size_t open = pendingParams.find(ParamsOpen);
        const std::size_t close = open == std::string::npos ? open : pendingParams.find(ParamsClose, open);
        if (close == std::string::npos) {
            pendingParams.clear();
            return;
        }
        const std::size_t end = close + ParamsClose.size();
        const std::string block = pendingParams.substr(open, end - open);
        pendingParams.erase(0, end);
        const std::string certificate = CertificateOf(block);
        for (TMergeTarget* t : {&s, &l}) {
            if (Holds(t->scan, certificate)) continue;
            t->file.WriteAt(t->insertAt, block + std::string(RootCloseTag));
            t->insertAt += static_cast<std::int64_t>(block.size());
            t->scan.certificates.push_back(certificate);
        }
    }
}

void ExportPairNames(std::string_view chosen, std::string& sName, std::string& lName)
{
    const std::size_t slash = chosen.find_last_of("\\/");
    const std::size_t nameStart = slash == std::string_view::npos ? 0 : slash + 1;
    std::size_t dot = chosen.rfind('.');
    if (dot == std::string_view::npos || dot < nameStart) dot = chosen.size();
    std::size_t stemEnd = dot;
    if (stemEnd > nameStart && (chosen[stemEnd - 1] == 'L' || chosen[stemEnd - 1] == 'S')) --stemEnd;
    const std::string stem(chosen.substr(0, stemEnd));
    const std::string extension(chosen.substr(dot));
    sName = stem + "S" + extension;
    lName = stem + "L" + extension;
}

} // namespace UTempExport
