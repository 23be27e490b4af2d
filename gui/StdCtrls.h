// The standard controls over the system's window classes: buttons, check boxes, radio buttons,
// group boxes, labels, edits and memos. List and combo boxes are in ListCtrls.h.
#pragma once

#include <memory>
#include <vector>

#include "gui/Controls.h"
#include "gui/Graphics.h"
#include "gui/base/ButtonLayout.h"
#include "gui/base/Strings.h"

class TButtonControl : public TWinControl {
    GUI_CLASS(TButtonControl, TWinControl)
    explicit TButtonControl(TComponent* owner);

protected:
    void WndProc(TMessage& m) override;
    bool ClickOnMouseUp() const override { return false; }
    // BN_CLICKED; ignored while the form behind a modal window is disabled.
    virtual void Clicked() { Click(); }
};

class TButton : public TButtonControl {
    GUI_CLASS(TButton, TButtonControl)
    explicit TButton(TComponent* owner);
    int ModalResult() const { return modalResult_; }
    void SetModalResult(int r) { modalResult_ = r; }
    bool Default() const { return default_; }
    void SetDefault(bool v);
    bool Cancel() const { return cancel_; }
    void SetCancel(bool v) { cancel_ = v; }
    // Runs OnClick and hands the modal result to the form.
    void Click() override;
    void SetProperty(const std::string& name, const TPropValue& value) override;

protected:
    void CreateParams(TCreateParams& params) override;

private:
    int modalResult_ = 0;
    bool default_ = false, cancel_ = false;
};

// A button's picture and its place: Glyph with NumGlyphs frames side by side (below 1 counts
// 1, above 4 counts 4), Layout, Margin (-1: glyph and caption centred as a pair; below -1 is
// refused) and Spacing. The setters answer whether anything changed.
struct TButtonGlyph {
    std::unique_ptr<TBitmap> Glyph = std::make_unique<TBitmap>();
    int NumGlyphs = 1;
    TButtonLayout Layout = blGlyphLeft;
    int Margin = -1, Spacing = 4;

    // A copy of the picture; none empties it.
    void SetGlyph(const TBitmap* glyph);
    bool SetNumGlyphs(int count);
    bool SetLayout(TButtonLayout layout);
    bool SetMargin(int margin);
    bool SetSpacing(int spacing);
};

// The bitmap-button kind: a push button in every respect, with a picture (Glyph, NumGlyphs
// frames side by side: normal, disabled, pressed, down) placed by Layout, Margin (-1: glyph and
// caption centred as a pair) and Spacing (pixels between glyph and caption). A skinned bit
// button draws the picture; the plain one shows its caption only. NumGlyphs below 1 counts 1.
class TBitBtn : public TButton {
    GUI_CLASS(TBitBtn, TButton)
    explicit TBitBtn(TComponent* owner);
    ~TBitBtn() override;
    TBitmap& Glyph() const { return *picture_.Glyph; }
    // A copy of the picture; none empties it.
    void SetGlyph(const TBitmap* glyph);
    int NumGlyphs() const { return picture_.NumGlyphs; }
    void SetNumGlyphs(int count);
    TButtonLayout Layout() const { return picture_.Layout; }
    void SetLayout(TButtonLayout layout);
    int Margin() const { return picture_.Margin; }
    void SetMargin(int margin);
    int Spacing() const { return picture_.Spacing; }
    void SetSpacing(int spacing);
    void SetProperty(const std::string& name, const TPropValue& value) override;

private:
    TButtonGlyph picture_;
};

// Setting Checked to a different state sends CM_CHANGED and fires OnClick, except while the
// form is loading.
class TCheckBox : public TButtonControl {
    GUI_CLASS(TCheckBox, TButtonControl)
    explicit TCheckBox(TComponent* owner);
    bool Checked() const { return checked_; }
    virtual void SetChecked(bool v);
    TAlignment Alignment() const { return alignment_; }
    void SetProperty(const std::string& name, const TPropValue& value) override;

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;
    void Clicked() override { SetChecked(!checked_); }
    bool checked_ = false;
    TAlignment alignment_ = taRightJustify;
};

// Radio buttons form one group per parent: checking one unchecks its siblings.
class TRadioButton : public TCheckBox {
    GUI_CLASS(TRadioButton, TCheckBox)
    explicit TRadioButton(TComponent* owner) : TCheckBox(owner) {}
    void SetChecked(bool v) override;

protected:
    void CreateParams(TCreateParams& params) override;
    void Clicked() override { SetChecked(true); }
};

