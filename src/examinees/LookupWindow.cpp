#include "examinees/LookupWindow.h"
#include "examinees/LookupWindowPlaces.h"

#include "data/Audit.h"
#include "data/CursorTableModel.h"
#include "data/Database.h"
#include "data/ExamineeCode.h"
#include "data/Rights.h"
#include "data/TableCursor.h"
#include "data/TransferJob.h"
#include "examinees/ExamineeDeletion.h"
#include "examinees/InvitationProgressModel.h"
#include "examinees/ShareMarkModel.h"
#include "settings/Theme.h"
#include "ui/ColumnBinding.h"
#include "ui/FileDialogs.h"
#include "ui/MessageCatalogue.h"
#include "ui/Messages.h"
#include "ui/ProgressStrip.h"
#include "ui/Twips.h"
#include "ui/WindowKit.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QEvent>
#include <QFontMetrics>
#include <QStyle>
#include <QCompleter>
#include <QDir>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QStandardPaths>
#include <QStringListModel>
#include <QTableView>
#include <QTimer>

#include <algorithm>
#include <tuple>
#include <utility>

using namespace LookupWindowPlaces;

LookupWindow::LookupWindow(
    Database& db, Messages& messages, FileDialogs& fileDialogs, const ResearchExport::Scoring& scoring, QWidget* parent)
    : QWidget(parent, Qt::Window)
    , m_db(db)
    , m_messages(messages)
    , m_fileDialogs(fileDialogs)
    , m_scoring(scoring)
    , m_deletion(db)
    , m_sharing(Sharing::offered(db))
{
    Kit::setUpWindow(this, QStringLiteral("FrmCode"), QStringLiteral("کد آزمودني"), windowWidth,
        m_sharing ? shareStripTop + shareStripHeight + 180 : windowHeight);

    openCursors();
    buildSearchBoxes();
    buildGrid();
    buildButtons();
    buildDeletionFrame();
    buildHiddenFields();
    if (m_sharing)
        buildShareStrip();
    setKeyboardOrder();

    // Load: position and theme; the grid lists every examinee, and the name lists offer every name.
    Twips::placeWindow(this, 2340, 768);
    Theme::applyTheme(this, m_db, m_themeRow->field(QStringLiteral("TH")));
    reloadNameLists();
    m_firstName->setFocus();
}

void LookupWindow::openCursors()
{
    m_themeRow = new TableCursor(m_db, QStringLiteral("Theme"), this);
    // The grid's first screen is read with the first row.
    m_listed = new TableCursor(
        m_db, QStringLiteral("IDE"), TableCursor::CountedOnDemand { CursorTableModel::PageSize }, this);
}

void LookupWindow::filterListed(const QString& column, const QString& value)
{
    if (!m_listed->setFilter(column, value))
        showReadFailure(m_listed->lastError());
}

void LookupWindow::clearOtherBoxes(QComboBox* kept)
{
    QScopedValueRollback quiet(m_quiet, true);
    for (QComboBox* box : { m_firstName, m_familyName, m_group }) {
        if (box == kept)
            continue;
        box->setCurrentIndex(-1);
        box->clearEditText();
    }
}

void LookupWindow::searchFirstName()
{
    if (m_quiet)
        return;
    filterListed(QStringLiteral("FName"), m_firstName->currentText());
    clearOtherBoxes(m_firstName);
}

void LookupWindow::searchFamilyName()
{
    if (m_quiet)
        return;
    clearOtherBoxes(m_familyName);
    filterListed(QStringLiteral("LName"), m_familyName->currentText());
}

void LookupWindow::searchGroup()
{
    if (m_quiet)
        return;
    clearOtherBoxes(m_group);
    filterListed(QStringLiteral("Group"), m_group->currentText());
}

void LookupWindow::reloadNameLists()
{
    QScopedValueRollback quiet(m_quiet, true);
    QString error;
    // Read from the unfiltered rows, so the lists offer every examinee's name and group whatever the grid shows; the
    // three lists in one read.
    QList<QStringList> lists;
    if (!m_listed->distinctValues({ QStringLiteral("FName"), QStringLiteral("LName"), QStringLiteral("Group") }, lists))
        error = m_listed->lastError();
    lists.resize(3);
    int list = 0;
    for (auto [box, names] : { std::pair { m_firstName, m_firstNames }, std::pair { m_familyName, m_familyNames },
             std::pair { m_group, m_groups } }) {
        const QString typed = box->currentText();
        names->setStringList(lists.at(list++));
        box->setCurrentIndex(-1);
        box->setEditText(typed);
    }
    fitGroupColumn();
    if (!error.isEmpty())
        showReadFailure(error);
}

