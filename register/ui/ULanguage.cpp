#include "register/ui/ULanguage.h"

#include <string_view>

#include "gui/Forms.h"
#include "gui/Menus.h"
#include "gui/StdCtrls.h"
#include "register/core/ULang.h"

namespace {

void ApplyTexts(TComponent* c, const ULang::TLangFile& file, const std::string& section)
{
    if (c->Tag() == 0) return;
    const ULang::TTextRule rule = ULang::TextRuleFor([c](std::string_view n) { return c->InheritsFrom(n); });
    if (!rule.known) return;
    const int tag = static_cast<int>(c->Tag());
    if (rule.caption != ULang::TCaptionRule::None) {
        const std::string caption = file.Caption(section, tag);
        if (rule.caption == ULang::TCaptionRule::Always || !caption.empty()) {
            if (auto* item = As<TMenuItem>(c)) item->SetCaption(caption);
            else if (auto* control = As<TControl>(c)) control->SetCaption(caption);
        }
    }
    if (rule.hint) {
        const std::string hint = file.Hint(section, tag);
        if (auto* item = As<TMenuItem>(c)) item->SetHint(hint);
        else if (auto* control = As<TControl>(c)) control->SetHint(hint);
    }
}

} // namespace

void SetLanguage(TForm* mainForm, const std::string& language, const std::string& langIni)
{
    const ULang::TLangFile file(langIni.empty() ? ULang::LangIniPath() : langIni);
    ULang::TLanguageTexts& texts = ULang::Languages();
    texts.Load(language, file);
    const std::string& section = texts.Current();

    if (mainForm) {
        const bool offered = file.FrancaisOffered();
        for (int i = 0; i < mainForm->ComponentCount(); ++i) {
            auto* item = As<TMenuItem>(mainForm->Components(i));
            if (item && item->Tag() == 6) item->SetVisible(offered);
        }
    }

    for (int i = 0; i < Application->ComponentCount(); ++i) {
        auto* form = As<TForm>(Application->Components(i));
        if (!form) continue;
        if (form->Tag() != 0) form->SetCaption(file.Caption(section, static_cast<int>(form->Tag())));
        for (int j = 0; j < form->ComponentCount(); ++j) {
            TComponent* c = form->Components(j);
            if (mainForm && c->InheritsFrom("TRadioButton"))
                if (auto* radio = As<TControl>(c)) radio->SetColor(mainForm->Color());
            ApplyTexts(c, file, section);
        }
    }
}
