#include "engine/InternetSockets.h"

#include <QTest>

#include <arpa/inet.h>
#include <cerrno>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

enum class Way { Connect, SendTo, SendMsg, SendMMsg };
// The socket types as plain ints, as the system declares them in an enum.
constexpr int Stream = SOCK_STREAM, Datagram = SOCK_DGRAM;

// A listening (TCP) or bound (UDP) socket on the loopback address, or on an
// unnamed local address, and what reaches it.
struct Socket {
    Socket(int family, int type)
        : fd(socket(family, type, 0))
    {
        if (family == AF_UNIX) {
            address.ss_family = AF_UNIX;
            length = sizeof(sa_family_t); // asks for an address of the system's choice
        } else {
            address.ss_family = family;
            family == AF_INET ? inet_pton(AF_INET, "127.0.0.1", &ipv4()->sin_addr)
                              : inet_pton(AF_INET6, "::1", &ipv6()->sin6_addr);
            length = family == AF_INET ? sizeof(sockaddr_in) : sizeof(sockaddr_in6);
        }
        bind(fd, name(), length);
        if (type == SOCK_STREAM)
            listen(fd, 4);
        length = sizeof(address);
        getsockname(fd, reinterpret_cast<sockaddr *>(&address), &length);
    }
    ~Socket() { close(fd); }
    sockaddr_in *ipv4() { return reinterpret_cast<sockaddr_in *>(&address); }
    sockaddr_in6 *ipv6() { return reinterpret_cast<sockaddr_in6 *>(&address); }
    sockaddr *name() { return reinterpret_cast<sockaddr *>(&address); }

    int fd;
    sockaddr_storage address{};
    socklen_t length;
};

// 0 when it got through, or the error.
int reach(Socket &target, int type, Way way)
{
    const int fd = socket(target.address.ss_family, type, 0);
    char byte = 'x';
    iovec data{&byte, 1};
    msghdr message{target.name(), target.length, &data, 1, nullptr, 0, 0};
    mmsghdr messages{message, 0};
    int result = 0;
    switch (way) {
    case Way::Connect:
        result = connect(fd, target.name(), target.length);
        break;
    case Way::SendTo:
        result = int(sendto(fd, &byte, 1, 0, target.name(), target.length));
        break;
    case Way::SendMsg:
        result = int(sendmsg(fd, &message, 0));
        break;
    case Way::SendMMsg:
        result = sendmmsg(fd, &messages, 1, 0);
        break;
    }
    const int error = result < 0 ? errno : 0;
    close(fd);
    return error;
}

// What holds each way back.
enum class Refused { WithConnections, WithDatagrams, Never };

// The result of reaching target with only connections, or only datagrams, refused.
int reachRefusing(bool connections, Socket &target, int type, Way way)
{
    refuseInternetConnections(connections);
    refuseInternetDatagrams(!connections);
    const int error = reach(target, type, way);
    refuseInternetConnections(false);
    refuseInternetDatagrams(false);
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
        QTest::addColumn<Way>("way");
        QTest::addColumn<Refused>("refused");
        const auto connections = Refused::WithConnections, datagrams = Refused::WithDatagrams;
        QTest::newRow("TCP over IPv4") << AF_INET << Stream << Way::Connect << connections;
        QTest::newRow("TCP over IPv6") << AF_INET6 << Stream << Way::Connect << connections;
        QTest::newRow("UDP connected") << AF_INET << Datagram << Way::Connect << connections;
        QTest::newRow("UDP sendto") << AF_INET << Datagram << Way::SendTo << datagrams;
        QTest::newRow("UDP sendto over IPv6") << AF_INET6 << Datagram << Way::SendTo << datagrams;
        QTest::newRow("UDP sendmsg") << AF_INET << Datagram << Way::SendMsg << datagrams;
        QTest::newRow("UDP sendmmsg") << AF_INET << Datagram << Way::SendMMsg << datagrams;
        // The display's and the buses' sockets.
        QTest::newRow("local stream") << AF_UNIX << Stream << Way::Connect << Refused::Never;
        QTest::newRow("local datagram") << AF_UNIX << Datagram << Way::SendTo << Refused::Never;
    }
    void refusedOnlyToInternetAddresses()
    {
        QFETCH(int, family);
        QFETCH(int, type);
        QFETCH(Way, way);
        QFETCH(Refused, refused);
        Socket target(family, type);
        QCOMPARE(reachRefusing(true, target, type, way),
                 refused == Refused::WithConnections ? ENETUNREACH : 0);
        QCOMPARE(reachRefusing(false, target, type, way),
                 refused == Refused::WithDatagrams ? ENETUNREACH : 0);
        QCOMPARE(reach(target, type, way), 0);
    }
};

QTEST_APPLESS_MAIN(tst_InternetSockets)
#include "tst_internetsockets.moc"
