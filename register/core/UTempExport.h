// The export journal pair at the file level: finding the root close tag of a journal file,
// inserting pending journal text directly before it, and adding the card parameter blocks that
// a file does not hold yet. The routines work on any byte file (TByteFile): the register hands
// them its open export files, the tests and the fuzzer a file in memory.
//
//   UTempExport::TMemoryFile s(text);
//   UTempExport::TRootScan scan;
//   const std::int64_t at = UTempExport::AppendPending(s, pendingS, scan);  // new close tag at `at`
//
// Writing never truncates: the inserted text overwrites the old close tag and what follows it
// and extends the file as far as needed.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace UTempExport {

// A file of the export pair as the routines see it. WriteAt may extend the file; errors are
// raised by the implementation.
class TByteFile {
public:
    virtual ~TByteFile() = default;
    virtual std::int64_t Size() = 0;
    // Reads up to count bytes at pos; returns the number read.
    virtual std::size_t ReadAt(std::int64_t pos, char* buffer, std::size_t count) = 0;
    virtual void WriteAt(std::int64_t pos, std::string_view bytes) = 0;
    // Cuts the file to size bytes (size <= Size()).
    virtual void Truncate(std::int64_t size) = 0;
};

// A file whose writes can be taken back: before a write reaches bytes the file held when this
// object was made, those bytes are kept, and Restore puts the file back as it was, byte for
// byte. Restoring first cuts the file to its old size and then writes the kept bytes inside
// it, so it needs no room beyond what the file had.
//
//   TUndoFile undo(file);
//   try { AppendPending(undo, pending, scan); ... } catch (...) { undo.Restore(); throw; }
class TUndoFile : public TByteFile {
public:
    explicit TUndoFile(TByteFile& file) : file_(file), size_(file.Size()), keptFrom_(size_) {}
    std::int64_t Size() override { return file_.Size(); }
    std::size_t ReadAt(std::int64_t pos, char* buffer, std::size_t count) override
    {
        return file_.ReadAt(pos, buffer, count);
    }
    void WriteAt(std::int64_t pos, std::string_view bytes) override;
    void Truncate(std::int64_t size) override;
    void Restore();

private:
    // Keeps the old bytes from pos on (up to the old size) before they change.
    void Keep(std::int64_t pos);
    TByteFile& file_;
    std::int64_t size_;     // the size the file had
    std::int64_t keptFrom_; // the old bytes from here to size_ are in kept_
    std::string kept_;
};

// A byte file held in memory.
class TMemoryFile : public TByteFile {
public:
    TMemoryFile() = default;
    explicit TMemoryFile(std::string bytes) : bytes_(std::move(bytes)) {}
    std::int64_t Size() override { return static_cast<std::int64_t>(bytes_.size()); }
    std::size_t ReadAt(std::int64_t pos, char* buffer, std::size_t count) override;
    void WriteAt(std::int64_t pos, std::string_view bytes) override;
    void Truncate(std::int64_t size) override { bytes_.resize(static_cast<std::size_t>(size)); }
    const std::string& Bytes() const { return bytes_; }

private:
    std::string bytes_;
};

constexpr std::string_view RootCloseTag = "</vantra>";

// What a scan of one journal file found.
struct TRootScan {
    // Position of the "<" of the first "</vantra>", or the file's size when there is none.
    std::int64_t rootEnd = 0;
    bool found = false;
    // ";" and then each certificateId value followed by ";" (ids A and B: ";A;B;").
    std::string certificateIds = ";";
    // The text of every certificate element before the root close tag, in file order.
    std::vector<std::string> certificates;
};

// Scans the file from its start up to the first "</vantra>" (whole tags, exact and
// case-sensitive); the file is read in blocks.
TRootScan FindRootEnd(TByteFile& file);

// Scans the file and writes pending + "</vantra>" at its root close tag (at its end when it
// has none). Returns the position where the new close tag begins; scan holds what the file
// held before the insertion.
std::int64_t AppendPending(TByteFile& file, std::string_view pending, TRootScan& scan);
inline std::int64_t AppendPendingS(TByteFile& s, std::string_view pendingS, TRootScan& scan)
{
    return AppendPending(s, pendingS, scan);
}
inline std::int64_t AppendPendingL(TByteFile& l, std::string_view pendingL, TRootScan& scan)
{
    return AppendPending(l, pendingL, scan);
}

// One file of the pair for MergeCertificates: the file, its scan and the position where its
// root close tag begins.
struct TMergeTarget {
    TByteFile& file;
    TRootScan& scan;
    std::int64_t insertAt;
};

// Consumes the pending parameter text block by block: a block is "<qsmParams>" through the
// next "</qsmParams>", keyed by the text of its certificate element (empty when it has none).
// A block whose certificate the file does not hold yet is written with "</vantra>" at the
// file's insertion position, which then moves past it; text before a block and a remainder
// without "</qsmParams>" are dropped. Every target gets each distinct block at most once.
void MergeCertificates(std::string& pendingParams, TMergeTarget& s, TMergeTarget& l);

// The names of the export pair for a chosen file: the "." that starts the extension is the
// last one of the file-name part (none: the end of the name); an upper-case "L" or "S" right
// before it is removed; "S" or "L" is placed there. "Kasse01L.xml", "Kasse01S.xml" and
// "Kasse01.xml" all give "Kasse01S.xml" / "Kasse01L.xml".
void ExportPairNames(std::string_view chosen, std::string& sName, std::string& lName);

} // namespace UTempExport
