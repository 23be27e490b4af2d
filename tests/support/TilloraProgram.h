// The real register program for end-to-end tests: a temporary program folder (Tillora.exe,
// QsmTool.dll, QRLib.dll, the virtual reader, cfg\lang.ini, Produkte\Standard.xml, empty Journal\ and
// Export\, and what the test writes, such as cfg\start.ini), Tillora.exe started there with
// CreateProcess, its windows found by form class and component name, its message boxes and
// dialogs answered by their texts, its exit code and the files it left read afterwards.
//
// The program's files come from the folder "tillora\" beside the test program (the build
// copies Tillora.exe, lang.ini, Standard.xml and the shipped skins of Skins\ there); QsmTool.dll, QRLib.dll and the virtual reader
// (winscard.dll) from beside the test program itself, which runs as a card test.
//
// The skinned run: with the environment variable TILLORA_TEST_SKIN naming a shipped skin, the
// start.ini a test writes gets "skin enabled=1" and "skin name=<skin>" in its [View] (the keys
// the test writes itself stay as written), so the program comes up under that skin. A test that
// asserts what only a plain window shows skips itself when TestSkin() is not empty.
//
//   const int port = SimCard::FreePort();
//   SimCard::UseReaders({{"Sim Reader", port}});
//   SimCard card(port, "--fresh active");
//   TilloraProgram tillora;
//   tillora.WriteFile("cfg\\start.ini", "[Card]\r\nVersionen=v2.2;\r\n");
//   ASSERT_TRUE(card.Insert());
//   ASSERT_TRUE(tillora.Start());
//   HWND main = tillora.WaitForForm("TMainF");
//   ClickMenuItem(main, "Beenden1");
//   ASSERT_TRUE(tillora.WaitForExit());
//   EXPECT_EQ(tillora.ExitCode(), 0u);
#pragma once

#include <windows.h>

#include <dlgs.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "gui/Automation.h"

class TilloraProgram {
public:
    // Generous: the test machine is loaded.
    static constexpr DWORD kWait = 30000;

    TilloraProgram()
    {
        char temp[MAX_PATH];
        GetTempPathA(MAX_PATH, temp);
        folder_ = std::string(temp) + "tillora-" + std::to_string(GetCurrentProcessId()) + "-" +
                  std::to_string(GetTickCount()) + "-" + std::to_string(counter_++) + "\\";
        CreateDirectoryA(folder_.c_str(), nullptr);
        for (const char* sub : {"cfg", "Produkte", "Journal", "Export", "Skins"})
            CreateDirectoryA((folder_ + sub).c_str(), nullptr);
        const std::string own = OwnFolder();
        CopyFileA((own + "tillora\\Tillora.exe").c_str(), (folder_ + "Tillora.exe").c_str(), FALSE);
        CopyFileA((own + "tillora\\lang.ini").c_str(), (folder_ + "cfg\\lang.ini").c_str(), FALSE);
        CopyFileA((own + "tillora\\Standard.xml").c_str(), (folder_ + "Produkte\\Standard.xml").c_str(), FALSE);
        CopyTree(own + "tillora\\Skins\\", folder_ + "Skins\\");
        CopyFileA((own + "QsmTool.dll").c_str(), (folder_ + "QsmTool.dll").c_str(), FALSE);
        CopyFileA((own + "QRLib.dll").c_str(), (folder_ + "QRLib.dll").c_str(), FALSE);
        CopyFileA((own + "winscard.dll").c_str(), (folder_ + "winscard.dll").c_str(), FALSE);
    }
    ~TilloraProgram()
    {
        Kill();
        DeleteTree(folder_);
    }
    TilloraProgram(const TilloraProgram&) = delete;
    TilloraProgram& operator=(const TilloraProgram&) = delete;

