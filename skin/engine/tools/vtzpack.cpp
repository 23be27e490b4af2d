// vtzpack: writes a packed skin container from a skin folder.
//   vtzpack [-LEVEL] FOLDER OUTPUT.vtz
// The folder's "Options.dat" (any case) comes first, then its other files in byte order of
// their names; sub-folders and names starting with "." are left out. LEVEL is the zlib level
// 0..9 (default 9). It runs at build time, on the build machine.
#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

#include "skin/engine/tools/VtzWriter.h"

namespace fs = std::filesystem;

namespace {

std::string ReadFile(const fs::path& p)
{
    std::ifstream f(p, std::ios::binary);
    if (!f) throw std::runtime_error("cannot read " + p.string());
    return std::string(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
}

bool IsOptions(const std::string& name)
{
    std::string upper = name;
    for (char& c : upper)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return upper == "OPTIONS.DAT";
}

} // namespace

int main(int argc, char** argv)
{
    int level = 9;
    std::vector<std::string> args(argv + 1, argv + argc);
    if (!args.empty() && args[0].size() == 2 && args[0][0] == '-' && args[0][1] >= '0' && args[0][1] <= '9') {
        level = args[0][1] - '0';
        args.erase(args.begin());
    }
    if (args.size() != 2) {
        std::cerr << "usage: vtzpack [-LEVEL] FOLDER OUTPUT.vtz\n";
        return 2;
    }
    try {
        std::vector<std::string> names;
        for (const auto& e : fs::directory_iterator(args[0])) {
            const std::string name = e.path().filename().string();
            if (e.is_regular_file() && name[0] != '.') names.push_back(name);
        }
        std::sort(names.begin(), names.end());
        std::stable_partition(names.begin(), names.end(), IsOptions);
        if (names.empty() || !IsOptions(names[0])) throw std::runtime_error("no Options.dat in " + args[0]);
        std::vector<vtz::Entry> entries;
        for (const std::string& name : names)
            entries.push_back({name, ReadFile(fs::path(args[0]) / name), level});
        const std::string container = vtz::Pack(entries);
        std::ofstream out(args[1], std::ios::binary | std::ios::trunc);
        out.write(container.data(), static_cast<std::streamsize>(container.size()));
        if (!out.flush()) throw std::runtime_error("cannot write " + args[1]);
    } catch (const std::exception& e) {
        std::cerr << "vtzpack: " << e.what() << "\n";
        return 1;
    }
    return 0;
}
