// Loads the real QsmTool.dll the way any host would.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "tests/support/ProcAddress.h"

namespace {

using HexToDecFn = void(__stdcall*)(const char**, const char*);

class QsmToolDll : public ::testing::Test {
protected:
    void SetUp() override
    {
        dll_ = LoadLibraryA("QsmTool.dll");
        ASSERT_NE(dll_, nullptr) << "QsmTool.dll not found beside the test";
    }
    void TearDown() override
    {
        if (dll_) FreeLibrary(dll_);
    }
    HMODULE dll_ = nullptr;
};

std::string Call(HexToDecFn fn, const char* hex)
{
    const char* out = nullptr;
    fn(&out, hex);
    return out ? out : "<null>";
}

} // namespace

TEST_F(QsmToolDll, HexToDecByNameAndByOrdinal)
{
    auto byName = ProcAddress<HexToDecFn>(dll_, "HEX_TO_DEC");
    auto byOrdinal = ProcAddress<HexToDecFn>(dll_, MAKEINTRESOURCEA(70));
    ASSERT_NE(byName, nullptr);
    ASSERT_EQ(byName, byOrdinal);
    EXPECT_EQ(Call(byName, "FF"), "255");
    EXPECT_EQ(Call(byOrdinal, "10000000000000000"), "18446744073709551616");
    EXPECT_EQ(Call(byName, "00FF"), "0255");
    EXPECT_EQ(Call(byName, ""), "");
    EXPECT_EQ(Call(byName, nullptr), "");
    // 128 hex digits: 2 to the power of 512, minus 1.
    EXPECT_EQ(
        Call(byName, std::string(128, 'F').c_str()),
        "13407807929942597099574024998205846127479365820592393377723561443721764030073546976801874298166903427690031"
        "858186486050853753882811946569946433649006084095");
}

TEST_F(QsmToolDll, EveryExportHasItsOrdinal)
{
    const struct {
        const char* name;
        int ordinal;
    } table[] = {
        {"SIGN", 1},
        {"VERIFY", 2},
        {"SEND_CARD_APDU", 10},
        {"GET_CARDSYS_INFO", 11},
        {"LIST_KORVA_FILES", 12},
        {"GENERATE_KEY", 20},
        {"IMPORT_KEY", 21},
        {"EXPORT_KEY", 22},
        {"IMPORT_KEY_FROMFILE", 30},
        {"EXPORT_KEY_TOFILE", 31},
        {"SIGN_FILE", 32},
        {"VERIFY_FILE", 33},
        {"WRITE_CERT", 34},
        {"READ_CERT", 35},
        {"HASH_DATA", 36},
        {"SET_DEBUGWINDOW", 40},
        {"TYPE_DEBUGWINDOW", 41},
        {"TYPECL_DEBUGWINDOW", 42},
        {"RESET_DEBUGWINDOW", 43},
        {"START_CARD", 50},
        {"RESET_CARD", 51},
        {"DISCONNECT_CARD", 52},
        {"HEX_TO_DEC", 70},
        {"STATE_SEND_CARD_APDU", 80},
        {"SW_VERSION", 100},
        {"SET_APPL_HANDLE", 101},
    };
    for (const auto& e : table) {
        FARPROC byName = GetProcAddress(dll_, e.name);
        EXPECT_NE(byName, nullptr) << e.name;
        EXPECT_EQ(byName, GetProcAddress(dll_, MAKEINTRESOURCEA(e.ordinal))) << e.name;
    }
}

TEST_F(QsmToolDll, SoftwareVersion)
{
    auto fn = ProcAddress<void(__stdcall*)(const char**)>(dll_, "SW_VERSION");
    ASSERT_NE(fn, nullptr);
    const char* out = nullptr;
    fn(&out);
    EXPECT_STREQ(out, "Version 0.2 / 12.8.09");
}