    // The program folder, with a trailing backslash.
    const std::string& Folder() const { return folder_; }
    std::string Path(const std::string& relative) const { return folder_ + relative; }
    void WriteFile(const std::string& relative, const std::string& bytes) const
    {
        if (lstrcmpiA(relative.c_str(), "cfg\\start.ini") == 0 && !TestSkin().empty()) {
            const std::string skinned = WithTestSkin(bytes, TestSkin());
            skinSwitched_ = skinned.find("skin enabled=1\r\nskin name=" + TestSkin()) != std::string::npos &&
                            bytes.find("skin name=" + TestSkin()) == std::string::npos;
            return WriteBytes(relative, skinned);
        }
        WriteBytes(relative, bytes);
    }
    // Whether the main window is under the test skin when the skin switch turned it on: its
    // skin provider answers the skin command 7 ("skinned") with 1. True without the switch, or
    // when the test wrote its own skin keys.
    bool UnderTestSkin(HWND main) const
    {
        if (!skinSwitched_) return true;
        return WaitFor([&] {
            DWORD_PTR skinned = 0;
            return SendMessageTimeoutA(main, 0xA100, static_cast<WPARAM>(7) << 16, 0, SMTO_NORMAL, 1000, &skinned) &&
                   skinned == 1;
        });
    }
    // The skin of the skinned run (TILLORA_TEST_SKIN); "" in the plain run.
    static std::string TestSkin()
    {
        char name[128] = "";
        const DWORD n = GetEnvironmentVariableA("TILLORA_TEST_SKIN", name, sizeof name);
        return n > 0 && n < sizeof name ? std::string(name, n) : std::string();
    }
    // An INI text with skins switched on: the keys "skin enabled=1" and "skin name=<skin>" put
    // into its [View] section (made at the end when there is none), unless it has them.
    static std::string WithTestSkin(const std::string& ini, const std::string& skin)
    {
        const auto lower = [](std::string t) {
            std::transform(t.begin(), t.end(), t.begin(),
                           [](unsigned char c) { return static_cast<char>(tolower(c)); });
            return t;
        };
        const std::string text = lower(ini);
        size_t view = text.find("[view]");
        std::string out = ini;
        if (view == std::string::npos) {
            if (!out.empty() && out.back() != '\n') out += "\r\n";
            view = out.size();
            out += "[View]\r\n";
        }
        size_t end = text.find("\n[", view);
        end = end == std::string::npos ? out.size() : end + 1;
        const std::string section = lower(out.substr(view, end - view));
        std::string add;
        if (section.find("\nskin enabled=") == std::string::npos) add += "skin enabled=1\r\n";
        if (section.find("\nskin name=") == std::string::npos) add += "skin name=" + skin + "\r\n";
        if (end == out.size() && out.back() != '\n') add = "\r\n" + add;
        return out.insert(end, add);
    }
    void WriteBytes(const std::string& relative, const std::string& bytes) const
    {
        HANDLE h = CreateFileA(Path(relative).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        if (h == INVALID_HANDLE_VALUE) return;
        DWORD written = 0;
        ::WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
        CloseHandle(h);
    }
    std::string ReadFile(const std::string& relative) const
    {
        std::string bytes;
        HANDLE h = CreateFileA(Path(relative).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                               OPEN_EXISTING, 0, nullptr);
        if (h == INVALID_HANDLE_VALUE) return bytes;
        char buf[4096];
        DWORD got = 0;
        while (::ReadFile(h, buf, sizeof buf, &got, nullptr) && got > 0)
            bytes.append(buf, got);
        CloseHandle(h);
        return bytes;
    }
    bool Exists(const std::string& relative) const
    {
        return GetFileAttributesA(Path(relative).c_str()) != INVALID_FILE_ATTRIBUTES;
    }
    void Remove(const std::string& relative) const { DeleteFileA(Path(relative).c_str()); }
    void MakeFolder(const std::string& relative) const { CreateDirectoryA(Path(relative).c_str(), nullptr); }
    // The names of the files in a sub-folder, sorted.
    std::vector<std::string> Files(const std::string& relative) const
    {
        std::vector<std::string> names;
        WIN32_FIND_DATAA e;
        HANDLE f = FindFirstFileA((Path(relative) + "\\*").c_str(), &e);
        if (f == INVALID_HANDLE_VALUE) return names;
        do {
            if (!(e.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(e.cFileName);
        } while (FindNextFileA(f, &e));
        FindClose(f);
        std::sort(names.begin(), names.end());
        return names;
    }

    // The dated journal file whose name ends in the letter ('L' or 'S') and ".xml"; "" when none.
    std::string Journal(char letter) const
    {
        for (const auto& f : Files("Journal"))
            if (f.size() > 5 && f[f.size() - 5] == letter) return ReadFile("Journal\\" + f);
        return "";
    }

    // Starts Tillora.exe in the program folder. Wine loads the virtual reader in place of its
    // PC/SC stub when this process was started with WINEDLLOVERRIDES naming winscard native
    // (as card tests are); SimCard::UseReaders names its readers.
    bool Start(const std::string& arguments = "")
    {
        std::string cmd = "\"" + folder_ + "Tillora.exe\"" + (arguments.empty() ? "" : " " + arguments);
        STARTUPINFOA si{};
        si.cb = sizeof si;
        if (!CreateProcessA(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, folder_.c_str(), &si, &pi_))
            return false;
        running_ = true;
        return true;
    }
    DWORD Pid() const { return pi_.dwProcessId; }
    // Starts the program and waits for the main window and the register window with its receipt
    // memo; false when one of them does not come.
    bool StartRegister(HWND& main, HWND& kasse, HWND& memo)
    {
        if (!Start()) return false;
        main = WaitForForm("TMainF");
        kasse = main ? WaitForForm("TKassTip") : nullptr;
        memo = kasse ? FindControlWindow(kasse, "BelegMemo") : nullptr;
        return memo != nullptr;
    }

    // Waits for the process to end by itself.
    bool WaitForExit(DWORD ms = kWait)
    {
        if (!running_) return true;
        return WaitForSingleObject(pi_.hProcess, ms) == WAIT_OBJECT_0;
    }
    // The exit code; STILL_ACTIVE while it runs.
    DWORD ExitCode() const
    {
        DWORD code = 0;
        GetExitCodeProcess(pi_.hProcess, &code);
        return code;
    }
    void Kill()
    {
        if (!running_) return;
        if (WaitForSingleObject(pi_.hProcess, 0) == WAIT_TIMEOUT) {
            TerminateProcess(pi_.hProcess, 99);
            WaitForSingleObject(pi_.hProcess, 10000);
        }
        CloseHandle(pi_.hProcess);
        CloseHandle(pi_.hThread);
        running_ = false;
    }

    // The top-level windows of a process, visible or not, in the system's order.
    static std::vector<HWND> TopWindows(DWORD pid)
    {
        struct TList {
            DWORD pid;
            std::vector<HWND> found;
            static BOOL CALLBACK Visit(HWND w, LPARAM lp)
            {
                auto* l = reinterpret_cast<TList*>(lp);
                DWORD owner = 0;
                GetWindowThreadProcessId(w, &owner);
                if (owner == l->pid) l->found.push_back(w);
                return TRUE;
            }
        } l{pid, {}};
        EnumWindows(&TList::Visit, reinterpret_cast<LPARAM>(&l));
        return l.found;
    }
    // A top-level window of the program with this window class (a form's class is its form
    // class; "#32770" for message boxes), visible or not; none.
    HWND Window(const char* cls, bool visibleOnly) const
    {
        for (HWND w : TopWindows(pi_.dwProcessId)) {
            if (visibleOnly && !IsWindowVisible(w)) continue;
            char c[64] = "";
            GetClassNameA(w, c, sizeof c);
            if (lstrcmpA(c, cls) == 0) return w;
        }
        return nullptr;
    }
    // Waits until the form is visible; none after the time.
    HWND WaitForForm(const char* cls, DWORD ms = kWait) const
    {
        HWND w = nullptr;
        WaitFor([&] { return (w = Window(cls, true)) != nullptr; }, ms);
        return w;
    }
    // Waits until the window is visible: a skinned form is marked hidden for the moment its
    // (de)activation is drawn, and its controls with it.
    static bool WaitForShown(HWND w, DWORD ms = kWait)
    {
        return WaitFor([&] { return IsWindowVisible(w) != FALSE; }, ms);
    }
    // Waits until the window is hidden (or gone).
    static bool WaitForHidden(HWND w, DWORD ms = kWait)
    {
        return WaitFor([&] { return !IsWindow(w) || !IsWindowVisible(w); }, ms);
    }
    // Answers the program's file dialog (opened by a menu item) with a file name; false when
    // no dialog came or it did not close.
    bool ChooseFile(const std::string& name) const
    {
        HWND dlg = WaitForForm("#32770");
        if (!dlg) return false;
        HWND edit = GetDlgItem(dlg, edt1);
        if (!edit) edit = GetDlgItem(dlg, cmb13);
        if (!edit) return false;
        SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(name.c_str()));
        PostMessageA(dlg, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dlg, IDOK)));
        return WaitForHidden(dlg);
    }
    // Polls until the condition holds; false after the time.
    static bool WaitFor(const std::function<bool()>& condition, DWORD ms = kWait)
    {
        const DWORD end = GetTickCount() + ms;
        for (;;) {
            if (condition()) return true;
            if (static_cast<LONG>(end - GetTickCount()) <= 0) return false;
            Sleep(10);
        }
    }

