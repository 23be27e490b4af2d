// Draws the symbols of 200 random links into pictures for an independent decoder: each link
// goes into qr_images\NNN.txt (its bytes) and its picture into qr_images\NNN.pgm (black modules
// on white, four modules of quiet zone, four pixels a module). The CTest step qrlib_decode then
// reads every picture with zbarimg and compares the text.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "qr/QRLib.h"

namespace {

constexpr int kQuietZone = 4;
constexpr int kScale = 4;
constexpr int kLinks = 200;

// A binary greyscale picture (PGM) of the symbol.
std::string Picture(const std::uint8_t* modules, int size)
{
    const int side = (size + 2 * kQuietZone) * kScale;
    std::string pgm = "P5\n" + std::to_string(side) + " " + std::to_string(side) + "\n255\n";
    for (int y = 0; y < side; ++y) {
        for (int x = 0; x < side; ++x) {
            const int row = y / kScale - kQuietZone, col = x / kScale - kQuietZone;
            const bool dark = row >= 0 && col >= 0 && row < size && col < size && (modules[row * size + col] & 1);
            pgm += static_cast<char>(dark ? 0 : 255);
        }
    }
    return pgm;
}

void WriteFile(const std::filesystem::path& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    ASSERT_TRUE(out.good()) << path.string();
}

} // namespace

TEST(QRLibImages, RandomLinksDrawnForTheDecoder)
{
    const std::filesystem::path folder = "qr_images";
    std::filesystem::remove_all(folder);
    ASSERT_TRUE(std::filesystem::create_directory(folder));
    const std::string alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-_=:/.?";
    std::mt19937 random(20240519);
    std::uniform_int_distribution<int> lengths(1, 600);
    std::uniform_int_distribution<std::size_t> letters(0, alphabet.size() - 1);
    for (int n = 0; n < kLinks; ++n) {
        std::string link(static_cast<std::size_t>(lengths(random)), ' ');
        for (char& c : link)
            c = alphabet[letters(random)];
        ASSERT_GT(CalculateQR(link.c_str()), 0) << link;
        std::int32_t size = 0;
        const std::uint8_t* modules = GetQR(&size);
        ASSERT_NE(modules, nullptr) << link;
        char name[8];
        std::snprintf(name, sizeof name, "%03d", n);
        WriteFile(folder / (std::string(name) + ".txt"), link);
        WriteFile(folder / (std::string(name) + ".pgm"), Picture(modules, size));
    }
}
