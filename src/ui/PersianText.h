#pragma once

#include <QLibraryInfo>
#include <QString>

class QApplication;
class QTranslator;

// The look every window shares: the bundled Persian font as the program's font and right-to-left layout.
// The bundled font draws Arabic yeh and kaf as Persian yeh and keheh, so stored texts stay exactly as written
// while the screen and the printouts read as Persian.
namespace PersianText {

// The family name of the bundled font.
QString fontFamily();

// Loads the bundled font (once) and returns whether it is available.
bool loadFont();

// Where Qt's own Persian texts (the captions of standard buttons, the edit menu of text boxes, ...) came from.
enum class QtTexts {
    QtFolder, // qtbase_fa.qm in the folder given, Qt's translations folder unless a test says otherwise
    Bundled, // the copy built into the program, for a machine without Qt's translations
    None, // neither: only the captions of the standard buttons are Persian
};

// Loads Qt's Persian translation into `translator`: qtbase_fa.qm from `qtFolder`, else the built-in copy.
QtTexts loadQtTranslation(QTranslator& translator, const QString& qtFolder);

// Installs Qt's Persian translation from Qt's translations folder (else the built-in copy), and the program's own
// captions of the standard buttons ("تأييد", "انصراف", "بله", "خير") over it. Once; calling again changes nothing.
QtTexts installQtTranslation();

// Sets the program font, right-to-left layout and Persian texts of Qt's own boxes on the application.
void applyTo(QApplication& app);

} // namespace PersianText
