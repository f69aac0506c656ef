#include "ui/ColumnBinding.h"

#include "text/Digits.h"
#include "text/ShownNumbers.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScopedValueRollback>

ColumnBinding::ColumnBinding(Read read, Write write, QObject* source)
    : QObject(source)
    , m_read(std::move(read))
    , m_write(std::move(write))
{
}

void ColumnBinding::show(QWidget* widget, const QString& column)
{
    const QString stored = m_read(column);
    const QString value = m_shown.value(widget) == Shown::Number ? ShownNumbers::text(stored) : stored;
    QScopedValueRollback quiet(m_refreshing, true);
    if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
        if (edit->text() != value)
            edit->setText(value);
    } else if (auto* label = qobject_cast<QLabel*>(widget)) {
        // Stored text is shown as it is, never read as markup.
        label->setTextFormat(Qt::PlainText);
        label->setText(value);
    } else if (auto* plain = qobject_cast<QPlainTextEdit*>(widget)) {
        if (plain->toPlainText() != value)
            plain->setPlainText(value);
    } else if (auto* combo = qobject_cast<QComboBox*>(widget)) {
        combo->setEditText(value);
    }
}

void ColumnBinding::refresh()
{
    if (m_refreshing)
        return;
    for (auto it = m_columns.cbegin(); it != m_columns.cend(); ++it)
        show(it.key(), it.value());
}

void ColumnBinding::bind(QWidget* widget, const QString& column, Shown shown)
{
    const bool known = m_columns.contains(widget);
    m_columns.insert(widget, column);
    m_shown.insert(widget, shown);
    if (!known) {
        connect(widget, &QObject::destroyed, this, [this, widget] {
            m_columns.remove(widget);
            m_shown.remove(widget);
        });
        auto edited = [this, widget](const QString& text) {
            if (m_refreshing)
                return;
            const QString column = m_columns.value(widget);
            {
                QScopedValueRollback quiet(m_refreshing, true);
                m_write(column, m_shown.value(widget) == Shown::Number ? Digits::toAscii(text) : text);
            }
            // Other controls on the same column follow the edit; the edited one keeps its cursor.
            for (auto it = m_columns.cbegin(); it != m_columns.cend(); ++it)
                if (it.key() != widget && it.value() == column)
                    show(it.key(), column);
        };
        if (auto* edit = qobject_cast<QLineEdit*>(widget))
            connect(edit, &QLineEdit::textChanged, this, edited);
        else if (auto* combo = qobject_cast<QComboBox*>(widget))
            connect(combo, &QComboBox::editTextChanged, this, edited);
        else if (auto* plain = qobject_cast<QPlainTextEdit*>(widget))
            connect(plain, &QPlainTextEdit::textChanged, this, [edited, plain] { edited(plain->toPlainText()); });
    }
    show(widget, column);
}

void ColumnBinding::unbind(QWidget* widget)
{
    m_shown.remove(widget);
    if (m_columns.remove(widget))
        disconnect(widget, nullptr, this, nullptr);
}
