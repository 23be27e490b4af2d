// The file checks of SysUtils over the file system of Windows.
#include "gui/base/SysUtils.h"

#include <windows.h>

bool FileExists(const std::string& fileName)
{
    DWORD a = GetFileAttributesA(fileName.c_str());
    return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

bool DirectoryExists(const std::string& path)
{
    DWORD a = GetFileAttributesA(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}
