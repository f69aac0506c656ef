#include "app/DataFilePanel.h"

#include "app/Desktop.h"
#include "ui/Twips.h"
#include "ui/WindowKit.h"

#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>

DataFilePanel::DataFilePanel(const QString& dataFile, Desktop& desktop, QWidget* parent)
    : QFrame(parent)
    , m_dataFile(dataFile)
    , m_desktop(desktop)
{
    setObjectName(QStringLiteral("FrameDataFile"));
    setFrameShape(QFrame::Box);
    setAutoFillBackground(true);
    hide();

    // A path reads left to right whatever the window's direction; it can be selected and copied, not changed.
    m_path = new QLineEdit(QDir::toNativeSeparators(dataFile), this);
    m_path->setObjectName(QStringLiteral("TextDataFile"));
    m_path->setReadOnly(true);
    m_path->setLayoutDirection(Qt::LeftToRight);
    m_path->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    m_path->setCursorPosition(0);
    m_path->setToolTip(m_path->text());
    Twips::place(m_path, 240, 780, 5595, 390);
    Kit::caption(
        this, QStringLiteral("SkinLabelDataFile"), QStringLiteral("محل فايل اطلاعات:"), m_path, 240, 300, 5595, 390);

    connect(
        Kit::button(this, QStringLiteral("CmdOpenDataFolder"), QStringLiteral("باز کردن پوشه"), 3240, 1620, 1500, 405),
        &QPushButton::clicked, this, &DataFilePanel::openFolder);
    connect(Kit::button(this, QStringLiteral("CmdCloseDataFile"), QStringLiteral("بستن"), 1500, 1620, 1500, 405),
        &QPushButton::clicked, this, &DataFilePanel::closed);
}

QString DataFilePanel::folder() const
{
    return QFileInfo(m_dataFile).absolutePath();
}

void DataFilePanel::openFolder()
{
    // The folder exists once the program runs on its file; what the desktop does with it is not reported.
    m_desktop.openFolder(folder());
}
