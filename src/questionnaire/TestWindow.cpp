#include "questionnaire/TestWindow.h"

#include "data/Database.h"
#include "data/ExamineeCode.h"
#include "data/TableCursor.h"
#include "questionnaire/ItemNumberRule.h"
#include "questionnaire/Keying.h"
#include "settings/Theme.h"
#include "text/Digits.h"
#include "ui/ColumnBinding.h"
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
#include <QHash>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

const QString WindowTitle = QStringLiteral("صفحه اجراي تست");
const QString TitleText = QStringLiteral("پرسشنامه رضايت زناشويي تورين 35 ماده اي");
const QString InstructionText = QStringLiteral(
    "اين نرم افزار شامل جملاتي درباره جنبه هاي مختلف زندگي شماست که ممکن است با آن موافق يا مخالف باشيد . "
    "هر جمله را به دقت بخوانيد و سپس ميزان موافقت يا مخالفت خود را مشخص کنيد . "
    "توجه داشته باشيد جواب صحيح يا غلط وجود ندارد . "
    "سعي کنيد حتي الامکان از پاسخ به مورد \" نظري ندارم\" خودداري کنيد . "
    "فقط وقتي اين مورد را علامت بزنيد که در موافق يا مخالف بودن خود نسبت به يک جمله کاملا شک و ترديد داشته باشيد ");
const QString LegendText =
    QStringLiteral(" کاملاً مخالفم  --- مخالفم  ---  نظري ندارم ---   موافقم ---  کاملاً موافقم ");
const QString StartCaption = QStringLiteral("شروع");
const QString BackCaption = QStringLiteral("قبلي");
const QString NextCaption = QStringLiteral("بعدي");
const QString SaveAndExitCaption = QStringLiteral("ذخيره و خروج");

// Our own captions, for controls that carry none of their own.
const QString DetailsCaption = QStringLiteral("مشخصات آزمودني");
const QString ItemNumberCaption = QStringLiteral("شماره سوال");
const QString ProgressCaption = QStringLiteral("پاسخ داده شده");
// Read out with each option, so a screen reader's listener knows where in the row it is.
const QString OptionPosition = QStringLiteral("گزينه %1 از %2");

struct DetailField {
    const char* column;
    QString caption;
};

// The examinee's details, top to bottom; the code alone is read-only.
const DetailField detailFields[] = {
    {"Code", QStringLiteral(" :کد")},
    {"FName", QStringLiteral(" :نام")},
    {"LName", QStringLiteral(" :نام خانوادگي")},
    {"Jens", QStringLiteral(" :جنس")},
    {"Sen", QStringLiteral(" :سن")},
    {"Taahol", QStringLiteral(" :وضعيت تاهل")},
    {"Tahsil", QStringLiteral(" :ميزان تحصيلات")},
    {"Date", QStringLiteral(" :تاريخ")},
    {"Time", QStringLiteral(" :ساعت")},
};

constexpr int AgeLength = 3;

QFont scaled(const QFont& base, double factor, bool bold = false)
{
    QFont f = base;
    f.setPointSizeF(base.pointSizeF() * factor);
    f.setBold(bold);
    return f;
}

QHash<QString, QString> rowValues(const TableCursor& cursor)
{
    QHash<QString, QString> values;
    for (const QString& column : cursor.columns())
        values.insert(column, cursor.field(column));
    return values;
}

// After a failed store the cursor is read again, and what was on screen is put back as unsaved edits,
// so a second attempt stores it.
void restoreEdits(TableCursor& cursor, const QHash<QString, QString>& values)
{
    cursor.reload();
    for (auto it = values.cbegin(); it != values.cend(); ++it)
        cursor.setField(it.key(), it.value());
}

} // namespace