    // The text of a message box: its static text (id 0xFFFF).
    static std::string MessageText(HWND box)
    {
        HWND text = GetDlgItem(box, 0xFFFF);
        return text ? WindowText(text) : std::string();
    }
    // Presses the button of a dialog by its text ("OK"), as a click would; false when there
    // is no such button.
    static bool PressButton(HWND dialog, const std::string& caption)
    {
        for (HWND b = FindWindowExA(dialog, nullptr, "Button", nullptr); b;
             b = FindWindowExA(dialog, b, "Button", nullptr))
            if (WindowText(b) == caption) {
                PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(b), BN_CLICKED), reinterpret_cast<LPARAM>(b));
                return true;
            }
        return false;
    }
    // The folder of the test program, with a trailing backslash.
    static std::string OwnFolder()
    {
        char path[MAX_PATH];
        GetModuleFileNameA(nullptr, path, MAX_PATH);
        std::string p = path;
        return p.substr(0, p.find_last_of('\\') + 1);
    }
    // A folder beside the test program for files a CTest checker step reads after the run
    // (journals, pictures), with a trailing backslash; the skinned run's has "_skinned" added.
    static std::string OutputFolder(const std::string& name)
    {
        const std::string folder = OwnFolder() + name + (TestSkin().empty() ? "" : "_skinned") + "\\";
        CreateDirectoryA(folder.c_str(), nullptr);
        return folder;
    }
    // Clicks a control of this class library from outside (it runs once the program handles
    // the posted click, so a dialog it opens does not block the test).
    static void Click(HWND control) { PostMessageA(control, BM_CLICK, 0, 0); }

