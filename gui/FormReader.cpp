#include "gui/FormReader.h"

#include <windows.h>

#include <algorithm>
#include <map>

#include "gui/Forms.h"
#include "gui/base/SysUtils.h"

void RegisterStandardClasses(); // ClassRegistry.cpp

namespace {

std::map<std::string, TComponentFactory>& Registry()
{
    static std::map<std::string, TComponentFactory> r;
    return r;
}

void EnsureStandardClasses()
{
    static bool done = false;
    if (!done) {
        done = true;
        RegisterStandardClasses();
    }
}

std::string Utf8ToAnsi(const std::string& s)
{
    if (s.empty()) return s;
    int n = MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), nullptr, 0);
    std::wstring w(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), w.data(), n);
    int m = WideCharToMultiByte(1252, 0, w.data(), n, nullptr, 0, nullptr, nullptr);
    std::string a(static_cast<size_t>(m), '\0');
    WideCharToMultiByte(1252, 0, w.data(), n, a.data(), m, nullptr, nullptr);
    return a;
}

// A value that cannot be read, at its offset in the text.
struct TValueError {
    size_t at;
    std::string what;
    TValueError(size_t a, std::string w) : at(a), what(std::move(w)) {}
};

class TReader {
public:
    TReader(TForm& form, const std::string& text, const std::string& unit) : form_(form), s_(text), unit_(unit)
    {
        if (s_.size() >= 3 && s_.compare(0, 3, "\xEF\xBB\xBF") == 0) pos_ = 3;
    }

    void Read()
    {
        ReadObject(nullptr);
        Skip();
        if (pos_ < s_.size()) Fail("Text nach dem letzten 'end'");
    }

private:
    [[noreturn]] void Fail(const std::string& what) const { FailAt(pos_, what); }

    [[noreturn]] void FailAt(size_t at, const std::string& what) const
    {
        int line = 1;
        for (size_t i = 0; i < at && i < s_.size(); ++i)
            if (s_[i] == '\n') ++line;
        throw EComponentError(unit_ + "(" + std::to_string(line) + "): " + what);
    }

    void Skip()
    {
        while (pos_ < s_.size()) {
            char c = s_[pos_];
            if (c == ' ' || c == '\t' || c == '\r' || c == '\n') ++pos_;
            else if (c == '/' && pos_ + 1 < s_.size() && s_[pos_ + 1] == '/')
                while (pos_ < s_.size() && s_[pos_] != '\n')
                    ++pos_;
            else break;
        }
    }

    static bool IdentChar(char c)
    {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
    }

    std::string Ident()
    {
        Skip();
        size_t start = pos_;
        while (pos_ < s_.size() && (IdentChar(s_[pos_]) || (pos_ > start && s_[pos_] == '.')))
            ++pos_;
        if (start == pos_) Fail("Bezeichner erwartet");
        return s_.substr(start, pos_ - start);
    }

    void Expect(char c)
    {
        Skip();
        if (pos_ >= s_.size() || s_[pos_] != c) Fail(std::string("'") + c + "' erwartet");
        ++pos_;
    }

    bool Peek(char c)
    {
        Skip();
        return At(c);
    }
    bool At(char c) const { return pos_ < s_.size() && s_[pos_] == c; }

    // A text of pieces in a row ('a'#13#10'b'); a '+' joins pieces across blanks and lines too.
    // Pieces apart without a '+' are separate texts (the entries of a list).
    std::string Text()
    {
        std::string out;
        Skip();
        for (;;) {
            if (At('\'')) {
                ++pos_;
                std::string piece;
                for (;;) {
                    if (pos_ >= s_.size() || s_[pos_] == '\n') Fail("Text ohne Ende");
                    if (s_[pos_] == '\'') {
                        if (pos_ + 1 < s_.size() && s_[pos_ + 1] == '\'') {
                            piece += '\'';
                            pos_ += 2;
                            continue;
                        }
                        ++pos_;
                        break;
                    }
                    piece += s_[pos_++];
                }
                out += Utf8ToAnsi(piece);
            } else if (At('#')) {
                ++pos_;
                int code = 0;
                size_t start = pos_;
                while (pos_ < s_.size() && s_[pos_] >= '0' && s_[pos_] <= '9')
                    code = code * 10 + (s_[pos_++] - '0');
                if (start == pos_ || code > 255) Fail("Zeichencode erwartet");
                out += static_cast<char>(code);
            } else if (!out.empty() && Peek('+')) {
                ++pos_;
                Skip();
            } else {
                return out;
            }
        }
    }

