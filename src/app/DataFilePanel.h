#pragma once

#include <QFrame>
#include <QString>

class Desktop;
class QLineEdit;

// The settings panel's page that says where the data file is: its full path, to read or copy, and a button that
// opens its folder with the desktop, so the operator can find the file to copy it by hand.
class DataFilePanel : public QFrame {
    Q_OBJECT
public:
    DataFilePanel(const QString& dataFile, Desktop& desktop, QWidget* parent = nullptr);

    QString dataFile() const { return m_dataFile; }
    // The folder the open button opens: the one that holds the data file.
    QString folder() const;

signals:
    void closed();

private:
    void openFolder();

    QString m_dataFile;
    Desktop& m_desktop;
    QLineEdit* m_path = nullptr;
};
