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

// Installs Qt's Persian translation from Qt's translations folder (else the built-in copy), without its accelerator
// marks, and the program's own captions of the standard buttons ("تأييد", "انصراف", "بله", "خير") over it. Once;
// calling again changes nothing.
QtTexts installQtTranslation();

// A title as the desktop's title bar should get it. The title bar draws with the desktop's font, not the bundled
// one, so the Arabic yeh and kaf of the program's texts are handed over as the Persian letters.
QString titleBarText(const QString& title);

// From now on every window of `app`, the program's and Qt's own boxes and dialogs, carries its title in title-bar
// letters, whoever sets it. Once; calling again changes nothing.
void giveTitleBarsPersianLetters(QApplication& app);

// A caption of Qt's own texts without its accelerator marks: "&ذخیره" -> "ذخیره", "&&" stays. A Persian caption
// reads without a letter underlined in the middle of a word.
QString withoutAccelerator(const QString& caption);

// Sets the program font, right-to-left layout, Persian title bars and Persian texts of Qt's own boxes on the
// application.
void applyTo(QApplication& app);

} // namespace PersianText
