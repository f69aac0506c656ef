#include "support/PdfText.h"
#include "support/TestProgram.h"
#include "text/Digits.h"
#include "text/ShownNumbers.h"
#include "ui/DocumentOutput.h"
#include "ui/MessageCatalogue.h"
#include "ui/PageView.h"
#include "ui/PagedDocument.h"
#include "ui/PersianText.h"
#include "ui/PreviewWindow.h"
#include "ui/ProgressStrip.h"

#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QLabel>
#include <QPainter>
#include <QPrinter>
#include <QPushButton>
#include <QScrollBar>
#include <QSet>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

namespace {

// A document of `pages` pages, each saying which page it is in Persian; it records which pages it was asked to
// paint. Laid out upright it holds 10 lines a page, so a landscape page gives more pages.
class NumberedPages : public PagedDocument {
public:
    explicit NumberedPages(int lines)
        : m_lines(lines)
    {
    }

    QString title() const override { return QStringLiteral("صفحه هاي شماره دار"); }
    int pageCount() const override { return (m_lines + perPage() - 1) / perPage(); }
    void paintPage(QPainter& painter, int index) const override
    {
        painted.insert(index);
        QFont font(PersianText::fontFamily());
        font.setPixelSize(240);
        painter.setFont(font);
        painter.drawRect(QRectF(QPointF(0, 0), printableTwips()));
        painter.drawText(QRectF(0, 0, printableTwips().width(), 600), Qt::AlignCenter, pageText(index));
    }

    static QString pageText(int index) { return QStringLiteral("اين صفحه %1 است").arg(index + 1); }
    int perPage() const { return pageLayout().orientation() == QPageLayout::Portrait ? 10 : 6; }

    mutable QSet<int> painted;

private:
    int m_lines;
};

QString text(const char* utf8)
{
    return QString::fromUtf8(utf8);
}

} // namespace

class TestPreviewWindow : public QObject {
    Q_OBJECT

private:
    struct Fixture {
        explicit Fixture(int lines)
            : document(std::make_shared<NumberedPages>(lines))
            , window(document, program.messages(), program.fileDialogs())
        {
            window.show();
            QVERIFY(QTest::qWaitForWindowExposed(&window));
        }
        TestProgram program;
        std::shared_ptr<NumberedPages> document;
        PreviewWindow window;
    };

private slots:
    void initTestCase() { PersianText::loadFont(); }

    void showsThePagesWithoutBeingModal()
    {
        Fixture f(35);
        QCOMPARE(f.window.windowModality(), Qt::NonModal);
        QVERIFY(f.window.isWindow());
        QVERIFY(f.window.windowTitle().contains(f.document->title()));
        auto* page = Drive::find<QSpinBox>(&f.window, QStringLiteral("PreviewPage"));
        QVERIFY(page);
        QCOMPARE(page->minimum(), 1);
        QCOMPARE(page->maximum(), 4);
        QCOMPARE(Drive::find<QLabel>(&f.window, QStringLiteral("PreviewPageCount"))->text(), text("از ۴"));
        QTRY_VERIFY(f.document->painted.contains(0));
    }

    void paintsOnlyThePagesInView()
    {
        Fixture f(10000);
        QCOMPARE(f.document->pageCount(), 1000);
        QTRY_VERIFY(!f.document->painted.isEmpty());
        f.document->painted.clear();
        f.window.pageView()->showPage(700);
        QTRY_VERIFY(f.document->painted.contains(700));
        QVERIFY2(f.document->painted.size() <= 3, qPrintable(QString::number(f.document->painted.size())));
    }

    void pageBoxAndScrollingFollowEachOther()
    {
        Fixture f(35);
        auto* page = Drive::find<QSpinBox>(&f.window, QStringLiteral("PreviewPage"));
        QCOMPARE(page->value(), 1);
        page->setValue(3);
        QCOMPARE(f.window.pageView()->currentPage(), 2);
        // The page number is drawn with Persian digits, and a number typed in any digits goes to its page.
        QCOMPARE(page->text(), QStringLiteral("۳"));
        for (const QString& typed : { QStringLiteral("۲"), QStringLiteral("\u0661"), QStringLiteral("4") }) {
            page->selectAll();
            Drive::type(page, typed);
            page->interpretText();
            QCOMPARE(page->value(), Digits::toAscii(typed).toInt());
        }
        page->setValue(3);
        QScrollBar* bar = f.window.pageView()->verticalScrollBar();
        bar->setValue(bar->maximum());
        QCOMPARE(page->value(), 4);
    }

