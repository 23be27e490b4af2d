// Fuzz target of the export pair's file steps: the input is split at its first 0 byte into a
// journal file and a pending text. The scan finds the first whole "</vantra>" (or the end),
// the insertion leaves the bytes before it, the pending text and a close tag, and the file's
// bytes after that unchanged; a second scan finds the new close tag. The merge of the pending
// text as parameter text ends, consumes it all and adds only whole blocks.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "register/core/UTempExport.h"

using namespace UTempExport;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::size_t cut = input.find('\0');
    const std::string file(input.substr(0, cut));
    const std::string pending(cut == std::string_view::npos ? std::string_view() : input.substr(cut + 1));

    TMemoryFile f(file);
    const TRootScan scan = FindRootEnd(f);
    const std::size_t first = file.find(RootCloseTag);
    if (scan.found != (first != std::string::npos)) std::abort();
    if (static_cast<std::size_t>(scan.rootEnd) != (scan.found ? first : file.size())) std::abort();
    if (scan.certificateIds.empty() || scan.certificateIds.front() != ';' || scan.certificateIds.back() != ';')
        std::abort();

    TRootScan after;
    const std::int64_t at = AppendPending(f, pending, after);
    const std::size_t p = static_cast<std::size_t>(scan.rootEnd);
    if (at != static_cast<std::int64_t>(p + pending.size())) std::abort();
    const std::string expected = pending + std::string(RootCloseTag);
    const std::string& out = f.Bytes();
    if (out.compare(0, p, file, 0, p) != 0 || out.compare(p, expected.size(), expected) != 0) std::abort();
    const std::size_t tail = p + expected.size();
    if (out.size() != std::max(file.size(), tail)) std::abort();
    if (tail < file.size() && out.compare(tail, std::string::npos, file, tail) != 0) std::abort();

    TMemoryFile other("<vantra></vantra>");
    TRootScan scanOther;
    TMergeTarget s{f, after, at};
    TMergeTarget l{other, scanOther, AppendPending(other, "", scanOther)};
    std::string params = pending;
    const std::size_t sizeBefore = out.size();
    MergeCertificates(params, s, l);
    if (!params.empty()) std::abort();
    if (f.Bytes().compare(0, static_cast<std::size_t>(at), out, 0, static_cast<std::size_t>(at)) != 0) std::abort();
    if (f.Bytes().size() < sizeBefore) std::abort();
    if (f.Bytes().compare(static_cast<std::size_t>(s.insertAt), 9, RootCloseTag) != 0) std::abort();
    if (other.Bytes().size() != static_cast<std::size_t>(l.insertAt) + 9) std::abort();
    return 0;
}
