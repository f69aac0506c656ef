#include "scoring/ComparisonWindow.h"

#include "data/QuestionnaireItems.h"
#include "questionnaire/Keying.h"
#include "scoring/ComparisonChartView.h"
#include "scoring/ComparisonTexts.h"
#include "scoring/reports/ComparisonReport.h"
#include "settings/Theme.h"
#include "text/ShownNumbers.h"
#include "ui/LeftToRightCells.h"
#include "ui/MessageCatalogue.h"
#include "ui/Messages.h"
#include "ui/Twips.h"
#include "ui/WindowKit.h"

#include <QBoxLayout>
#include <QButtonGroup>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollArea>
#include <QTabWidget>
#include <QTableWidget>

#include <algorithm>

namespace {

constexpr int windowWidth = 12600;
constexpr int windowHeight = 11760;
// Below the codes and buttons the tabs take whatever height the screen leaves; their contents scroll.
constexpr int tabsTop = 2880;
constexpr int margin = 180;
constexpr int smallestHeight = 6600;

const QString comparisonTitle = QStringLiteral("مقايسه دو آزمودني");
const QString coupleCaption = QStringLiteral("زوج (همسران)");
const QString followUpCaption = QStringLiteral("پيش و پس از مشاوره");
const QString kindCaption = QStringLiteral("نوع مقايسه");
const QString firstCodeCaption = QStringLiteral("کد آزمودني اول:");
const QString secondCodeCaption = QStringLiteral("کد آزمودني دوم:");
const QString compareCaption = QStringLiteral("مقايسه");
const QString printCaption = QStringLiteral("پرينت مقايسه");
const QString closeCaption = QStringLiteral(" خروج");
const QString helpLine = QStringLiteral(
    "براي زوج، کد هر يک از همسران را وارد کنيد. براي پيش و پس از مشاوره، کد اول اجراي نخست است؛ اجراي دوم آزمون را "
    "با ثبت نام دوباره همان مراجع با کد تازه انجام دهيد و آن کد را در جاي کد دوم وارد کنيد.");
const QString resultsTab = QStringLiteral("نتايج");
const QString itemsTab = QStringLiteral("سوال به سوال");
const QString changesTab = QStringLiteral(u"تغييرات پاسخ\u200cها");
const QString talkAboutCaption = QStringLiteral("سوالات براي گفتگو: ");
const QString nothingToTalkAbout = QStringLiteral("سوالي با توافق منفي يا عدم توافق نيست.");
const QString noChangedItems = QStringLiteral("پاسخ هيچ سوالي دو درجه يا بيشتر تغيير نکرده است.");
// Headers of the tables.
const QStringList detailHeaders = { QStringLiteral("کد"), QStringLiteral("نام"), QStringLiteral("نام خانوادگي"),
    QStringLiteral("جنس"), QStringLiteral("سن"), QStringLiteral("گروه"), QStringLiteral("تاريخ") };
const QString scaleHeader = QStringLiteral("مقياس");
const QString rawHeader = QStringLiteral("نمره خام");
const QString percentHeader = QStringLiteral("درصد");
const QString levelHeader = QStringLiteral("سطح");
const QString rawDifferenceHeader = QStringLiteral("تفاوت\nنمره خام");
const QString percentDifferenceHeader = QStringLiteral("تفاوت\nدرصد");
const QString levelChangeHeader = QStringLiteral("تغيير\nسطح");
const QString numberHeader = QStringLiteral("شماره");
const QString statementHeader = QStringLiteral("عبارت");
const QString agreementHeader = QStringLiteral("وضعيت");
const QString changeHeader = QStringLiteral("تغيير");
const QString positiveHeader = QStringLiteral("توافق مثبت (درصد)");

// A tab's page: its contents scroll up and down inside the tab when the window is shorter than they are, and follow
// the tab's width. Returns the widget to lay the contents in (a vertical layout).
QWidget* scrolledPage(QWidget* parent, const QString& name)
{
    auto* scroll = new QScrollArea(parent);
    scroll->setObjectName(name + QStringLiteral("Scroll"));
    scroll->setWidgetResizable(true);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll->setFrameShape(QFrame::NoFrame);
    auto* page = new QWidget;
    page->setObjectName(name);
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(
        Twips::toPixelsX(120), Twips::toPixelsY(120), Twips::toPixelsX(120), Twips::toPixelsY(120));
    scroll->setWidget(page);
    return page;
}

QLabel* wrappedLabel(QWidget* parent, const QString& name)
{
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    label->setWordWrap(true);
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(Qt::AlignLeading | Qt::AlignTop);
    return label;
}

QTableWidget* addTable(QWidget* parent, const QString& name)
{
    auto* table = new QTableWidget(parent);
    table->setObjectName(name);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionMode(QAbstractItemView::NoSelection);
    table->verticalHeader()->hide();
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    table->setLayoutDirection(Qt::RightToLeft);
    return table;
}

void setCell(QTableWidget* table, int row, int column, const QString& text)
{
    auto* item = new QTableWidgetItem(text);
    item->setTextAlignment(Qt::AlignCenter);
    table->setItem(row, column, item);
}

QString optionCaption(int option)
{
    return option >= 1 && option <= 5 ? optionCaptions()[option - 1] : QString();
}

// A table as tall as its heading and rows, so the page around it scrolls rather than the table.
void fitHeight(QTableWidget* table)
{
    table->resizeRowsToContents();
    int height = table->horizontalHeader()->sizeHint().height() + 2 * table->frameWidth();
    for (int row = 0; row < table->rowCount(); ++row)
        height += table->rowHeight(row);
    table->setFixedHeight(height);
}

QString codeHeader(const QString& caption, const QString& code)
{
    return caption + QLatin1Char('\n') + code;
}

} // namespace

