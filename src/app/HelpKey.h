#pragma once

#include <QObject>
#include <QString>

class QWidget;

// F1 anywhere in the program: one watcher on the whole application finds the section of the window (or of the
// main window's panel) the key was pressed in and asks for the help there.
class HelpKey : public QObject {
    Q_OBJECT
public:
    explicit HelpKey(QObject* parent = nullptr);

    // The help section of the window holding `widget`: a shown panel of it that has a section of its own
    // ("window/panel", the panel raised last), else the window's own section, else that of the window it belongs to
    // (a box over a window speaks of that window). "" when none has one.
    static QString sectionAt(QWidget* widget);

signals:
    void helpWanted(const QString& sectionKey);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};