void LookupWindow::fitGroupColumn()
{
    // As wide as the longest group in use, so a group of twenty letters reads whole, and no narrower than designed;
    // the names share what is left.
    const QFontMetrics metrics(m_gridView->font());
    int widest = 0;
    for (const QString& group : m_groups->stringList())
        widest = std::max(widest, metrics.horizontalAdvance(group));
    const int padding = 2 * m_gridView->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, m_gridView) + 12;
    m_gridView->setColumnWidth(
        3, std::clamp(widest + padding, Twips::toPixelsX(designedGroupWidth), Twips::toPixelsX(widestGroupWidth)));
}

void LookupWindow::changeEvent(QEvent* event)
{
    // Back from another window or program: what another copy of the program did to the file meanwhile shows.
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) {
        m_grid->refresh();
        m_progress->refresh();
        if (m_shares)
            m_shares->refresh();
    }
    QWidget::changeEvent(event);
}

void LookupWindow::showReadFailure(const QString& error)
{
    // In Persian, as every box of the program; the platform's words follow for whoever looks after the data.
    Kit::reportDatabaseTrouble(m_messages, this, m_db.lastErrorIsBusy(), error);
}

void LookupWindow::printByGroup()
{
    if (m_group->currentText().isEmpty()) {
        m_messages.ShowNotice(this, Msg::ChooseLookupGroup);
        return;
    }
    emit listReportRequested(m_listed, m_themeRow->field(QStringLiteral("Name")), m_address->text());
}

void LookupWindow::deleteExaminee()
{
    // The code is looked up as registration stores it, however it was typed. A file that cannot be read says so; it
    // never passes for an unknown code.
    const ExamineeCode::Found search = m_deletion.find(m_code->text());
    switch (search.status) {
    case ExamineeCode::Found::Status::Found:
        break;
    case ExamineeCode::Found::Status::NothingTyped:
        m_messages.ShowNotice(this, Msg::EnterExamineeNumber);
        return;
    case ExamineeCode::Found::Status::Failed:
        Kit::reportDatabaseTrouble(m_messages, this, search.busy, search.error);
        return;
    case ExamineeCode::Found::Status::NotFound:
        m_messages.ShowNotice(this, Msg::NoExamineeWithCode);
        return;
    }

    // A colleague's examinee shared with a counsellor is theirs to see and change, not to delete (the server
    // refuses it too).
    if (!Rights::mayDeleteExaminee(m_db, search.code)) {
        m_deletion.forget();
        m_messages.ShowNotice(this, Msg::DeleteOthersExaminee);
        return;
    }

    // The question names whom it removes, and a hurried Enter keeps the examinee.
    QString name = m_deletion.foundName();
    if (name.isEmpty())
        name = Msg::ExamineeWithoutName;
    const QString question = Msg::ConfirmDeletionOf.arg(name, search.code) + QLatin1Char('\n') + Msg::ConfirmDeletion;
    if (m_messages.AskOperator(this, question, Msg::Style::YesNo | Msg::Style::DefaultSecond, Msg::ApplicationTitle)
        != Msg::Yes) {
        m_deletion.forget();
        m_listed->reload();
        return;
    }

    const ExamineeDeletion::Result removed = m_deletion.removeFound();
    if (!removed.ok) {
        Kit::reportDatabaseTrouble(m_messages, this, m_db.lastErrorIsBusy(), removed.error);
        return;
    }

    m_messages.ShowNotice(this, Msg::DeletionDone);
    m_code->clear();
    m_code->setFocus();
    // Every examinee is listed again, so no search box may go on naming a search.
    clearOtherBoxes(nullptr);
    m_listed->clearFilter();
    reloadNameLists();
}

