#include "ui/PreviewWindow.h"

#include "text/ShownNumbers.h"
#include "ui/DocumentOutput.h"
#include "ui/FileDialogs.h"
#include "ui/MakerDetails.h"
#include "ui/MessageCatalogue.h"
#include "ui/Messages.h"
#include "ui/ModalHold.h"
#include "ui/NumberSpinBox.h"
#include "ui/PageView.h"
#include "ui/PagedDocument.h"
#include "ui/ProgressStrip.h"

#include <QCloseEvent>
#include <QDir>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QLabel>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTimer>
#include <QVBoxLayout>

#include <cmath>

namespace {

constexpr double zoomStep = 1.25;

QPushButton* barButton(QWidget* parent, const QString& name, const QString& caption, const QString& tip = {})
{
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setAutoDefault(false);
    if (!tip.isEmpty()) {
        button->setToolTip(tip);
        button->setAccessibleName(tip);
    }
    return button;
}

// A file name made of the title, without the characters file systems refuse.
QString fileNameFor(const QString& title)
{
    QString name;
    for (const QChar ch : title)
        name += QStringLiteral("\\/:*?\"<>|").contains(ch) || ch.unicode() < 32 ? QLatin1Char('_') : ch;
    name = name.trimmed();
    return name.isEmpty() ? QStringLiteral("report") : name;
}

} // namespace

PreviewWindow::PreviewWindow(
    std::shared_ptr<PagedDocument> document, Messages& messages, FileDialogs& fileDialogs, QWidget* parent)
    : QWidget(parent, Qt::Window)
    , m_document(std::move(document))
    , m_messages(messages)
    , m_fileDialogs(fileDialogs)
{
    setObjectName(QStringLiteral("PreviewWindow"));
    setWindowTitle(QStringLiteral("پيش نمايش چاپ - ") + m_document->title());

    m_view = new PageView(m_document, this);
    m_view->setObjectName(QStringLiteral("PreviewPages"));
    buildBar();

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    auto* bar = new QHBoxLayout;
    for (QWidget* w : std::initializer_list<QWidget*> { m_print, m_pdf, m_setup })
        bar->addWidget(w);
    bar->addSpacing(12);
    auto* pageCaption = new QLabel(QStringLiteral("صفحه"), this);
    pageCaption->setBuddy(m_page);
    bar->addWidget(pageCaption);
    bar->addWidget(m_page);
    bar->addWidget(m_pageCount);
    bar->addSpacing(12);
    for (QWidget* w : std::initializer_list<QWidget*> { m_zoomIn, m_zoomOut, m_zoomShown, m_fit })
        bar->addWidget(w);
    bar->addStretch();
    bar->addWidget(m_close);
    layout->addLayout(bar);
    m_progress = new ProgressStrip(this);
    layout->addWidget(m_progress);
    layout->addWidget(m_view, 1);

    connect(m_view, &PageView::currentPageChanged, this, [this](int index) {
        const QSignalBlocker quiet(m_page);
        m_page->setValue(index + 1);
    });
    connect(m_page, &QSpinBox::valueChanged, this, [this](int number) { m_view->showPage(number - 1); });
    connect(m_view, &PageView::zoomChanged, this, &PreviewWindow::showZoom);
    showPageCount();
    showZoom(m_view->zoom());

    // Room for a whole page upright, within the screen.
    QSize size(900, 1000);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        size = size.boundedTo(screen->availableSize() * 0.9);
    resize(size);
}

PreviewWindow::~PreviewWindow() = default;

void PreviewWindow::buildBar()
{
    m_print = barButton(this, QStringLiteral("PreviewPrint"), QStringLiteral("پرينت"));
    m_pdf = barButton(this, QStringLiteral("PreviewSavePdf"), QStringLiteral("ذخيره PDF"));
    m_setup = barButton(this, QStringLiteral("PreviewPageSetup"), QStringLiteral("تنظيم صفحه"));
    m_zoomIn = barButton(this, QStringLiteral("PreviewZoomIn"), QStringLiteral("+"), QStringLiteral("بزرگ نمايي"));
    m_zoomOut = barButton(this, QStringLiteral("PreviewZoomOut"), QStringLiteral("-"), QStringLiteral("کوچک نمايي"));
    m_fit = barButton(this, QStringLiteral("PreviewFitWidth"), QStringLiteral("هم عرض پنجره"));
    m_close = barButton(this, QStringLiteral("PreviewClose"), QStringLiteral("خروج"));
    for (QPushButton* b : { m_zoomIn, m_zoomOut })
        b->setFixedWidth(b->sizeHint().height() + 8);

    m_zoomShown = new QLabel(this);
    m_zoomShown->setObjectName(QStringLiteral("PreviewZoom"));
    m_zoomShown->setMinimumWidth(m_zoomShown->fontMetrics().horizontalAdvance(ShownNumbers::percent(400)) + 8);
    m_zoomShown->setAlignment(Qt::AlignCenter);

    m_page = new NumberSpinBox(this);
    m_page->setObjectName(QStringLiteral("PreviewPage"));
    m_page->setKeyboardTracking(false);
    m_pageCount = new QLabel(this);
    m_pageCount->setObjectName(QStringLiteral("PreviewPageCount"));

    connect(m_print, &QPushButton::clicked, this, &PreviewWindow::print);
    connect(m_pdf, &QPushButton::clicked, this, &PreviewWindow::saveAsPdf);
    connect(m_setup, &QPushButton::clicked, this, &PreviewWindow::pageSetup);
    connect(m_zoomIn, &QPushButton::clicked, this, &PreviewWindow::zoomIn);
    connect(m_zoomOut, &QPushButton::clicked, this, &PreviewWindow::zoomOut);
    connect(m_fit, &QPushButton::clicked, this, &PreviewWindow::fitWidth);
    connect(m_close, &QPushButton::clicked, this, &QWidget::close);

    auto shortcut = [this](const QKeySequence& keys, void (PreviewWindow::*slot)()) {
        connect(new QShortcut(keys, this), &QShortcut::activated, this, slot);
    };
    shortcut(QKeySequence::Print, &PreviewWindow::print);
    shortcut(QKeySequence::Save, &PreviewWindow::saveAsPdf);
    shortcut(QKeySequence::ZoomIn, &PreviewWindow::zoomIn);
    shortcut(QKeySequence::ZoomOut, &PreviewWindow::zoomOut);
}

