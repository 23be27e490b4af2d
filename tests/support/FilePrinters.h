// Printers of a test's own, on the port LPT1: that the Wine spooler writes into a file: a
// driver of this process over the Wine PostScript driver (with a small page description file
// beside the output file) and the printers are added under names of this process (the name and
// the process id, Name()) or, when a program looks for a fixed name, under exactly the names
// given (a printer of that name left over from an earlier run is removed first); at the end the
// printers and the driver are removed and the port mapping and default printer put back. Tests
// that add printers change the machine's printer list and port mapping: they run serially
// (tillora_add_test ... SERIAL).
#pragma once

#include <windows.h>
#include <winspool.h>

#include <string>
#include <vector>

class TFilePrinters {
public:
    enum class TNaming { WithProcessId, Exact };

    // Makes the printers; Ready() tells whether the spooler took them.
    TFilePrinters(const std::vector<std::string>& names, const std::string& outputFile,
                  TNaming naming = TNaming::WithProcessId)
        : output_(outputFile), driver_(Name("Tillora PostScript"))
    {
        // The page description goes straight into the printer driver folder.
        char folder[MAX_PATH] = "";
        DWORD got = 0;
        GetPrinterDriverDirectoryA(nullptr, nullptr, 1, reinterpret_cast<BYTE*>(folder), sizeof folder, &got);
        ppdName_ = "tillora" + std::to_string(GetCurrentProcessId()) + ".ppd";
        ppd_ = std::string(folder) + "\\" + ppdName_;
        WritePpd();
        DRIVER_INFO_3A di{};
        di.cVersion = 3;
        di.pName = driver_.data();
        di.pDriverPath = const_cast<char*>("wineps.drv");
        di.pDataFile = ppdName_.data();
        di.pConfigFile = const_cast<char*>("wineps.drv");
        AddPrinterDriverExA(nullptr, 3, reinterpret_cast<BYTE*>(&di), APD_COPY_NEW_FILES);

        HKEY key = nullptr;
        RegCreateKeyExA(HKEY_CURRENT_USER, kSpoolerKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
        char old[MAX_PATH] = "";
        DWORD size = sizeof old;
        hadPort_ =
            RegQueryValueExA(key, "LPT1:", nullptr, nullptr, reinterpret_cast<BYTE*>(old), &size) == ERROR_SUCCESS;
        oldPort_ = old;
        const std::string port = PortTarget(output_);
        RegSetValueExA(key, "LPT1:", 0, REG_SZ, reinterpret_cast<const BYTE*>(port.c_str()),
                       static_cast<DWORD>(port.size() + 1));
        RegCloseKey(key);

        DWORD n = 0;
        GetDefaultPrinterA(nullptr, &n);
        std::vector<char> def(n + 1, '\0');
        if (n && GetDefaultPrinterA(def.data(), &n)) oldDefault_ = def.data();

        ready_ = true;
        for (const std::string& name : names) {
            PRINTER_INFO_2A pi{};
            std::string full = naming == TNaming::Exact ? name : Name(name);
            if (naming == TNaming::Exact) Delete(full);
            pi.pPrinterName = full.data();
            pi.pPortName = const_cast<char*>("LPT1:");
            pi.pDriverName = driver_.data();
            pi.pPrintProcessor = const_cast<char*>("WinPrint");
            pi.pDatatype = const_cast<char*>("RAW");
            pi.Attributes = PRINTER_ATTRIBUTE_LOCAL;
            HANDLE h = AddPrinterA(nullptr, 2, reinterpret_cast<BYTE*>(&pi));
            if (!h) {
                ready_ = false;
                continue;
            }
            ClosePrinter(h);
            added_.push_back(full);
        }
    }
    ~TFilePrinters()
    {
        for (const std::string& name : added_)
            Delete(name);
        DeletePrinterDriverA(nullptr, nullptr, driver_.data());
        if (!oldDefault_.empty()) SetDefaultPrinterA(oldDefault_.c_str());
        HKEY key = nullptr;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, kSpoolerKey, 0, KEY_ALL_ACCESS, &key) == ERROR_SUCCESS) {
            if (hadPort_)
                RegSetValueExA(key, "LPT1:", 0, REG_SZ, reinterpret_cast<const BYTE*>(oldPort_.c_str()),
                               static_cast<DWORD>(oldPort_.size() + 1));
            else RegDeleteValueA(key, "LPT1:");
            RegCloseKey(key);
        }
        DeleteFileA(output_.c_str());
        DeleteFileA(ppd_.c_str());
    }
    TFilePrinters(const TFilePrinters&) = delete;
    TFilePrinters& operator=(const TFilePrinters&) = delete;

    bool Ready() const { return ready_; }
    // The full name of one of the printers.
    static std::string Name(const std::string& name) { return name + " " + std::to_string(GetCurrentProcessId()); }
    // What the spooler wrote into the file so far.
    std::string Output() const
    {
        std::string data;
        HANDLE f = CreateFileA(output_.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                               nullptr, OPEN_EXISTING, 0, nullptr);
        if (f == INVALID_HANDLE_VALUE) return data;
        char buf[65536];
        DWORD got = 0;
        while (ReadFile(f, buf, sizeof buf, &got, nullptr) && got)
            data.append(buf, got);
        CloseHandle(f);
        return data;
    }