    void zoomStaysWithinBounds()
    {
        Fixture f(5);
        PageView* view = f.window.pageView();
        auto* zoomShown = Drive::find<QLabel>(&f.window, QStringLiteral("PreviewZoom"));
        const double before = view->zoom();
        QVERIFY(Drive::click(&f.window, QStringLiteral("PreviewZoomIn")));
        QVERIFY(view->zoom() > before);
        QCOMPARE(zoomShown->text(), ShownNumbers::percent(qRound(view->zoom() * 100)));
        QVERIFY(zoomShown->text().endsWith(QStringLiteral("٪")));
        for (int i = 0; i < 20; ++i)
            view->setZoom(view->zoom() * 1.25);
        QCOMPARE(view->zoom(), PageView::MaxZoom);
        // Wider than the view, the page shows its right edge, where a Persian page begins.
        QVERIFY(view->horizontalScrollBar()->maximum() > 0);
        QCOMPARE(view->horizontalScrollBar()->value(), view->horizontalScrollBar()->maximum());
        QVERIFY(!Drive::find<QPushButton>(&f.window, QStringLiteral("PreviewZoomIn"))->isEnabled());
        for (int i = 0; i < 20; ++i)
            QTest::mouseClick(Drive::find<QPushButton>(&f.window, QStringLiteral("PreviewZoomOut")), Qt::LeftButton);
        QCOMPARE(view->zoom(), PageView::MinZoom);
        QVERIFY(Drive::click(&f.window, QStringLiteral("PreviewFitWidth")));
        QCOMPARE(view->zoom(), view->fitWidthZoom());
    }

    void savesEveryPageAsPdf()
    {
        Fixture f(25);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("pages.pdf"));
        f.program.fileDialogs().names.enqueue(path);
        QSignalSpy saved(&f.window, &PreviewWindow::savedAsPdf);
        QVERIFY(Drive::click(&f.window, QStringLiteral("PreviewSavePdf")));
        // The opener notes what left the program: once, with where it went.
        QCOMPARE(saved.size(), 1);
        QCOMPARE(saved.at(0).at(0).toString(), path);

        const auto& requests = f.program.fileDialogs().requests;
        QCOMPARE(requests.size(), 1);
        QCOMPARE(requests[0].kind, ScriptedFileDialogs::Kind::Save);
        QCOMPARE(requests[0].title, Msg::SavePdfTitle);
        QVERIFY(requests[0].filter.contains(QStringLiteral("*.pdf")));
        QVERIFY(requests[0].path.endsWith(f.document->title() + QStringLiteral(".pdf")));
        QVERIFY(f.program.messages().boxes.isEmpty());

