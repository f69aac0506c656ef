#include "audit/AuditWords.h"

#include "ui/MessageCatalogue.h"

#include <QHash>

namespace AuditWords {

QString of(const QString& action)
{
    static const QHash<QString, QString> words {
        { QStringLiteral("IDE insert"), Msg::AuditExamineeRegistered },
        { QStringLiteral("IDE update"), Msg::AuditExamineeChanged },
        { QStringLiteral("IDE delete"), Msg::AuditExamineeDeleted },
        { QStringLiteral("Answer insert"), Msg::AuditAnswersMade },
        { QStringLiteral("Answer update"), Msg::AuditAnswersChanged },
        { QStringLiteral("Answer delete"), Msg::AuditAnswersDeleted },
        { QStringLiteral("ComparedPairs insert"), Msg::AuditPairRemembered },
        { QStringLiteral("ComparedPairs update"), Msg::AuditPairChanged },
        { QStringLiteral("ComparedPairs delete"), Msg::AuditPairForgotten },
        { QStringLiteral("Invitation insert"), Msg::AuditInvitationMade },
        { QStringLiteral("Invitation update"), Msg::AuditInvitationChanged },
        { QStringLiteral("Invitation delete"), Msg::AuditInvitationDeleted },
        { QStringLiteral("ExamineeShare insert"), Msg::AuditShared },
        { QStringLiteral("ExamineeShare delete"), Msg::AuditShareTakenBack },
        { QStringLiteral("CSV export"), Msg::AuditCsvExport },
        { QStringLiteral("report printed"), Msg::AuditReportPrinted },
        { QStringLiteral("report saved as PDF"), Msg::AuditReportSaved },
        { QStringLiteral("comparison"), Msg::AuditComparison },
        { QStringLiteral("scoring viewed"), Msg::AuditScoringViewed },
        { QStringLiteral("backup"), Msg::AuditBackup },
        { QStringLiteral("restore"), Msg::AuditRestore },
        { TrailExport, Msg::AuditTrailExport },
    };
    return words.value(action, action);
}

} // namespace AuditWords
