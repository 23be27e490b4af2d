// Forms and the application object.
//
// A form class derives from TForm, lists its handlers and component fields in Bindings(), and
// has its layout in a form description compiled in as an RCDATA resource named after the
// class (see FormReader.h and tillora_form_resources in cmake/Tillora.cmake):
//
//   class TKassTip : public TForm {
//       GUI_CLASS(TKassTip, TForm)
//       using TForm::TForm;
//       TButton* KassButton = nullptr;
//       void KassButtonClick(TObject* Sender);
//   protected:
//       const TFormBindings& Bindings() const override {
//           static const TFormBindings b = {
//               {"KassButton", &TKassTip::KassButton},            // field <- component
//               {"KassButtonClick", &TKassTip::KassButtonClick},  // handler by name
//           };
//           return b;
//       }
//   };
//   Application->CreateForm(KassTip);      // or TForm::Create<TKassTip>(owner)
//   KassTip->Free();                        // or Release(); the owner frees it otherwise
//
// A form ends with Free (never a plain delete): BeforeDestruction runs OnDestroy and destroys
// the window while the derived form and its members still exist, then the destructors run.
// Application->Run frees the application's forms, the last created first, when it ends.
//
// A handler named in the description that Bindings() lacks, or a listed field without its
// component, raises EComponentError while the form is created.
//
// While a form lives it is listed in Screen (Screen->Forms(i), in creation order, whoever owns
// it). Its window answers TM_MENUITEMQUERY and TM_CONTROLQUERY, so that another process reads
// its menu items and graphic controls by name (gui/Automation.h). Focus changes inside it send
// CM_CANCELMODE, CM_FOCUSCHANGED, CM_EXIT, CM_ENTER and CM_UIACTIVATE (gui/Messages.h); showing
// and hiding runs through CM_SHOWINGCHANGED, so a hook on the form's WindowProc sees both.
//
// An MDI main form (FormStyle fsMDIForm) makes its MDI client window with its own window
// (ClientHandle) and lays it over the client area that its aligned controls leave free; its
// default window procedure is DefFrameProc. An fsMDIChild form lives inside the client window
// of its MDI main form, which is its owner when that is an MDI main form, else the application's
// main form; DefMDIChildProc is its default procedure. A child made while its main form has no
// window yet makes the main form's window first; without an MDI main form it is refused with
// EInvalidOperation. Children are visible from the start and freed when closed; the message loop
// hands the keys to TranslateMDISysAccel (Ctrl+F4 closes the active child, Ctrl+F6 the next):
//
//   auto* main = new TForm(Application);  main->SetFormStyle(fsMDIForm);  main->InitializeForm();
//   auto* doc = new TForm(main);          doc->SetFormStyle(fsMDIChild);  doc->InitializeForm();
//   main->MDIChildCount();   // 1; main->ActiveMDIChild() == doc; main->Tile(), main->Cascade()
#pragma once

#include <any>
#include <exception>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "gui/Controls.h"
#include "gui/Icons.h"

class TMainMenu;
class TMenuItem;

// Modal results.
enum : int {
    mrNone = 0,
    mrOk = 1,
    mrCancel = 2,
    mrAbort = 3,
    mrRetry = 4,
    mrIgnore = 5,
    mrYes = 6,
    mrNo = 7,
    mrClose = 8
};

enum TCloseAction { caNone, caHide, caFree, caMinimize };
using TCloseEvent = std::function<void(TObject* Sender, TCloseAction& Action)>;
using TCloseQueryEvent = std::function<void(TObject* Sender, bool& CanClose)>;

enum : unsigned { biSystemMenu = 1, biMinimize = 2, biMaximize = 4, biHelp = 8 };
// Where a form goes when it is first shown. poDefault and poDefaultPosOnly cascade from the top
// left of the work area as the system does (poDefault also takes three quarters of the work
// area as its size); the centred ones centre on the screen or the main form.
enum TPosition {
    poDesigned,
    poDefault,
    poDefaultPosOnly,
    poDefaultSizeOnly,
    poScreenCenter,
    poDesktopCenter,
    poMainFormCenter,
    poOwnerFormCenter
};
enum TFormStyle { fsNormal, fsMDIChild, fsMDIForm, fsStayOnTop };
enum TWindowState { wsNormal, wsMinimized, wsMaximized };
// What a form is doing now (TForm::FormState).
enum : unsigned {
    fsCreating = 0x01,        // from construction until its creation (and OnCreate) is finished
    fsShowing = 0x02,         // while it is being shown or hidden (CM_SHOWINGCHANGED)
    fsModal = 0x04,           // while ShowModal runs
    fsCreatedMDIChild = 0x08, // its window is an MDI child, from its creation until it goes
};
// Size limits of a form's window; 0 means no limit.
struct TSizeConstraints {
    int MinWidth = 0, MinHeight = 0, MaxWidth = 0, MaxHeight = 0;
};