TestWindow::TestWindow(Database& db, Messages& messages, QWidget* parent)
    : QDialog(parent)
    , m_db(db)
    , m_messages(messages)
    , m_theme(new TableCursor(db, QStringLiteral("Theme"), this))
    , m_answer(new TableCursor(db, QStringLiteral("Answer"), this))
    , m_ide(new TableCursor(db, QStringLiteral("IDE"), this))
    , m_allAnswers(new TableCursor(db, QStringLiteral("Answer"), this))
    , m_allIde(new TableCursor(db, QStringLiteral("IDE"), this))
    , m_items(new TableCursor(db, QStringLiteral("QU"), this))
{
    setObjectName(QStringLiteral("FrmTest"));
    setWindowTitle(WindowTitle);
    m_theme->setObjectName(QStringLiteral("Adodc1"));
    m_answer->setObjectName(QStringLiteral("Adodc2"));
    m_ide->setObjectName(QStringLiteral("Adodc3"));
    m_allAnswers->setObjectName(QStringLiteral("Adodc4"));
    m_allIde->setObjectName(QStringLiteral("Adodc5"));
    m_items->setObjectName(QStringLiteral("Adodc6"));

    buildIntroduction();
    buildItemArea();
    buildDetails();
    buildLayout();
    setTabOrder();

    // The item number starts at "1"; nothing is loaded until "شروع" sets it afresh.
    m_itemNumber->setText(QStringLiteral("1"));
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

    Theme::applyTheme(this, m_db, m_theme->field(QStringLiteral("TH")));
    showIntroductionOnly();
    resize(Twips::toPixelsX(14400), Twips::toPixelsY(9600));
}

TestWindow::~TestWindow() = default;