ComparisonWindow::ComparisonWindow(Database& db, Messages& messages, QWidget* parent)
    : QWidget(parent, Qt::Window)
    , m_messages(messages)
    , m_session(db)
{
    Kit::setUpWindow(this, QStringLiteral("FrmCompare"), comparisonTitle, windowWidth, windowHeight);
    Kit::letHeightShrink(this, smallestHeight);
    buildControls();
    buildResults();
    Twips::placeWindow(this, 1400, 400);
    if (const QScreen* shownOn = screen())
        Kit::fitHeightTo(this, shownOn->availableGeometry());
    Theme::applyTheme(this, db, m_session.theme());
}

void ComparisonWindow::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    placeTabs();
}

void ComparisonWindow::placeTabs()
{
    const int top = Twips::toPixelsY(tabsTop);
    m_tabs->setGeometry(Twips::toPixelsX(margin), top, Twips::toPixelsX(windowWidth - 2 * margin),
        std::max(0, height() - top - Twips::toPixelsY(margin)));
}

void ComparisonWindow::buildControls()
{
    m_compare = Kit::button(this, QStringLiteral("Command1"), compareCaption, 10620, 180, 1800, 555);
    m_print = Kit::button(this, QStringLiteral("Command2"), printCaption, 8700, 180, 1800, 555);
    m_close = Kit::button(this, QStringLiteral("Command5"), closeCaption, 180, 180, 1200, 555);

    auto* kinds = new QGroupBox(kindCaption, this);
    kinds->setObjectName(QStringLiteral("FrameKind"));
    Twips::place(kinds, 8700, 840, 3720, 1200);
    m_couple = new QRadioButton(coupleCaption, kinds);
    m_couple->setObjectName(QStringLiteral("OptionCouple"));
    // Below the box's title, inside its frame.
    Twips::place(m_couple, 180, 360, 3360, 375);
    m_followUp = new QRadioButton(followUpCaption, kinds);
    m_followUp->setObjectName(QStringLiteral("OptionFollowUp"));
    Twips::place(m_followUp, 180, 780, 3360, 375);
    m_couple->setChecked(true);
    auto* group = new QButtonGroup(this);
    group->addButton(m_couple);
    group->addButton(m_followUp);

    m_firstCode = new QLineEdit(this);
    Kit::alignRight(m_firstCode);
    m_firstCode->setObjectName(QStringLiteral("FirstCode"));
    Twips::place(m_firstCode, 4440, 960, 2280, 375);
    Kit::caption(this, QStringLiteral("LabelFirstCode"), firstCodeCaption, m_firstCode, 6840, 960, 1740, 375);
    m_secondCode = new QLineEdit(this);
    Kit::alignRight(m_secondCode);
    m_secondCode->setObjectName(QStringLiteral("SecondCode"));
    Twips::place(m_secondCode, 4440, 1500, 2280, 375);
    Kit::caption(this, QStringLiteral("LabelSecondCode"), secondCodeCaption, m_secondCode, 6840, 1500, 1740, 375);

    m_helpLine = new QLabel(helpLine, this);
    m_helpLine->setObjectName(QStringLiteral("HelpLine"));
    m_helpLine->setTextFormat(Qt::PlainText);
    m_helpLine->setWordWrap(true);
    m_helpLine->setAlignment(Qt::AlignLeading | Qt::AlignTop);
    Twips::place(m_helpLine, 180, 2160, 12240, 660);

    connect(m_compare, &QPushButton::clicked, this, &ComparisonWindow::compare);
    connect(m_print, &QPushButton::clicked, this, &ComparisonWindow::print);
    connect(m_close, &QPushButton::clicked, this, &QWidget::close);
    connect(m_secondCode, &QLineEdit::returnPressed, this, &ComparisonWindow::compare);
    connect(m_firstCode, &QLineEdit::editingFinished, this, &ComparisonWindow::fillRememberedPair);
    connect(m_secondCode, &QLineEdit::editingFinished, this, &ComparisonWindow::fillRememberedPair);

    setTabOrder(m_couple, m_followUp);
    setTabOrder(m_followUp, m_firstCode);
    setTabOrder(m_firstCode, m_secondCode);
    setTabOrder(m_secondCode, m_compare);
    setTabOrder(m_compare, m_print);
    setTabOrder(m_print, m_close);
}

