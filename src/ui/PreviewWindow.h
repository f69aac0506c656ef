#pragma once

#include <QWidget>

#include <functional>
#include <memory>

class FileDialogs;
class Messages;
class PagedDocument;
class PageView;
class ProgressStrip;
class QLabel;
class QPageLayout;
class QPushButton;
class QSpinBox;

// Shows a document before it goes to paper: its pages, zoom, page setup, printing through the print dialog and
// saving as PDF. It knows nothing of what the document says. Not modal: the operator keeps working beside it.
class PreviewWindow : public QWidget {
    Q_OBJECT
public:
    PreviewWindow(std::shared_ptr<PagedDocument> document, Messages& messages, FileDialogs& fileDialogs,
        QWidget* parent = nullptr);
    ~PreviewWindow() override;

    const PagedDocument& document() const { return *m_document; }
    PageView* pageView() const { return m_view; }

    // Lays the document out for another paper, orientation or margins and shows it so.
    void applyPageLayout(const QPageLayout& layout);

    // Who writes the PDF when it is not this window painting the document's pages: a long list written on a worker
    // thread from its rows as they are read. Given the chosen path and the strip showing how far it is (its cancel
    // button stops the writing), it says whether the file was written; false with `error` empty when it was stopped.
    using PdfWriter = std::function<bool(const QString& path, ProgressStrip& progress, QString& error)>;
    void setPdfWriter(PdfWriter writer) { m_pdfWriter = std::move(writer); }
    ProgressStrip* pdfProgress() const { return m_progress; }

public slots:
    void print();
    void saveAsPdf();
    void pageSetup();
    void zoomIn();
    void zoomOut();
    void fitWidth();

signals:
    // The document went to the printer, or was written as a PDF at `path`.
    void printed();
    void savedAsPdf(const QString& path);

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void buildBar();
    void showPageCount();
    void showZoom(double zoom);
    QString suggestedPdfPath() const;

    std::shared_ptr<PagedDocument> m_document;
    Messages& m_messages;
    FileDialogs& m_fileDialogs;

    PageView* m_view = nullptr;
    QPushButton* m_print = nullptr;
    QPushButton* m_pdf = nullptr;
    QPushButton* m_setup = nullptr;
    QPushButton* m_zoomIn = nullptr;
    QPushButton* m_zoomOut = nullptr;
    QPushButton* m_fit = nullptr;
    QLabel* m_zoomShown = nullptr;
    QSpinBox* m_page = nullptr;
    QLabel* m_pageCount = nullptr;
    QPushButton* m_close = nullptr;
    bool m_fitted = false;
    PdfWriter m_pdfWriter;
    ProgressStrip* m_progress = nullptr;
    bool m_writing = false;
    bool m_closeWanted = false;
};
