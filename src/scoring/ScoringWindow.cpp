#include "scoring/ScoringWindow.h"

#include "scoring/ChartWindow.h"
#include "scoring/reports/ExamineeReport.h"
#include "scoring/reports/ListReport.h"
#include "scoring/reports/ListReportRows.h"
#include "settings/Theme.h"
#include "text/ShownNumbers.h"
#include "ui/MakerDetails.h"
#include "ui/MessageCatalogue.h"
#include "ui/Messages.h"
#include "ui/Twips.h"
#include "ui/WindowKit.h"

#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

namespace {

constexpr int windowWidth = 10440;
constexpr int windowHeight = 8880;

const QStringList& helpLines()
{
    static const QStringList lines = {
        QStringLiteral("در اين قسمت از نرم افزار ابتدا روي انتخاب آزمودني "),
        QStringLiteral("کليک کرده سپس کد آزمودني را وارد کنيد و دکمه "),
        QStringLiteral("اينتر را فشار دهيد نتيجه آزمون نمايش داده و ذخيره "),
        QStringLiteral("خواهد شد در صورتيکه تمايل داريد نتيجه آزمون را "),
        QStringLiteral("پرينت بگيريد روي دکمه پرينت آزمودني انتخاب شده "),
        QStringLiteral("کليک کنيد و در صورتيکه تمايل به پرينت نتيجه آزمون "),
        QStringLiteral("کل آزمودنيها را داريد روي دکمه پرينت کل آزمودنيها کليک کنيد"),
    };
    return lines;
}

QLineEdit* addBox(QWidget* parent, const QString& name, int left, int top, int width, int height)
{
    auto* box = new QLineEdit(parent);
    box->setObjectName(name);
    box->setReadOnly(true);
    Twips::place(box, left, top, width, height);
    return box;
}

} // namespace

ScoringWindow::ScoringWindow(Database& db, Messages& messages, ListReportCaptions& listCaptions, QWidget* parent)
    : QWidget(parent, Qt::Window)
    , m_messages(messages)
    , m_listCaptions(listCaptions)
    , m_session(db)
{
    Kit::setUpWindow(this, QStringLiteral("FrmkLID"), QStringLiteral("کليد گذاري"), windowWidth, windowHeight);

    buildButtonBar();
    buildExamineePanel();
    buildResultsPanel();
    buildInterpretationPanel();
    buildHelpPanel();

    // Load: position, theme, help panel geometry.
    Twips::placeWindow(this, 2340, 765);
    Theme::applyTheme(this, db, m_session.theme());
    Twips::place(m_helpPanel, 1380, 1080, 7635, 4935);
}

void ScoringWindow::buildButtonBar()
{
    // Right to left in the order the operator works: choose, print, chart, help, leave.
    m_select = Kit::button(this, QStringLiteral("Command1"), QStringLiteral("انتخاب آزمودني"), 8700, 180, 1560, 555);
    m_printSelected = Kit::button(
        this, QStringLiteral("Command6"), QStringLiteral("پرينت آزمودني انتخاب شده"), 6240, 180, 2340, 555);
    m_printAll
        = Kit::button(this, QStringLiteral("Command3"), QStringLiteral("پرينت کل  آزمودني ها "), 4080, 180, 2040, 555);
    m_chartButton
        = Kit::button(this, QStringLiteral("Command2"), QStringLiteral("مشاهده نمودار"), 2460, 180, 1500, 555);
    m_help = Kit::button(this, QStringLiteral("Command4"), QStringLiteral("راهنما"), 1320, 180, 1020, 555);
    m_close = Kit::button(this, QStringLiteral("Command5"), QStringLiteral(" خروج"), 180, 180, 1020, 555);

    connect(m_select, &QPushButton::clicked, this, &ScoringWindow::selectExaminee);
    connect(m_printSelected, &QPushButton::clicked, this, &ScoringWindow::printSelected);
    connect(m_printAll, &QPushButton::clicked, this, &ScoringWindow::printAll);
    connect(m_chartButton, &QPushButton::clicked, this, &ScoringWindow::openChart);
    connect(m_help, &QPushButton::clicked, this, &ScoringWindow::showHelp);
    connect(m_close, &QPushButton::clicked, this, &QWidget::close);

    setTabOrder(m_select, m_printSelected);
    setTabOrder(m_printSelected, m_printAll);
    setTabOrder(m_printAll, m_chartButton);
    setTabOrder(m_chartButton, m_help);
    setTabOrder(m_help, m_close);
}

