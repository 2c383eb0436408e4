#pragma once

#include <QWebEnginePage>
#include <QWidget>

class QLabel;
class QLineEdit;
class QWebEngineFindTextResult;

// A small window of its own, over the page's window, that finds text in the
// page as the user types: Enter goes to the next match, Shift+Enter to the one
// before, and beside the text it says which match of how many is marked, or
// that there is none. Escape closes it and takes the highlights away.
class FindBox : public QWidget {
    Q_OBJECT

public:
    FindBox(QWebEnginePage *page, QWidget *parent);

    // Opens the box with the focus in its text; when it is open already, or
    // holds a text from before, also goes to the next match.
    void openOrFindNext();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    void find(QWebEnginePage::FindFlags direction = {});
    void showResult(const QWebEngineFindTextResult &result);

    QWebEnginePage *m_page;
    QLineEdit *m_text;
    QLabel *m_result;
    // Searches asked for so far; the last one is the one shown.
    int m_searches = 0;
};