    // The identifier characters that follow the current position (for error texts).
    std::string Rest() const
    {
        size_t e = pos_;
        while (e < s_.size() && IdentChar(s_[e]))
            ++e;
        return s_.substr(pos_, e - pos_);
    }

    TPropValue Value()
    {
        Skip();
        if (pos_ >= s_.size()) Fail("Wert erwartet");
        char c = s_[pos_];
        if (c == '\'' || c == '#') return TPropValue::OfString(Text());
        if (c == '[') {
            ++pos_;
            TPropValue v;
            v.kind = TPropValue::Set;
            while (!Peek(']')) {
                v.items.push_back(Ident());
                if (Peek(',')) ++pos_;
            }
            ++pos_;
            return v;
        }
        if (c == '{') return Binary();
        if (c == '<') return Collection();
        if (c == '(') {
            ++pos_;
            TPropValue v;
            v.kind = TPropValue::List;
            while (!Peek(')')) {
                v.items.push_back(Text());
                if (Peek(',')) ++pos_;
            }
            ++pos_;
            return v;
        }
        if (c == '-' || c == '$' || (c >= '0' && c <= '9')) {
            size_t start = pos_;
            bool negative = c == '-';
            if (negative) ++pos_;
            if (pos_ < s_.size() && s_[pos_] == '$') {
                ++pos_;
                size_t h = pos_;
                while (pos_ < s_.size() && isxdigit(static_cast<unsigned char>(s_[pos_])))
                    ++pos_;
                if (h == pos_) Fail("Hexadezimalzahl erwartet");
                if (pos_ < s_.size() && IdentChar(s_[pos_]))
                    throw TValueError(start, "Ungültige Zahl '" + s_.substr(start, pos_ - start) + Rest() + "'");
                if (pos_ - h > 15)
                    throw TValueError(start, "Zahl außerhalb des Bereichs '" + s_.substr(start, pos_ - start) + "'");
                long long v = std::stoll(s_.substr(h, pos_ - h), nullptr, 16);
                return TPropValue::OfInt(negative ? -v : v);
            }
            while (pos_ < s_.size() && ((s_[pos_] >= '0' && s_[pos_] <= '9') || s_[pos_] == '.'))
                ++pos_;
            std::string num = s_.substr(start, pos_ - start);
            // "12px", "1.2.3", "-" are no numbers; nor is one beyond the range of a number.
            if ((pos_ < s_.size() && IdentChar(s_[pos_])) || std::count(num.begin(), num.end(), '.') > 1 ||
                num.find_first_of("0123456789") == std::string::npos)
                throw TValueError(start, "Ungültige Zahl '" + num + Rest() + "'");
            try {
                if (num.find('.') != std::string::npos) {
                    TPropValue v;
                    v.kind = TPropValue::Float;
                    v.f = std::stod(num);
                    return v;
                }
                return TPropValue::OfInt(std::stoll(num));
            } catch (const std::exception&) {
                throw TValueError(start, "Zahl außerhalb des Bereichs '" + num + "'");
            }
        }
        return TPropValue::OfIdent(Ident());
    }

    // {hex digits}, blanks and line breaks between them allowed.
    TPropValue Binary()
    {
        ++pos_;
        TPropValue v;
        v.kind = TPropValue::Binary;
        int high = -1;
        for (;;) {
            Skip();
            if (pos_ >= s_.size()) Fail("'}' fehlt");
            const char ch = s_[pos_++];
            if (ch == '}') break;
            if (!isxdigit(static_cast<unsigned char>(ch))) Fail("Hexadezimalziffer erwartet");
            const int d = ch <= '9' ? ch - '0' : (ch | 0x20) - 'a' + 10;
            if (high < 0) high = d;
            else {
                v.s += static_cast<char>(high << 4 | d);
                high = -1;
            }
        }
        if (high >= 0) Fail("Ungerade Zahl von Hexadezimalziffern");
        return v;
    }

