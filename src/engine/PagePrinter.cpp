#include "PagePrinter.h"

#include "EngineDialogs.h"

#include <QPrinter>
#include <QWebEnginePage>
#include <QWebEngineView>

namespace {

// The print dialog proposes a file named after the document; a title may
// hold a slash, which would make that name a folder that is not there.
QString documentName(const QWebEnginePage &page)
{
    return QString(page.title()).replace(QLatin1Char('/'), QLatin1Char('_'));
}

bool printsToFile(const QPrinter &printer)
{
    return printer.outputFormat() == QPrinter::PdfFormat && !printer.outputFileName().isEmpty();
}

} // namespace

PagePrinter::PagePrinter(EngineDialogs &dialogs, QWebEnginePage *page)
    : QObject(page)
    , m_dialogs(dialogs)
    , m_page(page)
{
    connect(page, &QWebEnginePage::pdfPrintingFinished, this,
            [this](const QString &, bool succeeded) { finish(succeeded); });
}

PagePrinter::~PagePrinter() = default;

void PagePrinter::print(QWidget *owner, bool *stopAsking)
{
    if (isBusy())
        return;
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer->setDocName(documentName(*m_page));
    // The dialog leaves the window working, and the page may ask again meanwhile.
    m_choosing = true;
    const bool chosen = m_dialogs.choosePrinter(owner, *printer, stopAsking);
    m_choosing = false;
    if (!chosen)
        return;
    m_printer = std::move(printer);
    m_owner = owner;
    if (printsToFile(*m_printer)) {
        m_page->printToPdf(m_printer->outputFileName(), m_printer->pageLayout(),
                           m_printer->pageRanges());
        return;
    }
    QWebEngineView *view = QWebEngineView::forPage(m_page);
    connect(view, &QWebEngineView::printFinished, this, &PagePrinter::finish,
            Qt::SingleShotConnection);
    view->print(m_printer.get());
}

void PagePrinter::finish(bool succeeded)
{
    if (!m_printer)
        return;
    if (!succeeded) {
        const QString target =
            printsToFile(*m_printer) ? m_printer->outputFileName() : m_printer->printerName();
        m_dialogs.printFailed(m_owner, QStringLiteral("Printing to %1 failed").arg(target));
    }
    m_printer.reset();
}
