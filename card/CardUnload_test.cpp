// A host that unloads the card library while a card is connected and then pulls the card.
#include <gtest/gtest.h>

#include <memory>

#include "tests/support/MessageHost.h"
#include "tests/support/QsmToolDll.h"
#include "tests/support/SimCard.h"

TEST(CardUnload, UnloadingWhileTheReaderIsWatchedDoesNotCrashLaterEvents)
{
    const int port = SimCard::FreePort();
    SimCard::UseReaders({{"Sim Reader", port}});
    SimCard card(port, "--fresh active");
    auto qsm = std::make_unique<QsmToolDll>();
    qsm->START_CARD(); // the readers come up
    ASSERT_TRUE(card.Insert());
    ASSERT_TRUE(MessageHost::PumpUntil([&] { return card.Plugged(); }, 20000));
    ASSERT_TRUE(MessageHost::PumpUntil([&] { return qsm->START_CARD() == 0; }, 10000));
    qsm.reset();
    // The card goes while the watch of the unloaded library still runs.
    card.Remove();
    MessageHost::Pump(1500);
    // Loaded again, the library works as before.
    qsm = std::make_unique<QsmToolDll>();
    ASSERT_TRUE(card.Insert());
    EXPECT_TRUE(MessageHost::PumpUntil([&] { return qsm->START_CARD() == 0; }, 20000));
    const char* out = nullptr;
    EXPECT_EQ(qsm->SEND_CARD_APDU("00 A4 00 0C 02 3F 00", &out), 0);
    EXPECT_STREQ(out, "90 00");
}