// One entry of a form's binding table: a handler method or a component field, by name.
class TFormBinding {
public:
    template <class F, class... A> TFormBinding(const char* name, void (F::*method)(A...)) : name_(name)
    {
        bindHandler_ = [method](TComponent* form) -> std::any {
            F* f = static_cast<F*>(form);
            return std::function<void(A...)>([f, method](A... a) { (f->*method)(std::forward<A>(a)...); });
        };
    }
    template <class F, class T> TFormBinding(const char* name, T* F::*field) : name_(name)
    {
        bindField_ = [field](TComponent* form, TComponent* c) {
            T* t = dynamic_cast<T*>(c);
            if (t) static_cast<F*>(form)->*field = t;
            return t != nullptr;
        };
    }
    const std::string& Name() const { return name_; }
    bool IsHandler() const { return static_cast<bool>(bindHandler_); }
    std::any BindHandler(TComponent* form) const { return bindHandler_(form); }
    bool BindField(TComponent* form, TComponent* c) const { return bindField_(form, c); }

private:
    std::string name_;
    std::function<std::any(TComponent*)> bindHandler_;
    std::function<bool(TComponent*, TComponent*)> bindField_;
};
using TFormBindings = std::vector<TFormBinding>;

class TForm : public TCustomControl {
    GUI_CLASS(TForm, TCustomControl)
    explicit TForm(TComponent* owner);
    ~TForm() override;

    // Makes a form of class T: constructs it, reads its description, binds handlers and
    // fields, creates its window, runs OnCreate and shows it when it is stored visible. An
    // exception of OnCreate is shown (Application->ShowException) and the creation goes on;
    // any other step's exception frees the form and passes out.
    template <class T> static T* Create(TComponent* owner)
    {
        T* f = new T(owner);
        try {
            f->InitializeForm();
        } catch (...) {
            f->Free();
            throw;
        }
        return f;
    }
    // The creation steps after construction (Create and TApplication::CreateForm call it).
    void InitializeForm();

    void SetVisible(bool visible) override;
    void SetClientSize(int width, int height) override;
    int ClientWidth() const override;
    int ClientHeight() const override;
    void Close();
    // Shows the form modally: the other windows of the thread are disabled, messages are
    // handled until ModalResult is set (a button with a modal result, or closing: mrCancel).
    int ShowModal();
    int ModalResult() const { return modalResult_; }
    void SetModalResult(int r) { modalResult_ = r; }
    bool Modal() const { return modal_; }
    // Frees the form (Free) once the current message is handled.
    void Release();
    // Runs OnDestroy, then destroys the window, while the derived form still exists.
    void BeforeDestruction() override;

    TMainMenu* Menu() const { return menu_; }
    void SetMenu(TMainMenu* menu);
    TFormBorderStyle BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(TFormBorderStyle s)
    {
        borderStyle_ = s;
        RecreateStyle();
    }
    unsigned BorderIcons() const { return borderIcons_; }
    void SetBorderIcons(unsigned b)
    {
        borderIcons_ = b;
        RecreateStyle();
    }
    TPosition Position() const { return position_; }
    void SetPosition(TPosition p) { position_ = p; }
    TFormStyle FormStyle() const { return formStyle_; }
    // Takes effect on the window (a window that exists is made again for the MDI styles); an MDI
    // child becomes visible.
    void SetFormStyle(TFormStyle s);
    // ---- MDI main forms
    // The MDI client window (none unless the form is an MDI main form with a window).
    HWND ClientHandle() const { return clientHandle_; }
    // The MDI children that live in the client window, in creation order.
    int MDIChildCount() const;
    TForm* MDIChildren(int index) const; // none outside 0 .. MDIChildCount() - 1
    // The active MDI child (WM_MDIGETACTIVE), or none.
    TForm* ActiveMDIChild() const;
    // The children arranged side by side (WM_MDITILE, MDITILE_HORIZONTAL) or overlapping
    // (WM_MDICASCADE).
    void Tile();
    void Cascade();
    // ---- MDI children
    // The MDI main form whose client window holds this child (or would hold it: its owner when
    // that is an MDI main form, else the application's main form when that is one); none for a
    // form that is no MDI child or has no MDI main form.
    TForm* MDIMainForm() const;
    bool Active() const;
    TWinControl* ActiveControl() const;
    void SetActiveControl(TWinControl* c);
    // A control of this form got the focus: the form gives it back to that control whenever the
    // form is activated again, and tells the controls about the change (CM_CANCELMODE to the
    // one before, CM_FOCUSCHANGED to all, CM_EXIT and CM_ENTER along the parents, CM_UIACTIVATE).
    void ChildFocused(TWinControl* c);
    // A control of this form goes away: the form forgets it.
    void ControlDestroyed(TControl* c);
    // Moves the focus from a control to the next one Tab reaches (backwards: Shift+Tab),
    // wrapping around; false when the form has none.
    bool SelectNext(TWinControl* current, bool forward);
    // The menu item with this command id in the form's menus, or none.
    TMenuItem* FindMenuItem(UINT command) const;

