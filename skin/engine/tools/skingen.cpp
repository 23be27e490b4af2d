// skingen: writes the test skins of TestSkinLayout.h into a folder, at build time.
//   skingen OUTPUT-FOLDER
// Every skin becomes OUTPUT-FOLDER/<Name>/ with its "Options.dat" and picture files, packed
// skins also OUTPUT-FOLDER/<Name>.vtz, and the probe skins beside them; OUTPUT-FOLDER/skingen.stamp
// is written last. Pictures
// are painted in the colour coding the layout describes; BMP files are written here, PNG with
// zlib, JPEG with libjpeg. It runs on the build machine.
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include <jpeglib.h>
#include <zlib.h>

#include "skin/engine/tools/PictureFiles.h"
#include "skin/engine/tools/TestSkinLayout.h"
#include "skin/engine/tools/VtzWriter.h"

namespace fs = std::filesystem;
using namespace testskins;
using namespace pictures;

namespace {

// Paints image im at (x0, y0) of the picture, its rectangle's size, in the colour coding.
void PaintCoded(TPicture& p, int x0, int y0, const TTestImage& im)
{
    for (int y = 0; y < im.R.Bottom - im.R.Top; ++y)
        for (int x = 0; x < im.R.Right - im.R.Left; ++x) {
            const uint32_t c = CodedColor(im, x, y); // 0x00BBGGRR
            p.At(x0 + x, y0 + y) =
                Rgb(static_cast<int>(c & 0xFF), static_cast<int>(c >> 8 & 0xFF), static_cast<int>(c >> 16));
        }
}

// The files of a probe skin: its text and its master bitmap, which holds every probe image.
std::vector<vtz::Entry> ProbeFiles(const TProbeSkin& skin)
{
    TPicture master(ProbeMasterWidth, ProbeMasterHeight);
    for (int i = 0; i < ProbeImageCount; ++i) {
        const TTestImage im = ProbeTestImage(skin, i);
        PaintCoded(master, im.R.Left, im.R.Top, im);
    }
    return {{"Options.dat", ProbeOptions(skin), 9}, {"Master.bmp", Bmp(master, 24, false), 9}};
}

// A baseline JPEG of a flat picture in the colour (RGB).
std::string Jpeg(int size, uint32_t rgb)
{
    jpeg_compress_struct info{};
    jpeg_error_mgr err{};
    info.err = jpeg_std_error(&err);
    jpeg_create_compress(&info);
    unsigned char* out = nullptr;
    unsigned long outSize = 0;
    jpeg_mem_dest(&info, &out, &outSize);
    info.image_width = static_cast<JDIMENSION>(size);
    info.image_height = static_cast<JDIMENSION>(size);
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 95, TRUE);
    jpeg_start_compress(&info, TRUE);
    std::vector<unsigned char> row(static_cast<size_t>(size) * 3);
    for (int x = 0; x < size; ++x) {
        row[static_cast<size_t>(x) * 3] = static_cast<unsigned char>(rgb >> 16);
        row[static_cast<size_t>(x) * 3 + 1] = static_cast<unsigned char>(rgb >> 8);
        row[static_cast<size_t>(x) * 3 + 2] = static_cast<unsigned char>(rgb);
    }
    while (info.next_scanline < info.image_height) {
        JSAMPROW r = row.data();
        jpeg_write_scanlines(&info, &r, 1);
    }
    jpeg_finish_compress(&info);
    std::string s(reinterpret_cast<char*>(out), outSize);
    jpeg_destroy_compress(&info);
    std::free(out);
    return s;
}

// The skin text with the lowest bit of every "COLOR=" value turned over (the packed variants).
std::string OtherColours(const std::string& text)
{
    std::string out;
    size_t at = 0;
    while (at < text.size()) {
        size_t end = text.find('\n', at);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(at, end - at);
        if (line.rfind("COLOR=", 0) == 0) line = "COLOR=" + std::to_string(std::stol(line.substr(6)) ^ 1);
        out += line + (end < text.size() ? "\n" : "");
        at = end + 1;
    }
    return out;
}

