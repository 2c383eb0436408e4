#pragma once

// Refuses, or lets again, every socket of the browser process that would reach
// an internet address: TCP and UDP connections, and datagrams sent to an
// address, over IPv4 and IPv6 (local sockets, the display's and the buses',
// are never refused). Pages' WebRTC goes out from here past the profile's
// requests: Qt WebEngine (6.4 to 6.8 at least) runs Chromium's network in this
// process and gives a program no say over its peer-to-peer sockets, so it is
// held back here, where they are made. Takes effect at once, for sockets
// already open too, on every thread.
void refuseInternetSockets(bool refuse);
