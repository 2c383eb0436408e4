#pragma once

// Refuse, or let again, the browser process's sockets to internet addresses
// (IPv4 and IPv6; local sockets, the display's and the buses', are never
// refused). Pages' WebRTC goes out from here past the profile's requests: Qt
// WebEngine (6.4 to 6.8 at least) runs Chromium's network in this process and
// gives a program no say over its peer-to-peer sockets, so they are held back
// where they are made. Each takes effect at once, on every thread, for sockets
// already open too.

// Connections (connect): TCP, and UDP sockets connected to one address.
void refuseInternetConnections(bool refuse);

// Datagrams sent with an address each (sendto), as WebRTC sends its UDP.
void refuseInternetDatagrams(bool refuse);