void PreviewWindow::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (!m_fitted) {
        m_fitted = true;
        fitWidth();
    }
}

void PreviewWindow::showPageCount()
{
    const int count = std::max(1, m_document->pageCount());
    const QSignalBlocker quiet(m_page);
    m_page->setRange(1, count);
    m_page->setValue(m_view->currentPage() + 1);
    m_pageCount->setText(QStringLiteral("از %1").arg(ShownNumbers::number(m_document->pageCount())));
}

void PreviewWindow::showZoom(double zoom)
{
    m_zoomShown->setText(ShownNumbers::percent(std::lround(zoom * 100)));
    m_zoomIn->setEnabled(zoom < PageView::MaxZoom);
    m_zoomOut->setEnabled(zoom > PageView::MinZoom);
}

void PreviewWindow::zoomIn()
{
    m_view->setZoom(m_view->zoom() * zoomStep);
}

void PreviewWindow::zoomOut()
{
    m_view->setZoom(m_view->zoom() / zoomStep);
}

void PreviewWindow::fitWidth()
{
    m_view->setZoom(m_view->fitWidthZoom());
}

void PreviewWindow::applyPageLayout(const QPageLayout& layout)
{
    m_document->setPageLayout(layout);
    m_view->documentChanged();
    showPageCount();
}

QString PreviewWindow::suggestedPdfPath() const
{
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty())
        folder = QDir::homePath();
    return QDir(folder).filePath(fileNameFor(m_document->title()) + QStringLiteral(".pdf"));
}

void PreviewWindow::saveAsPdf()
{
    const QString path
        = m_fileDialogs.saveFileName(this, Msg::SavePdfTitle, suggestedPdfPath(), QStringLiteral("PDF (*.pdf)"));
    if (path.isEmpty())
        return;
    QString error;
    bool written = false;
    if (m_pdfWriter) {
        // Written elsewhere while this window shows how far: nothing here may start another output meanwhile.
        m_writing = true;
        for (QWidget* w : std::initializer_list<QWidget*> { m_print, m_pdf, m_setup })
            w->setEnabled(false);
        m_progress->start();
        written = m_pdfWriter(path, *m_progress, error);
        m_progress->hide();
        for (QWidget* w : std::initializer_list<QWidget*> { m_print, m_pdf, m_setup })
            w->setEnabled(true);
        m_writing = false;
        if (m_closeWanted) {
            QTimer::singleShot(0, this, &QWidget::close);
            return;
        }
        // Stopped by the operator: no file, nothing to say.
        if (!written && error.isEmpty())
            return;
    } else {
        // A list of thousands of pages takes a while; the pointer says so.
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
        written = DocumentOutput::writePdf(*m_document, path, error);
        QGuiApplication::restoreOverrideCursor();
    }
    if (!written) {
        m_messages.AskOperator(
            this, Msg::PdfNotSaved + QLatin1Char('\n') + error, Msg::Style::ExclamationRtl, Msg::ErrorTitlePersian);
        return;
    }
    emit savedAsPdf(path);
}

void PreviewWindow::closeEvent(QCloseEvent* event)
{
    if (m_writing) {
        // The file being written is stopped first, leaving none, and the window closes as soon as it has.
        m_closeWanted = true;
        m_progress->cancelButton()->click();
        event->ignore();
        return;
    }
    QWidget::closeEvent(event);
}

void PreviewWindow::print()
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageLayout(m_document->pageLayout());
    printer.setDocName(m_document->title());
    printer.setCreator(Maker::programNameAndVersion());
    QPrintDialog dialog(&printer, this);
    dialog.setMinMax(1, std::max(1, m_document->pageCount()));
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, true);
    if (ModalHold::exec(this, &dialog) != QDialog::Accepted)
        return;
    // The paper chosen in the print dialog is the paper the pages are laid out for.
    if (!(printer.pageLayout() == m_document->pageLayout()))
        applyPageLayout(printer.pageLayout());
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    const bool sent = DocumentOutput::print(*m_document, printer);
    QGuiApplication::restoreOverrideCursor();
    if (!sent) {
        m_messages.AskOperator(this, Msg::PrintFailed, Msg::Style::ExclamationRtl, Msg::ErrorTitlePersian);
        return;
    }
    emit printed();
}

void PreviewWindow::pageSetup()
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageLayout(m_document->pageLayout());
    QPageSetupDialog dialog(&printer, this);
    if (ModalHold::exec(this, &dialog) == QDialog::Accepted)
        applyPageLayout(printer.pageLayout());
}
