#pragma once

// Prepares the process for Qt WebEngine; call before the QApplication exists.
// Chromium cannot sandbox its renderers for root, so only then is the sandbox
// switched off, with one line on stderr saying so.
void prepareEngineProcess();
