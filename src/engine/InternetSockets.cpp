#include "InternetSockets.h"

#include <atomic>
#include <cerrno>
#include <dlfcn.h>
#include <sys/socket.h>

// The program exports these (see CMakeLists.txt), so that they stand in for
// the C library's in the engine's own libraries, which call them through it.

namespace {

std::atomic<bool> connectionsRefused{false};
std::atomic<bool> datagramsRefused{false};

bool isRefused(const std::atomic<bool> &refused, const sockaddr *address)
{
    return address && refused.load(std::memory_order_relaxed) &&
           (address->sa_family == AF_INET || address->sa_family == AF_INET6);
}

template <typename Function> Function *libraryFunction(const char *name)
{
    return reinterpret_cast<Function *>(dlsym(RTLD_NEXT, name));
}

int refuse()
{
    errno = ENETUNREACH;
    return -1;
}

} // namespace

void refuseInternetConnections(bool refuse)
{
    connectionsRefused = refuse;
}

void refuseInternetDatagrams(bool refuse)
{
    datagramsRefused = refuse;
}

extern "C" int connect(int socket, const sockaddr *address, socklen_t length)
{
    static auto *const libraryConnect = libraryFunction<decltype(connect)>("connect");
    return isRefused(connectionsRefused, address) ? refuse()
                                                  : libraryConnect(socket, address, length);
}

extern "C" ssize_t sendto(int socket, const void *data, size_t size, int flags,
                          const sockaddr *address, socklen_t length)
{
    static auto *const librarySendto = libraryFunction<decltype(sendto)>("sendto");
    return isRefused(datagramsRefused, address)
               ? refuse()
               : librarySendto(socket, data, size, flags, address, length);
}

extern "C" ssize_t sendmsg(int socket, const msghdr *message, int flags)
{
    static auto *const librarySendmsg = libraryFunction<decltype(sendmsg)>("sendmsg");
    return isRefused(datagramsRefused, static_cast<const sockaddr *>(message->msg_name))
               ? refuse()
               : librarySendmsg(socket, message, flags);
}

extern "C" int sendmmsg(int socket, mmsghdr *messages, unsigned int count, int flags)
{
    static auto *const librarySendmmsg = libraryFunction<decltype(sendmmsg)>("sendmmsg");
    for (unsigned int i = 0; i < count; ++i) {
        if (isRefused(datagramsRefused,
                      static_cast<const sockaddr *>(messages[i].msg_hdr.msg_name)))
            return refuse();
    }
    return librarySendmmsg(socket, messages, count, flags);
}
