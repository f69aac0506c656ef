#pragma once

#include <QTest>
#include <QWidget>

template <typename T> T* Drive::find(QWidget* root, const QString& name, std::source_location where)
{
    T* child = root ? root->findChild<T*>(name) : nullptr;
    if (!child && root && root->objectName() == name)
        child = qobject_cast<T*>(root);
    if (!child)
        QTest::qFail(qPrintable(QStringLiteral("no control named %1").arg(name)), where.file_name(),
            static_cast<int>(where.line()));
    return child;
}
