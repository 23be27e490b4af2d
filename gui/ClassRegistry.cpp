// The classes that form descriptions may name. Other parts of the program add their own
// classes with RegisterComponentClass<T>().
#include "gui/Buttons.h"
#include "gui/ComCtrls.h"
#include "gui/Dialogs.h"
#include "gui/ExtCtrls.h"
#include "gui/FormReader.h"
#include "gui/ListCtrls.h"
#include "gui/Menus.h"
#include "gui/StdCtrls.h"

void RegisterStandardClasses()
{
    RegisterComponentClass<TButton>();
    RegisterComponentClass<TBitBtn>();
    RegisterComponentClass<TSpeedButton>();
    RegisterComponentClass<TCheckBox>();
    RegisterComponentClass<TRadioButton>();
    RegisterComponentClass<TGroupBox>();
    RegisterComponentClass<TLabel>();
    RegisterComponentClass<TStaticText>();
    RegisterComponentClass<TEdit>();
    RegisterComponentClass<TMemo>();
    RegisterComponentClass<TPanel>();
    RegisterComponentClass<TImage>();
    RegisterComponentClass<TShape>();
    RegisterComponentClass<TGauge>();
    RegisterComponentClass<TTimer>();
    RegisterComponentClass<TMainMenu>();
    RegisterComponentClass<TPopupMenu>();
    RegisterComponentClass<TMenuItem>();
    RegisterComponentClass<TListBox>();
    RegisterComponentClass<TComboBox>();
    RegisterComponentClass<TMaskEdit>();
    RegisterComponentClass<TRichEdit>();
    RegisterComponentClass<TDateTimePicker>();
    RegisterComponentClass<TOpenDialog>();
    RegisterComponentClass<TSaveDialog>();
    RegisterComponentClass<TPrintDialog>();
}
