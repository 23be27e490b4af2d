// Loading a language: the text table of the core, then the captions and hints of every
// tagged component of every window from "cfg\lang.ini".
#pragma once

#include <string>

class TForm;

// Loads the language (an empty one keeps the current language) from the language file of
// the program, or from langIni when given. mainForm may be none while the main window does
// not exist yet; then the "Francais" menu item is not touched.
void SetLanguage(TForm* mainForm, const std::string& language, const std::string& langIni = "");
