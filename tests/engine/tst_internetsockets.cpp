#include "engine/InternetSockets.h"

#include <QTest>

#include <arpa/inet.h>
#include <cerrno>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// The socket types as plain ints, as the system declares them in an enum.
constexpr int Stream = SOCK_STREAM, Datagram = SOCK_DGRAM;

// 0 if a socket of the type reaches a listening (or bound) one of the family on
// this machine, by connect or by sendto, with only connections or only
// datagrams refused; or the error; or -1 if the machine has no loopback
// address of the family (a container without IPv6).
int reach(int family, int type, bool bySendto, bool refuseConnections)
{
    sockaddr_storage address{};
    address.ss_family = family;
    socklen_t length = sizeof(sa_family_t); // a local address of the system's choice
    if (family == AF_INET) {
        inet_pton(AF_INET, "127.0.0.1", &reinterpret_cast<sockaddr_in &>(address).sin_addr);
        length = sizeof(sockaddr_in);
    } else if (family == AF_INET6) {
        inet_pton(AF_INET6, "::1", &reinterpret_cast<sockaddr_in6 &>(address).sin6_addr);
        length = sizeof(sockaddr_in6);
    }
    auto *name = reinterpret_cast<sockaddr *>(&address);
    const int target = socket(family, type, 0), fd = socket(family, type, 0);
    if (bind(target, name, length) != 0) {
        close(fd);
        close(target);
        return -1;
    }
    listen(target, 1);
    length = sizeof(address);
    getsockname(target, name, &length);

    refuseInternetConnections(refuseConnections);
    refuseInternetDatagrams(!refuseConnections);
    const int result =
        bySendto ? int(sendto(fd, "x", 1, 0, name, length)) : connect(fd, name, length);
    const int error = result < 0 ? errno : 0;
    refuseInternetConnections(false);
    refuseInternetDatagrams(false);
    close(fd);
    close(target);
    return error;
}

} // namespace

class tst_InternetSockets : public QObject {
    Q_OBJECT

private slots:
    void refusedOnlyToInternetAddresses_data()
    {
        QTest::addColumn<int>("family");
        QTest::addColumn<int>("type");
        QTest::addColumn<bool>("bySendto");
        QTest::addColumn<bool>("withConnections");
        QTest::addColumn<bool>("withDatagrams");
        QTest::newRow("TCP") << AF_INET << Stream << false << true << false;
        QTest::newRow("TCP over IPv6") << AF_INET6 << Stream << false << true << false;
        QTest::newRow("UDP connected") << AF_INET << Datagram << false << true << false;
        QTest::newRow("UDP datagram") << AF_INET << Datagram << true << false << true;
        QTest::newRow("UDP datagram over IPv6") << AF_INET6 << Datagram << true << false << true;
        // The display's and the buses' sockets.
        QTest::newRow("local stream") << AF_UNIX << Stream << false << false << false;
        QTest::newRow("local datagram") << AF_UNIX << Datagram << true << false << false;
    }
    void refusedOnlyToInternetAddresses()
    {
        QFETCH(int, family);
        QFETCH(int, type);
        QFETCH(bool, bySendto);
        QFETCH(bool, withConnections);
        QFETCH(bool, withDatagrams);
        const int withConnectionsRefused = reach(family, type, bySendto, true);
        if (withConnectionsRefused == -1)
            QSKIP("This machine has no loopback address of the family.");
        QCOMPARE(withConnectionsRefused, withConnections ? ENETUNREACH : 0);
        QCOMPARE(reach(family, type, bySendto, false), withDatagrams ? ENETUNREACH : 0);
    }
};

QTEST_APPLESS_MAIN(tst_InternetSockets)
#include "tst_internetsockets.moc"