    // < item Name = 'a' Data = {..} end item ... end >
    TPropValue Collection()
    {
        ++pos_;
        TPropValue v;
        v.kind = TPropValue::Collection;
        while (!Peek('>')) {
            if (pos_ >= s_.size()) Fail("'>' fehlt");
            if (!SameText(Ident(), "item")) Fail("'item' erwartet");
            std::vector<TPropItem> item;
            for (;;) {
                Skip();
                if (pos_ >= s_.size()) Fail("'end' fehlt");
                std::string word = Ident();
                if (SameText(word, "end")) break;
                Expect('=');
                item.push_back({word, Value()});
            }
            v.collection.push_back(std::move(item));
        }
        ++pos_;
        return v;
    }

    void ReadObject(TComponent* enclosing)
    {
        std::string keyword = Ident();
        if (!SameText(keyword, "object")) Fail("'object' erwartet");
        Skip();
        size_t nameAt = pos_;
        std::string name = Ident();
        if (enclosing && (SameText(name, form_.Name()) || form_.FindComponent(name)))
            FailAt(nameAt, name + ".Name: Der Name " + name + " ist schon vergeben");
        Expect(':');
        std::string cls = Ident();
        TComponent* c = nullptr;
        if (!enclosing) {
            if (cls != form_.ClassName()) Fail("Die Beschreibung gehört zu " + cls + ", nicht zu " + form_.ClassName());
            c = &form_;
        } else {
            try {
                c = CreateComponentByClassName(cls, &form_);
            } catch (const EComponentError& e) {
                Fail(e.what());
            }
            c->SetState(csLoading | csReading);
            c->SetName(name);
            c->SetParentComponent(enclosing);
        }
        if (!enclosing) c->SetName(name);
        if (auto* control = dynamic_cast<TControl*>(c)) control->SetControlState(csReadingState);
        for (;;) {
            Skip();
            if (pos_ >= s_.size()) Fail("'end' fehlt für " + name);
            size_t save = pos_;
            std::string word = Ident();
            size_t at = pos_;
            if (SameText(word, "end")) return;
            if (SameText(word, "object")) {
                pos_ = save;
                ReadObject(c);
                continue;
            }
            Expect('=');
            TPropValue v;
            try {
                v = Value();
            } catch (const TValueError& e) {
                FailAt(e.at, name + "." + word + ": " + e.what);
            }
            try {
                if (word.size() > 2 && word.compare(0, 2, "On") == 0 && v.kind == TPropValue::Ident)
                    BindEvent(*c, word, v.s);
                else c->SetProperty(word, v);
            } catch (const std::exception& e) {
                // The description, the line, the component and the property, then the cause.
                FailAt(at, name + "." + word + ": " + e.what());
            }
        }
    }

    void BindEvent(TComponent& c, const std::string& event, const std::string& handler)
    {
        for (const TFormBinding& b : form_.Bindings()) {
            if (b.IsHandler() && SameText(b.Name(), handler)) {
                c.SetEventHandler(event, TBoundHandler(handler, b.BindHandler(&form_)));
                return;
            }
        }
        throw EComponentError(std::string(form_.ClassName()) + " hat keinen Handler " + handler + " (" + c.Name() +
                              "." + event + ")");
    }

    TForm& form_;
    const std::string& s_;
    std::string unit_;
    size_t pos_ = 0;
};

} // namespace

void RegisterComponentClass(const std::string& className, TComponentFactory factory)
{
    Registry()[className] = std::move(factory);
}

TComponent* CreateComponentByClassName(const std::string& className, TComponent* owner)
{
    EnsureStandardClasses();
    auto it = Registry().find(className);
    if (it == Registry().end()) throw EComponentError("Klasse " + className + " nicht gefunden");
    return it->second(owner);
}

void ReadFormDescription(TForm& form, const std::string& text, const std::string& unitName)
{
    TReader(form, text, unitName).Read();
}

bool LoadFormResource(const std::string& className, std::string& text)
{
    HMODULE module = LibraryInstance();
    HRSRC res = FindResourceA(module, className.c_str(), MAKEINTRESOURCEA(10)); // RT_RCDATA
    if (!res) return false;
    HGLOBAL data = LoadResource(module, res);
    const char* p = static_cast<const char*>(LockResource(data));
    if (!p) return false;
    text.assign(p, SizeofResource(module, res));
    return true;
}