void ScoringWindow::buildExamineePanel()
{
    m_examineePanel = new QFrame(this);
    m_examineePanel->setObjectName(QStringLiteral("Frame3"));
    m_examineePanel->setFrameShape(QFrame::StyledPanel);
    Twips::place(m_examineePanel, 180, 900, 10080, 1500);

    struct Field {
        const char* box;
        const char* column;
        QString ExamineeDetails::*field;
        QString caption;
    };
    const Field fields[] = {
        { "Text15", "Code", &ExamineeDetails::code, QStringLiteral(" :کد") },
        { "Text3", "FName", &ExamineeDetails::firstName, QStringLiteral(" :نام") },
        { "Text8", "LName", &ExamineeDetails::lastName, QStringLiteral(" :نام خانوادگي") },
        { "Text10", "Jens", &ExamineeDetails::sex, QStringLiteral(" :جنس") },
        { "Text6", "Sen", &ExamineeDetails::age, QStringLiteral(" :سن") },
        { "Text11", "Taahol", &ExamineeDetails::maritalStatus, QStringLiteral(" :وضعيت تاهل") },
        { "Text7", "Tahsil", &ExamineeDetails::education, QStringLiteral(" :ميزان تحصيلات") },
        { "Text9", "Date", &ExamineeDetails::date, QStringLiteral(" :تاريخ") },
        { "Text12", "Time", &ExamineeDetails::time, QStringLiteral(" :ساعت") },
    };
    static_assert(std::size(fields) == std::tuple_size_v<decltype(m_details)>);
    // Three columns of three fields, read from the right; each caption stands to the right of its box.
    constexpr int columnRight[] = { 9960, 6600, 3240 };
    constexpr int rowTop[] = { 120, 540, 960 };
    constexpr int captionWidth = 1320;
    constexpr int boxWidth = 1800;
    for (std::size_t i = 0; i < std::size(fields); ++i) {
        const int right = columnRight[i / 3];
        const int top = rowTop[i % 3];
        const Field& f = fields[i];
        QLineEdit* box
            = addBox(m_examineePanel, QString::fromLatin1(f.box), right - captionWidth - boxWidth, top, boxWidth, 375);
        // Codes, ages and dates line up on the right like the Persian fields beside them.
        box->setAlignment(Qt::AlignRight | Qt::AlignAbsolute | Qt::AlignVCenter);
        Kit::caption(m_examineePanel, QStringLiteral("Label%1").arg(QString::fromLatin1(f.column)), f.caption, box,
            right - captionWidth, top, captionWidth, 375);
        m_details[i] = { box, f.field };
    }
}

