#include "settings/ClinicPanel.h"

#include "data/TableCursor.h"
#include "ui/ColumnBinding.h"
#include "ui/Twips.h"
#include "ui/WindowKit.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

QLineEdit* makeField(QWidget* parent, const QString& name, int top)
{
    auto* field = new QLineEdit(parent);
    field->setObjectName(name);
    Twips::place(field, 240, top, 4560, 390);
    return field;
}

void makeCaption(QWidget* parent, const QString& name, const QString& text, QLineEdit* field, int top)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setTextFormat(Qt::PlainText);
    // Written colon first; drawn left to right it reads as a caption ending in a colon.
    label->setLayoutDirection(Qt::LeftToRight);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    label->setBuddy(field);
    Twips::place(label, 4860, top, 1000, 390);
}

} // namespace

ClinicPanel::ClinicPanel(TableCursor& themeRow, Messages& messages, QWidget* parent)
    : QFrame(parent)
    , m_themeRow(themeRow)
    , m_messages(messages)
{
    setObjectName(QStringLiteral("Frame9"));
    setFrameShape(QFrame::Box);
    setAutoFillBackground(true);
    hide();

    m_name = makeField(this, QStringLiteral("Text2"), 360);
    m_address = makeField(this, QStringLiteral("Text14"), 960);
    makeCaption(this, QStringLiteral("SkinLabel4"), QStringLiteral(" :نام"), m_name, 360);
    makeCaption(this, QStringLiteral("SkinLabel5"), QStringLiteral(" :آدرس"), m_address, 960);
    connect(Kit::button(this, QStringLiteral("Command64"), QStringLiteral("ذخيره "), 3240, 1620, 1200, 405),
        &QPushButton::clicked, this, &ClinicPanel::save);
    connect(Kit::button(this, QStringLiteral("Command7"), QStringLiteral("انصراف"), 1800, 1620, 1200, 405),
        &QPushButton::clicked, this, &ClinicPanel::cancelled);

    connect(m_name, &QLineEdit::textChanged, this, &ClinicPanel::nameChanged);
    ColumnBinding::of(m_themeRow).bind(m_name, QStringLiteral("Name"));
    ColumnBinding::of(m_themeRow).bind(m_address, QStringLiteral("Adress"));
}

void ClinicPanel::showStored()
{
    m_themeRow.reload();
}

QString ClinicPanel::name() const
{
    return m_name->text();
}

void ClinicPanel::save()
{
    // A failed write keeps the panel and the typed text, so the same text can be stored once the file takes it.
    if (!m_themeRow.update()) {
        Kit::reportSaveFailure(m_messages, window(), m_themeRow.lastError());
        return;
    }
    m_themeRow.reload();
    emit saved();
}
