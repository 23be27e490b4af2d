#include "gui/base/SysUtils.h"

#include <algorithm>

std::string Trim(const std::string& s)
{
    size_t b = 0, e = s.size();
    while (b < e && static_cast<unsigned char>(s[b]) <= ' ')
        ++b;
    while (e > b && static_cast<unsigned char>(s[e - 1]) <= ' ')
        --e;
    return s.substr(b, e - b);
}

std::string UpperCase(const std::string& s)
{
    std::string r = s;
    for (char& c : r)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return r;
}

std::string LowerCase(const std::string& s)
{
    std::string r = s;
    for (char& c : r)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return r;
}

bool SameText(const std::string& a, const std::string& b)
{
    return a.size() == b.size() && UpperCase(a) == UpperCase(b);
}

std::string ExtractFilePath(const std::string& fileName)
{
    size_t p = fileName.find_last_of("\\/:");
    return p == std::string::npos ? std::string() : fileName.substr(0, p + 1);
}

std::string ExtractFileName(const std::string& fileName)
{
    size_t p = fileName.find_last_of("\\/:");
    return p == std::string::npos ? fileName : fileName.substr(p + 1);
}

std::string ExtractFileExt(const std::string& fileName)
{
    std::string name = ExtractFileName(fileName);
    size_t p = name.rfind('.');
    return p == std::string::npos ? std::string() : name.substr(p);
}

std::string IncludeTrailingPathDelimiter(const std::string& path)
{
    if (!path.empty() && (path.back() == '\\' || path.back() == '/')) return path;
    return path + "\\";
}
