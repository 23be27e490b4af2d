// Drives the forms of the window tests from a separate process, as an outside tool would:
// it finds windows by form class and component name, sends messages and writes what it read
// back into a report file, one "key=value" line each.
//   gui_test_driver auto <report>            the automation form
//   gui_test_driver modal <button> <report>  the modal dialog, pressing <button>
//   gui_test_driver menu <report>            the automation form's menu items, by name
//   gui_test_driver label <report>           the automation form's result label, at once
#include <windows.h>

#include <cstdio>
#include <string>

#include "gui/Automation.h"
#include "tests/support/ControlText.h"

namespace {

FILE* report = nullptr;

void Put(const std::string& key, const std::string& value)
{
    std::fprintf(report, "%s=%s\n", key.c_str(), value.c_str());
    std::fflush(report);
}

// Polls until the condition holds; gives up after ten seconds (a hang guard only).
template <class F> bool WaitFor(F condition)
{
    for (int i = 0; i < 1000; ++i) {
        if (condition()) return true;
        Sleep(10);
    }
    return false;
}

int DriveAutoForm()
{
    HWND form = nullptr;
    if (!WaitFor([&] { return (form = FindFormWindow("TAutoForm")) && IsWindowVisible(form); })) {
        Put("error", "form not found");
        return 1;
    }
    Put("FormName", ComponentNameOf(form));
    Put("Caption", WindowText(form));
    HWND edit = FindControlWindow(form, "NameEdit");
    HWND button = FindControlWindow(form, "OkButton");
    HWND inner = FindControlWindow(form, "InnerPanel");
    Put("ButtonText", button ? WindowText(button) : "?");
    Put("ButtonParent", ComponentNameOf(GetParent(button)));
    Put("EditBefore", edit ? WindowText(edit) : "?");
    // Labels and the gauge have no window: the form answers for them.
    Put("LabelWindow", FindControlWindow(form, "ResultLabel") ? "1" : "0");
    Put("LabelBefore", ControlText(form, "ResultLabel"));
    SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("Jürgen"));
    SendMessageA(button, BM_CLICK, 0, 0);
    Put("LabelAfter", ControlText(form, "ResultLabel"));
    SendMessageA(form, WM_COMMAND, 101, 0); // Datei > Hallo: the second menu item of the form
    Put("PanelAfterMenu", WindowText(inner));
    WaitFor([&] { return ControlText(form, "TickLabel") == "Tick 3"; });
    Put("Ticks", ControlText(form, "TickLabel"));
    Put("Gauge", ControlText(form, "Progress"));
    const TGraphicControlState label = QueryControl(form, "ResultLabel");
    Put("LabelState", std::string(label.visible ? "visible" : "hidden") + (label.enabled ? " enabled " : " disabled ") +
                          std::to_string(label.bounds.left) + "," + std::to_string(label.bounds.top));
    // Not answered: a windowed control, an unknown name, an atom that names nothing.
    Put("QueryWindowed", QueryControl(form, "NameEdit").found ? "1" : "0");
    Put("QueryUnknown", QueryControl(form, "Fehlt1").found ? "1" : "0");
    TGraphicControlState unused;
    HWND asker = TControlQueryAnswer::Make(unused);
    DWORD_PTR answer = 1;
    SendMessageTimeoutA(form, TM_CONTROLQUERY, 0, reinterpret_cast<LPARAM>(asker), SMTO_ABORTIFHUNG, 5000, &answer);
    DestroyWindow(asker);
    Put("QueryNoName", std::to_string(answer));
    PostMessageA(form, WM_CLOSE, 0, 0);
    return 0;
}

std::string StateText(const TMenuItemState& s)
{
    if (!s.found) return "none";
    return std::string(s.visible ? "visible" : "hidden") + (s.enabled ? " enabled" : " disabled") +
           (s.checked ? " checked" : "") + " id " + std::to_string(s.command);
}

int DriveMenu()
{
    HWND form = nullptr;
    if (!WaitFor([&] { return (form = FindFormWindow("TAutoForm")) && IsWindowVisible(form); })) {
        Put("error", "form not found");
        return 1;
    }
    Put("Hallo1", StateText(QueryMenuItem(form, "hallo1")));
    Put("Versteckt1", StateText(QueryMenuItem(form, "Versteckt1")));
    Put("Fehlt1", StateText(QueryMenuItem(form, "Fehlt1")));
    Put("ClickHidden", ClickMenuItem(form, "Versteckt1") ? "1" : "0");
    Put("Click", ClickMenuItem(form, "Hallo1") ? "1" : "0");
    HWND inner = FindControlWindow(form, "InnerPanel");
    WaitFor([&] { return WindowText(inner) == "Hallo aus dem Menü"; });
    Put("PanelAfterClick", WindowText(inner));
    return 0;
}

// Reads a label at once, while the form's thread may be busy.
int DriveLabel()
{
    HWND form = nullptr;
    if (!WaitFor([&] { return (form = FindFormWindow("TAutoForm")) && IsWindowVisible(form); })) {
        Put("error", "form not found");
        return 1;
    }
    Put("Label", ControlText(form, "ResultLabel"));
    return 0;
}

int DriveModal(const char* buttonName)
{
    HWND dlg = nullptr;
    if (!WaitFor([&] { return (dlg = FindFormWindow("TModalDlg")) && IsWindowVisible(dlg); })) {
        Put("error", "dialog not found");
        return 1;
    }
    HWND host = FindFormWindow("TModalHost");
    Put("HostEnabled", IsWindowEnabled(host) ? "1" : "0");
    // A click on the window behind the dialog must do nothing.
    SendMessageA(FindControlWindow(host, "HostButton"), BM_CLICK, 0, 0);
    if (std::string(buttonName) == "close") PostMessageA(dlg, WM_CLOSE, 0, 0);
    else PostMessageA(FindControlWindow(dlg, buttonName), BM_CLICK, 0, 0);
    WaitFor([&] { return !IsWindowVisible(dlg); });
    Put("DialogVisible", IsWindowVisible(dlg) ? "1" : "0");
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 3) return 2;
    std::string mode = argv[1];
    const char* reportName = argv[argc - 1];
    report = std::fopen(reportName, "w");
    if (!report) return 3;
    int rc = mode == "auto"                 ? DriveAutoForm()
             : mode == "menu"               ? DriveMenu()
             : mode == "label"              ? DriveLabel()
             : mode == "modal" && argc == 4 ? DriveModal(argv[2])
                                            : 2;
    std::fclose(report);
    return rc;
}
