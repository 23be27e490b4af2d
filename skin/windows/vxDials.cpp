#include "skin/windows/vxDials.h"

#include <commctrl.h>

#include <algorithm>
#include <cctype>
#include <memory>
#include <string>
#include <type_traits>

#include "gui/Controls.h"
#include "gui/Forms.h"
#include "skin/engine/sMessages.h"
#include "skin/engine/sSkinManager.h"
#include "skin/windows/sComposition.h"
#include "skin/windows/sSkinProvider.h"
#include "skin/windows/sVclUtils.h"
#include "skin/windows/vxBtnWnd.h"
#include "skin/windows/vxComboBoxWnd.h"
#include "skin/windows/vxDialogWnd.h"
#include "skin/windows/vxEditWnd.h"
#include "skin/windows/vxListViewWnd.h"
#include "skin/windows/vxMainWnd.h"
#include "skin/windows/vxMnuWnd.h"
#include "skin/windows/vxPanelWnd.h"
#include "skin/windows/vxSizerWnd.h"
#include "skin/windows/vxSpinWnd.h"
#include "skin/windows/vxStaticWnd.h"
#include "skin/windows/vxTabWnd.h"
#include "skin/windows/vxToolBarWnd.h"

namespace {

// The popup-menu and dialog classes as integer atoms.
constexpr ULONG_PTR MenuAtom = 32768, DialogAtom = 32770;

struct THookState {
    HHOOK hook = nullptr;
    std::vector<TvxMainWnd*> hooked;
    std::unique_ptr<std::vector<TvxMainWnd*>> popups;
    std::vector<TvxMainWnd*> menuWindows;
    std::vector<TvxProvider*> providers;
} state;

std::string Lower(std::string s)
{
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}

std::string ClassNameOf(HWND wnd)
{
    char buf[128] = "";
    GetClassNameA(wnd, buf, sizeof buf);
    return buf;
}

// The class of a window being created: lpszClass is an atom (its high bits zero) or a text.
std::string CreatedClass(const CREATESTRUCTA* cs, HWND wnd)
{
    if (!cs || !cs->lpszClass) return ClassNameOf(wnd);
    const auto value = reinterpret_cast<ULONG_PTR>(cs->lpszClass);
    if (value <= 0xFFFF) {
        if (value == MenuAtom) return "#32768";
        if (value == DialogAtom) return "#32770";
        return ClassNameOf(wnd);
    }
    return cs->lpszClass;
}

// The flat scroll bars of a dialog switched off (when the common controls offer that).
void SwitchOffFlatScrollBars(HWND wnd)
{
    using TUninitializeFlatSB = HRESULT(WINAPI*)(HWND);
    static const auto proc = [] {
        HMODULE lib = GetModuleHandleA("comctl32.dll");
        return lib ? reinterpret_cast<TUninitializeFlatSB>(
                         reinterpret_cast<void*>(GetProcAddress(lib, "UninitializeFlatSB")))
                   : nullptr;
    }();
    if (proc) proc(wnd);
}

bool ApplicationGoing() { return !Application || Application->InState(csDestroying); }

void Append(TvxProvider* p) { state.providers.push_back(p); }

void ClearSlot(TvxProvider* p)
{
    std::replace(state.providers.begin(), state.providers.end(), p, static_cast<TvxProvider*>(nullptr));
}

// A popup-menu window gets its adapter.
void SkinMenuWindow(HWND wnd)
{
    TsSkinManager* m = DefaultManager();
    if (!m || DwmCompositionEnabled() || !m->SkinnedPopups() || AskWindow(wnd, cmdIsSkinned)) return;
    if (TvxMnuWnd* a = AttachMenuWindow(wnd); a && state.popups) state.popups->push_back(a);
}

// A child control's adapter by its class and style.
TvxMainWnd* MakeChildAdapter(TvxDialogWnd* dialog, HWND wnd, const std::string& cls, LONG_PTR style)
{
    TsSkinManager* m = dialog->SkinData ? dialog->SkinData->GetSkinManager() : DefaultManager();
    const auto make = [&](auto* tag, const char* section) -> TvxMainWnd* {
        using T = std::remove_pointer_t<decltype(tag)>;
        return CreateAdapter<T>(wnd, nullptr, m, section, true);
    };
    const auto dlgMode = [](TvxMainWnd* a) {
        if (a) a->DlgMode = true;
        return a;
    };
    if (cls == "static") {
        if ((style & 3) == 3 || (style & 0x0E) == 0x0E) return make(static_cast<TvxIconWnd*>(nullptr), "CHECKBOX");
        if ((style & 0x0D) == 0x0D) return nullptr;
        const LONG_PTR kind = style & 0x1F;
        if (kind == 5 || kind == 6 || kind == 11) return nullptr;
        return make(static_cast<TvxStaticWnd*>(nullptr), "CHECKBOX");
    }
    if (cls == "#32770" || cls == "shbrowseforfolder") return make(static_cast<TvxTransPanelWnd*>(nullptr), "CHECKBOX");
    if (cls == "edit" || cls == "combobox" || cls == "combolbox" || cls == "comboboxex32")
        dialog->SkipClientPaint = false;
    if (cls == "edit") return IsWindowVisible(wnd) ? dlgMode(make(static_cast<TvxEditWnd*>(nullptr), "EDIT")) : nullptr;
    if (cls == "button") {
        if ((style & 7) == 7) return make(static_cast<TvxGroupBoxWnd*>(nullptr), "GROUPBOX");
        if ((style & 3) == 3 || (style & 2) == 2 || (style & 5) == 5 || (style & 9) == 9 || (style & 4) == 4)
            return make(static_cast<TvxCheckBoxWnd*>(nullptr), "CHECKBOX");
        return make(static_cast<TvxBtnWnd*>(nullptr), "BUTTON");
    }
    if (cls == "combobox") return dlgMode(make(static_cast<TvxComboBoxWnd*>(nullptr), "COMBOBOX"));
    if (cls == "comboboxex32") return make(static_cast<TvxComboBoxWnd*>(nullptr), "COMBOBOX");
    if (cls == "combolbox") return make(static_cast<TvxEditWnd*>(nullptr), "COMBOBOX");
    if (cls == "scrollbar") return make(static_cast<TvxSizerWnd*>(nullptr), "CHECKBOX");
    if (cls == "systabcontrol32")
        return (style & TCS_OWNERDRAWFIXED) ? nullptr : make(static_cast<TvxTabControlWnd*>(nullptr), "PAGECONTROL");
    if (cls == "syslistview32") return dlgMode(make(static_cast<TvxListViewWnd*>(nullptr), "EDIT"));
    if (cls == "msctls_updown32") return make(static_cast<TvxSpinWnd*>(nullptr), "SPEEDBUTTON_SMALL");
    if (cls == "listbox") return dlgMode(make(static_cast<TvxEditWnd*>(nullptr), "EDIT"));
    if (cls == "link window" || cls == "syslink") return make(static_cast<TvxLinkWnd*>(nullptr), "CHECKBOX");
    if (cls == "toolbarwindow32")
        return make(static_cast<TvxToolBarWnd*>(nullptr), (style & 0x200) ? "BAR" : "CHECKBOX");
    if (cls == "systreeview32") return dlgMode(make(static_cast<TvxTreeViewWnd*>(nullptr), "EDIT"));
    return nullptr;
}

} // namespace

