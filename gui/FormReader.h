// Form descriptions: the layout, texts, Tags, settings and handler names of a form as plain
// text (UTF-8; texts become code page 1252), compiled in as an RCDATA resource named after the
// form class and read when the form is created.
//
//   object KassTip: TKassTip
//     Caption = 'Kasse'
//     ClientWidth = 640
//     Font.Name = 'MS Sans Serif'
//     BorderIcons = [biSystemMenu, biMinimize]
//     OnCreate = FormCreate
//     object BelegBox: TGroupBox
//       Caption = 'Beleg'
//       object KassButton: TButton
//         Caption = 'Kassieren'
//         Tag = 113
//         OnClick = KassButtonClick
//       end
//     end
//     object ProdList: TListBox
//       Items = ('Brot' 'Milch')
//     end
//   end
//
// Values: integers (-5, $FF0000), decimals (1.5), texts in single quotes ('it''s'; pieces in a
// row join, 'a'#13#10'b', and + joins them across lines), identifiers (True, clBtnFace, a
// component name), sets [a, b], lists of texts ('a' 'b', one entry each), raw bytes in hex digits ({56547A66 0100}) and collections of items
// (< item Name = 'a' end item Name = 'b' end >). Comments run from // to the end of the line. A nested object's class
// comes from the class registry; the object is owned by the form and placed in its enclosing
// object (a control in its parent, a menu item in its menu).
#pragma once

#include <functional>
#include <string>

#include "gui/base/Classes.h"

class TForm;

using TComponentFactory = std::function<TComponent*(TComponent* owner)>;
void RegisterComponentClass(const std::string& className, TComponentFactory factory);
template <class T> void RegisterComponentClass()
{
    RegisterComponentClass(T::StaticClassName, [](TComponent* owner) -> TComponent* { return new T(owner); });
}
// Creates a component of a registered class; EComponentError for unknown classes.
TComponent* CreateComponentByClassName(const std::string& className, TComponent* owner);

// Reads a description text into the form. The unit name (a file or resource name) goes
// into error messages with the line number.
void ReadFormDescription(TForm& form, const std::string& text, const std::string& unitName);
// The description resource of a form class in the library's module, "" when there is none.
bool LoadFormResource(const std::string& className, std::string& text);
