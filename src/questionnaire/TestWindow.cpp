#include "questionnaire/TestWindow.h"

#include "data/TableCursor.h"
#include "questionnaire/AnswerSheet.h"
#include "questionnaire/ItemNumberRule.h"
#include "questionnaire/Keying.h"
#include "questionnaire/TestTexts.h"
#include "settings/Theme.h"
#include "text/Digits.h"
#include "text/ShownNumbers.h"
#include "ui/DigitsField.h"
#include "ui/MessageCatalogue.h"
#include "ui/OptionButton.h"
#include "ui/Messages.h"
#include "ui/Twips.h"
#include "ui/WindowKit.h"

#include <QEvent>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <initializer_list>

namespace {

const QString WindowTitle = QStringLiteral("صفحه اجراي تست");
const QString TitleText = TestTexts::Title;
const QString InstructionText = TestTexts::Instruction;
const QString LegendText = TestTexts::Legend;
const QString StartCaption = TestTexts::Start;
const QString BackCaption = TestTexts::Back;
const QString NextCaption = TestTexts::Next;
const QString SaveAndExitCaption = QStringLiteral("ذخيره و خروج");

// Our own captions, for controls that carry none of their own.
const QString DetailsCaption = QStringLiteral("مشخصات آزمودني");
const QString ItemNumberCaption = QStringLiteral("شماره سوال");
const QString ProgressCaption = QStringLiteral("پاسخ داده شده");
// Read out with each option, so a screen reader's listener knows where in the row it is.
const QString OptionPosition = QStringLiteral("گزينه %1 از %2");

// The captions of the examinee's details, by column.
QString detailCaption(const QString& column)
{
    static const QHash<QString, QString> captions = {
        {QStringLiteral("Code"), QStringLiteral(" :کد")},
        {QStringLiteral("FName"), QStringLiteral(" :نام")},
        {QStringLiteral("LName"), QStringLiteral(" :نام خانوادگي")},
        {QStringLiteral("Jens"), QStringLiteral(" :جنس")},
        {QStringLiteral("Sen"), QStringLiteral(" :سن")},
        {QStringLiteral("Taahol"), QStringLiteral(" :وضعيت تاهل")},
        {QStringLiteral("Tahsil"), QStringLiteral(" :ميزان تحصيلات")},
        {QStringLiteral("Date"), QStringLiteral(" :تاريخ")},
        {QStringLiteral("Time"), QStringLiteral(" :ساعت")},
    };
    return captions.value(column);
}

constexpr int AgeLength = 3;

QFont scaled(const QFont& base, double factor, bool bold = false)
{
    QFont f = base;
    f.setPointSizeF(base.pointSizeF() * factor);
    f.setBold(bold);
    return f;
}

} // namespace

TestWindow::TestWindow(Database& db, Messages& messages, QWidget* parent)
    : QDialog(parent)
    , m_messages(messages)
    , m_sheet(std::make_unique<AnswerSheet>(db))
{
    setObjectName(QStringLiteral("FrmTest"));
    setWindowTitle(WindowTitle);

    buildIntroduction();
    buildItemArea();
    buildDetails();
    buildLayout();
    setTabOrder();

    // The item number starts at "1"; nothing is loaded until "شروع" sets it afresh.
    m_itemNumber->setText(ShownNumbers::number(1));
    connect(m_itemNumber, &QLineEdit::textChanged, this, &TestWindow::itemNumberChanged);
    for (DigitsField* box : {m_itemNumber, m_age}) {
        connect(box, &DigitsField::keyRefused, this, [this] {
            m_messages.Beep();
            m_messages.ShowNotice(this, Msg::DigitsOnly);
        });
    }

    for (QWidget* w : findChildren<QWidget*>())
        if (w->focusPolicy() != Qt::NoFocus)
            w->installEventFilter(this);

    const TableCursor theme(db, QStringLiteral("Theme"));
    Theme::applyTheme(this, db, theme.field(QStringLiteral("TH")));
    showPhase(Phase::Introduction);
    resize(Twips::toPixelsX(14400), Twips::toPixelsY(9600));
}

TestWindow::~TestWindow() = default;