std::vector<TvxMainWnd*>& HookedWindowList() { return state.hooked; }
std::vector<TvxMainWnd*>* PopupWindowList() { return state.popups.get(); }
std::vector<TvxProvider*>& ProviderList() { return state.providers; }

int LiveProviderCount()
{
    return static_cast<int>(std::count_if(state.providers.begin(), state.providers.end(), [](auto* p) { return p; }));
}

void ForgetPopupWindow(TvxMainWnd* adapter)
{
    if (state.popups) std::erase(*state.popups, adapter);
}

// ---- the provider

TvxProvider::TvxProvider(TComponent* owner) : TComponent(owner) {}

TvxProvider::~TvxProvider()
{
    ClearSlot(this);
    if (SkinProvider) return;
    for (TvxMainWnd* a : ChildAdapters)
        delete a;
    ChildAdapters.clear();
    delete DialogWnd;
    DialogWnd = nullptr;
}

void TvxProvider::InitForm(TForm* form)
{
    SkinProvider = new TsSkinProvider(form);
    if (DwmCompositionEnabled() && form->HandleAllocated()) {
        if (!SkinProvider->CtrlAdapter()) SkinProvider->Loaded();
        SetWindowLongPtrA(form->Handle(), GWL_STYLE, GetWindowLongPtrA(form->Handle(), GWL_STYLE) | WS_VISIBLE);
        RedrawWindow(form->Handle(), nullptr, nullptr, 0x585);
    }
    SkinProvider->SetMakeSkinMenu(false);
}

bool TvxProvider::InitDialog(HWND wnd)
{
    DialogHandle = wnd;
    ChildAdapters.clear();
    TsSkinManager* m = DefaultManager();
    if (DialogWnd || !m || !m->Active()) return true;
    RightToLeftScroll = (GetWindowLongPtrA(wnd, GWL_EXSTYLE) & WS_EX_LEFTSCROLLBAR) != 0;
    SwitchOffFlatScrollBars(wnd);
    DialogWnd = CreateAdapter<TvxDialogWnd>(wnd, nullptr, m, "DIALOG", false);
    if (!DialogWnd) return false;
    DialogWnd->Provider = this;
    const bool done = AddChildren(wnd);
    if (done) {
        DialogWnd->CaptionIndex = m->GetSkinIndex("CAPTION");
        DialogWnd->AfterInit();
        SendSkinCommand(wnd, cmdSkinChanged, reinterpret_cast<LPARAM>(m));
    } else ClearSlot(this);
    return done;
}

