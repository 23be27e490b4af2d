// Files in tests: the test program's folder, a whole file's bytes and the shipped lang.ini as
// a Wine path.
#pragma once

#include <windows.h>

#include <fstream>
#include <sstream>
#include <string>

#include "gui/base/SysUtils.h"

// The folder of the running test program, with its trailing "\".
inline std::string ExeFolder()
{
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    return ExtractFilePath(path);
}

// Every byte of a file; empty when it cannot be read.
inline std::string ReadAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

#ifdef TILLORA_SOURCE_DIR
// data/cfg/lang.ini of the source tree as the test program sees it ("Z:\...").
inline std::string ShippedLangIni()
{
    std::string path = TILLORA_SOURCE_DIR "/data/cfg/lang.ini";
    for (char& c : path)
        if (c == '/') c = '\\';
    return "Z:" + path;
}
#endif
