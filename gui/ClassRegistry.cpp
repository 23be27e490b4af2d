// The classes that form descriptions may name. Other parts of the program add their own
// classes with RegisterComponentClass<T>().
#include "ComCtrls.h"
#include "Dialogs.h"
#include "ExtCtrls.h"
#include "FormReader.h"
#include "ListCtrls.h"
#include "Menus.h"
#include "StdCtrls.h"

void RegisterStandardClasses()
{
    RegisterComponentClass<TButton>();
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