private:
    // Copies the files and folders of a folder (both with a trailing backslash) into another.
    static void CopyTree(const std::string& from, const std::string& to)
    {
        WIN32_FIND_DATAA e;
        HANDLE f = FindFirstFileA((from + "*").c_str(), &e);
        if (f == INVALID_HANDLE_VALUE) return;
        do {
            const std::string name = e.cFileName;
            if (name == "." || name == "..") continue;
            if (e.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                CreateDirectoryA((to + name).c_str(), nullptr);
                CopyTree(from + name + "\\", to + name + "\\");
            } else CopyFileA((from + name).c_str(), (to + name).c_str(), FALSE);
        } while (FindNextFileA(f, &e));
        FindClose(f);
    }
    static void DeleteTree(const std::string& dir)
    {
        WIN32_FIND_DATAA e;
        HANDLE f = FindFirstFileA((dir + "*").c_str(), &e);
        if (f != INVALID_HANDLE_VALUE) {
            do {
                const std::string name = e.cFileName;
                if (name == "." || name == "..") continue;
                if (e.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) DeleteTree(dir + name + "\\");
                else DeleteFileA((dir + name).c_str());
            } while (FindNextFileA(f, &e));
            FindClose(f);
        }
        RemoveDirectoryA(dir.c_str());
    }

    static inline int counter_ = 0;
    std::string folder_;
    PROCESS_INFORMATION pi_{};
    bool running_ = false;
    mutable bool skinSwitched_ = false; // the start.ini written had the test skin put in
};
