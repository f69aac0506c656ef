#include "scoring/ScoringWindow.h"
#include "data/QuestionnaireItems.h"

#include "data/Database.h"
#include "data/ExamineeCode.h"
#include "data/TableCursor.h"
#include "scoring/ChartWindow.h"
#include "scoring/ScoringPass.h"
#include "scoring/reports/ExamineeReport.h"
#include "scoring/reports/ListReport.h"
#include "scoring/reports/ListReportRows.h"
#include "settings/Theme.h"
#include "ui/ColumnBinding.h"
#include "ui/LeadingNumber.h"
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

constexpr int itemCount = QuestionnaireItemCount;

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
    , m_db(db)
    , m_messages(messages)
    , m_listCaptions(listCaptions)
{
    Kit::setUpWindow(this, QStringLiteral("FrmkLID"), QStringLiteral("کليد گذاري"), windowWidth, windowHeight);

    openCursors();
    buildButtonBar();
    buildExamineePanel();
    buildResultsPanel();
    buildInterpretationPanel();
    buildHelpPanel();
    buildHiddenFields();

    // Load: position, theme, help panel geometry.
    Twips::placeWindow(this, 2340, 765);
    Theme::applyTheme(this, m_db, m_theme->field(QStringLiteral("TH")));
    Twips::place(m_helpPanel, 1380, 1080, 7635, 4935);
}

void ScoringWindow::openCursors()
{
    m_theme = new TableCursor(m_db, QStringLiteral("Theme"), this);
    m_answers = new TableCursor(m_db, QStringLiteral("Answer"), this);
    m_examinee = new TableCursor(m_db, QStringLiteral("IDE"), this);
    m_answersSpare = new TableCursor(m_db, QStringLiteral("Answer"), this);
    m_results = new TableCursor(m_db, QStringLiteral("IDE"), this);
    m_allExaminees = new TableCursor(m_db, QStringLiteral("IDE"), this);
    m_ppp = new TableCursor(m_db, QStringLiteral("PPP"), this);
}