// Every image of the skin stands in its text, in the order of the layout table.
void CheckOrder(const TTestSkin& skin)
{
    const std::string text = std::string("\n") + skin.Options;
    size_t last = 0;
    for (const TTestImage& im : Images) {
        if (std::string(im.Skin) != skin.Name) continue;
        const size_t section = text.find(std::string("\n[") + im.Section + "]\n");
        const size_t line = text.find(std::string("\n") + im.Key + "=" + im.Value + "\n", std::max(section, last));
        if (section == std::string::npos || line == std::string::npos)
            throw std::runtime_error(std::string("layout: ") + skin.Name + " " + im.Section + " " + im.Key);
        last = line + 1;
    }
}

// The files of a skin folder, "Options.dat" first.
std::vector<vtz::Entry> SkinFiles(const TTestSkin& skin)
{
    std::vector<vtz::Entry> files;
    if (skin.Options) files.push_back({"Options.dat", skin.Options, 9});
    const std::string name = skin.Name;
    const bool damaged = name == "Damaged";
    if (name == "Masks" || damaged) {
        const int size = damaged ? DamagedMasterSize : 0;
        TPicture master(damaged ? size : MasterWidth, damaged ? size : MasterHeight);
        for (const TTestImage& im : Images)
            if (name == im.Skin && im.Id != 0 && !im.File) PaintCoded(master, im.R.Left, im.R.Top, im);
        files.push_back({"Master.bmp", Bmp(master, 24, false), 9});
        for (const TTestImage& im : Images) {
            if (name != im.Skin || !im.File) continue;
            TPicture own(im.R.Right, im.R.Bottom);
            PaintCoded(own, 0, 0, im);
            files.push_back({im.File, im.FileBits == 0 ? Png(own) : Bmp(own, im.FileBits, im.TopDown), 9});
        }
    }
    if (name == "Masks") files.push_back({"Texture.jpg", Jpeg(PatternSize, PatternRGB), 9});
    if (damaged) {
        const std::string good = Jpeg(PatternSize, PatternRGB);
        files.push_back({"Good.jpg", good, 9});
        files.push_back({"tex.jpg", good, 9});
        files.push_back({"Broken.jpg", good.substr(0, good.size() / 2), 9});
        files.push_back({"Empty.bmp", Bmp(TPicture(0, 4), 24, false), 9});
        files.push_back({"Broken.bmp", "BM this is no bitmap", 9});
        files.push_back({"Short.bmp", Bmp(TPicture(4, 4), 24, false).substr(0, 30), 9});
        TPicture dot(4, 4);
        const std::string png = Png(dot);
        files.push_back({"Broken.png", png.substr(0, png.size() - 20), 9});
    }
    return files;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::cerr << "usage: skingen OUTPUT-FOLDER\n";
        return 2;
    }
    try {
        const fs::path out = argv[1];
        fs::remove_all(out);
        fs::create_directories(out);
        std::string masksPacked;
        for (const TTestSkin& skin : Skins) {
            if (skin.Options) CheckOrder(skin);
            const fs::path folder = out / skin.Name;
            fs::create_directories(folder);
            std::vector<vtz::Entry> files = SkinFiles(skin);
            for (const vtz::Entry& e : files)
                Write(folder / e.name, e.data);
            if (skin.Packed) {
                files[0].data = OtherColours(files[0].data);
                const std::string packed = vtz::Pack(files);
                Write(out / (std::string(skin.Name) + ".vtz"), packed);
                if (std::string(skin.Name) == "Masks") masksPacked = packed;
            }
        }
        Write(out / "Broken.vtz", masksPacked.substr(0, masksPacked.size() / 2));
        for (const TProbeSkin& skin : ProbeSkins) {
            const fs::path folder = out / skin.Name;
            fs::create_directories(folder);
            for (const vtz::Entry& e : ProbeFiles(skin))
                Write(folder / e.name, e.data);
        }
        Write(out / "skingen.stamp", "");
    } catch (const std::exception& e) {
        std::cerr << "skingen: " << e.what() << "\n";
        return 1;
    }
    return 0;
}
