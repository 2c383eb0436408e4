#include "EngineTestCase.h"
#include "TestMain.h"

#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>

class tst_PageTools : public EngineTestCase {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        server.setRoute("/fruit", page("Fruit", "<p>apple pear apple plum apple</p>"));
    }

    void findBoxSaysWhichMatchOfHowMany_data()
    {
        QTest::addColumn<QString>("typed");
        // Presses of Enter after typing; a negative number, of Shift+Enter.
        QTest::addColumn<int>("enters");
        QTest::addColumn<QString>("says");

        QTest::newRow("as typed") << "apple" << 0 << "1 of 3";
        QTest::newRow("Enter") << "apple" << 1 << "2 of 3";
        QTest::newRow("Enter past the last") << "apple" << 3 << "1 of 3";
        QTest::newRow("Shift+Enter from the first") << "apple" << -1 << "3 of 3";
        QTest::newRow("one match") << "pear" << 0 << "1 of 1";
        QTest::newRow("none") << "kiwi" << 0 << "No matches";
    }
    void findBoxSaysWhichMatchOfHowMany()
    {
        QFETCH(QString, typed);
        QFETCH(int, enters);
        QFETCH(QString, says);
        show("/fruit");
        QVERIFY(QTest::qWaitForWindowActive(browser->window()));

        QTest::keyClick(browser->window(), Qt::Key_F3);
        auto *box = browser->findChild<QWidget *>("FindBox");
        QTRY_VERIFY(box->isActiveWindow());
        auto *text = box->findChild<QLineEdit *>("findText");
        const auto *result = box->findChild<QLabel *>("findResult");
        QTest::keyClicks(text, typed);
        QTRY_VERIFY_WITH_TIMEOUT(!result->text().isEmpty(), LoadTimeoutMs);
        for (int i = 0; i < std::abs(enters); ++i) {
            const QString before = result->text();
            QTest::keyClick(text, Qt::Key_Return, enters < 0 ? Qt::ShiftModifier : Qt::NoModifier);
            QTRY_VERIFY_WITH_TIMEOUT(result->text() != before, LoadTimeoutMs);
        }
        QCOMPARE(result->text(), says);
    }

    void printFailureIsSaid()
    {
        const QTemporaryDir dir;
        dialogs->printTo = dir.filePath("missing/page.pdf");
        show("/fruit");
        QVERIFY(QTest::qWaitForWindowActive(browser->window()));

        QTest::keyClick(browser->window(), Qt::Key_P, Qt::ControlModifier);

        QTRY_COMPARE_WITH_TIMEOUT(
            dialogs->shown,
            QStringList({"print", "print failed: Printing to " + *dialogs->printTo + " failed"}),
            LoadTimeoutMs);
    }
};

CORVANE_TEST_MAIN(tst_PageTools)
#include "tst_pagetools.moc"
