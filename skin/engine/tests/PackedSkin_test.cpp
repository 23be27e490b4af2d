// The packer tool, run at build time on tests/PackedSkin, and the reader agree: every file of
// the folder comes back byte-equal, "Options.dat" first, the rest in name order.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <memory>
#include <string>

#include "skin/engine/vxSkinConvertor.h"

namespace {

std::string FileBytes(const std::string& name)
{
    std::ifstream f(name, std::ios::binary);
    EXPECT_TRUE(f.good()) << name;
    return std::string(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
}

} // namespace

TEST(PackedSkin, PackerToolAndReaderAgree)
{
    const std::string folder = std::string(TILLORA_SOURCE_DIR) + "/skin/engine/tests/PackedSkin/";
    auto packed = std::make_unique<TMemoryStream>();
    packed->WriteString(FileBytes(PACKED_SKIN_FILE));
    TvxSkinConvertor c;
    c.SetPackedData(std::move(packed));
    c.Extract();
    ASSERT_TRUE(c.Options);
    EXPECT_EQ(c.Options->DataString(), FileBytes(folder + "Options.dat"));
    EXPECT_EQ(c.ImageCount, 3);
    ASSERT_EQ(c.Files.size(), 3u);
    const char* names[] = {"Glyph.png", "Master.Bmp", "Notes"};
    const bool bitmaps[] = {false, true, false};
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(c.Files[i].FileName, names[i]);
        EXPECT_EQ(c.Files[i].IsBitmap, bitmaps[i]);
        EXPECT_EQ(c.Files[i].Data->DataString(), FileBytes(folder + names[i])) << names[i];
    }
}
