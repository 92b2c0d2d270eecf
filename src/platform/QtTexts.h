#pragma once

#include <QString>

namespace vinarca {

// Qt's own texts in Italian: the file dialogs, the standard buttons of the
// questions Qt asks itself (replacing a file), the context menus of the edit
// boxes. The translation is Qt's own, `qtbase_it.qm`, taken from the folder
// `translations` beside the program when there is one (the portable folder
// carries it) and otherwise from Qt's installed translations.

// The translation file that will be used, or empty when there is none.
QString italianQtTextsFile();
// Installs the translation for the whole application once; true when it is
// in place. removeItalianQtTexts() takes it away again.
bool installItalianQtTexts();
void removeItalianQtTexts();

// The print dialog and the preview window have English texts of their own,
// so Qt's texts in them, and in every window opened from them (the printer
// properties, the calibration, the file chosen to print to and the questions
// about it), stay English too, and no row of buttons mixes two languages.
// While one of these lives, Qt's texts come out in English: it is held while
// such a window is built and while it is open.
class EnglishQtTexts
{
public:
    EnglishQtTexts();
    ~EnglishQtTexts();
    EnglishQtTexts(const EnglishQtTexts&) = delete;
    EnglishQtTexts& operator=(const EnglishQtTexts&) = delete;
};

} // namespace vinarca