void ComparisonWindow::buildResults()
{
    m_tabs = new QTabWidget(this);
    m_tabs->setObjectName(QStringLiteral("ResultTabs"));

    auto* results = scrolledPage(m_tabs, QStringLiteral("ResultsPage"));
    auto* resultsLayout = qobject_cast<QVBoxLayout*>(results->layout());
    m_details = addTable(results, QStringLiteral("DetailsTable"));
    m_details->setFixedHeight(Twips::toPixelsY(1500));
    m_scales = addTable(results, QStringLiteral("ScaleTable"));
    m_scales->setFixedHeight(Twips::toPixelsY(2700));
    m_leftToRight = new LeftToRightCells(this);
    m_signNote = wrappedLabel(results, QStringLiteral("SignNote"));
    m_resultsCaution = wrappedLabel(results, QStringLiteral("ResultsCaution"));
    m_chart = new ComparisonChartView(results);
    m_chart->setObjectName(QStringLiteral("Chart"));
    for (QWidget* w : std::initializer_list<QWidget*> { m_details, m_scales, m_signNote, m_resultsCaution, m_chart })
        resultsLayout->addWidget(w);
    resultsLayout->addStretch(1);
    m_tabs->addTab(results->parentWidget()->parentWidget(), resultsTab);

    auto* items = scrolledPage(m_tabs, QStringLiteral("ItemsPage"));
    auto* itemsLayout = qobject_cast<QVBoxLayout*>(items->layout());
    m_items = addTable(items, QStringLiteral("ItemTable"));
    m_items->setMinimumHeight(Twips::toPixelsY(3000));
    itemsLayout->addWidget(m_items, 1);
    auto* below = new QHBoxLayout;
    m_agreement = addTable(items, QStringLiteral("AgreementTable"));
    m_agreement->setFixedSize(Twips::toPixelsX(4800), Twips::toPixelsY(2040));
    auto* words = new QVBoxLayout;
    m_talkAbout = wrappedLabel(items, QStringLiteral("TalkAbout"));
    m_caution = wrappedLabel(items, QStringLiteral("Caution"));
    words->addWidget(m_talkAbout);
    words->addWidget(m_caution);
    words->addStretch(1);
    // Right to left: the agreement table at the right edge, the words beside it.
    below->addWidget(m_agreement, 0, Qt::AlignTop);
    below->addLayout(words, 1);
    itemsLayout->addLayout(below);
    m_tabs->addTab(items->parentWidget()->parentWidget(), itemsTab);

    placeTabs();
    clearResults();
}

