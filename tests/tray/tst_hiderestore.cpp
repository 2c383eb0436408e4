#include "TestMain.h"
#include "WindowFixture.h"

#include "tray/SystemTray.h"

#include <QBuffer>
#include <QImage>
#include <QSystemTrayIcon>

class tst_HideRestore : public WindowTestCase {
    Q_OBJECT

private slots:
    void hideAndRestoreLeaveTheWindowAsItWas()
    {
        writeFile("max.dat", "");
        WindowFixture f;
        QVERIFY(f.startShown());
        QTRY_VERIFY(f.window->isMaximized());
        f.item("mnuMaxView")->trigger();
        const float top = f.view().Top();
        const float height = f.view().Height();
        QStringList seen;
        f.tray->onCall = [&](const QString &call) {
            seen << call + (f.window->isVisible() ? " while shown" : " while hidden");
        };

        f.item("mnuHide")->trigger();
        QCOMPARE(seen, (QStringList{"showIcon while shown", "setIconFile(Icon.ico) while shown"}));
        QVERIFY(!f.window->isVisible());
        QVERIFY(!f.window->isMinimized());

        f.tray->doubleClick();
        QVERIFY(f.window->isVisible());
        QCOMPARE(seen.mid(2), QStringList{"removeIcon while shown"});
        QVERIFY(QTest::qWaitForWindowExposed(f.window.get()));
        QVERIFY(f.window->isMaximized());
        QCOMPARE(f.view().Top(), top);
        QCOMPARE(f.view().Height(), height);
        QCOMPARE(f.item("mnuMaxView")->text(), QStringLiteral("Normal View"));
    }

    void trayIconFile_data()
    {
        QTest::addColumn<QByteArray>("fileContent"); // null: no file
        QTest::addColumn<bool>("ownIcon");

        QImage red(32, 32, QImage::Format_RGB32);
        red.fill(Qt::red);
        QByteArray ico;
        QBuffer buffer(&ico);
        buffer.open(QIODevice::WriteOnly);
        red.save(&buffer, "ICO");

        QTest::newRow("readable Icon.ico") << ico << false;
        QTest::newRow("no Icon.ico") << QByteArray() << true;
        QTest::newRow("Icon.ico holds no picture") << QByteArray("not an icon") << true;
    }
    void trayIconFile()
    {
        QFETCH(QByteArray, fileContent);
        QFETCH(bool, ownIcon);
        if (!fileContent.isNull())
            writeFile("Icon.ico", fileContent);

        QImage blue(32, 32, QImage::Format_RGB32);
        blue.fill(Qt::blue);
        QGuiApplication::setWindowIcon(QIcon(QPixmap::fromImage(blue)));
        SystemTray tray;
        const auto *icon = tray.findChild<QSystemTrayIcon *>();
        QCOMPARE(icon->toolTip(), QStringLiteral("Corvane"));

        tray.setIconFile(QStringLiteral("Icon.ico"));
        const QColor shown = icon->icon().pixmap(32, 32).toImage().pixelColor(16, 16);
        QCOMPARE(shown, ownIcon ? QColor(Qt::blue) : QColor(Qt::red));
    }
};

CORVANE_TEST_MAIN(tst_HideRestore)
#include "tst_hiderestore.moc"
