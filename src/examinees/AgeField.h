#pragma once

#include <QLineEdit>

// The age box: takes the digits "0".."9" only, at most two. A typed key that is not a digit is dropped and
// reported through keyRefused() (the panel beeps and explains); text put in at once, by pasting or dropping,
// keeps only its digits.
class AgeField : public QLineEdit {
    Q_OBJECT
public:
    explicit AgeField(QWidget* parent = nullptr);

signals:
    void keyRefused();

protected:
    void keyPressEvent(QKeyEvent* event) override;
};