ComparisonKind ComparisonWindow::kind() const
{
    return m_followUp->isChecked() ? ComparisonKind::FollowUp : ComparisonKind::Couple;
}

void ComparisonWindow::compare()
{
    clearResults();
    const ComparisonSession::Outcome outcome = m_session.compare(kind(), m_firstCode->text(), m_secondCode->text());
    if (!outcome.compared()) {
        tellRefusal(outcome, (outcome.which == 2 ? m_secondCode : m_firstCode)->text().trimmed());
        return;
    }
    showComparison(*m_session.comparison());
    if (outcome.pairNotStored)
        m_messages.AskOperator(this, Msg::ComparePairNotStored + QLatin1Char('\n') + outcome.message,
            Msg::Style::ExclamationRtl, Msg::ErrorTitlePersian);
}

void ComparisonWindow::fillRememberedPair()
{
    // Only a box filled alone is completed: two typed codes are the operator's choice.
    auto* typedIn = qobject_cast<QLineEdit*>(sender());
    QLineEdit* other = typedIn == m_firstCode ? m_secondCode : m_firstCode;
    if (!typedIn || !other->text().trimmed().isEmpty() || typedIn->text().trimmed().isEmpty())
        return;
    const std::optional<ComparisonSession::Remembered> pair = m_session.rememberedPair(typedIn->text());
    if (!pair)
        return;
    // The remembered order counts for a follow-up: the earlier administration comes first.
    m_firstCode->setText(pair->firstCode);
    m_secondCode->setText(pair->secondCode);
    (pair->kind == ComparisonKind::FollowUp ? m_followUp : m_couple)->setChecked(true);
}

void ComparisonWindow::tellRefusal(const ComparisonSession::Outcome& outcome, const QString& typed)
{
    using Status = ComparisonSession::Outcome::Status;
    switch (outcome.status) {
    case Status::Compared:
        break;
    case Status::NothingTyped:
        m_messages.ShowNotice(this, Msg::CompareEnterBothCodes);
        break;
    case Status::SameCode:
        m_messages.ShowNotice(this, Msg::CompareSameCode);
        break;
    case Status::NotFound:
        m_messages.ShowNotice(this, Msg::CompareNotFound.arg(typed));
        break;
    case Status::NoAnswers:
        m_messages.ShowNotice(this, Msg::CompareNoAnswers.arg(typed));
        break;
    case Status::Unfinished:
        m_messages.ShowNotice(this, Msg::CompareUnfinished.arg(typed));
        break;
    case Status::Damaged:
        m_messages.ShowNotice(this, Msg::CompareDamaged.arg(typed));
        break;
    case Status::DetailsMissing:
        m_messages.ShowNotice(this, Msg::CompareDetailsMissing.arg(typed));
        break;
    case Status::ScoresNotStored:
        m_messages.AskOperator(this, Msg::ScoresNotStored + QLatin1Char('\n') + outcome.message,
            Msg::Style::ExclamationRtl, Msg::ErrorTitlePersian);
        break;
    case Status::Failed:
        Kit::reportDatabaseTrouble(m_messages, this, outcome.busy, outcome.message);
        break;
    }
}

void ComparisonWindow::clearResults()
{
    for (QTableWidget* table : { m_details, m_scales, m_items, m_agreement }) {
        table->clear();
        table->setRowCount(0);
        table->setColumnCount(0);
    }
    for (QLabel* label : { m_talkAbout, m_caution, m_signNote, m_resultsCaution }) {
        label->clear();
        label->hide();
    }
    m_details->verticalHeader()->hide();
    m_chart->showComparison(std::nullopt);
    m_tabs->setTabText(1, kind() == ComparisonKind::Couple ? itemsTab : changesTab);
    m_tabs->setEnabled(false);
}

void ComparisonWindow::showComparison(const PairComparison& comparison)
{
    m_tabs->setEnabled(true);
    showDetails(comparison);
    showScales(comparison);
    m_chart->showComparison(comparison);
    showItems(comparison);
}

