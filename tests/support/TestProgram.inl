#pragma once

#include <QTest>
#include <QWidget>

template <typename T>
T* Drive::find(QWidget* root, const QString& name)
{
    T* child = root ? root->findChild<T*>(name) : nullptr;
    if (!child && root && root->objectName() == name)
        child = qobject_cast<T*>(root);
    if (!child)
        qWarning("no child named %s", qPrintable(name));
    return child;
}
