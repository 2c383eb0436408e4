#pragma once

#include <QObject>
#include <QPointer>

#include <memory>

class EngineDialogs;
class QPrinter;
class QWebEnginePage;
class QWidget;

// Prints a page where the user chooses in the print dialog. A PDF file is
// written by the engine itself, so that it keeps the page's text; a printer
// gets the pages as the engine draws them. One job runs at a time: a request
// while one runs is ignored.
class PagePrinter : public QObject {
    Q_OBJECT

public:
    PagePrinter(EngineDialogs &dialogs, QWebEnginePage *page);
    ~PagePrinter() override;

    // Asks over owner where and how to print, and prints there; Cancel prints nothing.
    void print(QWidget *owner);

private:
    void finish(bool succeeded);

    EngineDialogs &m_dialogs;
    QWebEnginePage *m_page;
    // The job under way, if any, and the window that asked for it.
    std::unique_ptr<QPrinter> m_printer;
    QPointer<QWidget> m_owner;
};
