#pragma once

#include <QByteArray>

// Prepares the process for Qt WebEngine; call before the QApplication exists.
// Chromium cannot sandbox its renderers for root, so only then is the sandbox
// switched off, with one line on stderr saying so. No remote debugging port or
// pipe is ever opened, whatever the environment or the command line asks: it
// would hand every page, cookie and sign-in to whoever connects. WebTransport
// is switched off: nothing could hold it back offline or from local pages.
// Pages are readable by screen readers on every release, unless the user's
// QTWEBENGINE_ENABLE_LINUX_ACCESSIBILITY says 0.
void prepareEngineProcess();

// The Chromium flags the engine runs with, in the form of its variable
// QTWEBENGINE_CHROMIUM_FLAGS, from the user's: all of them but those that open
// remote debugging, and before Qt 6.6 one that switches WebTransport off.
QByteArray engineFlags(const QByteArray &flags);

// Asks the engine to tell pages that the user prefers a dark look
// (prefers-color-scheme: dark); call after prepareEngineProcess() and before
// the engine starts.
void preferDarkPages();