void TestWindow::buildIntroduction()
{
    m_title = new QLabel(ShownNumbers::text(TitleText), this);
    m_title->setObjectName(QStringLiteral("SkinLabel3"));
    m_title->setAlignment(Qt::AlignCenter);
    m_title->setFont(scaled(font(), 1.7, true));
    m_title->setWordWrap(true);

    m_instruction = new QLabel(InstructionText, this);
    m_instruction->setObjectName(QStringLiteral("SkinLabel4"));
    m_instruction->setWordWrap(true);
    m_instruction->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_instruction->setFont(scaled(font(), 1.35));
    m_instruction->setMargin(12);

    m_legend = new QLabel(LegendText, this);
    m_legend->setObjectName(QStringLiteral("SkinLabel6"));
    m_legend->setAlignment(Qt::AlignCenter);
    m_legend->setWordWrap(true);
    m_legend->setFont(scaled(font(), 1.2, true));

    m_start = new QPushButton(StartCaption, this);
    m_start->setObjectName(QStringLiteral("Command1"));
    m_start->setFont(scaled(font(), 1.4, true));
    m_start->setMinimumSize(Twips::toPixelsX(2400), Twips::toPixelsY(700));
    connect(m_start, &QPushButton::clicked, this, &TestWindow::start);
}

void TestWindow::buildItemArea()
{
    m_statement = new QLabel(this);
    m_statement->setObjectName(QStringLiteral("SkinLbl5"));
    // The statement is stored text: shown as it stands, never as markup.
    m_statement->setTextFormat(Qt::PlainText);
    m_statement->setWordWrap(true);
    m_statement->setAlignment(Qt::AlignCenter);
    m_statement->setFont(scaled(font(), 2.0, true));
    m_statement->setMargin(16);
    m_statement->setMinimumHeight(Twips::toPixelsY(2400));
    // A click on the statement takes the focus from a details box, so the answer keys that follow answer.
    m_statement->setFocusPolicy(Qt::ClickFocus);

    m_optionFrame = new QGroupBox(this);
    m_optionFrame->setObjectName(QStringLiteral("Frame2"));
    m_optionFrame->setFont(scaled(font(), 1.35, true));
    auto* optionRow = new QHBoxLayout(m_optionFrame);
    optionRow->setContentsMargins(16, 12, 16, 12);
    for (int i = 0; i < 5; ++i) {
        // The frame lays out right to left, so Option1 reads first.
        // Not grouped as far as Qt knows: a group takes one Tab stop for all five, and each option should have its
        // own. The window itself keeps at most one option selected.
        auto* option = new OptionButton(optionCaptions().at(i), m_optionFrame);
        option->setObjectName(QStringLiteral("Option%1").arg(i + 1));
        option->setAccessibleDescription(OptionPosition.arg(i + 1).arg(5));
        option->setFont(scaled(font(), 1.35));
        m_options.at(i) = option;
        optionRow->addWidget(option, 1, Qt::AlignCenter);
        connect(option, &QRadioButton::clicked, this, [this, i] {
            selectOption(i + 1);
            RecordChosenAnswer(i + 1);
        });
    }

    // The item-number rule reads whatever text the box holds, so a pasted text is left for it to judge.
    m_itemNumber = new DigitsField(this, 0, DigitsField::WholeText::AnyText);
    m_itemNumber->setObjectName(QStringLiteral("Text6"));
    m_itemNumber->setAlignment(Qt::AlignCenter);
    m_itemNumber->setFont(scaled(font(), 1.3, true));
    m_itemNumber->setFixedWidth(Twips::toPixelsX(1100));
    m_itemNumberCaption = new QLabel(ItemNumberCaption, this);
    m_itemNumberCaption->setObjectName(QStringLiteral("ItemNumberCaption"));
    m_itemNumberCaption->setBuddy(m_itemNumber);

    const QFont buttonFont = scaled(font(), 1.2, true);
    const QSize buttonSize(Twips::toPixelsX(1800), Twips::toPixelsY(600));
    auto makeButton = [&](const QString& caption, const char* name) {
        auto* button = new QPushButton(caption, this);
        button->setObjectName(QLatin1String(name));
        button->setFont(buttonFont);
        button->setMinimumSize(buttonSize);
        button->setAutoDefault(false);
        return button;
    };
    m_back = makeButton(BackCaption, "CmdBack");
    m_next = makeButton(NextCaption, "CmdNext");
    m_saveAndExit = makeButton(SaveAndExitCaption, "Command5");
    m_start->setAutoDefault(false);
    connect(m_back, &QPushButton::clicked, this, &TestWindow::back);
    connect(m_next, &QPushButton::clicked, this, &TestWindow::next);
    connect(m_saveAndExit, &QPushButton::clicked, this, &TestWindow::saveAndExit);

    m_progressCaption = new QLabel(ProgressCaption, this);
    m_progressCaption->setObjectName(QStringLiteral("ProgressCaption"));
    m_progress = new QProgressBar(this);
    m_progress->setObjectName(QStringLiteral("Progress"));
    m_progress->setRange(0, ItemNumberRule::LastItem);
    m_progress->setValue(0);
    m_progress->setTextVisible(false);
    m_progress->setAccessibleName(ProgressCaption);
    m_progressCount = new QLabel(this);
    m_progressCount->setObjectName(QStringLiteral("ProgressCount"));
    m_progressCount->setTextFormat(Qt::PlainText);
    m_progressCount->setFont(scaled(font(), 1.1, true));
}