    unsigned FormState() const { return formState_; }
    // With AlphaBlend the window is layered and drawn with AlphaBlendValue (0 clear .. 255 opaque).
    bool AlphaBlend() const { return alphaBlend_; }
    void SetAlphaBlend(bool v);
    int AlphaBlendValue() const { return alphaBlendValue_; }
    void SetAlphaBlendValue(int v); // limited to 0..255
    // The window's icon (big and small); empty: the system's.
    TIcon& Icon() { return *icon_; }
    void SetIcon(HICON icon); // takes the icon
    // Minimised, maximised or normal; applied when the form is shown, or at once when it is.
    TWindowState WindowState() const;
    void SetWindowState(TWindowState s);
    const TSizeConstraints& Constraints() const { return constraints_; }
    void SetConstraints(const TSizeConstraints& c);
    // With AutoScroll the form shows scroll bars while its children reach past the client area,
    // and scrolls them.
    bool AutoScroll() const { return autoScroll_; }
    void SetAutoScroll(bool v);
    // The scrolled distance (pixels the children moved left and up).
    POINT ScrollPos() const { return scrollPos_; }
    void RecreateWnd() override;

    TNotifyEvent OnCreate, OnDestroy, OnShow, OnHide, OnPaint, OnActivate, OnDeactivate, OnResize;
    TCloseEvent OnClose;
    TCloseQueryEvent OnCloseQuery;

    void SetProperty(const std::string& name, const TPropValue& value) override;
    void SetEventHandler(const std::string& event, const TBoundHandler& handler) override;
    void Loaded() override;
    void Notification(TComponent* component) override;

    // The next command id for a menu item of this form (ids start at 100, in creation order).
    UINT NextMenuCommand() { return nextMenuCommand_++; }

    virtual const TFormBindings& Bindings() const;

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;
    void DestroyHandle() override;
    void DestroyWindowHandle() override;
    void WndProc(TMessage& m) override;
    void DefaultHandler(TMessage& m) override;
    void ControlsAligned(const RECT& rest) override;
    void Paint(TCanvas& canvas) override;

private:
    void ApplyPosition();
    void FireOnDestroy();
    // The answer to TM_MENUITEMQUERY (gui/Messages.h).
    LRESULT MenuItemQuery(ATOM nameAtom, LPARAM ask) const;
    // The answer to TM_CONTROLQUERY (gui/Messages.h).
    LRESULT ControlQuery(ATOM nameAtom, HWND asker) const;
    // Shows or hides the window as Visible says (CM_SHOWINGCHANGED).
    void ShowingChangedHandler();
    void ApplyAlphaBlend();
    void UpdateScrollBars();
    void ScrollHandler(int bar, WORD code);
    void ScrollTo(int bar, int pos);
    void MinMaxInfo(MINMAXINFO& info) const;
    void RecreateStyle();
    // The MDI client window of an MDI main form (at WM_CREATE).
    void CreateClientWindow();
    void ReadDescription();
    void BindFields();
    bool CloseQuery();

    TMainMenu* menu_ = nullptr;
    std::string menuName_;
    TFormBorderStyle borderStyle_ = bsSizeable;
    unsigned borderIcons_ = biSystemMenu | biMinimize | biMaximize;
    TPosition position_ = poDesigned;
    TFormStyle formStyle_ = fsNormal;
    int modalResult_ = mrNone;
    bool modal_ = false;
    bool positioned_ = false;
    TWinControl* activeControl_ = nullptr;
    std::string activeControlName_;
    UINT nextMenuCommand_ = 100;
    int clientWidth_ = -1, clientHeight_ = -1;
    TWinControl* focusedControl_ = nullptr; // the control that had the focus last
    unsigned formState_ = fsCreating;
    bool alphaBlend_ = false;
    int alphaBlendValue_ = 255;
    std::unique_ptr<TIcon> icon_;
    TWindowState windowState_ = wsNormal;
    TSizeConstraints constraints_;
    bool autoScroll_ = false;
    POINT scrollPos_{0, 0};
    HWND clientHandle_ = nullptr; // the MDI client window of an MDI main form
};