void ComparisonWindow::showDetails(const PairComparison& comparison)
{
    m_details->setColumnCount(static_cast<int>(detailHeaders.size()));
    m_details->setHorizontalHeaderLabels(detailHeaders);
    m_details->setRowCount(2);
    // A follow-up says which code is the administration before counselling and which after.
    if (comparison.kind == ComparisonKind::FollowUp) {
        m_details->setVerticalHeaderLabels({ ComparisonTexts::beforeCaption(), ComparisonTexts::afterCaption() });
        m_details->verticalHeader()->show();
    }
    int row = 0;
    for (const ExamineeDetails* examinee : { &comparison.firstExaminee, &comparison.secondExaminee }) {
        const QString texts[] = { examinee->code, examinee->firstName, examinee->lastName, examinee->sex,
            ShownNumbers::text(examinee->age), examinee->group, ShownNumbers::text(examinee->date) };
        for (int column = 0; column < static_cast<int>(std::size(texts)); ++column)
            setCell(m_details, row, column, texts[column]);
        ++row;
    }
    fitHeight(m_details);
}

void ComparisonWindow::showScales(const PairComparison& comparison)
{
    const bool followUp = comparison.kind == ComparisonKind::FollowUp;
    // The codes head their columns; the details above say which code is before counselling and which after.
    const QString& a = comparison.first.code;
    const QString& b = comparison.second.code;
    QStringList headers = { scaleHeader, codeHeader(rawHeader, a), codeHeader(percentHeader, a),
        codeHeader(levelHeader, a), codeHeader(rawHeader, b), codeHeader(percentHeader, b), codeHeader(levelHeader, b),
        rawDifferenceHeader, percentDifferenceHeader };
    if (followUp)
        headers << levelChangeHeader;
    m_scales->setColumnCount(static_cast<int>(headers.size()));
    m_scales->setHorizontalHeaderLabels(headers);
    // Signed figures read left to right; the change of level is words ("پايين ← متوسط").
    for (int column = 7; column < 9; ++column)
        m_scales->setItemDelegateForColumn(column, m_leftToRight);
    m_scales->setRowCount(static_cast<int>(allScales.size()));
    int row = 0;
    for (const ScaleInfo& info : scales()) {
        const ShownResults::ScaleTexts& first = comparison.first.of(info.scale);
        const ShownResults::ScaleTexts& second = comparison.second.of(info.scale);
        const PairComparison::ScaleRow& difference = comparison.row(info.scale);
        const QString texts[] = { info.caption, ShownNumbers::text(first.raw), ShownNumbers::text(first.percent),
            first.level, ShownNumbers::text(second.raw), ShownNumbers::text(second.percent), second.level,
            signedFigure(difference.rawDifference), signedFigure(difference.percentDifference) };
        for (int column = 0; column < static_cast<int>(std::size(texts)); ++column)
            setCell(m_scales, row, column, texts[column]);
        if (followUp)
            setCell(m_scales, row, 9, ComparisonTexts::levelChange(first.level, second.level));
        ++row;
    }
    // Every column as wide as its texts (a scale's whole name, a change of level); the differences share the rest.
    QHeaderView* header = m_scales->horizontalHeader();
    header->setSectionResizeMode(QHeaderView::ResizeToContents);
    header->setSectionResizeMode(7, QHeaderView::Stretch);
    header->setSectionResizeMode(8, QHeaderView::Stretch);
    fitHeight(m_scales);

    m_signNote->setText(ComparisonTexts::signNote(comparison));
    m_signNote->show();
    // The caution stands beside the distortion scores it is about, naming whose score is high.
    const QString caution = ComparisonTexts::idealisedCaution(comparison);
    m_resultsCaution->setText(caution);
    m_resultsCaution->setVisible(!caution.isEmpty());
}