void ScoringWindow::buildResultsPanel()
{
    m_resultsPanel = new QFrame(this);
    m_resultsPanel->setObjectName(QStringLiteral("Frame1"));
    m_resultsPanel->setFrameShape(QFrame::StyledPanel);
    Twips::place(m_resultsPanel, 180, 2520, 10080, 2280);

    constexpr int captionLeft = 7560;
    constexpr int captionWidth = 2400;
    constexpr int rawLeft = 5880;
    constexpr int percentLeft = 4200;
    constexpr int numberWidth = 1440;
    constexpr int levelLeft = 1800;
    constexpr int levelWidth = 2160;
    constexpr int headerTop = 120;
    Kit::caption(m_resultsPanel, QStringLiteral("LabelRaw"), QStringLiteral("نمره خام"), nullptr, rawLeft, headerTop,
        numberWidth, 375)
        ->setAlignment(Qt::AlignCenter);
    Kit::caption(m_resultsPanel, QStringLiteral("LabelPercent"), QStringLiteral("درصد"), nullptr, percentLeft,
        headerTop, numberWidth, 375)
        ->setAlignment(Qt::AlignCenter);
    Kit::caption(m_resultsPanel, QStringLiteral("LabelLevel"), QStringLiteral("سطح"), nullptr, levelLeft, headerTop,
        levelWidth, 375)
        ->setAlignment(Qt::AlignCenter);

    int top = 540;
    for (const ScaleInfo& info : scales()) {
        ScaleBoxes& b = boxes(info.scale);
        b.raw = addBox(m_resultsPanel, info.rawBox, rawLeft, top, numberWidth, 375);
        b.percent = addBox(m_resultsPanel, info.percentBox, percentLeft, top, numberWidth, 375);
        b.level = addBox(m_resultsPanel, info.levelBox, levelLeft, top, levelWidth, 375);
        for (QLineEdit* box : { b.raw, b.percent, b.level })
            box->setAlignment(Qt::AlignCenter);
        Kit::caption(m_resultsPanel, QStringLiteral("Caption") + info.rawBox, info.caption, b.raw, captionLeft, top,
            captionWidth, 375);
        top += 420;
    }
    m_resultsPanel->hide();
}

void ScoringWindow::buildInterpretationPanel()
{
    m_interpretationPanel = new QGroupBox(QStringLiteral("تفسير"), this);
    m_interpretationPanel->setObjectName(QStringLiteral("Frame2"));
    Twips::place(m_interpretationPanel, 180, 4920, 10080, 3780);

    int top = 360;
    for (const ScaleInfo& info : scales()) {
        auto* sentence = new QPlainTextEdit(m_interpretationPanel);
        sentence->setObjectName(info.sentenceBox);
        sentence->setReadOnly(true);
        Kit::setRightToLeft(sentence);
        sentence->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        sentence->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        Twips::place(sentence, 120, top, 7920, 780);
        Kit::caption(m_interpretationPanel, QStringLiteral("Caption") + info.sentenceBox, info.caption, sentence, 8160,
            top, 1800, 375);
        boxes(info.scale).sentence = sentence;
        top += 840;
    }
    m_interpretationPanel->hide();
}

void ScoringWindow::buildHelpPanel()
{
    m_helpPanel = new QFrame(this);
    m_helpPanel->setObjectName(QStringLiteral("Frame4"));
    m_helpPanel->setFrameShape(QFrame::Panel);
    m_helpPanel->setFrameShadow(QFrame::Raised);
    m_helpPanel->setAutoFillBackground(true);

    auto* text = new QPlainTextEdit(m_helpPanel);
    text->setObjectName(QStringLiteral("Text14"));
    text->setReadOnly(true);
    Kit::setRightToLeft(text);
    QString help;
    for (const QString& line : helpLines())
        help += line + QLatin1Char('\n');
    text->setPlainText(help);
    Twips::place(text, 120, 120, 7395, 4080);

    auto* close = Kit::button(m_helpPanel, QStringLiteral("Command7"), QStringLiteral("خروج"), 3240, 4320, 1155, 495);
    connect(close, &QPushButton::clicked, this, &ScoringWindow::hideHelp);
    m_helpPanel->hide();
}

QString ScoringWindow::selectedCode() const
{
    return m_session.selected() ? m_session.selected()->code : QString();
}

ChartWindow* ScoringWindow::chartWindow() const
{
    return m_chart;
}

std::optional<ShownResults> ScoringWindow::shownResults() const
{
    return m_session.selected();
}

void ScoringWindow::selectExaminee()
{
    scoreExaminee(m_messages.PromptOperator(this, Msg::ScoringPrompt, Msg::ScoringTitle, QString()));
}

bool ScoringWindow::scoreExaminee(const QString& typedCode)
{
    const ScoringSession::Selection selection = m_session.select(typedCode);
    showExaminee(selection.examinee);
    showResults();
    if (!selection.selected())
        tellRefusal(selection);
    return selection.selected();
}

