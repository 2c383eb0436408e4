#include "TestMain.h"
#include "WindowFixture.h"

#include "window/FileOpenDialog.h"

#include <QFileDialog>
#include <QTimer>

class tst_Navigation : public WindowTestCase {
    Q_OBJECT

private slots:
    void goPassesTheTextUnchanged_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<QString>("text");

        const std::pair<const char *, const char *> rows[] = {
            {"click", ""},
            {"Enter", "   "},
            {"Ctrl+G", "  example.org  "},
            {"click", "what is this?"},
            {"Enter", "http://127.0.0.1:1/a?b=c#d"}};
        for (const auto &[how, text] : rows)
            QTest::addRow("%s, \"%s\"", how, text) << QString(how) << QString(text);
    }
    void goPassesTheTextUnchanged()
    {
        QFETCH(QString, how);
        QFETCH(QString, text);

        WindowFixture f;
        QVERIFY(f.startShown());
        f.address()->setFocus();
        f.address()->setText(text);
        if (how == "click")
            QTest::mouseClick(f.go(), Qt::LeftButton);
        else if (how == "Enter")
            QTest::keyClick(f.address(), Qt::Key_Return);
        else
            QTest::keySequence(f.address(), QKeySequence(how));

        QCOMPARE(f.log.calls, (QStringList{"Offline=false", "RegisterAsBrowser=true",
                                           QStringLiteral("Navigate(%1)").arg(text)}));
        QCOMPARE(f.address()->text(), text);
    }

    void openFile_data()
    {
        QTest::addColumn<QStringList>("choices"); // one entry per use; empty: Cancel
        QTest::addColumn<QStringList>("expected");

        QTest::newRow("chosen") << QStringList{"/tmp/page one.html"}
                                << QStringList{"ShowOpen", "Navigate(/tmp/page one.html)"};
        QTest::newRow("cancelled before any choice") << QStringList{""} << QStringList{"ShowOpen"};
        QTest::newRow("cancelled after an earlier choice")
            << QStringList{"/tmp/a.html", ""}
            << QStringList{"ShowOpen", "Navigate(/tmp/a.html)", "ShowOpen"};
    }
    void openFile()
    {
        QFETCH(QStringList, choices);
        QFETCH(QStringList, expected);

        WindowFixture f;
        QVERIFY(f.startShown());
        f.address()->setText("typed");
        for (const QString &choice : choices) {
            if (!choice.isEmpty())
                f.fileDialog->choices.enqueue(choice);
            f.item("mnuOpenFile")->trigger();
        }
        QCOMPARE(f.log.calls, expected);
        QCOMPARE(f.address()->text(), QStringLiteral("typed"));
    }

    void homeReadsTheFileAnewEachTime()
    {
        WindowFixture f;
        QVERIFY(f.startShown());
        f.item("mnuHome")->trigger();
        // Even an empty first line is the home address.
        writeFile("home.ad", "\r\nignored\r\n");
        QString boxAtNavigate;
        f.engine->onNavigate = [&](const QString &) { boxAtNavigate = f.address()->text(); };
        f.item("mnuHome")->trigger();

        QCOMPARE(f.log.calls, (QStringList{"Navigate(http://home/)", "Navigate()"}));
        QCOMPARE(boxAtNavigate, QStringLiteral("http://home/")); // box written after Navigate
        QCOMPARE(f.address()->text(), QString());
    }

    void offlineLastsUntilTheNextGo_data()
    {
        QTest::addColumn<QString>("item");
        QTest::addColumn<bool>("goesOnline");

        QTest::newRow("Home") << "mnuHome" << false;
        QTest::newRow("Back") << "mnuBack" << false;
        QTest::newRow("Forward") << "mnuForward" << false;
        QTest::newRow("Stop") << "mnuStop" << false;
        QTest::newRow("Refresh") << "mnuRefresh" << false;
        QTest::newRow("Open File") << "mnuOpenFile" << false;
        QTest::newRow("Go to address") << "mnuGoTo" << true;
    }
    void offlineLastsUntilTheNextGo()
    {
        QFETCH(QString, item);
        QFETCH(bool, goesOnline);

        WindowFixture f;
        QVERIFY(f.startShown());
        f.fileDialog->choices.enqueue("/tmp/file.html");
        f.item("mnuOffline")->trigger();
        f.item(qPrintable(item))->trigger();
        QCOMPARE(f.log.calls.first(), QStringLiteral("Offline=true"));
        QCOMPARE(f.log.calls.contains("Offline=false"), goesOnline);
        if (goesOnline)
            QCOMPARE(f.log.calls.at(1), QStringLiteral("Offline=false"));
    }

    void fileDialogRemembersTheChosenFile()
    {
        writeFile("chosen.html", "<p>x</p>");
        const QString chosen = QDir::current().absoluteFilePath("chosen.html");
        QWidget owner;
        CommonDialog dialog(&owner);
        QCOMPARE(dialog.FileName(), QString());

        // Answers the next file dialog: pick the file, or cancel with an empty name.
        auto answer = [](const QString &file, QString *openedAt) {
            QTimer::singleShot(0, [file, openedAt] {
                auto *box = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
                QVERIFY(box);
                *openedAt = box->directory().absolutePath() + '|' + box->selectedFiles().value(0);
                if (file.isEmpty()) {
                    box->reject();
                } else {
                    box->selectFile(file);
                    static_cast<QDialog *>(box)->accept();
                }
            });
        };

        QString openedAt;
        answer(chosen, &openedAt);
        QVERIFY(dialog.ShowOpen());
        QCOMPARE(dialog.FileName(), chosen);

        answer(QString(), &openedAt);
        QVERIFY(!dialog.ShowOpen());
        QCOMPARE(openedAt, QDir::currentPath() + '|' + chosen); // opened on the last choice
        QCOMPARE(dialog.FileName(), chosen);
    }
};

CORVANE_TEST_MAIN(tst_Navigation)
#include "tst_navigation.moc"
