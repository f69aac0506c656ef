#include "web/PhonePanel.h"

#include "ui/MessageCatalogue.h"
#include "ui/Messages.h"
#include "ui/Twips.h"
#include "ui/WindowKit.h"
#include "web/PhoneService.h"
#include "web/ServiceSettings.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

QLineEdit* addressField(QWidget* parent, const QString& name)
{
    // An address reads left to right whatever the window's direction.
    auto* field = new QLineEdit(parent);
    field->setObjectName(name);
    field->setLayoutDirection(Qt::LeftToRight);
    field->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    return field;
}

} // namespace

PhonePanel::PhonePanel(Messages& messages, PhoneService* service, QWidget* parent)
    : QFrame(parent)
    , m_messages(messages)
    , m_service(service)
{
    setObjectName(QStringLiteral("FramePhone"));
    setFrameShape(QFrame::Box);
    setAutoFillBackground(true);
    hide();

    m_enabled = new QCheckBox(Msg::PhoneAnswering, this);
    m_enabled->setObjectName(QStringLiteral("CheckPhoneService"));
    Twips::place(m_enabled, 240, 240, 5220, 390);

    m_listen = addressField(this, QStringLiteral("TextPhoneListen"));
    Twips::place(m_listen, 240, 1020, 2700, 390);
    Kit::caption(this, QStringLiteral("SkinLabelPhoneListen"), Msg::PhoneListenCaption, m_listen, 3060, 1020, 2400, 390);

    m_linkBase = addressField(this, QStringLiteral("TextPhoneLinkBase"));
    Twips::place(m_linkBase, 240, 1560, 2700, 390);
    Kit::caption(
        this, QStringLiteral("SkinLabelPhoneLinkBase"), Msg::PhoneLinkBaseCaption, m_linkBase, 3060, 1560, 2400, 390);

    m_plainHttp = new QCheckBox(Msg::PhonePlainHttp, this);
    m_plainHttp->setObjectName(QStringLiteral("CheckPlainHttp"));
    Twips::place(m_plainHttp, 240, 2100, 5220, 390);
    m_warning = new QLabel(Msg::PhonePlainHttpWarning, this);
    m_warning->setObjectName(QStringLiteral("LabelPlainHttpWarning"));
    m_warning->setTextFormat(Qt::PlainText);
    m_warning->setWordWrap(true);
    m_warning->setStyleSheet(QStringLiteral("color: #a01010;"));
    Twips::place(m_warning, 240, 2520, 5220, 780);
    m_warning->hide();
    connect(m_plainHttp, &QCheckBox::toggled, m_warning, &QWidget::setVisible);

    connect(Kit::button(this, QStringLiteral("CmdSavePhone"), QStringLiteral("ذخيره"), 3240, 3480, 1500, 405),
        &QPushButton::clicked, this, &PhonePanel::save);
    connect(Kit::button(this, QStringLiteral("CmdCancelPhone"), QStringLiteral("انصراف"), 1500, 3480, 1500, 405),
        &QPushButton::clicked, this, &PhonePanel::cancelled);
}

void PhonePanel::showStored()
{
    const ServiceSettings stored = ServiceSettings::stored();
    m_enabled->setChecked(stored.enabled);
    m_listen->setText(stored.listen);
    m_linkBase->setText(stored.linkBase);
    m_plainHttp->setChecked(stored.allowPlainHttp);
    m_warning->setVisible(stored.allowPlainHttp);
}

void PhonePanel::save()
{
    ServiceSettings settings;
    settings.enabled = m_enabled->isChecked();
    settings.listen = m_listen->text().trimmed();
    settings.linkBase = m_linkBase->text().trimmed();
    settings.allowPlainHttp = m_plainHttp->isChecked();
    QHostAddress address;
    quint16 port = 0;
    QString error;
    if (!ServiceSettings::parseListen(settings.listen, address, port, error)) {
        m_messages.ShowNotice(window(), Msg::PhoneListenWrong);
        m_listen->setFocus();
        return;
    }
    if (!ServiceSettings::plainHttpAllowed(address, settings.allowPlainHttp)) {
        m_messages.ShowNotice(window(), Msg::PhonePlainHttpNeeded);
        m_plainHttp->setFocus();
        return;
    }
    if (!settings.store()) {
        m_messages.ShowNotice(window(), Msg::PhoneSettingsNotSaved);
        return;
    }
    if (m_service) {
        const QString problem = m_service->apply(settings);
        if (!problem.isNull())
            m_messages.ShowNotice(window(), Msg::PhoneServiceNotStarted + QLatin1Char('\n') + problem);
    }
    emit saved();
}
