#include <gtest/gtest.h>

#include <string>

#include "gui/base/SysUtils.h"
#include "register/core/UFuncMon.h"
#include "register/core/ULang.h"
#include "register/core/URegisterCore.h"

namespace {

class TRecordingHost : public IRegisterHost {
public:
    std::string calls;
    double GetVatRate(int vatClass) override
    {
        calls += "rate" + std::to_string(vatClass) + ";";
        return vatClass == 1 ? 0.19 : 0;
    }
    std::string GetOperatorName() override { return "ich"; }
    bool IsTaxExclusive() override { return true; }
    void AddHashToReceipt(const std::uint8_t*, int length, bool force) override
    {
        calls += "hash" + std::to_string(length) + (force ? "!" : "") + ";";
    }
    void AddSignatureToReceipt(const std::uint8_t*, int length, bool force) override
    {
        calls += "sig" + std::to_string(length) + (force ? "!" : "") + ";";
    }
    void NewReceipt() override { calls += "new;"; }
    void SetReceiptColor(std::int32_t color) override { calls += "color" + IntToHex(color, 6) + ";"; }
    void SetReceiptText(const std::string& text) override { calls += "text:" + text + ";"; }
};

} // namespace

TEST(RegisterCore, OneCoreAtATimeAndNothingWithoutIt)
{
    EXPECT_EQ(TRegisterCore::Current(), nullptr);
    EXPECT_THROW(RegisterCore(), EInvalidOperation);
    EXPECT_THROW(UFuncMon::LogToMonitor("x"), EInvalidOperation);
    EXPECT_THROW(ULang::GetText(1), EInvalidOperation);
    {
        TRegisterCore core;
        EXPECT_EQ(&RegisterCore(), &core);
        EXPECT_THROW(TRegisterCore second, EInvalidOperation);
        EXPECT_EQ(&RegisterCore(), &core);
    }
    EXPECT_EQ(TRegisterCore::Current(), nullptr);
}

TEST(RegisterCore, EachCoreStartsAfresh)
{
    {
        TRegisterCore core;
        UFuncMon::LogToMonitor("\tDatum: 20241231");
        core.Languages().Load("English", ULang::TLangFile("C:\\no such folder\\lang.ini"));
        EXPECT_EQ(core.MonitorLog().Text(), "\tDatum: 20241231");
    }
    TRegisterCore core;
    EXPECT_EQ(UFuncMon::MonitorLog().Text(), "");
    EXPECT_EQ(ULang::Languages().Current(), "Deutsch");
    EXPECT_EQ(core.Clock().DayOffset(), 0.0);
    EXPECT_EQ(core.DebugWindow(), nullptr);
}

TEST(RegisterCore, TheHostIsReachedOnlyOnceGiven)
{
    TRegisterCore core;
    EXPECT_FALSE(core.HasHost());
    EXPECT_THROW(core.Host(), EInvalidOperation);
    TRecordingHost host;
    core.SetHost(&host);
    IRegisterHost& h = RegisterCore().Host();
    EXPECT_EQ(h.GetVatRate(1), 0.19);
    EXPECT_EQ(h.GetVatRate(7), 0.0);
    EXPECT_EQ(h.GetOperatorName(), "ich");
    EXPECT_TRUE(h.IsTaxExclusive());
    const std::uint8_t hash[20] = {};
    h.AddHashToReceipt(hash, 20, false);
    h.AddSignatureToReceipt(nullptr, 0, true);
    h.NewReceipt();
    h.SetReceiptColor(0xD7F1E7);
    h.SetReceiptText("a\r\nb");
    EXPECT_EQ(host.calls, "rate1;rate7;hash20;sig0!;new;colorD7F1E7;text:a\r\nb;");
    core.SetHost(nullptr);
    EXPECT_THROW(core.Host(), EInvalidOperation);
}
