// A host that unloads the card library while a reader is watched, and a card that comes and
// goes afterwards: the library's card events keep running (it stays in memory once a reader
// has been watched), the host's window gets its messages, and the thread is never held up.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <functional>
#include <memory>

#include "tests/support/MessageHost.h"
#include "tests/support/QsmToolDll.h"
#include "tests/support/SimCard.h"

namespace {

constexpr UINT kCardInserted = 0x401;
constexpr UINT kCardRemoved = 0x402;

// Pumps until the predicate holds (hang guard), keeping the longest time one message took.
bool PumpUntil(const std::function<bool()>& done, DWORD ms, DWORD& longest)
{
    const DWORD end = GetTickCount() + ms;
    while (!done()) {
        if (static_cast<LONG>(end - GetTickCount()) <= 0) return false;
        MSG m;
        while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
            const DWORD start = GetTickCount();
            TranslateMessage(&m);
            DispatchMessageA(&m);
            longest = std::max(longest, GetTickCount() - start);
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
    return true;
}

} // namespace

TEST(CardUnload, CardEventsAfterTheLibraryWasUnloadedNeitherCrashNorStall)
{
    const int port = SimCard::FreePort();
    SimCard::UseReaders({{"Sim Reader", port}});
    SimCard card(port, "--fresh active");
    MessageHost host;
    DWORD longest = 0;
    for (int round = 1; round <= 20; ++round) {
        SCOPED_TRACE(round);
        auto qsm = std::make_unique<QsmToolDll>();
        qsm->SET_APPL_HANDLE(host.Handle());
        qsm->START_CARD(); // the reader listens from the first card start on
        ASSERT_TRUE(card.Insert());
        ASSERT_TRUE(MessageHost::PumpUntil([&] { return card.Plugged(); }, 20000));
        ASSERT_TRUE(MessageHost::PumpUntil([&] { return qsm->START_CARD() == 0; }, 10000));
        MessageHost::Pump(700); // the debounced report of this start
        qsm.reset();            // FreeLibrary while the reader is watched
        host.Clear();
        card.ClearLog();

        // The card goes: the removal is reported at once.
        card.Remove();
        ASSERT_TRUE(PumpUntil([&] { return host.Count(kCardRemoved) == 1; }, 10000, longest));
        // It comes back: the library starts it on its own and reports it after the debounce.
        ASSERT_TRUE(card.Insert());
        ASSERT_TRUE(PumpUntil([&] { return host.Count(kCardInserted) == 1; }, 20000, longest));
        EXPECT_EQ(host.Count(kCardRemoved), 1);
        const auto commands = card.Commands(); // the library's card start reached the card
        ASSERT_FALSE(commands.empty());
        EXPECT_EQ(commands.front(), "A0 A4 00 00 02 7F 20");
        card.Remove();
        ASSERT_TRUE(PumpUntil([&] { return host.Count(kCardRemoved) == 2; }, 10000, longest));
    }
    EXPECT_LT(longest, 1000u);
    // Loaded again, the library works as before.
    auto qsm = std::make_unique<QsmToolDll>();
    ASSERT_TRUE(card.Insert());
    ASSERT_TRUE(MessageHost::PumpUntil([&] { return qsm->START_CARD() == 0; }, 20000));
    const char* out = nullptr;
    EXPECT_EQ(qsm->SEND_CARD_APDU("00 A4 00 0C 02 3F 00", &out), 0);
    EXPECT_STREQ(out, "90 00");
    qsm->SET_APPL_HANDLE(nullptr);
}