void LookupWindow::exportListed()
{
    // An empty list would make a file of headers alone: the operator is told instead of being asked for a file.
    if (!m_listed->readFailed() && m_listed->count() == 0) {
        m_messages.ShowNotice(this, Msg::NoExamineeListed);
        return;
    }
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (!QDir(folder).exists())
        folder = QDir::homePath();
    const QString suggested = QDir(folder).filePath(QStringLiteral("Tovrin35.csv"));
    const QString path = m_fileDialogs.saveFileName(this, exportCaption, suggested, QStringLiteral("CSV (*.csv)"));
    if (path.isEmpty())
        return;
    // On a worker thread through a connection of its own, each line written as its row is read: the window goes on
    // repainting, shows how far the export is and can stop it, and a million examinees take no more memory than ten.
    ResearchExport::Result result;
    const Database::Location location = m_db.location();
    const TableCursor::Selection listed = m_listed->selection();
    const ResearchExport::Names names
        = m_exportNames->isChecked() ? ResearchExport::Names::Included : ResearchExport::Names::LeftOut;
    const ResearchExport::Choices choices
        = m_exportChoices->isChecked() ? ResearchExport::Choices::Included : ResearchExport::Choices::LeftOut;
    TransferJob job([&, scoring = m_scoring](const TableTransfer::Watch& watch) {
        result = ResearchExport::write(location, listed, path, scoring, names, choices, watch);
    });
    connect(&job, &TransferJob::progressChanged, m_exportProgress, &ProgressStrip::setPercent);
    connect(m_exportProgress, &ProgressStrip::cancelRequested, &job, &TransferJob::cancel);
    m_exportJob = &job;
    setExporting(true);
    job.run();
    m_exportJob = nullptr;
    setExporting(false);
    if (m_closeWanted) {
        // The window was closed during the export: the export stopped, and now the window closes.
        QTimer::singleShot(0, this, &QWidget::close);
        return;
    }
    // Stopped by the operator: no file was written, and there is nothing to say.
    if (result.cancelled)
        return;
    if (!result.ok) {
        m_messages.AskOperator(this, Msg::ExportFailed + QLatin1Char('\n') + result.error, Msg::Style::ExclamationRtl,
            Msg::ErrorTitlePersian);
        return;
    }
    // Which rows left the clinic's server, and whether with names, is the trail's.
    Audit::note(m_db, QStringLiteral("CSV export"), QString(),
        QStringLiteral("%1 rows, %2")
            .arg(result.examinees)
            .arg(m_exportNames->isChecked() ? QStringLiteral("with names") : QStringLiteral("without names")));
    m_messages.ShowNotice(this, Msg::ExportDone);
}

void LookupWindow::setExporting(bool exporting)
{
    // One export at a time, and nothing that changes the rows or the list while it runs.
    for (QWidget* w : std::initializer_list<QWidget*> { m_print, m_export, m_exportNames, m_exportChoices, m_delete,
             m_code, m_invite, m_firstName, m_familyName, m_group })
        w->setEnabled(!exporting);
    m_exportNames->setVisible(!exporting);
    m_exportChoices->setVisible(!exporting);
    if (exporting)
        m_exportProgress->start();
    else
        m_exportProgress->hide();
}

void LookupWindow::closeEvent(QCloseEvent* event)
{
    if (m_exportJob) {
        // Not in the middle of writing a file: the export stops first, leaving no file, and the window closes as
        // soon as it has.
        m_closeWanted = true;
        m_exportJob->cancel();
        event->ignore();
        return;
    }
    QWidget::closeEvent(event);
}

QString LookupWindow::selectedCode() const
{
    const QModelIndex current = m_gridView->currentIndex();
    if (!current.isValid())
        return QString();
    return m_grid->data(m_grid->index(current.row(), 0), Qt::DisplayRole).toString().trimmed();
}

void LookupWindow::inviteSelected()
{
    emit invitationRequested(selectedCode());
}

void LookupWindow::shareSelected()
{
    const QString code = selectedCode();
    if (code.isEmpty()) {
        m_messages.ShowNotice(this, Msg::ChooseExamineeToShare);
        m_gridView->setFocus();
        return;
    }
    const QString colleague = m_colleague->currentText().trimmed();
    if (colleague.isEmpty()) {
        m_messages.ShowNotice(this, Msg::ChooseColleague);
        m_colleague->setFocus();
        return;
    }
    showShareOutcome(Sharing::share(m_db, code, colleague), Msg::ShareDone);
}

void LookupWindow::takeBackSelected()
{
    const QString code = selectedCode();
    if (code.isEmpty()) {
        m_messages.ShowNotice(this, Msg::ChooseExamineeToShare);
        m_gridView->setFocus();
        return;
    }
    showShareOutcome(Sharing::takeBack(m_db, code, m_colleague->currentText().trimmed()), Msg::ShareTakenBack);
}

void LookupWindow::showShareOutcome(const Sharing::Result& result, const QString& done)
{
    switch (result.outcome) {
    case Sharing::Outcome::Done:
        m_shares->refresh();
        m_messages.ShowNotice(this, done);
        return;
    case Sharing::Outcome::NotMine:
        m_messages.ShowNotice(this, Msg::ShareOnlyOwn);
        return;
    case Sharing::Outcome::NoSuchColleague:
        m_messages.ShowNotice(this, Msg::NoSuchColleague);
        m_colleague->setFocus();
        return;
    case Sharing::Outcome::NotShared:
        m_messages.ShowNotice(this, Msg::NotSharedWithColleague);
        return;
    case Sharing::Outcome::Failed:
        Kit::reportDatabaseTrouble(m_messages, this, result.busy, result.error);
        return;
    }
}
