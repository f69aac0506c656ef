#pragma once

#include <QLineEdit>

// A line edit for a file's path. A path reads left to right, folder after folder, whatever the window around it
// does; a line edit would take the direction of a path's first letter and let the Unicode rules move Persian folder
// names and the digits after them about. While the operator is not typing in it, the field draws its path one folder
// after the other from the left, each name in its own direction. What it holds (text()) is the path as given.
class PathField : public QLineEdit {
    Q_OBJECT
public:
    explicit PathField(QWidget* parent = nullptr);

    // The path as drawn: left to right, each folder and the file name set apart in its own direction.
    static QString readable(const QString& path);
    // The path as a box's sentence carries it: read as above, the whole set apart from the words around it.
    static QString inSentence(const QString& path);

protected:
    void paintEvent(QPaintEvent* event) override;
};
