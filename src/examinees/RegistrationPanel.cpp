#include "examinees/RegistrationPanel.h"

#include "examinees/RegistrationStore.h"

#include "calendar/SolarHijri.h"
#include "data/Database.h"
#include "data/ExamineeCode.h"
#include "data/TableCursor.h"
#include "text/ShownNumbers.h"
#include "ui/ColumnBinding.h"
#include "ui/DigitsField.h"
#include "ui/MessageCatalogue.h"
#include "ui/Messages.h"
#include "ui/Twips.h"
#include "ui/WindowKit.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QTime>

namespace {

constexpr int kRowTops[] = {90, 555, 1020, 1485, 1950};
constexpr int kRowHeight = 420;

// Two columns, read from the right: code, names and age on the right, date, lists and education on the left.
// The last row gives the marital-status list the width its prompt needs, with the time beside it.
struct Column {
    int labelLeft;
    int labelWidth;
    int fieldLeft;
    int fieldWidth;
};
constexpr Column kRightColumn{5415, 1110, 3330, 2040};
constexpr Column kLeftColumn{2415, 840, 90, 2280};
constexpr Column kMaritalRow{5415, 1110, 2070, 3300};
constexpr Column kTimeRow{1335, 630, 90, 1200};

QLabel* captionFor(QWidget* parent, QWidget* field, const QString& caption, const Column& column, int row)
{
    auto* label = new QLabel(caption, parent);
    label->setTextFormat(Qt::PlainText);
    // The captions are written with the colon first (" :کد"); drawn left to right they read "کد:" from the right.
    label->setLayoutDirection(Qt::LeftToRight);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    label->setBuddy(field);
    Twips::place(label, column.labelLeft, kRowTops[row], column.labelWidth, kRowHeight);
    Twips::place(field, column.fieldLeft, kRowTops[row], column.fieldWidth, kRowHeight);
    return label;
}

QComboBox* makeList(QWidget* parent, const QString& name, const QStringList& items, const QString& prompt)
{
    auto* list = new QComboBox(parent);
    list->setObjectName(name);
    list->setEditable(true);
    list->setInsertPolicy(QComboBox::NoInsert);
    list->addItems(items);
    list->setEditText(prompt);
    Kit::alignRight(list);
    return list;
}

QLineEdit* makeField(QWidget* parent, const QString& name)
{
    auto* field = new QLineEdit(parent);
    field->setObjectName(name);
    Kit::alignRight(field);
    return field;
}

} // namespace

RegistrationPanel::RegistrationPanel(Database& db, Messages& messages, TableCursor& details, QWidget* parent)
    : QFrame(parent)
    , m_messages(messages)
    , m_details(details)
    , m_store(db)
{
    setObjectName(QStringLiteral("Frame10"));
    setFrameShape(QFrame::Box);
    buildControls();

    ColumnBinding& fields = ColumnBinding::of(m_details);
    fields.bind(m_code, QStringLiteral("Code"));
    fields.bind(m_firstName, QStringLiteral("FName"));
    fields.bind(m_familyName, QStringLiteral("LName"));
    fields.bind(m_age, QStringLiteral("Sen"), ColumnBinding::Shown::Number);
    fields.bind(m_date, QStringLiteral("Date"), ColumnBinding::Shown::Number);
    fields.bind(m_education, QStringLiteral("Tahsil"));
    fields.bind(m_time, QStringLiteral("Time"), ColumnBinding::Shown::Number);
    fields.bind(m_maritalField, QStringLiteral("Taahol"));
    fields.bind(m_sexField, QStringLiteral("Jens"));
    fields.bind(m_groupField, QStringLiteral("Group"));

    // A list's text reaches its column through the hidden field, on every change and every pick.
    const auto follow = [this](QComboBox* list, QLineEdit* field) {
        connect(list, &QComboBox::editTextChanged, field, &QLineEdit::setText);
        connect(list, &QComboBox::activated, field, [list, field] { field->setText(list->currentText()); });
    };
    follow(m_marital, m_maritalField);
    follow(m_sex, m_sexField);
    follow(m_group, m_groupField);

    connect(m_age, &DigitsField::keyRefused, this, [this] {
        m_messages.Beep();
        m_messages.ShowNotice(window(), Msg::DigitsOnly);
    });
    connect(m_save, &QPushButton::clicked, this, &RegistrationPanel::save);
    connect(m_cancel, &QPushButton::clicked, this, &RegistrationPanel::cancel);
}