private:
    // The spooler writes the port's data to a file named by its Unix path (a Windows path in the
    // mapping makes the end of every document fail): the output file's Unix name from Wine.
    static std::string PortTarget(const std::string& file)
    {
        using TUnixName = char*(CDECL*)(const WCHAR*);
        auto unixName = reinterpret_cast<TUnixName>(
            reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
        if (!unixName) return file;
        std::wstring wide(file.begin(), file.end());
        char* name = unixName(wide.c_str());
        if (!name) return file;
        std::string result = name;
        HeapFree(GetProcessHeap(), 0, name);
        return result;
    }

    static void Delete(const std::string& name)
    {
        HANDLE h = nullptr;
        PRINTER_DEFAULTSA pd{nullptr, nullptr, PRINTER_ALL_ACCESS};
        if (OpenPrinterA(const_cast<char*>(name.c_str()), &h, &pd)) {
            DeletePrinter(h);
            ClosePrinter(h);
        }
    }

    // A colour PostScript printer with A4 and Letter pages.
    void WritePpd() const
    {
        static const char text[] =
            "*PPD-Adobe: \"4.3\"\n*FormatVersion: \"4.3\"\n*LanguageVersion: English\n"
            "*LanguageEncoding: ISOLatin1\n*ModelName: \"Tillora Test\"\n*NickName: \"Tillora Test\"\n"
            "*PSVersion: \"(3010.000) 0\"\n*LanguageLevel: \"3\"\n*ColorDevice: True\n"
            "*DefaultColorSpace: RGB\n*TTRasterizer: Type42\n*DefaultResolution: 300dpi\n"
            "*OpenUI *PageSize: PickOne\n*DefaultPageSize: A4\n"
            "*PageSize A4/A4: \"<</PageSize[595 842]>>setpagedevice\"\n"
            "*PageSize Letter/Letter: \"<</PageSize[612 792]>>setpagedevice\"\n*CloseUI: *PageSize\n"
            "*OpenUI *PageRegion: PickOne\n*DefaultPageRegion: A4\n"
            "*PageRegion A4/A4: \"<</PageSize[595 842]>>setpagedevice\"\n"
            "*PageRegion Letter/Letter: \"<</PageSize[612 792]>>setpagedevice\"\n*CloseUI: *PageRegion\n"
            "*DefaultImageableArea: A4\n*ImageableArea A4/A4: \"0 0 595 842\"\n"
            "*ImageableArea Letter/Letter: \"0 0 612 792\"\n*DefaultPaperDimension: A4\n"
            "*PaperDimension A4/A4: \"595 842\"\n*PaperDimension Letter/Letter: \"612 792\"\n";
        HANDLE f = CreateFileA(ppd_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        DWORD written = 0;
        WriteFile(f, text, sizeof text - 1, &written, nullptr);
        CloseHandle(f);
    }

    static constexpr const char* kSpoolerKey = "Software\\Wine\\Printing\\Spooler";
    std::string output_, driver_, ppdName_, ppd_, oldPort_, oldDefault_;
    bool hadPort_ = false, ready_ = false;
    std::vector<std::string> added_;
};
