#pragma once

#include <QString>

// The name to propose for a download, from the one its server or page gave:
// a name, never a path, and one that reads as what it is. Only its last part
// is kept, characters that are invisible or turn the text around (which can
// make "x\u202etxt.exe" read as "xexe.txt") become '_', and leading dots go, so
// that the file is neither hidden nor "..". A name with nothing left is
// "download".
QString downloadName(const QString &given);
