// Test helper for the portable skin loaders: an image source without pictures. Files have the
// sizes the test gives them; every request is noted. Own bitmaps are stand-in pointers that
// the portable code keeps but never reads.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "gui/base/MemIniFile.h"
#include "gui/base/Strings.h"
#include "skin/engine/sSkinTables.h"

// A bitmap pointer that marks an own bitmap; never dereferenced.
inline std::shared_ptr<TBitmap> StandInBitmap()
{
    static char place;
    return std::shared_ptr<TBitmap>(reinterpret_cast<TBitmap*>(&place), [](TBitmap*) {});
}

class TFakeSkinImages : public TsImageSource {
public:
    int MasterWidth = 256, MasterHeight = 160;
    std::map<std::string, std::pair<int, int>> Files; // name as asked -> width, height
    std::vector<std::string> Asked; // "master:NAME", "bmp24:NAME", "bmp:NAME", "png:NAME", "jpeg:NAME"

    TsLoadedImage LoadMasterBitmap(const std::string& name) override
    {
        Asked.push_back("master:" + name);
        return TsLoadedImage{nullptr, MasterWidth, MasterHeight};
    }
    TsLoadedImage LoadBmp(const std::string& name, bool make24) override
    {
        return Find((make24 ? "bmp24:" : "bmp:") + name, name);
    }
    TsLoadedImage LoadPng(const std::string& name) override { return Find("png:" + name, name); }
    TsLoadedImage LoadJpeg(const std::string& name) override { return Find("jpeg:" + name, name); }

private:
    TsLoadedImage Find(const std::string& note, const std::string& name)
    {
        Asked.push_back(note);
        const auto it = Files.find(name);
        if (it == Files.end() || it->second.first <= 0) return {};
        return TsLoadedImage{StandInBitmap(), it->second.first, it->second.second};
    }
};

inline TMemIniFile SkinText(const std::string& text)
{
    TStringList lines;
    lines.SetText(text);
    return TMemIniFile(lines);
}
