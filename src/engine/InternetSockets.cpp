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
