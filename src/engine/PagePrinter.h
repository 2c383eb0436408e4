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
// gets the pages as the engine draws them. One dialog or job at a time: a
// request while the dialog is open or a job runs is ignored.
class PagePrinter : public QObject {
    Q_OBJECT

public:
    PagePrinter(EngineDialogs &dialogs, QWebEnginePage *page);
    ~PagePrinter() override;

    // True from the opening of the print dialog until the job chosen there ends.
    bool isBusy() const { return m_choosing || m_printer; }
    // Asks over owner where and how to print, and prints there; Cancel prints
    // nothing. stopAsking is the dialog's, as for EngineDialogs::choosePrinter.
    void print(QWidget *owner, bool *stopAsking = nullptr);

private:
    void finish(bool succeeded);

    EngineDialogs &m_dialogs;
    QWebEnginePage *m_page;
    bool m_choosing = false;
    // The job under way, if any, and the window that asked for it.
    std::unique_ptr<QPrinter> m_printer;
    QPointer<QWidget> m_owner;
};