void TestWindow::buildIntroduction()
{
    m_title = new QLabel(TitleText, this);
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
    m_itemNumber = new DigitsField(this, 0, DigitsField::WholeText::AsciiDigits);
    m_itemNumber->setObjectName(QStringLiteral("Text6"));
    m_itemNumber->setAlignment(Qt::AlignCenter);
    m_itemNumber->setFont(scaled(font(), 1.3, true));
    m_itemNumber->setFixedWidth(Twips::toPixelsX(1100));
    m_itemNumberCaption = new QLabel(ItemNumberCaption, this);
    m_itemNumberCaption->setObjectName(QStringLiteral("ItemNumberCaption"));
    m_itemNumberCaption->setBuddy(m_itemNumber);

    m_answerBox = new QLineEdit(this);
    m_answerBox->setObjectName(QStringLiteral("Text12"));
    m_answerBox->setMaxLength(1);
    m_answerBox->setFocusPolicy(Qt::NoFocus);
    m_answerBox->hide();

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
    for (const DetailField& d : detailFields) {
        const QString column = QLatin1String(d.column);
        // The age takes digits only, as the item number does.
        QLineEdit* field = column == QLatin1String("Sen") ? new DigitsField(m_details, AgeLength)
                                                          : new QLineEdit(m_details);
        field->setObjectName(column);
        auto* caption = new QLabel(d.caption, m_details);
        caption->setObjectName(column + QStringLiteral("Caption"));
        caption->setBuddy(field);
        form->addRow(caption, field);
        ColumnBinding::of(*m_ide).bind(field, column);
        if (column == QLatin1String("Code")) {
            // The code ties the details to the answers; it cannot be changed here.
            field->setReadOnly(true);
            m_code = field;
        } else if (column == QLatin1String("Sen")) {
            m_age = static_cast<DigitsField*>(field);
        }
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
    for (const DetailField& d : detailFields)
        order << m_details->findChild<QLineEdit*>(QLatin1String(d.column));
    for (qsizetype i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(order.at(i - 1), order.at(i));
}

// Only the title, the instruction, the legend and "شروع".
void TestWindow::showIntroductionOnly()
{
    m_details->hide();
    m_title->show();
    m_instruction->show();
    m_legend->show();
    m_start->show();
    m_back->hide();
    m_next->hide();
    m_statement->hide();
    m_optionFrame->hide();
    m_itemNumberCaption->hide();
    m_itemNumber->hide();
    m_saveAndExit->hide();
    m_progressCaption->hide();
    m_progress->hide();
    m_progressCount->hide();
}

TestWindow::Run TestWindow::prepareRun(const QString& typedCode)
{
    // The window is not open yet: whatever has to be said is said over the window that opens it.
    QWidget* owner = parentWidget() ? parentWidget() : this;
    const auto failed = [&](const TableCursor& cursor) {
        Kit::reportDatabaseTrouble(m_messages, owner, cursor.lastErrorIsBusy(), cursor.lastError());
        return Run::Failed;
    };
    QString code;
    for (const QString& form : ExamineeCode::lookupForms(typedCode)) {
        if (!m_answer->setFilter(QStringLiteral("Code"), form))
            return failed(*m_answer);
        if (m_answer->count() > 0) {
            code = form;
            break;
        }
    }
    if (code.isEmpty())
        return Run::NotFound;
    if (!m_ide->setFilter(QStringLiteral("Code"), code))
        return failed(*m_ide);
    m_details->hide();
    m_title->show();
    return Run::Ready;
}

void TestWindow::resetToIntroduction()
{
    m_instruction->show();
    m_start->show();
    m_details->hide();
    m_back->hide();
    m_title->hide();
    m_next->hide();
    m_details->show();
    m_statement->show();
    // The answering controls leave with the statement text, so the next opening shows the introduction alone
    // once the title is back and the details are hidden again.
    m_statement->clear();
    m_legend->show();
    m_optionFrame->hide();
    m_itemNumberCaption->hide();
    m_itemNumber->hide();
    m_saveAndExit->hide();
    m_progressCaption->hide();
    m_progress->hide();
    m_progressCount->hide();
    m_itemNumber->setText(QStringLiteral("0"));
}

void TestWindow::start()
{
    m_statement->show();
    m_title->hide();
    m_instruction->hide();
    m_legend->hide();

    m_details->show();
    m_optionFrame->show();
    m_itemNumberCaption->show();
    m_itemNumber->show();
    m_back->show();
    m_next->show();
    m_progressCaption->show();
    m_progress->show();
    m_progressCount->show();
    m_code->setFocus();
    m_start->hide();
    m_saveAndExit->show();

    // "0" first, so that "1" is always a change and item 1 is always loaded.
    m_itemNumber->setText(QStringLiteral("0"));
    m_itemNumber->setText(QStringLiteral("1"));
}

void TestWindow::next()
{
    if (!storeAnswerRow())
        return;
    m_itemNumber->setText(QString::number(ItemNumberRule::countFrom(m_itemNumber->text()) + 1));
}

void TestWindow::back()
{
    if (!storeAnswerRow())
        return;
    m_itemNumber->setText(QString::number(ItemNumberRule::countFrom(m_itemNumber->text()) - 1));
}

void TestWindow::saveAndExit()
{
    const QHash<QString, QString> answers = rowValues(*m_answer);
    const QHash<QString, QString> details = rowValues(*m_ide);
    QString error;
    bool stored = m_db.beginTransaction();
    if (!stored)
        error = m_db.lastError();
    for (TableCursor* cursor : {m_answer, m_ide, m_allAnswers}) {
        // Answers whose examinee has no details row are stored all the same; there are no details to store.
        if (cursor == m_ide && !m_ide->hasCurrent())
            continue;
        if (stored && !cursor->update()) {
            stored = false;
            error = cursor->lastError();
        }
    }
    if (stored && !m_db.commit()) {
        stored = false;
        error = m_db.lastError();
    }
    if (!stored) {
        m_db.rollback();
        restoreEdits(*m_answer, answers);
        restoreEdits(*m_ide, details);
        reportStoreFailure(error);
        return;
    }
    for (TableCursor* cursor : {m_theme, m_answer, m_allAnswers, m_ide, m_allIde})
        cursor->reload();
    accept();
}

void TestWindow::itemNumberChanged(const QString& text)
{
    using ItemNumberRule::Step;
    const ItemNumberRule::Reading reading = ItemNumberRule::read(text);
    switch (reading.step) {
    case Step::StartOver:
        m_statement->clear();
        m_itemNumber->setText(QString::number(ItemNumberRule::FirstItem));
        return;
    case Step::BeforeFirst:
        m_messages.ShowNotice(this, Msg::Start);
        m_itemNumber->setText(QString::number(ItemNumberRule::FirstItem));
        linkAnswerBox(ItemNumberRule::FirstItem);
        setOptionFrameCaption(ItemNumberRule::FirstItem);
        return;
    case Step::Rest:
        return;
    case Step::PastLast:
        storeAnswerRow();
        m_messages.ShowNotice(this, Msg::End);
        m_itemNumber->setText(QString::number(ItemNumberRule::LastItem));
        setOptionFrameCaption(ItemNumberRule::LastItem);
        return;
    case Step::Load:
        loadItem(reading.item);
        return;
    }
}

void TestWindow::loadItem(int item)
{
    // Read from the tables every time, so the screen always shows what is stored.
    const bool statementRead = m_items->setFilter(QStringLiteral("ID"), QString::number(item));
    m_statement->setText(m_items->field(QStringLiteral("QUs")));
    const bool answersRead = linkAnswerBox(item);
    setOptionFrameCaption(item);
    ShowStoredAnswer();
    // A file that cannot be read shows no answer; that must not pass for "not answered yet".
    if (!statementRead || !answersRead) {
        const TableCursor& failed = statementRead ? *m_answer : *m_items;
        Kit::reportDatabaseTrouble(m_messages, this, failed.lastErrorIsBusy(), failed.lastError());
    }
}

bool TestWindow::linkAnswerBox(int item)
{
    const bool read = m_answer->reload();
    ColumnBinding::of(*m_answer).bind(m_answerBox, QString::number(item));
    m_linkedItem = item;
    showProgress();
    return read;
}

void TestWindow::setOptionFrameCaption(int item)
{
    m_optionFrame->setTitle(QString::number(item));
}

void TestWindow::RecordChosenAnswer(int option)
{
    const int score = scoreForOption(m_linkedItem, option);
    if (score == 0)
        return;
    m_answerBox->setText(QString::number(score));
    // Stored at once, so no way of leaving the window can lose a choice.
    if (m_answer->update()) {
        showProgress();
        return;
    }
    // Not stored: the screen goes back to what the file holds, so the option and the count never show an answer
    // that is not there.
    const QString error = m_answer->lastError();
    m_answer->revert();
    ShowStoredAnswer();
    showProgress();
    m_messages.AskOperator(this, Msg::AnswerNotStored + QLatin1Char('\n') + error, Msg::Style::ExclamationRtl,
                           Msg::ErrorTitlePersian);
}

void TestWindow::ShowStoredAnswer()
{
    const int option = optionForScore(m_linkedItem, m_answerBox->text());
    if (option == 0) {
        clearOptions();
        return;
    }
    selectOption(option);
}

void TestWindow::selectOption(int option)
{
    for (int i = 1; i <= 5; ++i)
        m_options.at(i - 1)->setChecked(i == option);
}

void TestWindow::clearOptions()
{
    selectOption(0);
}

void TestWindow::showProgress()
{
    int answered = 0;
    for (int item = ItemNumberRule::FirstItem; item <= ItemNumberRule::LastItem; ++item)
        if (optionForScore(item, m_answer->field(QString::number(item))) != 0)
            ++answered;
    m_progress->setValue(answered);
    // "3 از 35" reads the same way in any direction, which "3 / 35" does not in right-to-left text.
    m_progressCount->setText(QStringLiteral("%1 از %2").arg(answered).arg(ItemNumberRule::LastItem));
}

bool TestWindow::storeAnswerRow()
{
    if (m_answer->update())
        return true;
    reportStoreFailure(m_answer->lastError());
    return false;
}

void TestWindow::reportStoreFailure(const QString& error)
{
    m_messages.AskOperator(this, Msg::SaveFailed + QLatin1Char('\n') + error, Msg::Style::StopRtl,
                           Msg::ErrorTitlePersian);
}

bool TestWindow::isTextBox(const QWidget* widget) const
{
    const auto* edit = qobject_cast<const QLineEdit*>(widget);
    return edit && !edit->isReadOnly();
}

bool TestWindow::isAnswering() const
{
    return !m_next->isHidden();
}

bool TestWindow::handleAnsweringKey(QKeyEvent* event)
{
    if (!isAnswering() || (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)))
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
    if (digit < 1 || digit > 5 || m_optionFrame->isHidden() || m_linkedItem == 0)
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
    if (isTextBox(widget))
        return false;
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