// The live forms of the program, in creation order, whoever owns them.
class TScreen {
public:
    int FormCount() const { return static_cast<int>(forms_.size()); }
    TForm* Forms(int index) const { return forms_.at(static_cast<size_t>(index)); }
    void AddForm(TForm* f) { forms_.push_back(f); }
    void RemoveForm(TForm* f) { std::erase(forms_, f); }
    // The font of menus: the system's menu font, read when first asked for.
    TFont& MenuFont();
    // The font of hints: the system's status font, read when first asked for.
    TFont& HintFont();

private:
    std::vector<TForm*> forms_;
    std::unique_ptr<TFont> menuFont_, hintFont_;
};

extern TScreen* Screen;

class TApplication : public TComponent {
    GUI_CLASS(TApplication, TComponent)
    TApplication();
    ~TApplication() override;

    // Creates a form owned by the application; the first one becomes the main form.
    template <class T> void CreateForm(T*& ref)
    {
        T* f = new T(this);
        ref = f;
        if (!mainForm_) mainForm_ = f;
        try {
            f->InitializeForm();
        } catch (...) {
            if (mainForm_ == f) mainForm_ = nullptr;
            ref = nullptr;
            f->Free();
            throw;
        }
    }
    TForm* MainForm() const { return mainForm_; }
    void SetMainForm(TForm* f) { mainForm_ = f; }

    // Shows the main form, handles messages until Terminate, then frees every form the
    // application owns, in reverse creation order (the main form among them).
    void Run();
    // Frees the application's forms, the last created first.
    void DestroyForms();
    void Terminate();
    bool Terminated() const { return terminated_; }
    // Handles every waiting message and returns. Without `paint` the windows' painting waits:
    // input, posted and sent messages are handled, WM_PAINT stays pending for a later call.
    void ProcessMessages(bool paint = true);
    // Waits for one message and handles it.
    void HandleMessage();
    // Shows an exception's text in a message box (an EAbort shows nothing, and OnException does
    // not see it).
    void ShowException(const std::exception& e);
    int MessageBox(const std::string& text, const std::string& caption, UINT flags);

    // The application's own hidden window (made on first use, freed with the application):
    // components hook it to see its messages. The library sends it CM_ACTIVATE whenever the
    // program becomes the active one (WM_ACTIVATEAPP of a form); the reflected notifications
    // (CN_...) never reach it. A hook answers true when it handled the message: the later hooks
    // and the default handling do not see it then.
    using TWindowHook = std::function<bool(TMessage&)>;
    HWND AppWindow();
    bool AppWindowMade() const { return appWindow_ != nullptr; }
    // Adds a hook (the last added is asked first); the answer identifies it for the removal.
    int HookMainWindow(TWindowHook hook);
    void UnhookMainWindow(int id);

    std::string ExeName() const;
    // The executable's folder with a trailing backslash.
    std::string ExeFolder() const;
    const std::string& Title() const { return title_; }
    void SetTitle(const std::string& t) { title_ = t; }
    HWND Handle() const;

    // Replaces the message box of ShowException (tests collect the texts with it).
    std::function<void(const std::exception&)> OnException;
    // Frees forms that asked for it with Release.
    void DeferDelete(TComponent* c);
    void Notification(TComponent* component) override;

    // Counts the forms created and destroyed (tests check for leaks with it).
    int LiveForms() const { return liveForms_; }
    void FormCreated() { ++liveForms_; }
    void FormDestroyed() { --liveForms_; }

private:
    bool ProcessMessage(MSG& msg);
    // Tab, Shift+Tab and the arrow keys in a group of radio buttons move the focus between
    // the controls of a form; Enter clicks the focused button or else the form's Default
    // button, Esc its Cancel button (unless the focused control takes the key itself); true
    // when the key was used so.
    bool NavigationKey(const MSG& msg);
    bool DialogKey(TForm* form, TWinControl* focused, const MSG& msg);
    // A key for a control of this library goes to it first as CN_KEYDOWN, CN_KEYUP, CN_CHAR,
    // CN_SYSKEYDOWN or CN_SYSCHAR; characters that no control takes go to the form's controls as
    // CM_DIALOGCHAR. True when the key was taken so.
    bool ReflectedKey(const MSG& msg);
    // Ctrl+F4, Ctrl+F6 and the other keys of an MDI main form's children (TranslateMDISysAccel);
    // true when the key was taken so.
    bool MDIKey(const MSG& msg);
    void FreeDeferred();
    static LRESULT CALLBACK AppWindowProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam);
    TForm* mainForm_ = nullptr;
    HWND appWindow_ = nullptr;
    std::vector<std::pair<int, TWindowHook>> hooks_;
    int lastHookId_ = 0;
    bool terminated_ = false;
    std::string title_;
    std::vector<TComponent*> deferred_;
    int liveForms_ = 0;
};

extern TApplication* Application;

// The form that has the keyboard focus, or none.
TForm* ActiveForm();
