// A folder of skins made by a test (by default under the temporary folder), removed with
// everything in it when the test ends.
//   TSkinFolders dir;                       %TEMP%\skins_<process id>
//   dir.Folder("Blue");
//   dir.File("Blue\\Options.dat", "[FORM]\r\n");
#pragma once

#include <windows.h>

#include <string>

#include "gui/base/Handles.h"

class TSkinFolders {
public:
    // path: the folder to make; empty: one under the temporary folder.
    explicit TSkinFolders(std::string path = "") : path_(std::move(path))
    {
        if (path_.empty()) {
            char tmp[MAX_PATH];
            GetTempPathA(MAX_PATH, tmp);
            path_ = std::string(tmp) + "skins_" + std::to_string(GetCurrentProcessId());
        }
        CreateDirectoryA(path_.c_str(), nullptr);
    }
    ~TSkinFolders() { Remove(path_); }
    TSkinFolders(const TSkinFolders&) = delete;
    TSkinFolders& operator=(const TSkinFolders&) = delete;
    const std::string& Path() const { return path_; }
    void Folder(const std::string& name) const { CreateDirectoryA((path_ + "\\" + name).c_str(), nullptr); }
    void File(const std::string& name, const std::string& bytes = "") const
    {
        TFileHandle f(CreateFileA((path_ + "\\" + name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
        DWORD written = 0;
        if (!bytes.empty()) WriteFile(f.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    }

private:
    static void Remove(const std::string& dir)
    {
        WIN32_FIND_DATAA e;
        TFindHandle find(FindFirstFileA((dir + "\\*").c_str(), &e));
        for (bool more = static_cast<bool>(find); more; more = FindNextFileA(find.get(), &e)) {
            const std::string name = e.cFileName;
            if (name == "." || name == "..") continue;
            if (e.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) Remove(dir + "\\" + name);
            else DeleteFileA((dir + "\\" + name).c_str());
        }
        find.reset();
        RemoveDirectoryA(dir.c_str());
    }
    std::string path_;
};