bool TvxProvider::AddChildren(HWND wnd)
{
    for (HWND child = GetTopWindow(wnd); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (!AddChildren(child)) return false;
        if ((GetWindowLongPtrA(child, GWL_STYLE) & WS_CHILD) && !AddChild(child)) return false;
    }
    return true;
}

bool TvxProvider::AddChild(HWND wnd)
{
    if (!wnd || AskWindow(wnd, cmdIsSkinned) || !DialogWnd) return true;
    const std::string cls = Lower(ClassNameOf(wnd));
    const LONG_PTR style = GetWindowLongPtrA(wnd, GWL_STYLE);
    NextDlgMode = 1;
    if (cls == "tpanel" || cls == "tsilentpaintpanel") {
        if (auto* a = CreateAdapter<TvxDlgPanelWnd>(wnd, nullptr, DefaultManager(), "PANEL", true))
            ChildAdapters.push_back(a);
        NextDlgMode = 0;
        return true;
    }
    TvxMainWnd* a = MakeChildAdapter(DialogWnd, wnd, cls, style);
    NextDlgMode = 0;
    if (!a) return true;
    ChildAdapters.push_back(a);
    ReadWindowGeometry(wnd, a->ParentWnd, a->WndRect, a->WndPos, a->WndSize, a->ParentRect);
    return true;
}

bool RescanDialogChildren(TvxProvider* provider)
{
    return provider && provider->DialogHandle && provider->AddChildren(provider->DialogHandle);
}

// ---- lookups

TvxProvider* FindProvider(HWND wnd)
{
    for (TvxProvider* p : state.providers)
        if (p && p->DialogHandle == wnd) return p;
    return nullptr;
}

TForm* FindForm(HWND wnd)
{
    if (!Screen || !wnd) return nullptr;
    for (int i = Screen->FormCount() - 1; i >= 0; --i) {
        TForm* f = Screen->Forms(i);
        if (f->HandleAllocated() && f->Handle() == wnd) return f;
        if (f->FormStyle() != fsMDIForm) continue;
        for (int j = 0; j < f->MDIChildCount(); ++j)
            if (TForm* c = f->MDIChildren(j); c && c->HandleAllocated() && c->Handle() == wnd) return c;
    }
    return nullptr;
}

void FreeDeadDialogs()
{
    const std::vector<TvxProvider*> list = state.providers;
    for (TvxProvider* p : list)
        // Only once the window is gone: none of its messages is still being handled.
        if (p && p->DialogWnd && p->DialogWnd->Destroyed && !IsWindow(p->DialogHandle) &&
            std::find(state.providers.begin(), state.providers.end(), p) != state.providers.end()) {
            p->DialogWnd->Destroyed = false;
            p->Free();
        }
}

int CountVisibleDialogs()
{
    return static_cast<int>(std::count_if(state.providers.begin(), state.providers.end(), [](TvxProvider* p) {
        return p && p->DialogWnd && p->DialogWnd->CtrlHandle && IsWindowVisible(p->DialogWnd->CtrlHandle);
    }));
}

bool HasChildOfClass(HWND wnd, const char* className)
{
    for (HWND child = GetTopWindow(wnd); child; child = GetWindow(child, GW_HWNDNEXT))
        if (Lower(ClassNameOf(child)) == className || HasChildOfClass(child, className)) return true;
    return false;
}

// ---- the hook

bool AddSupportedForm(HWND wnd, const CREATESTRUCTA* createStruct)
{
    TsSkinManager* m = DefaultManager();
    if (!m || ApplicationGoing() || !wnd || AskWindow(wnd, cmdIsSkinned)) return false;
    std::string cls;
    if (createStruct && createStruct->lpszClass) cls = CreatedClass(createStruct, wnd);
    if (cls.empty()) cls = ClassNameOf(wnd);
    if (FindProvider(wnd)) return false;
    const unsigned rules = m->SkinningRules();
    if (TForm* form = FindForm(wnd)) {
        if (form->InState(csLoading) || form->Tag() == -98 || TsSkinProvider::Of(form)) return false;
        if (cls == "TApplication" || cls == "TQRStandardPreview" || cls == "TfcPopup") return false;
        const bool messageForm = lstrcmpA(form->ClassName(), "TMessageForm") == 0;
        if (!(rules & (messageForm ? srStdDialogs : srStdForms))) return false;
        const auto skin = [](TForm* f) {
            auto* p = new TvxProvider(f);
            Append(p);
            p->InitForm(f);
        };
        skin(form);
        if (form->FormStyle() == fsMDIForm)
            for (int i = 0; i < form->MDIChildCount(); ++i)
                if (TForm* c = form->MDIChildren(i);
                    c && c->HandleAllocated() && !AskWindow(c->Handle(), cmdIsSkinned) && !TsSkinProvider::Of(c))
                    skin(c);
        return true;
    }
    // A dialog inside another window (a page) is left to its container; an owner (a message
    // box's form) is no parent.
    if (lstrcmpA(cls.c_str(), "#32770") != 0 || !(rules & srStdDialogs)) return false;
    if (const HWND parent = GetAncestor(wnd, GA_PARENT); parent && parent != GetDesktopWindow()) return false;
    if (CountVisibleDialogs() > 0 && !HasChildOfClass(wnd, "toolbarwindow32")) return false;
    auto* p = new TvxProvider(nullptr);
    Append(p);
    if (!p->InitDialog(wnd)) p->Free();
    return true;
}

