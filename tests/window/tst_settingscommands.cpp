#include "TestMain.h"
#include "WindowFixture.h"

#include <QDir>

class tst_SettingsCommands : public WindowTestCase {
    Q_OBJECT

public:
    tst_SettingsCommands() { homeFile = "http://old/\r\nsecond line\r\n"; }

private slots:
    void setHomeAddress_data()
    {
        QTest::addColumn<QString>("reply");
        QTest::newRow("OK with blanks kept") << "  padded  ";
        QTest::newRow("OK with nothing typed") << "";
    }
    void setHomeAddress()
    {
        QFETCH(QString, reply);

        WindowFixture f;
        QVERIFY(f.startShown());
        f.address()->setText("typed");
        f.dialogs->replies.enqueue(reply);
        QTest::keySequence(f.window.get(), QKeySequence("Ctrl+N"));

        QCOMPARE(f.log.calls, QStringList{"askText(Home Address|What would you like it to be?)"});
        QCOMPARE(fileBytes("home.ad"), reply.toLatin1() + "\r\n");
        QCOMPARE(f.address()->text(), QStringLiteral("typed"));
    }

    void startUpMaximisedTwiceFromOff()
    {
        WindowFixture f;
        QVERIFY(f.startShown());
        QAction *item = f.item("mnuStartMax");
        QVERIFY(!item->isChecked());

        item->trigger();
        QCOMPARE(fileBytes("max.dat"), QByteArray("Maximised on start-up\r\n"));
        QVERIFY(f.window->isMaximized());
        QVERIFY(item->isChecked());

        item->trigger();
        QVERIFY(!QFile::exists("max.dat"));
        QVERIFY(!f.window->isMaximized());
        QVERIFY(!item->isChecked());
        QVERIFY(f.dialogs->errors.isEmpty());
    }

    void startUpMaximisedFollowsTheFileNotTheCheckMark()
    {
        writeFile("max.dat", "");
        WindowFixture f;
        QVERIFY(f.startShown());
        QAction *item = f.item("mnuStartMax");
        QVERIFY(item->isChecked());

        // Another program removed the marker: the command creates it again, and
        // the window, maximised already, stays so.
        QVERIFY(QFile::remove("max.dat"));
        item->trigger();
        QCOMPARE(fileBytes("max.dat"), QByteArray("Maximised on start-up\r\n"));
        QVERIFY(item->isChecked());
        QVERIFY(f.window->isMaximized());

        // And one that put it back behind a cleared check mark is deleted, the
        // window, normal already, staying so.
        item->trigger();
        QVERIFY(!item->isChecked());
        writeFile("max.dat", "put back");
        item->trigger();
        QVERIFY(!QFile::exists("max.dat"));
        QVERIFY(!item->isChecked());
        QVERIFY(!f.window->isMaximized());
    }

    void startUpMaximisedFailureChangesNothingElse()
    {
        QVERIFY(QDir().mkdir("max.dat")); // counts as absent, and cannot be replaced
        WindowFixture f;
        QVERIFY(f.startShown());
        f.item("mnuStartMax")->trigger();
        QCOMPARE(f.dialogs->errors.size(), 1);
        QVERIFY2(f.dialogs->errors[0].startsWith("max.dat"), qPrintable(f.dialogs->errors[0]));
        QVERIFY(!f.window->isMaximized());
        QVERIFY(!f.item("mnuStartMax")->isChecked());
        QVERIFY(f.window->isVisible());
    }

    void silentTellsTheEngineFirst()
    {
        WindowFixture f;
        QVERIFY(f.startShown());
        QAction *item = f.item("mnuSilent");
        f.engine->refuseSilent = true;
        item->trigger();
        QCOMPARE(f.dialogs->errors, QStringList{"the engine refused Silent"});
        QVERIFY(!item->isChecked()); // refused, the check mark stays as it was

        f.engine->refuseSilent = false;
        item->trigger();
        QVERIFY(item->isChecked());
        item->trigger();
        QVERIFY(!item->isChecked());
        QCOMPARE(f.log.calls,
                 (QStringList{"error(the engine refused Silent)", "Silent=true", "Silent=false"}));
    }

    void workOfflineTwice()
    {
        WindowFixture f;
        QVERIFY(f.startShown());
        QAction *item = f.item("mnuOffline");
        item->trigger();
        item->trigger();
        QCOMPARE(f.log.calls, (QStringList{"Offline=true", "Offline=true"}));
        QVERIFY(!item->isChecked());
        QCOMPARE(item->text(), QStringLiteral("Work Offline"));
    }
};

CORVANE_TEST_MAIN(tst_SettingsCommands)
#include "tst_settingscommands.moc"