void TestWindow::buildDetails()
{
    m_details = new QGroupBox(DetailsCaption, this);
    m_details->setObjectName(QStringLiteral("Frame1"));
    auto* form = new QFormLayout(m_details);
    form->setLabelAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    form->setRowWrapPolicy(QFormLayout::DontWrapRows);
    form->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    for (const QString& column : AnswerSheet::detailColumns()) {
        // The age takes digits only, as the item number does.
        QLineEdit* field = column == QLatin1String("Sen") ? new DigitsField(m_details, AgeLength)
                                                          : new QLineEdit(m_details);
        field->setObjectName(column);
        field->setReadOnly(!AnswerSheet::isCorrectable(column));
        Kit::alignRight(field);
        auto* caption = new QLabel(detailCaption(column), m_details);
        caption->setObjectName(column + QStringLiteral("Caption"));
        caption->setBuddy(field);
        form->addRow(caption, field);
        m_detailFields.insert(column, field);
        if (column == QLatin1String("Code"))
            m_code = field;
        else if (column == QLatin1String("Sen"))
            m_age = static_cast<DigitsField*>(field);
    }
    m_details->setFixedWidth(Twips::toPixelsX(4200));
}

void TestWindow::buildLayout()
{
    auto* column = new QVBoxLayout;
    column->setSpacing(12);
    // This and the closing stretch share the spare height only while no statement is shown, so the introduction
    // sits in the middle.
    column->addStretch(0);
    column->addWidget(m_title);
    column->addWidget(m_instruction);
    column->addWidget(m_legend);
    auto* startRow = new QHBoxLayout;
    startRow->addStretch(1);
    startRow->addWidget(m_start);
    startRow->addStretch(1);
    column->addLayout(startRow);

    column->addWidget(m_statement, 1);
    column->addWidget(m_optionFrame);

    // Right to left: "قبلي" on the right, then the item number, then "بعدي", and "ذخيره و خروج" at the far end.
    auto* navigation = new QHBoxLayout;
    navigation->setSpacing(10);
    navigation->addWidget(m_back);
    navigation->addWidget(m_itemNumberCaption);
    navigation->addWidget(m_itemNumber);
    navigation->addWidget(m_next);
    navigation->addStretch(1);
    navigation->addWidget(m_saveAndExit);
    column->addLayout(navigation);

    auto* progressRow = new QHBoxLayout;
    progressRow->addWidget(m_progressCaption);
    progressRow->addWidget(m_progressCount);
    progressRow->addWidget(m_progress, 1);
    column->addLayout(progressRow);
    column->addStretch(0);

    auto* root = new QHBoxLayout(this);
    root->setContentsMargins(18, 18, 18, 18);
    root->setSpacing(18);
    root->addLayout(column, 1);
    root->addWidget(m_details, 0, Qt::AlignTop);
}