void AddMDIChildren(TForm* main)
{
    // The children are not asked while the rules leave forms plain.
    TsSkinManager* m = DefaultManager();
    if (!state.hook || !m || !(m->SkinningRules() & srStdForms) || !main || main->FormStyle() != fsMDIForm) return;
    for (int i = 0; i < main->MDIChildCount(); ++i)
        if (TForm* c = main->MDIChildren(i); c && c->HandleAllocated() && !AskWindow(c->Handle(), cmdIsSkinned))
            AddSupportedForm(c->Handle(), nullptr);
}

// Every provider freed (each leaves the list, a form's also its form, with the form provider it
// made) and the list emptied.
void FreeProviders()
{
    const std::vector<TvxProvider*> providers = state.providers;
    for (TvxProvider* p : providers) {
        if (!p || std::find(state.providers.begin(), state.providers.end(), p) == state.providers.end()) continue;
        TsSkinProvider* made = p->SkinProvider;
        p->Free();
        if (made) made->Free();
    }
    state.providers.clear();
}

LRESULT CALLBACK SkinHookProc(int code, WPARAM wParam, LPARAM lParam)
{
    const LRESULT result = CallNextHookEx(state.hook, code, wParam, lParam);
    if (ApplicationGoing()) return result;
    const auto wnd = reinterpret_cast<HWND>(wParam);
    switch (code) {
    case HCBT_CREATEWND: {
        if (!wnd) break;
        const auto* cbt = reinterpret_cast<const CBT_CREATEWNDA*>(lParam);
        const CREATESTRUCTA* cs = cbt ? cbt->lpcs : nullptr;
        const std::string cls = CreatedClass(cs, wnd);
        if (cls == "#32768") SkinMenuWindow(wnd);
        else if (cls == "#32770") AddSupportedForm(wnd, nullptr);
        break;
    }
    case HCBT_DESTROYWND:
        FreeDeadDialogs();
        break;
    case HCBT_ACTIVATE:
        AddSupportedForm(wnd, nullptr);
        break;
    default:
        break;
    }
    return result;
}

void InstallSkinHook()
{
    if (state.hook) return;
    if (!state.popups) state.popups = std::make_unique<std::vector<TvxMainWnd*>>();
    state.hook = SetWindowsHookExA(WH_CBT, SkinHookProc, nullptr, GetCurrentThreadId());
}

void RemoveSkinHook()
{
    if (!state.hook) return;
    ClearMenuWndList();
    UnhookWindowsHookEx(state.hook);
    state.hook = nullptr;
    FreeProviders();
    if (state.popups) {
        const std::vector<TvxMainWnd*> popups = *state.popups;
        state.popups.reset();
        for (TvxMainWnd* a : popups)
            delete a;
    }
}

bool SkinHookInstalled() { return state.hook != nullptr; }

std::vector<TvxMainWnd*>& MenuWndList() { return state.menuWindows; }

void ClearMenuWndList() { state.menuWindows.clear(); }

void DialsStart() {}

void DialsEnd()
{
    RemoveSkinHook();
    ClearMenuWndList();
    FreeProviders();
}

void BroadcastToHookedWindows(TMessage& message)
{
    const std::vector<TvxMainWnd*> list = state.hooked;
    for (TvxMainWnd* a : list)
        if (std::find(state.hooked.begin(), state.hooked.end(), a) != state.hooked.end() && a->CtrlHandle &&
            IsWindowVisible(a->CtrlHandle))
            message.Result = SendMessageA(a->CtrlHandle, message.Msg, message.WParam, message.LParam);
}

void RedrawPopupWindows(UINT flags)
{
    if (!state.popups) return;
    for (TvxMainWnd* a : *state.popups)
        if (a->CtrlHandle && IsWindowVisible(a->CtrlHandle)) RedrawWindow(a->CtrlHandle, nullptr, nullptr, flags);
}
