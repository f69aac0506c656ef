#pragma once

#include <QString>

class QApplication;

// The look every window shares: the bundled Persian font as the program's font and right-to-left layout.
// The bundled font draws Arabic yeh and kaf as Persian yeh and keheh, so stored texts stay exactly as written
// while the screen and the printouts read as Persian.
namespace PersianText {

// The family name of the bundled font.
QString fontFamily();

// Loads the bundled font (once) and returns whether it is available.
bool loadFont();

// Sets the program font and right-to-left layout on the application.
void applyTo(QApplication& app);

} // namespace PersianText