void ComparisonWindow::showItems(const PairComparison& comparison)
{
    const bool couple = comparison.kind == ComparisonKind::Couple;
    m_tabs->setTabText(1, couple ? itemsTab : changesTab);
    const QStringList headers = { numberHeader, statementHeader, ComparisonTexts::examineeHeading(comparison, false),
        ComparisonTexts::examineeHeading(comparison, true), couple ? agreementHeader : changeHeader };
    m_items->setColumnCount(static_cast<int>(headers.size()));
    // The change column holds signed figures; the agreement column Persian words.
    m_items->setItemDelegateForColumn(4, couple ? nullptr : m_leftToRight);
    m_items->setHorizontalHeaderLabels(headers);
    m_items->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_items->horizontalHeader()->setSectionResizeMode(1, QHeaderView::Stretch);

    // A follow-up lists the content scales' changed statements first and the distortion statements apart, under a
    // heading of their own: an answer that became more idealised is no improvement.
    QList<int> shown;
    QList<int> idealisedShown;
    if (couple) {
        for (int item = 1; item <= QuestionnaireItemCount; ++item)
            shown << item;
    } else {
        for (int item : comparison.changedItems)
            (isIdealisedItem(item) ? idealisedShown : shown) << item;
    }
    m_items->clearSpans();
    m_items->setRowCount(static_cast<int>(shown.size() + idealisedShown.size()) + (idealisedShown.isEmpty() ? 0 : 1));
    int row = 0;
    const auto addItem = [&](int item) {
        const PairComparison::ItemRow& r = comparison.item(item);
        setCell(m_items, row, 0, ShownNumbers::number(item));
        auto* statement = new QTableWidgetItem(QString::fromUtf8(questionnaireItem(item)->statement));
        // Leading is the right edge in this right-to-left table.
        statement->setTextAlignment(Qt::AlignLeading | Qt::AlignVCenter);
        m_items->setItem(row, 1, statement);
        setCell(m_items, row, 2, optionCaption(r.firstOption));
        setCell(m_items, row, 3, optionCaption(r.secondOption));
        setCell(m_items, row, 4,
            couple ? (r.agreement ? agreementCaption(*r.agreement) : ComparisonTexts::idealisedOnlyStatus())
                   : signedFigure(r.secondKeyed - r.firstKeyed));
        ++row;
    };
    for (int item : shown)
        addItem(item);
    if (!idealisedShown.isEmpty()) {
        auto* heading = new QTableWidgetItem(ComparisonTexts::idealisedItemsHeading());
        heading->setTextAlignment(Qt::AlignLeading | Qt::AlignVCenter);
        QFont bold = heading->font();
        bold.setBold(true);
        heading->setFont(bold);
        m_items->setItem(row, 0, heading);
        m_items->setSpan(row, 0, 1, static_cast<int>(headers.size()));
        ++row;
        for (int item : idealisedShown)
            addItem(item);
    }

    if (!couple) {
        m_talkAbout->setText(comparison.changedItems.isEmpty() ? noChangedItems : QString());
        m_talkAbout->setVisible(comparison.changedItems.isEmpty());
        m_agreement->hide();
        return;
    }
    m_agreement->show();
    m_agreement->setColumnCount(2);
    m_agreement->setHorizontalHeaderLabels({ scaleHeader, positiveHeader });
    m_agreement->setRowCount(static_cast<int>(comparison.agreement.size()));
    row = 0;
    for (const PairComparison::ScaleAgreement& scale : comparison.agreement) {
        setCell(m_agreement, row, 0, scaleInfo(scale.scale).caption);
        setCell(m_agreement, row, 1, ShownNumbers::number(scale.positivePercent));
        ++row;
    }
    QStringList numbers;
    for (int item : comparison.toTalkAbout)
        numbers << ShownNumbers::number(item);
    m_talkAbout->setText(
        numbers.isEmpty() ? nothingToTalkAbout : talkAboutCaption + numbers.join(QStringLiteral("، ")));
    m_talkAbout->show();
    const QString caution = ComparisonTexts::idealisedCaution(comparison);
    m_caution->setText(caution);
    m_caution->setVisible(!caution.isEmpty());
}

void ComparisonWindow::print()
{
    if (!m_session.comparison()) {
        m_messages.ShowNotice(this, Msg::CompareBeforePrint, 2000);
        return;
    }
    emit previewRequested(std::make_shared<ComparisonReport>(
        *m_session.comparison(), m_session.clinic().name, m_session.clinic().address));
}

void ComparisonWindow::compareCouple(const QString& firstCode, const QString& secondCode)
{
    m_couple->setChecked(true);
    m_firstCode->setText(firstCode);
    m_secondCode->setText(secondCode);
    compare();
}