        QCOMPARE(PdfText::pageCount(path), 3);
        QCOMPARE(PdfText::info(path, QStringLiteral("Title")), f.document->title());
        for (int page = 0; page < 3; ++page) {
            const QString read = PdfText::comparable(PdfText::extract(path, page + 1, page + 1));
            QVERIFY2(read == PdfText::comparable(NumberedPages::pageText(page)), qPrintable(read));
        }
    }

    void cancelledSaveWritesNothing()
    {
        Fixture f(5);
        QTemporaryDir dir;
        QSignalSpy saved(&f.window, &PreviewWindow::savedAsPdf);
        QVERIFY(Drive::click(&f.window, QStringLiteral("PreviewSavePdf")));
        QCOMPARE(saved.size(), 0);
        QCOMPARE(f.program.fileDialogs().requests.size(), 1);
        QVERIFY(f.program.messages().boxes.isEmpty());
        QVERIFY(QDir(dir.path()).isEmpty());
    }

    void failedSaveSaysSoAndWritesNothing()
    {
        Fixture f(5);
        QTemporaryDir dir;
        // A file name inside a folder that does not exist cannot be written.
        f.program.fileDialogs().names.enqueue(dir.filePath(QStringLiteral("missing/pages.pdf")));
        QSignalSpy saved(&f.window, &PreviewWindow::savedAsPdf);
        QVERIFY(Drive::click(&f.window, QStringLiteral("PreviewSavePdf")));
        QCOMPARE(saved.size(), 0);
        const auto& boxes = f.program.messages().boxes;
        QCOMPARE(boxes.size(), 1);
        QCOMPARE(boxes[0].kind, ScriptedMessages::Kind::Standard);
        QCOMPARE(boxes[0].title, Msg::ErrorTitlePersian);
        QVERIFY(boxes[0].text.startsWith(Msg::PdfNotSaved + QLatin1Char('\n')));
        QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("missing/pages.pdf"))));
    }

    // A document written elsewhere (a long list, from its rows): the window shows its progress strip meanwhile and
    // keeps its buttons from starting another output; stopped, it says nothing and notes nothing.
    void writtenElsewhereShowsProgressAndMayBeStopped_data()
    {
        QTest::addColumn<bool>("stopped");
        QTest::newRow("written") << false;
        QTest::newRow("stopped") << true;
    }
    void writtenElsewhereShowsProgressAndMayBeStopped()
    {
        QFETCH(bool, stopped);
        Fixture f(5);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("list.pdf"));
        f.program.fileDialogs().names.enqueue(path);
        bool shown = false;
        f.window.setPdfWriter([&](const QString& asked, ProgressStrip& progress, QString&) {
            shown = progress.isVisible() && !Drive::find<QPushButton>(&f.window, QStringLiteral("PreviewPrint"))->isEnabled();
            if (stopped) {
                QSignalSpy cancel(&progress, &ProgressStrip::cancelRequested);
                progress.cancelButton()->click();
                return cancel.size() != 1; // stopped: false, with no error
            }
            return asked == path;
        });
        QSignalSpy saved(&f.window, &PreviewWindow::savedAsPdf);
        QVERIFY(Drive::click(&f.window, QStringLiteral("PreviewSavePdf")));
        QVERIFY(shown);
        QCOMPARE(saved.size(), stopped ? 0 : 1);
        QVERIFY(f.program.messages().boxes.isEmpty());
        QVERIFY(f.window.pdfProgress()->isHidden());
        QVERIFY(Drive::find<QPushButton>(&f.window, QStringLiteral("PreviewPrint"))->isEnabled());
    }

    void savingOverAFileReplacesIt()
    {
        Fixture f(5);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("old.pdf"));
        QFile old(path);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("not a pdf");
        old.close();
        f.program.fileDialogs().names.enqueue(path);
        QVERIFY(Drive::click(&f.window, QStringLiteral("PreviewSavePdf")));
        QCOMPARE(PdfText::pageCount(path), 1);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList { QStringLiteral("old.pdf") });
    }

    void pageSetupLaysThePagesOutAgain()
    {
        Fixture f(30);
        QCOMPARE(f.document->pageCount(), 3);
        QPageLayout landscape = f.document->pageLayout();
        landscape.setOrientation(QPageLayout::Landscape);
        f.window.applyPageLayout(landscape);
        QCOMPARE(f.document->pageLayout().orientation(), QPageLayout::Landscape);
        QCOMPARE(f.document->pageCount(), 5);
        QCOMPARE(Drive::find<QSpinBox>(&f.window, QStringLiteral("PreviewPage"))->maximum(), 5);
        QCOMPARE(Drive::find<QLabel>(&f.window, QStringLiteral("PreviewPageCount"))->text(), text("از ۵"));
    }

    void dialogsCancelledChangeNothing_data()
    {
        QTest::addColumn<QString>("button");
        QTest::newRow("page setup") << QStringLiteral("PreviewPageSetup");
        QTest::newRow("print") << QStringLiteral("PreviewPrint");
    }

    void dialogsCancelledChangeNothing()
    {
        QFETCH(QString, button);
        Fixture f(30);
        const QPageLayout before = f.document->pageLayout();
        bool sawDialog = false;
        QTimer::singleShot(0, this, [&sawDialog] {
            if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
                sawDialog = true;
                dialog->reject();
            }
        });
        QVERIFY(Drive::click(&f.window, button));
        QVERIFY(sawDialog);
        QVERIFY(f.document->pageLayout() == before);
        QCOMPARE(f.document->pageCount(), 3);
        QVERIFY(f.program.messages().boxes.isEmpty());
    }

    void printsThePageRangeAsked()
    {
        NumberedPages document(50);
        QTemporaryDir dir;
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(dir.filePath(QStringLiteral("printed.pdf")));
        printer.setPageLayout(document.pageLayout());
        printer.setPrintRange(QPrinter::PageRange);
        printer.setFromTo(2, 3);
        QVERIFY(DocumentOutput::print(document, printer));
        const QString path = dir.filePath(QStringLiteral("printed.pdf"));
        QCOMPARE(PdfText::pageCount(path), 2);
        QCOMPARE(PdfText::comparable(PdfText::extract(path, 1, 1)), PdfText::comparable(NumberedPages::pageText(1)));
        QCOMPARE(document.painted, (QSet<int> { 1, 2 }));
    }
};

QTEST_MAIN(TestPreviewWindow)
#include "TestPreviewWindow.moc"
