// Masked edits, rich edits with coloured text, and date/time pickers.
#pragma once

#include "gui/base/DateTime.h"
#include "gui/StdCtrls.h"

// An edit whose characters follow a mask: '0' a digit (required), '9' a digit (optional),
// 'L'/'l' a letter, 'A'/'a' a letter or digit, 'C'/'c' any character; the part after ';' is
// ignored. Text is the typed characters padded with blanks to the mask's length.
class TMaskEdit : public TCustomEdit {
    GUI_CLASS(TMaskEdit, TCustomEdit)
    explicit TMaskEdit(TComponent* owner) : TCustomEdit(owner) {}
    const std::string& EditMask() const { return mask_; }
    void SetEditMask(const std::string& mask);
    std::string Caption() const override;
    // Whether a character is allowed at a position of the mask.
    bool Accepts(size_t position, char c) const;
    void SetProperty(const std::string& name, const TPropValue& value) override;

protected:
    void WndProc(TMessage& m) override;

private:
    std::string mask_;
};

// A rich edit (RichEdit20A). Appended lines may carry their own colour; changing, inserting or
// deleting a line through Lines changes only that line, so the others keep their colours.
class TRichEdit : public TCustomMemo {
    GUI_CLASS(TRichEdit, TCustomMemo)
    explicit TRichEdit(TComponent* owner);
    // Colour of the selection (and of text typed or appended next).
    void SetSelColor(TColor c);
    // Appends a line in the given colour (after a line break unless the text is empty) and
    // leaves the caret at the end; in an update of the lines it is collected with its colour.
    void AppendLine(const std::string& line, TColor color);
    // The colour of the character at a position.
    COLORREF ColorAt(int position);
    // How many edits the control keeps to undo (0: none; kept when the window is made again).
    // Under Wine a rich edit's undo record of an edit costs several times the edit itself, and
    // the control slows down as such records come and go, also when every edit is made
    // without undo: a window the user cannot type in does better without.
    void SetUndoLimit(int limit);
    int TextLength() const;
    // Renders the characters from `from` up to `to` (-1: to the end) into the rectangle `twips`
    // (in twips, 1/1440 inch) of the device context, which serves as the target device too.
    // Returns the index of the first character that did not fit.
    int FormatRange(HDC dc, const RECT& twips, int from = 0, int to = -1);
    void SetProperty(const std::string& name, const TPropValue& value) override;

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;
    int CharIndex(const std::string& text, size_t offset) const override;
    void SelectRange(int from, int to) override;
    // In steps of a few lines each, the first first: a rich edit's deletion costs with the square
    // of the lines it takes at once (a long log trimmed at its top).
    void DeleteBytes(const std::string& text, size_t from, size_t to) override;
    void ApplyAppend(const TPendingAppend& append) override;
    // Coloured appends in a row go in as one RTF stream, their colours in its colour table:
    // each append of its own costs a layout and a scroll of the window.
    void ApplyAppends(const std::vector<TPendingAppend>& appends, size_t first) override;
    bool HoldsReplacement() const override { return false; }
    // Every line break (CR LF, a lone CR or LF) counts as CR LF.
    size_t ShownSize(const std::string& text) const override;

private:
    // FormatRange's drawing where the control itself draws nothing.
    int DrawRange(HDC dc, const RECT& twips, int from, int to);
    int undoLimit_ = -1; // -1: the control's own
};

enum TDateTimeKind { dtkDate, dtkTime };

// A date or time picker showing dd.MM.yyyy or HH:mm:ss.
class TDateTimePicker : public TWinControl {
    GUI_CLASS(TDateTimePicker, TWinControl)
    explicit TDateTimePicker(TComponent* owner);
    TDateTimeKind Kind() const { return kind_; }
    TDateTime DateTime() const;
    void SetDateTime(TDateTime value);
    TDateTime Date() const;
    void SetDate(TDateTime value);
    TDateTime Time() const;
    void SetTime(TDateTime value);
    TNotifyEvent OnChange;
    void SetProperty(const std::string& name, const TPropValue& value) override;
    void SetEventHandler(const std::string& event, const TBoundHandler& handler) override;

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;
    void WndProc(TMessage& m) override;

private:
    TDateTimeKind kind_ = dtkDate;
    TDateTime value_ = 0;
};