void ScoringWindow::tellRefusal(const ScoringSession::Selection& selection)
{
    using Status = ScoringSession::Selection::Status;
    switch (selection.status) {
    case Status::Selected:
        break;
    case Status::NothingTyped:
        m_messages.ShowNotice(this, Msg::EnterExamineeNumber);
        break;
    case Status::NotFound:
        m_messages.ShowNotice(this, Msg::NoSuchExaminee);
        break;
    case Status::DetailsMissing:
        m_messages.ShowNotice(this, Msg::ExamineeDetailsMissing);
        break;
    case Status::NotScorable:
        m_messages.AskOperator(this, selection.message, Msg::Style::Exclamation, Msg::ErrorTitlePersian);
        break;
    case Status::ScoresNotStored:
        m_messages.AskOperator(this, Msg::ScoresNotStored + QLatin1Char('\n') + selection.message,
            Msg::Style::ExclamationRtl, Msg::ErrorTitlePersian);
        break;
    case Status::Failed:
        Kit::reportDatabaseTrouble(m_messages, this, selection.busy, selection.message);
        break;
    }
}

void ScoringWindow::showExaminee(const std::optional<ExamineeDetails>& examinee)
{
    for (const DetailBox& detail : m_details) {
        const QString stored = examinee ? (*examinee).*detail.field : QString();
        // The code is shown as stored: it is what the operator types to find the examinee again.
        const bool number = detail.field == &ExamineeDetails::age || detail.field == &ExamineeDetails::date
            || detail.field == &ExamineeDetails::time;
        detail.box->setText(number ? ShownNumbers::text(stored) : stored);
    }
}

void ScoringWindow::showResults()
{
    // A refused or failed selection takes the results off the screen, as it leaves nothing to print or chart.
    const std::optional<ShownResults>& selected = m_session.selected();
    for (const ScaleInfo& info : scales()) {
        ScaleBoxes& b = boxes(info.scale);
        const ShownResults::ScaleTexts texts = selected ? selected->of(info.scale) : ShownResults::ScaleTexts();
        b.raw->setText(ShownNumbers::text(texts.raw));
        b.percent->setText(ShownNumbers::text(texts.percent));
        b.level->setText(texts.level);
        b.sentence->setPlainText(texts.sentence);
    }
    m_resultsPanel->setVisible(selected.has_value());
    m_interpretationPanel->setVisible(selected.has_value());
}

void ScoringWindow::printSelected()
{
    const std::optional<ShownResults>& selected = m_session.selected();
    if (!selected) {
        m_messages.ShowNotice(this, Msg::ScoreBeforePrint, 2000);
        return;
    }
    emit previewRequested(std::make_shared<ExamineeReport>(*selected, Maker::webSiteLine(), Maker::shopLine()));
    // One printout per pass: printing again takes another selection.
    m_session.clearSelection();
}

void ScoringWindow::printAll()
{
    // Each step runs whatever became of the one before. The rows are read afresh from the file, so scores stored
    // since the window opened are on the list.
    const ListReportRead read = m_session.listRows();
    m_listCaptions.clinicName = m_session.clinic().name;
    m_listCaptions.address = m_session.clinic().address;
    if (!read.complete)
        m_messages.AskOperator(this, Msg::ListNotComplete + QLatin1Char('\n') + read.error, Msg::Style::ExclamationRtl,
            Msg::ErrorTitlePersian);
    emit previewRequested(std::make_shared<ListReport>(read.rows, m_listCaptions, Maker::programmerLine()));
}

void ScoringWindow::openChart()
{
    const std::optional<ShownResults>& selected = m_session.selected();
    if (!selected) {
        m_messages.ShowNotice(this, Msg::ScoreBeforeChart, 2000);
        return;
    }
    if (!m_chart) {
        m_chart = new ChartWindow(this);
        m_chart->setAttribute(Qt::WA_DeleteOnClose);
        // The chart carries no skin of its own; it draws in this window's theme colours.
        m_chart->setPalette(palette());
    }
    m_chart->showResults(*selected);
    m_chart->show();
    m_chart->raise();
    m_chart->activateWindow();
}

void ScoringWindow::showHelp()
{
    m_helpPanel->show();
    m_helpPanel->raise();
}

void ScoringWindow::hideHelp()
{
    m_helpPanel->hide();
}
