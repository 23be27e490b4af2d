// The benchmarks' split of a program's own time. When the environment variable TILLORA_TIMES
// names a file mapping that a benchmark made (CounterCount 64-bit counters), every TTimeShare
// adds the time it lived, in performance-counter ticks, to its share's counter, and the mass
// run counts the receipts and the items it booked in the last two. Without the variable a
// TTimeShare costs one test of a pointer. Both deliverables compile this unit in, each opening
// the mapping for itself, so the card library's shares land in the same counters as the
// register's.
//
//     void TMonForm::AddLine(...) { UTimeShares::TTimeShare share(UTimeShares::CardMonitor); ... }
//
// A share nested in itself (a window procedure that sends itself a message) counts once, for
// its outermost scope; a share nested in another share of the same module counts only in the
// inner one (the outer one pauses meanwhile), so that the shares of one module never overlap.
// The mass run's steps (MassItems to MassProgress) split what the other shares leave of a
// receipt; the card's exchanges and the card library's share lie inside MassSigning.
#pragma once

namespace UTimeShares {

enum TShare {
    ReceiptMemo,
    RegisterMonitor,
    CardMonitor,
    Journals,
    MassItems,    // booking and cancelling the items of a receipt
    MassTotal,    // "Summe"
    MassSigning,  // the card's transaction and the finished receipt
    MassMessages, // the messages and painting between the steps
    MassProgress, // the progress bar and whatever else the loop does
    ShareCount
};
// The first of the mass run's steps; the shares before it are the windows and the journals.
constexpr int FirstMassStep = MassItems;
// The counters: the ticks of each share, then the booked receipts and items.
constexpr int ReceiptCounter = ShareCount;
constexpr int ItemCounter = ShareCount + 1;
constexpr int CounterCount = ShareCount + 2;

// Whether a benchmark is counting.
bool On();
// One more receipt booked by the mass run.
void CountReceipt();
// One more item booked (or cancelled) by the mass run.
void CountItem();

class TTimeShare {
public:
    explicit TTimeShare(TShare share);
    ~TTimeShare();
    TTimeShare(const TTimeShare&) = delete;
    TTimeShare& operator=(const TTimeShare&) = delete;

private:
    void Pause();
    void Resume();

    TShare share_;
    long long start_ = -1; // -1: not counted
    bool counted_ = false;
    TTimeShare* outer_ = nullptr;
};

} // namespace UTimeShares
