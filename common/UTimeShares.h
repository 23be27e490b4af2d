// The benchmarks' split of a program's own time. When the environment variable TILLORA_TIMES
// names a file mapping that a benchmark made (CounterCount 64-bit counters), every TTimeShare
// adds the time it lived, in performance-counter ticks, to its share's counter, and the mass
// run counts the receipts it booked in the last one. Without the variable
// a TTimeShare costs one test of a pointer. Both deliverables compile this unit in, each opening
// the mapping for itself, so the card library's shares land in the same counters as the
// register's.
//
//     void TMonForm::AddLine(...) { UTimeShares::TTimeShare share(UTimeShares::CardMonitor); ... }
//
// A share nested in itself (a window procedure that sends itself a message) counts once, for
// its outermost scope; a share nested in another share counts in both.
#pragma once

namespace UTimeShares {

enum TShare { ReceiptMemo, RegisterMonitor, CardMonitor, Journals, ShareCount };
// The counters: the ticks of each share, then the booked receipts.
constexpr int ReceiptCounter = ShareCount;
constexpr int CounterCount = ShareCount + 1;

// Whether a benchmark is counting.
bool On();
// One more receipt booked by the mass run.
void CountReceipt();

class TTimeShare {
public:
    explicit TTimeShare(TShare share);
    ~TTimeShare();
    TTimeShare(const TTimeShare&) = delete;
    TTimeShare& operator=(const TTimeShare&) = delete;

private:
    TShare share_;
    long long start_ = -1; // -1: not counted
};

} // namespace UTimeShares