class TGroupBox : public TWinControl {
    GUI_CLASS(TGroupBox, TWinControl)
    explicit TGroupBox(TComponent* owner);

protected:
    void CreateParams(TCreateParams& params) override;
    void WndProc(TMessage& m) override;
};

enum TTextLayout { tlTop, tlCenter, tlBottom };

// A label: a graphic control (no window of its own; its parent paints it and hands it the
// mouse) that shows its caption in its font:
// - Alignment and Layout place the text horizontally and vertically, WordWrap breaks it into
//   lines at the width; AutoSize (on by default) fits the size to the text, keeping the right
//   edge of a right-aligned and the middle of a centred label in place;
// - Transparent (on by default) leaves the parent's background under the text, else the label
//   fills its rectangle with its Color;
// - a '&' marks the accelerator (ShowAccelChar, on by default; "&&" shows one '&'): Alt and that
//   letter, or the letter alone while a control without text input has the focus, focuses
//   FocusControl (CM_DIALOGCHAR);
// - a disabled label draws its text embossed (clBtnHighlight under clBtnShadow).
// Another process reads its caption through its form (QueryControl in gui/Automation.h).
class TLabel : public TGraphicControl {
    GUI_CLASS(TLabel, TGraphicControl)
    explicit TLabel(TComponent* owner);
    bool AutoSize() const { return autoSize_; }
    void SetAutoSize(bool v);
    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment a);
    TTextLayout Layout() const { return layout_; }
    void SetLayout(TTextLayout l);
    bool WordWrap() const { return wordWrap_; }
    void SetWordWrap(bool v);
    bool Transparent() const { return transparent_; }
    void SetTransparent(bool v);
    bool ShowAccelChar() const { return showAccelChar_; }
    void SetShowAccelChar(bool v);
    void SetCaption(const std::string& caption) override;
    TWinControl* FocusControl() const { return focusControl_; }
    void SetFocusControl(TWinControl* c) { focusControl_ = c; }
    void Paint(TCanvas& canvas) override;
    void SetProperty(const std::string& name, const TPropValue& value) override;
    void Loaded() override;
    void Notification(TComponent* component) override;

protected:
    void WndProc(TMessage& m) override;
    void FontChanged() override;
    // The text the label shows (its caption).
    virtual std::string LabelText() const { return caption_; }
    // Draws the text into the rectangle with these DrawText flags on the canvas's DC (its font
    // selected); with DT_CALCRECT it only measures, widening or heightening the rectangle.
    virtual void DoDrawText(TCanvas& canvas, RECT& rect, UINT flags);
    // The text as DoDrawText writes it: an empty text (or a lone "&" with ShowAccelChar)
    // measures as one blank, so that an empty label keeps a line's height.
    std::string DrawnText(UINT flags) const;
    // The text embossed, as a disabled label shows it: clBtnHighlight one pixel right and down,
    // clBtnShadow over it (the DC's font and background mode as they are).
    static void DrawEmbossedText(HDC dc, const std::string& text, RECT& rect, UINT flags);
    // Fits the size to the text (AutoSize, not while the description is read).
    virtual void AdjustBounds();
    // DrawText flags of the text: alignment, word breaks, tabs, accelerator, reading order.
    UINT TextFlags() const;

private:
    bool autoSize_ = true, wordWrap_ = false, transparent_ = true, showAccelChar_ = true;
    TAlignment alignment_ = taLeftJustify;
    TTextLayout layout_ = tlTop;
    TWinControl* focusControl_ = nullptr;
    std::string focusControlName_;
};

// A text in a static window of its own (WM_GETTEXT gives its caption). AutoSize (on by default)
// fits the size to the text.
class TStaticText : public TWinControl {
    GUI_CLASS(TStaticText, TWinControl)
    explicit TStaticText(TComponent* owner);
    bool AutoSize() const { return autoSize_; }
    void SetAutoSize(bool v);
    TAlignment Alignment() const { return alignment_; }
    void SetCaption(const std::string& caption) override;
    void SetProperty(const std::string& name, const TPropValue& value) override;
    void Loaded() override;

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;
    void FontChanged() override;
    bool UsesOwnColors() const override { return true; }
    void AdjustSize();

private:
    bool autoSize_ = true;
    TAlignment alignment_ = taLeftJustify;
};