void TestWindow::setTabOrder()
{
    QList<QWidget*> order{m_start};
    for (QRadioButton* option : m_options)
        order << option;
    order << m_back << m_itemNumber << m_next << m_saveAndExit;
    for (const QString& column : AnswerSheet::detailColumns())
        order << m_detailFields.value(column);
    for (qsizetype i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(order.at(i - 1), order.at(i));
}

// The introduction shows the title, the instruction, the legend and "شروع" alone; answering shows everything else.
void TestWindow::showPhase(Phase phase)
{
    m_phase = phase;
    const bool answering = phase == Phase::Answering;
    const std::initializer_list<QWidget*> introduction = {m_title, m_instruction, m_legend, m_start};
    const std::initializer_list<QWidget*> answeringArea = {
        m_statement,   m_optionFrame,     m_itemNumberCaption, m_itemNumber, m_back,   m_next,
        m_saveAndExit, m_progressCaption, m_progress,          m_progressCount, m_details};
    for (QWidget* w : introduction)
        w->setVisible(!answering);
    for (QWidget* w : answeringArea)
        w->setVisible(answering);
}

namespace {

// The details a person reads as numbers; the code stays as stored, as it is read back into code boxes.
bool isNumberDetail(const QString& column)
{
    return column == QLatin1String("Sen") || column == QLatin1String("Date") || column == QLatin1String("Time");
}

} // namespace

void TestWindow::showDetails()
{
    m_shownDetails.clear();
    for (auto it = m_detailFields.cbegin(); it != m_detailFields.cend(); ++it) {
        const QString stored = m_sheet->detail(it.key());
        m_shownDetails.insert(it.key(), stored);
        it.value()->setText(isNumberDetail(it.key()) ? ShownNumbers::text(stored) : stored);
    }
}

QHash<QString, QString> TestWindow::editedDetails() const
{
    QHash<QString, QString> details;
    for (auto it = m_detailFields.cbegin(); it != m_detailFields.cend(); ++it) {
        if (it.value()->isReadOnly())
            continue;
        const QString shown = it.value()->text();
        const QString stored = m_shownDetails.value(it.key());
        // A number field left as it was drawn keeps its stored text exactly; an edited one is stored with ASCII
        // digits, however they were typed.
        if (!isNumberDetail(it.key()))
            details.insert(it.key(), shown);
        else if (shown == ShownNumbers::text(stored))
            details.insert(it.key(), stored);
        else
            details.insert(it.key(), Digits::toAscii(shown));
    }
    return details;
}

TestWindow::Run TestWindow::prepareRun(const QString& typedCode)
{
    const AnswerSheet::Opening opening = m_sheet->open(typedCode);
    switch (opening.status) {
    case AnswerSheet::Opened::NothingTyped:
    case AnswerSheet::Opened::NotFound:
        return Run::NotFound;
    case AnswerSheet::Opened::Failed:
        // The window is not open yet: what has to be said is said over the window that opens it.
        Kit::reportDatabaseTrouble(m_messages, parentWidget() ? parentWidget() : this, opening.busy, opening.error);
        return Run::Failed;
    case AnswerSheet::Opened::Ready:
        break;
    }
    showDetails();
    showPhase(Phase::Introduction);
    return Run::Ready;
}

void TestWindow::resetToIntroduction()
{
    showPhase(Phase::Introduction);
    m_statement->clear();
    m_itemNumber->setText(ShownNumbers::number(0));
}

void TestWindow::start()
{
    showPhase(Phase::Answering);
    // The examinee starts on the statement: an answer key pressed first answers item 1.
    m_statement->setFocus(Qt::OtherFocusReason);
    // "0" first, so that "1" is always a change and item 1 is always loaded.
    m_itemNumber->setText(ShownNumbers::number(0));
    m_itemNumber->setText(ShownNumbers::number(1));
}

// Every choice is stored as it is made, so moving on has nothing left to store.
void TestWindow::next()
{
    m_itemNumber->setText(ShownNumbers::number(ItemNumberRule::countFrom(m_itemNumber->text()) + 1));
}

void TestWindow::back()
{
    m_itemNumber->setText(ShownNumbers::number(ItemNumberRule::countFrom(m_itemNumber->text()) - 1));
}

void TestWindow::saveAndExit()
{
    const AnswerSheet::Outcome saved = m_sheet->saveAndFinish(editedDetails());
    if (saved.examineeGone) {
        m_messages.AskOperator(this, Msg::ExamineeGoneOnSave.arg(QChar(0x2066) + m_code->text() + QChar(0x2069)), Msg::Style::StopRtl,
            Msg::ErrorTitlePersian);
        return;
    }
    if (!saved.ok) {
        // The window stays open with the edits on screen, so a second press stores them.
        m_messages.AskOperator(this, Msg::SaveFailed + QLatin1Char('\n') + saved.error, Msg::Style::StopRtl,
                               Msg::ErrorTitlePersian);
        return;
    }
    accept();
}

void TestWindow::itemNumberChanged(const QString& text)
{
    using ItemNumberRule::Step;
    const ItemNumberRule::Reading reading = ItemNumberRule::read(text);
    // Setting the box to an item's number loads that item.
    switch (reading.step) {
    case Step::StartOver:
        m_statement->clear();
        m_itemNumber->setText(ShownNumbers::number(ItemNumberRule::FirstItem));
        return;
    case Step::BeforeFirst:
        m_messages.ShowNotice(this, Msg::Start);
        m_itemNumber->setText(ShownNumbers::number(ItemNumberRule::FirstItem));
        return;
    case Step::Rest:
        return;
    case Step::PastLast:
        m_messages.ShowNotice(this, Msg::End);
        m_itemNumber->setText(ShownNumbers::number(ItemNumberRule::LastItem));
        return;
    case Step::Load:
        loadItem(reading.item);
        return;
    }
}

void TestWindow::loadItem(int item)
{
    // Read from the file every time, so the screen always shows what is stored: the statement and the answers in
    // one read.
    const AnswerSheet::Statement read = m_sheet->readItem(item);
    m_statement->setText(read.text);
    m_shownItem = item;
    setOptionFrameCaption(item);
    ShowStoredAnswer();
    showProgress();
    // A file that cannot be read shows no answer; that must not pass for "not answered yet".
    if (!read.ok)
        Kit::reportDatabaseTrouble(m_messages, this, read.busy, read.error);
}

void TestWindow::setOptionFrameCaption(int item)
{
    m_optionFrame->setTitle(ShownNumbers::number(item));
}

void TestWindow::RecordChosenAnswer(int option)
{
    const AnswerSheet::Outcome recorded = m_sheet->record(m_shownItem, option);
    if (!recorded.ok) {
        // The screen goes back to what the file holds, so the option and the count never show an answer that is
        // not there.
        ShowStoredAnswer();
        showProgress();
        m_messages.AskOperator(this, Msg::AnswerNotStored + QLatin1Char('\n') + recorded.error,
                               Msg::Style::ExclamationRtl, Msg::ErrorTitlePersian);
        return;
    }
    showProgress();
}

void TestWindow::ShowStoredAnswer()
{
    selectOption(m_sheet->storedOption(m_shownItem));
}

// 0 clears every option.
void TestWindow::selectOption(int option)
{
    for (int i = 1; i <= 5; ++i)
        m_options.at(i - 1)->setChecked(i == option);
}

void TestWindow::showProgress()
{
    const int answered = m_sheet->answeredCount();
    m_progress->setValue(answered);
    // "3 از 35" reads the same way in any direction, which "3 / 35" does not in right-to-left text.
    m_progressCount->setText(QStringLiteral("%1 از %2").arg(
        ShownNumbers::number(answered), ShownNumbers::number(ItemNumberRule::LastItem)));
}

bool TestWindow::isTextBox(const QWidget* widget) const
{
    const auto* edit = qobject_cast<const QLineEdit*>(widget);
    return edit && !edit->isReadOnly();
}

bool TestWindow::isWordDetail(const QWidget* widget) const
{
    for (auto it = m_detailFields.cbegin(); it != m_detailFields.cend(); ++it)
        if (it.value() == widget)
            return !isNumberDetail(it.key());
    return false;
}

bool TestWindow::handleAnsweringKey(QKeyEvent* event)
{
    const Qt::KeyboardModifiers shortcut = Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier;
    if (m_phase != Phase::Answering || (event->modifiers() & shortcut))
        return false;
    switch (event->key()) {
    case Qt::Key_Left:
    case Qt::Key_PageDown:
        next();
        return true;
    case Qt::Key_Right:
    case Qt::Key_PageUp:
        back();
        return true;
    default:
        break;
    }
    const int digit = Digits::valueOf(event->text());
    if (digit < 1 || digit > 5 || m_optionFrame->isHidden() || m_shownItem == 0)
        return false;
    m_options.at(digit - 1)->click();
    return true;
}

bool TestWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress)
        return QDialog::eventFilter(watched, event);
    auto* key = static_cast<QKeyEvent*>(event);
    auto* widget = qobject_cast<QWidget*>(watched);
    if (isTextBox(widget)) {
        // A name or another detail in words holds no answer key: one pressed there (the focus left in the box by a
        // correction) answers the item shown, and never goes into the detail to be stored with it.
        const Qt::KeyboardModifiers shortcut = Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier;
        const int digit = Digits::valueOf(key->text());
        if (!isWordDetail(widget) || (key->modifiers() & shortcut) || digit < 1 || digit > 5)
            return false;
        handleAnsweringKey(key);
        return true;
    }
    if (auto* button = qobject_cast<QAbstractButton*>(widget);
        button && (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)) {
        button->click();
        return true;
    }
    return handleAnsweringKey(key);
}

void TestWindow::keyPressEvent(QKeyEvent* event)
{
    // Escape would close the window and drop the details being corrected; the window closes by its buttons and
    // its close box only.
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    if (!isTextBox(focusWidget()) && handleAnsweringKey(event))
        return;
    QDialog::keyPressEvent(event);
}
