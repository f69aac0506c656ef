#pragma once

#include <QString>

class Messages;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRect;
class QWidget;

// The construction every window repeats, placed from twips: a window's name, title and fixed size, a button, a
// caption that names its field for screen readers, a hidden field bound to a column, right-to-left paragraphs.
namespace Kit {

// Names the window, titles it and fixes its client size.
void setUpWindow(QWidget* window, const QString& name, const QString& title, int widthTwips, int heightTwips);

// A window set up with a fixed size may grow shorter, down to `minimumHeightTwips`, on a screen too short for it; its
// width stays. Whatever it lays out below a fixed top must then follow its height.
void letHeightShrink(QWidget* window, int minimumHeightTwips);

// Makes a window whose height may shrink as tall as it may be and still fit `available` (a screen's available
// geometry) with its frame, and moves it up where its bottom would fall off.
void fitHeightTo(QWidget* window, const QRect& available);

// A box or dialog opened over a window painted with a theme takes that theme's colours (a dark theme's box is dark
// too); over an unthemed window it keeps the desktop's. Qt passes colours on to child controls, never to windows.
void takeThemeColours(QWidget* window, const QWidget* owner);

QPushButton* button(
    QWidget* parent, const QString& name, const QString& caption, int left, int top, int width, int height);

// A label at a twips rectangle, showing its text as plain text; with a buddy, the label is that field's accessible
// name.
QLabel* caption(QWidget* parent, const QString& name, const QString& text, QWidget* buddy, int left, int top, int width,
    int height);

// A line edit for a file's path (a PathField): it reads left to right whatever the window around it does, so a folder
// with a Persian name among Latin ones keeps its place in it.
QLineEdit* pathField(QWidget* parent, const QString& name);

// A line edit that is never shown and never takes the focus: a value holder bound to a column.
QLineEdit* hiddenField(QWidget* parent, const QString& name);

// A field of a Persian form: its text starts at the right edge whatever it holds. A code, a number or a date has no
// Persian letter to say which way it reads, and would otherwise start at the left like a Latin text.
void alignRight(QLineEdit* field);
void alignRight(QComboBox* list);

// Paragraphs start at the right edge and wrap onto lines that start there too.
void setRightToLeft(QPlainTextEdit* edit);

// Tells the operator that the data file could not be read or written, instead of anything the window would have
// concluded from it: held by another program for the moment (`busy`: wait and try again) or failing. The platform's
// text follows, for whoever looks after the computer.
void reportDatabaseTrouble(Messages& messages, QWidget* owner, bool busy, const QString& platformText);

// Tells the operator that what the window stores was not stored, followed by the platform's text.
void reportSaveFailure(Messages& messages, QWidget* owner, const QString& platformText);

} // namespace Kit