void ScoringWindow::buildButtonBar()
{
    // Right to left in the order the operator works: choose, print, chart, help, leave.
    m_select = Kit::button(this, QStringLiteral("Command1"), QStringLiteral("انتخاب آزمودني"), 8700, 180, 1560, 555);
    m_printSelected = Kit::button(this, QStringLiteral("Command6"), QStringLiteral("پرينت آزمودني انتخاب شده"), 6240,
                                180, 2340, 555);
    m_printAll = Kit::button(this, QStringLiteral("Command3"), QStringLiteral("پرينت کل  آزمودني ها "), 4080, 180,
                           2040, 555);
    m_chartButton = Kit::button(this, QStringLiteral("Command2"), QStringLiteral("مشاهده نمودار"), 2460, 180, 1500, 555);
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
        QString caption;
    };
    const Field fields[] = {
        {"Text15", "Code", QStringLiteral(" :کد")},
        {"Text3", "FName", QStringLiteral(" :نام")},
        {"Text8", "LName", QStringLiteral(" :نام خانوادگي")},
        {"Text10", "Jens", QStringLiteral(" :جنس")},
        {"Text6", "Sen", QStringLiteral(" :سن")},
        {"Text11", "Taahol", QStringLiteral(" :وضعيت تاهل")},
        {"Text7", "Tahsil", QStringLiteral(" :ميزان تحصيلات")},
        {"Text9", "Date", QStringLiteral(" :تاريخ")},
        {"Text12", "Time", QStringLiteral(" :ساعت")},
    };
    // Three columns of three fields, read from the right; each caption stands to the right of its box.
    constexpr int columnRight[] = {9960, 6600, 3240};
    constexpr int rowTop[] = {120, 540, 960};
    constexpr int captionWidth = 1320;
    constexpr int boxWidth = 1800;
    for (int i = 0; i < 9; ++i) {
        const int right = columnRight[i / 3];
        const int top = rowTop[i % 3];
        const Field& f = fields[i];
        QLineEdit* box = addBox(m_examineePanel, QString::fromLatin1(f.box), right - captionWidth - boxWidth, top,
                                boxWidth, 375);
        // Codes, ages and dates line up on the right like the Persian fields beside them.
        box->setAlignment(Qt::AlignRight | Qt::AlignAbsolute | Qt::AlignVCenter);
        Kit::caption(m_examineePanel, QStringLiteral("Label%1").arg(QString::fromLatin1(f.column)), f.caption, box,
                   right - captionWidth, top, captionWidth, 375);
        ColumnBinding::of(*m_examinee).bind(box, QString::fromLatin1(f.column));
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
    Kit::caption(m_resultsPanel, QStringLiteral("LabelPercent"), QStringLiteral("درصد"), nullptr, percentLeft, headerTop,
               numberWidth, 375)
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
        for (QLineEdit* box : {b.raw, b.percent, b.level})
            box->setAlignment(Qt::AlignCenter);
        Kit::caption(m_resultsPanel, QStringLiteral("Caption") + info.rawBox, info.caption, b.raw, captionLeft, top,
                   captionWidth, 375);
        ColumnBinding::of(*m_results).bind(b.raw, info.column);
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

void ScoringWindow::buildHiddenFields()
{
    auto hidden = [this](const QString& name) { return Kit::hiddenField(this, name); };
    ColumnBinding::of(*m_theme).bind(hidden(QStringLiteral("Text1")), QStringLiteral("TH"));
    // The clinic's name and address go onto the reports.
    m_clinicName = hidden(QStringLiteral("Text13"));
    m_clinicAddress = hidden(QStringLiteral("Text16"));
    ColumnBinding::of(*m_theme).bind(m_clinicName, QStringLiteral("Name"));
    ColumnBinding::of(*m_theme).bind(m_clinicAddress, QStringLiteral("Adress"));
    m_selected = hidden(QStringLiteral("Text5"));
    // The examinee report names the examinee's group.
    m_group = hidden(QStringLiteral("TextGroup"));
    ColumnBinding::of(*m_examinee).bind(m_group, QStringLiteral("Group"));
}

QString ScoringWindow::selectedCode() const
{
    return m_selected->text();
}

ChartWindow* ScoringWindow::chartWindow() const
{
    return m_chart;
}

void ScoringWindow::selectExaminee()
{
    scoreExaminee(m_messages.PromptOperator(this, Msg::ScoringPrompt, Msg::ScoringTitle, QString()));
}

QStringList ScoringWindow::storedAnswers() const
{
    QStringList answers;
    answers.reserve(itemCount);
    for (int item = 1; item <= itemCount; ++item)
        answers << m_answers->field(QString::number(item));
    return answers;
}

void ScoringWindow::hideResultPanels()
{
    m_resultsPanel->hide();
    m_interpretationPanel->hide();
}

bool ScoringWindow::scoreExaminee(const QString& typedCode)
{
    // A code is looked up as it is stored, so however it was typed it finds the same examinee.
    const QStringList forms = ExamineeCode::lookupForms(typedCode);
    if (forms.isEmpty()) {
        m_messages.ShowNotice(this, Msg::EnterExamineeNumber);
        return false;
    }

    // Filtering reads the rows afresh, so answers stored since the window opened are seen. A file that cannot be
    // read says so; it never passes for an unknown code.
    const auto unreadable = [this](const TableCursor& cursor) {
        hideResultPanels();
        Kit::reportDatabaseTrouble(m_messages, this, cursor.lastErrorIsBusy(), cursor.lastError());
        return false;
    };
    QString code = forms.last();
    for (const QString& form : forms) {
        if (!m_answers->setFilter(QStringLiteral("Code"), form))
            return unreadable(*m_answers);
        if (m_answers->count() > 0) {
            code = form;
            break;
        }
    }
    if (!m_examinee->setFilter(QStringLiteral("Code"), code))
        return unreadable(*m_examinee);
    if (m_answers->count() == 0) {
        m_messages.ShowNotice(this, Msg::NoSuchExaminee);
        m_resultsPanel->hide();
        return false;
    }
    // Without the examinee's details there is no row to store the scores in.
    if (m_examinee->count() == 0) {
        m_messages.ShowNotice(this, Msg::ExamineeDetailsMissing);
        hideResultPanels();
        return false;
    }

    const ScoringResult scored = scoreAnswers(storedAnswers());
    if (!scored.isScorable()) {
        m_messages.AskOperator(this, refusalMessage(scored), Msg::Style::Exclamation, Msg::ErrorTitlePersian);
        hideResultPanels();
        return false;
    }

    if (!m_results->setFilter(QStringLiteral("Code"), code))
        return unreadable(*m_results);
    m_resultsPanel->show();
    m_selected->setText(code);

    // The raw boxes are bound to the results row: writing them sets the row's four scores.
    for (Scale scale : {Scale::TahrifeA, Scale::HaleT, Scale::Ertebat, Scale::Rezayat})
        boxes(scale).raw->setText(QString::number(scored.result(scale).raw));
    if (!m_results->update()) {
        const QString why = m_results->lastError();
        forgetUnstoredResults();
        m_messages.AskOperator(this, Msg::ScoresNotStored + QLatin1Char('\n') + why, Msg::Style::ExclamationRtl,
                               Msg::ErrorTitlePersian);
        return false;
    }
    m_interpretationPanel->show();

    // Percent, level and sentence are each read back from the box before, as the reports and the chart read them.
    for (const ScaleInfo& info : scales()) {
        ScaleBoxes& b = boxes(info.scale);
        const std::optional<int> percent = percentFor(info.scale, leadingWholeNumber(b.raw->text()));
        b.percent->setText(percent ? QString::number(*percent) : QString());
    }
    for (const ScaleInfo& info : scales()) {
        ScaleBoxes& b = boxes(info.scale);
        b.level->setText(levelFor(leadingWholeNumber(b.percent->text())));
    }
    for (const ScaleInfo& info : scales()) {
        ScaleBoxes& b = boxes(info.scale);
        b.sentence->setPlainText(sentenceFor(info.scale, leadingWholeNumber(b.percent->text())));
    }
    return true;
}

void ScoringWindow::forgetUnstoredResults()
{
    // Reloading drops the unstored scores, so the raw boxes show what the row really holds; with no examinee
    // selected, neither the chart nor a printout can present the other boxes as this examinee's results.
    m_results->reload();
    m_selected->clear();
    for (ScaleBoxes& b : m_boxes) {
        b.percent->clear();
        b.level->clear();
        b.sentence->clear();
    }
    hideResultPanels();
}

ShownResults ScoringWindow::shownResults() const
{
    auto text = [this](const char* name) {
        const auto* box = findChild<QLineEdit*>(QString::fromLatin1(name));
        return box ? box->text() : QString();
    };
    ShownResults shown;
    shown.code = text("Text15");
    shown.firstName = text("Text3");
    shown.group = m_group->text();
    shown.age = text("Text6");
    shown.sex = text("Text10");
    shown.maritalStatus = text("Text11");
    shown.education = text("Text7");
    for (const ScaleInfo& info : scales()) {
        const ScaleBoxes& b = m_boxes[static_cast<std::size_t>(info.scale)];
        shown.of(info.scale) = { b.raw->text(), b.percent->text(), b.level->text(), b.sentence->toPlainText() };
    }
    shown.clinicName = m_clinicName->text();
    shown.clinicAddress = m_clinicAddress->text();
    return shown;
}

void ScoringWindow::printSelected()
{
    const QString selected = m_selected->text();
    if (selected.isEmpty()) {
        m_messages.ShowNotice(this, Msg::ScoreBeforePrint, 2000);
        return;
    }
    // A pass that stopped early may have left the panel on another examinee; the report's details must be those of
    // the examinee whose results it prints.
    if (m_examinee->field(QStringLiteral("Code")) != selected)
        m_examinee->setFilter(QStringLiteral("Code"), selected);

    auto report = std::make_shared<ExamineeReport>(shownResults(), Maker::webSiteLine(), Maker::shopLine());
    emit previewRequested(report);
    m_selected->clear();
}

void ScoringWindow::printAll()
{
    // Each step runs whatever became of the one before. The rows are read afresh from the file, so scores stored
    // since the window opened are on the list.
    const ListReportRead read = readListRows(*m_allExaminees);
    m_listCaptions.clinicName = m_clinicName->text();
    m_listCaptions.address = m_clinicAddress->text();
    if (!read.complete)
        m_messages.AskOperator(this, Msg::ListNotComplete + QLatin1Char('\n') + read.error, Msg::Style::ExclamationRtl,
            Msg::ErrorTitlePersian);
    emit previewRequested(std::make_shared<ListReport>(read.rows, m_listCaptions, Maker::programmerLine()));
}

void ScoringWindow::openChart()
{
    if (m_selected->text().isEmpty()) {
        m_messages.ShowNotice(this, Msg::ScoreBeforeChart, 2000);
        return;
    }
    if (!m_chart) {
        m_chart = new ChartWindow(this);
        m_chart->setAttribute(Qt::WA_DeleteOnClose);
    }
    m_chart->showResults(shownResults());
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