class TCustomEdit : public TWinControl {
    GUI_CLASS(TCustomEdit, TWinControl)
    explicit TCustomEdit(TComponent* owner);
    int MaxLength() const { return maxLength_; }
    void SetMaxLength(int n);
    bool ReadOnly() const { return readOnly_; }
    void SetReadOnly(bool v);
    // The window's border: bsSingle with Ctl3D a sunken edge of 2 pixels (the default), without
    // Ctl3D a line of 1 pixel; bsNone none. A change makes the window anew.
    TBorderStyle BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(TBorderStyle style);
    bool Ctl3D() const { return ctl3D_; }
    void SetCtl3D(bool on);
    // The character shown for each character of the text; 0 shows the text itself.
    char PasswordChar() const { return passwordChar_; }
    void SetPasswordChar(char c);
    int SelStart() const;
    void SetSelStart(int pos);
    int SelLength() const;
    void SetSelLength(int n);
    std::string SelText() const;
    void SetSelText(const std::string& text);
    void SelectAll();
    void Clear() { SetCaption(""); }
    bool Modified() const;
    TNotifyEvent OnChange;
    void SetProperty(const std::string& name, const TPropValue& value) override;
    void SetEventHandler(const std::string& event, const TBoundHandler& handler) override;

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;
    void DestroyWnd() override;
    void WndProc(TMessage& m) override;
    bool UsesOwnColors() const override { return color_ != clWindow || font_.Color() != clWindowText; }
    // The text changed: CM_CHANGED, then OnChange.
    virtual void Change();
    int maxLength_ = 0;
    bool readOnly_ = false;
    TAlignment alignment_ = taLeftJustify;
    char passwordChar_ = 0;
    TBorderStyle borderStyle_ = bsSingle;
    bool ctl3D_ = true;
    int selStart_ = 0, selLength_ = 0;
    int firstLine_ = 0; // the first visible line, kept over a new window
};

class TEdit : public TCustomEdit {
    GUI_CLASS(TEdit, TCustomEdit)
    explicit TEdit(TComponent* owner) : TCustomEdit(owner) {}
};

enum TScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };

class TCustomMemo;

// The lines of a memo, read and written through its window. Between BeginUpdate and the last
// EndUpdate, lines added at the end are collected and appended to the window as one edit at
// that EndUpdate (see TCustomMemo); reading the lines sees them at once.
class TMemoStrings : public TStrings {
    GUI_CLASS(TMemoStrings, TStrings)
    explicit TMemoStrings(TCustomMemo& memo) : memo_(memo) {}
    int Count() const override;
    std::string Get(int index) const override;
    void Put(int index, const std::string& s) override;
    void Insert(int index, const std::string& s) override;
    void Delete(int index) override;
    void Clear() override;
    std::string Text() const override;
    void SetText(const std::string& text) override;
    void BeginUpdate() override;
    void EndUpdate() override;

private:
    TCustomMemo& memo_;
};

// While one lives, changes of a window (its text, a list's selection) move its content, caret
// and scroll position but draw nothing: the window is marked invisible for the time (as
// WM_SETREDRAW does), so neither its content nor its scroll bars are drawn (under Wine a shown
// scroll bar redraws on every change, several milliseconds each). At its end the window, frame
// included, is invalidated and paints once, when messages are next handled. Nested ones, and
// ones on a hidden window, do nothing.
class TQuietChange {
public:
    explicit TQuietChange(HWND window);
    ~TQuietChange();
    TQuietChange(const TQuietChange&) = delete;
    TQuietChange& operator=(const TQuietChange&) = delete;

private:
    HWND window_;
    bool hidden_ = false;
};

