#pragma once

#include "about/CreditColours.h"
#include "about/CreditScroll.h"
#include "about/CreditSentence.h"
#include "ui/MakerDetails.h"

#include <QDialog>

#include <array>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;

// The About window: the program's name and the maker's contact lines, with a credit sentence that tightens
// itself, a column of credit lines scrolling upward without end and two of them changing colour. Each animation
// is plain logic stepped by one timer; the window only shows each step. "مجوزها" shows the notices of the
// software the program is built on.
class AboutWindow : public QDialog {
    Q_OBJECT
public:
    AboutWindow(const Maker::Details& maker, QWidget* parent = nullptr,
        CreditColours::RandomSource random = CreditColours::RandomSource());

private:
    void tighten();
    void scroll();
    void colour();
    void placeLabel(int label);
    void showNotices();

    CreditSentence m_sentence;
    CreditScroll m_scroll;
    CreditColours m_colours;

    QGroupBox* m_aboutBox = nullptr; // Frame1
    QWidget* m_credits = nullptr; // the part of the frame the credit lines scroll through
    std::array<QLabel*, CreditScroll::LabelCount> m_creditLabels {}; // Label1 .. Label4
    QLineEdit* m_sentenceLine = nullptr; // Text1
    QPushButton* m_close = nullptr; // Command1
    QPushButton* m_notices = nullptr;
    QTimer* m_colourTimer = nullptr; // Timer1
    QTimer* m_tightenTimer = nullptr; // Timer3
    QTimer* m_scrollTimer = nullptr; // Timer10
};