void RegistrationPanel::buildControls()
{
    m_code = makeField(this, QStringLiteral("Text11"));
    m_firstName = makeField(this, QStringLiteral("Text6"));
    m_familyName = makeField(this, QStringLiteral("Text4"));
    m_age = new DigitsField(this, RegistrationCheck::AgeMaxLength);
    m_age->setObjectName(QStringLiteral("Text5"));
    Kit::alignRight(m_age);
    m_marital = makeList(this, QStringLiteral("Combo1"), RegistrationCheck::maritalStatusItems(),
                         RegistrationCheck::maritalStatusPrompt());
    m_date = makeField(this, QStringLiteral("Text8"));
    m_sex = makeList(this, QStringLiteral("Combo2"), RegistrationCheck::sexItems(), RegistrationCheck::sexPrompt());
    m_group = makeList(this, QStringLiteral("Combo3"), RegistrationCheck::groupItems(),
                       RegistrationCheck::groupPrompt());
    m_education = makeField(this, QStringLiteral("Text7"));
    m_time = makeField(this, QStringLiteral("Text9"));

    m_maritalField = makeField(this, QStringLiteral("Text15"));
    m_sexField = makeField(this, QStringLiteral("Text16"));
    m_groupField = makeField(this, QStringLiteral("Text17"));
    for (QLineEdit* hidden : {m_maritalField, m_sexField, m_groupField}) {
        hidden->hide();
        hidden->setFocusPolicy(Qt::NoFocus);
    }

    captionFor(this, m_code, QStringLiteral(" :کد"), kRightColumn, 0);
    captionFor(this, m_firstName, QStringLiteral(" :نام"), kRightColumn, 1);
    captionFor(this, m_familyName, QStringLiteral(" :نام خانوادگي"), kRightColumn, 2);
    captionFor(this, m_age, QStringLiteral(" :سن"), kRightColumn, 3);
    captionFor(this, m_marital, QStringLiteral(" :تاهل"), kMaritalRow, 4);
    captionFor(this, m_date, QStringLiteral(" :تاريخ"), kLeftColumn, 0);
    captionFor(this, m_sex, QStringLiteral(" :جنس"), kLeftColumn, 1);
    captionFor(this, m_group, QStringLiteral(" :گروه"), kLeftColumn, 2);
    captionFor(this, m_education, QStringLiteral(" :تحصيلات"), kLeftColumn, 3);
    captionFor(this, m_time, QStringLiteral(" :ساعت"), kTimeRow, 4);

    m_save = new QPushButton(QStringLiteral("ذخيره"), this);
    m_save->setObjectName(QStringLiteral("Command8"));
    Twips::place(m_save, 3405, 2445, 1200, 405);
    m_cancel = new QPushButton(QStringLiteral("انصراف"), this);
    m_cancel->setObjectName(QStringLiteral("Command10"));
    Twips::place(m_cancel, 2070, 2445, 1200, 405);

    // The time field comes last, after the two buttons.
    const QList<QWidget*> order = {m_code,      m_firstName, m_familyName, m_age,    m_marital, m_date,
                                   m_sex,       m_group,     m_education,  m_save,   m_cancel,  m_time};
    for (qsizetype i = 1; i < order.size(); ++i)
        setTabOrder(order.at(i - 1), order.at(i));
}

void RegistrationPanel::startNewExaminee()
{
    m_details.addNew();
    m_time->setText(ShownNumbers::text(QLocale::system().toString(QTime::currentTime(), QLocale::ShortFormat)));
    m_date->setText(ShownNumbers::text(SolarHijriToday(0)));
    m_code->setFocus();
}

void RegistrationPanel::copyListTexts()
{
    m_maritalField->setText(m_marital->currentText());
    m_sexField->setText(m_sex->currentText());
    m_groupField->setText(m_group->currentText());
}

RegistrationCheck::Entry RegistrationPanel::entry() const
{
    return {m_code->text(),    m_firstName->text(),    m_familyName->text(), m_sexField->text(),
            m_age->digits(),   m_maritalField->text(), m_groupField->text(), m_education->text()};
}

QWidget* RegistrationPanel::fieldFor(RegistrationCheck::Field field) const
{
    switch (field) {
    case RegistrationCheck::Field::Code:
        return m_code;
    case RegistrationCheck::Field::FirstName:
        return m_firstName;
    case RegistrationCheck::Field::FamilyName:
        return m_familyName;
    case RegistrationCheck::Field::Sex:
        return m_sex;
    case RegistrationCheck::Field::Age:
        return m_age;
    case RegistrationCheck::Field::MaritalStatus:
        return m_marital;
    case RegistrationCheck::Field::Group:
        return m_group;
    case RegistrationCheck::Field::Education:
        return m_education;
    }
    return m_code;
}

void RegistrationPanel::reportFailure(const RegistrationStore::Outcome& failure)
{
    if (failure.busy)
        Kit::reportDatabaseTrouble(m_messages, window(), true, failure.error);
    else
        Kit::reportSaveFailure(m_messages, window(), failure.error);
}

void RegistrationPanel::restoreUnsavedRow(const QHash<QString, QString>& values)
{
    // After a failed write the operator keeps the form as typed and may try again.
    TableCursor& details = m_details;
    if (details.isNewRow())
        return;
    details.addNew();
    for (auto it = values.cbegin(); it != values.cend(); ++it)
        details.setField(it.key(), it.value());
}

void RegistrationPanel::save()
{
    copyListTexts();

    if (const auto missing = RegistrationCheck::firstMissing(entry())) {
        m_messages.ShowNotice(window(), missing->message);
        fieldFor(missing->field)->setFocus();
        return;
    }

    const QString code = ExamineeCode::normalised(m_code->text());
    QHash<QString, QString> typed;
    for (const QString& column : m_details.columns())
        typed.insert(column, m_details.field(column));
    const RegistrationStore::Outcome outcome = m_store.storeIfCodeIsFree(m_details, code);
    switch (outcome.stored) {
    case RegistrationStore::Stored::CodeTaken:
        m_messages.ShowNotice(window(), Msg::CodeTaken);
        return;
    case RegistrationStore::Stored::Failed:
        restoreUnsavedRow(typed);
        reportFailure(outcome);
        return;
    case RegistrationStore::Stored::Saved:
        break;
    }

    m_lastSavedCode = code;
    m_details.reload();
    emit saved();
}

void RegistrationPanel::cancel()
{
    m_details.reload();
    emit cancelled();
}
