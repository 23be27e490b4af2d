// The Linux machine under Wine, for tests that need what only it can do to a folder of the
// Windows side: a shell command run through Wine (which starts a Unix program given by its
// Windows path by itself, without a process handle to wait on, so the command leaves its exit
// code in a file that is waited for), and a mount on a folder (a read-only bind or a small
// tmpfs) that is taken away again at the end. Outside Wine, or where the machine refuses, the
// calls fail and the test says why it cannot run.
//
//   TUnixFolderFault fault;
//   if (!fault.Tmpfs(tillora.Path("Journal"), 64 * 1024)) GTEST_SKIP() << fault.Failure();
//   FillDisk(tillora.Path("Journal\\filler.bin"));   // no room left on the small disk
//   ...                                      // the folder is put back when `fault` goes
#pragma once

#include <windows.h>

#include <cstdlib>
#include <string>

namespace UnixShell {

// The Unix name of a Windows path; "" outside Wine.
inline std::string UnixName(const std::string& path)
{
    using TUnixName = char*(CDECL*)(const WCHAR*);
    auto unixName = reinterpret_cast<TUnixName>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
    if (!unixName) return "";
    const std::wstring wide(path.begin(), path.end());
    char* name = unixName(wide.c_str());
    if (!name) return "";
    std::string result = name;
    HeapFree(GetProcessHeap(), 0, name);
    return result;
}

// The Windows name of a Unix path; "" outside Wine or when no drive reaches it.
inline std::string WindowsName(const std::string& unixPath)
{
    using TDosName = WCHAR*(CDECL*)(const char*);
    auto dosName = reinterpret_cast<TDosName>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_dos_file_name")));
    if (!dosName) return "";
    WCHAR* name = dosName(unixPath.c_str());
    if (!name) return "";
    std::string result;
    for (const WCHAR* c = name; *c; ++c)
        result += static_cast<char>(*c);
    HeapFree(GetProcessHeap(), 0, name);
    return result;
}

// A Unix path in single quotes for the shell.
inline std::string Quoted(const std::string& unixPath)
{
    std::string q = "'";
    for (char c : unixPath)
        q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

// Runs the script with /bin/sh (no double quotes in it) and waits for it; its exit code, or -1
// when it could not be run or did not end within the time.
inline int Run(const std::string& script, DWORD ms = 30000)
{
    const std::string sh = WindowsName("/bin/sh");
    if (sh.empty()) return -1;
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    static int counter = 0;
    const std::string done = std::string(temp) + "unixshell-" + std::to_string(GetCurrentProcessId()) + "-" +
                             std::to_string(counter++) + ".rc";
    DeleteFileA(done.c_str());
    const std::string doneUnix = UnixName(done);
    if (doneUnix.empty()) return -1;
    // The exit code goes to a scratch name first and is then renamed, so the file is never
    // read half-written.
    std::string cmd = "\"" + sh + "\" -c \"( " + script + " ) >/dev/null 2>&1; echo $? > " + Quoted(doneUnix) +
                      ".part && mv " + Quoted(doneUnix) + ".part " + Quoted(doneUnix) + "\"";
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessA(nullptr, cmd.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr, &si, &pi))
        return -1;
    if (pi.hProcess) CloseHandle(pi.hProcess);
    if (pi.hThread) CloseHandle(pi.hThread);
    const DWORD end = GetTickCount() + ms;
    for (;;) {
        HANDLE h = CreateFileA(done.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                               nullptr, OPEN_EXISTING, 0, nullptr);
        if (h != INVALID_HANDLE_VALUE) {
            char buf[16] = "";
            DWORD got = 0;
            ReadFile(h, buf, sizeof buf - 1, &got, nullptr);
            CloseHandle(h);
            DeleteFileA(done.c_str());
            return got ? atoi(buf) : -1;
        }
        if (static_cast<LONG>(end - GetTickCount()) <= 0) return -1;
        Sleep(20);
    }
}

} // namespace UnixShell

// Writes the file until its disk has no room left (a full tmpfs then takes no new page).
inline void FillDisk(const std::string& file)
{
    HANDLE h = CreateFileA(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return;
    const std::string block(4096, 'x');
    DWORD written = 0;
    while (WriteFile(h, block.data(), static_cast<DWORD>(block.size()), &written, nullptr) && written > 0) {
    }
    CloseHandle(h);
}

// A folder of the Windows side made read-only, or given a small tmpfs in place of its contents,
// from the Linux side; put back (a mount taken away lazily, so open files do not keep it) when
// the object goes.
class TUnixFolderFault {
public:
    TUnixFolderFault() = default;
    ~TUnixFolderFault() { Undo(); }
    TUnixFolderFault(const TUnixFolderFault&) = delete;
    TUnixFolderFault& operator=(const TUnixFolderFault&) = delete;

    // No file can be made in the folder any more, its files stay readable: its write
    // permission taken away, or for the super-user (whom permissions do not stop) the folder
    // mounted read-only onto itself.
    bool ReadOnly(const std::string& folder)
    {
        Undo();
        const std::string q = Prepare(folder);
        if (q.empty()) return false;
        if (UnixShell::Run("chmod a-w " + q) == 0) {
            undo_ = "chmod u+w " + q;
            if (!Writable(folder)) return true;
            Undo();
        }
        return Mount("mount --bind " + q + " " + q + " || exit 1; mount -o remount,bind,ro " + q + " || { umount " + q +
                         "; exit 1; }",
                     q);
    }
    // An empty tmpfs of this many bytes in place of the folder's contents.
    bool Tmpfs(const std::string& folder, int bytes)
    {
        Undo();
        const std::string q = Prepare(folder);
        return !q.empty() && Mount("mount -t tmpfs -o size=" + std::to_string(bytes) + " tmpfs " + q, q);
    }
    // Puts the folder back; true when that worked (or nothing was done).
    bool Undo()
    {
        if (undo_.empty()) return true;
        if (UnixShell::Run(undo_) != 0) return false;
        undo_.clear();
        return true;
    }
    // Why the last fault could not be made.
    const std::string& Failure() const { return failure_; }

private:
    // The folder's quoted Unix name; "" (and the failure) when it has none.
    std::string Prepare(const std::string& folder)
    {
        const std::string unixName = UnixShell::UnixName(folder);
        if (unixName.empty()) failure_ = "no Unix name for " + folder + " (not under Wine)";
        return unixName.empty() ? std::string() : UnixShell::Quoted(unixName);
    }
    bool Mount(const std::string& script, const std::string& quoted)
    {
        const int rc = UnixShell::Run(script);
        if (rc != 0) {
            failure_ = "the machine does not allow the mount on " + quoted + " (exit code " + std::to_string(rc) +
                       "; mounts need the super-user)";
            return false;
        }
        undo_ = "umount -l " + quoted;
        return true;
    }
    static bool Writable(const std::string& folder)
    {
        const std::string probe = folder + "\\write-probe.tmp";
        HANDLE h = CreateFileA(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
        if (h == INVALID_HANDLE_VALUE) return false;
        CloseHandle(h);
        DeleteFileA(probe.c_str());
        return true;
    }

    std::string undo_, failure_;
};
