#pragma once

#include <QHash>
#include <QObject>
#include <QString>

#include <functional>

class QWidget;

// Text controls that show the columns of a row source's current row, and whose edits change those fields. A row
// source is any QObject with `QString field(const QString& column) const`, `void setField(const QString& column,
// const QString& value)` and the signals `currentChanged()` and `fieldsChanged()`: a table cursor is one. The
// binding belongs to its source and lives as long as it.
//
// Binds a QLineEdit, a QLabel (shown as plain text), a QPlainTextEdit or a QComboBox (its edit text). Binding a
// control again moves it to the new column.
class ColumnBinding : public QObject {
    Q_OBJECT
public:
    using Read = std::function<QString(const QString& column)>;
    using Write = std::function<void(const QString& column, const QString& value)>;

    // The binding of `source`, made at the first call.
    template <typename Source>
    static ColumnBinding& of(Source& source)
    {
        if (auto* binding = source.template findChild<ColumnBinding*>(QString(), Qt::FindDirectChildrenOnly))
            return *binding;
        auto* binding = new ColumnBinding(
            [&source](const QString& column) { return source.field(column); },
            [&source](const QString& column, const QString& value) { source.setField(column, value); }, &source);
        connect(&source, &Source::currentChanged, binding, &ColumnBinding::refresh);
        connect(&source, &Source::fieldsChanged, binding, &ColumnBinding::refresh);
        return *binding;
    }

    // How a bound control shows its field.
    enum class Shown {
        AsStored, // the field's text as it is (names, codes)
        Number, // a number, date or time: drawn as every number is drawn, stored with ASCII digits however typed
    };

    void bind(QWidget* widget, const QString& column, Shown shown = Shown::AsStored);
    void unbind(QWidget* widget);

    // Shows the source's current fields in every bound control.
    void refresh();

private:
    ColumnBinding(Read read, Write write, QObject* source);
    void show(QWidget* widget, const QString& column);

    Read m_read;
    Write m_write;
    QHash<QWidget*, QString> m_columns;
    QHash<QWidget*, Shown> m_shown;
    bool m_refreshing = false;
};