// Every change of a memo's window text is made without drawing (see TQuietChange): the window
// paints once, the next time messages are handled, showing the same text, caret and scroll
// position as if it had drawn each change.
//
//   TStringsUpdate update(memo->Lines());   // BeginUpdate, EndUpdate when the block is left
//   memo->Lines().Add("Summe");             // collected: Lines() and Text() see it at once
//   memo->Lines().Add("Danke");             // the window's own text does not have it yet
//   // leaving the block: both lines are appended as one edit, the caret behind them
//
// While updating, appends (Lines().Add, Append, a rich edit's AppendLine) are collected and
// ScrollToCaret waits for them; any other change of the text applies the collected ones first,
// and SetText drops them (the text is replaced anyway). A plain memo holds the new text too and
// shows it with the appends that follow as one edit (the caret behind them, scrolled to it).
// Lines deleted from the start of the window's own text (a log trimmed at its top) wait too. The caret and the scroll position
// (CaretLine, FirstVisibleLine) are those of the window without the collected text.
class TCustomMemo : public TCustomEdit {
    GUI_CLASS(TCustomMemo, TCustomEdit)
    explicit TCustomMemo(TComponent* owner);
    TStrings& Lines() { return lines_; }
    TScrollStyle ScrollBars() const { return scrollBars_; }
    bool WordWrap() const { return wordWrap_; }
    // With WantTabs Tab types a tab character; without it Tab moves on to the next control.
    bool WantTabs() const { return wantTabs_; }
    void SetWantTabs(bool v) { wantTabs_ = v; }
    bool WantsTab() const override { return wantTabs_; }
    // The line of the caret (the selection start), counted from 0.
    int CaretLine() const;
    POINT CaretPos() const; // x: column, y: line
    int FirstVisibleLine() const;
    // Appends a text at the end and leaves the caret there.
    void Append(const std::string& text);
    void ScrollToCaret();
    // The window's text followed by the text collected by an update.
    std::string Caption() const override;
    void SetCaption(const std::string& caption) override;
    // The length of Caption() as WM_GETTEXTLENGTH counts it (a line break as CR LF), without
    // reading the text out.
    int GetTextLen() const;
    // Replaces the bytes from..to of Caption() (from <= to <= its size) in place: the rest of
    // the text, with its formatting, stays as it is.
    void ReplaceBytes(size_t from, size_t to, const std::string& with);
    bool Updating() const { return updateCount_ > 0; }
    // Shows what the update collected so far, as one edit, and goes on collecting: before
    // anything reads the caret or the scroll position, or lets the window paint.
    void ApplyCollected() { ApplyPending(); }
    // Whether a message reads a memo's or rich edit's text, selection, lines or picture: a
    // window that holds changes back shows them before it answers.
    static bool ReadsText(UINT msg);
    // Whether a message reads, paints or changes a memo or rich edit (input, scrolling, the
    // selection, the text): a window that holds changes back while it shows applies them first.
    static bool ShowsOrChangesText(UINT msg);
    void SetProperty(const std::string& name, const TPropValue& value) override;

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;
    void WndProc(TMessage& m) override;
    friend class TMemoStrings;
    // One append collected by an update: a text, in its own colour (a rich edit's AppendLine)
    // or in the colour the end of the text has.
    struct TPendingAppend {
        std::string text;
        TColor color = clNone;
        bool colored = false;
    };
    void Collect(TPendingAppend append);
    // Makes one append in the window (inside a TQuietChange).
    virtual void ApplyAppend(const TPendingAppend& append);
    // Makes the appends from `first` on in the window, in their order (inside a TQuietChange).
    virtual void ApplyAppends(const std::vector<TPendingAppend>& appends, size_t first);
    // Appends what the update collected, as one edit.
    void ApplyPending();
    // Character index of the start of a line, and the text from the window or the stored text.
    int LineStart(int line) const;
    // ReplaceBytes on a text read out already (Caption()).
    void ReplaceText(const std::string& text, size_t from, size_t to, const std::string& with);
    // The control's character position of a byte offset of the text (a rich edit counts a line
    // break as one character).
    virtual int CharIndex(const std::string& text, size_t offset) const;
    virtual void SelectRange(int from, int to);
    // Deletes the bytes from..to of a text the window holds (its own text, read out already).
    virtual void DeleteBytes(const std::string& text, size_t from, size_t to);
    // Whether a text set during an update waits for its end (a rich edit's colours and its
    // count of line breaks take it at once).
    virtual bool HoldsReplacement() const { return true; }
    // The length a text takes in the window as WM_GETTEXTLENGTH counts it.
    virtual size_t ShownSize(const std::string& text) const { return text.size(); }
    TMemoStrings lines_;
    TScrollStyle scrollBars_ = ssNone;
    bool wordWrap_ = true;
    bool wantTabs_ = false;

private:
    int updateCount_ = 0;
    std::vector<TPendingAppend> pending_;
    size_t pendingSize_ = 0;
    bool scrollPending_ = false;
    bool replacePending_ = false;
    std::string replacement_;
    // Bytes deleted from the start of the window's text during the update, not yet from the
    // window, and whether an append was collected after the last such deletion.
    size_t heldCut_ = 0;
    bool appendAfterCut_ = false;
    void DeleteStart(size_t bytes);
    // The window's own text. While updating it is read once and kept until any message but a
    // read reaches the window (a log trimmed line by line looks at its start for every line).
    std::string WindowText() const;
    mutable std::string windowText_;
    mutable bool windowTextKept_ = false;
};

class TMemo : public TCustomMemo {
    GUI_CLASS(TMemo, TCustomMemo)
    explicit TMemo(TComponent* owner) : TCustomMemo(owner) {}
};
