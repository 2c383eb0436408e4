#pragma once

#include <QString>

class QUrl;

// url as text for the user to read where they are: a host name in Unicode
// only when it is safe to read, by the rules of Chromium's own address bar
// (Unicode's checks for identifiers: one script to a label, or Latin with
// Chinese, Japanese or Korean; characters recommended for identifiers only;
// no invisible marks, digits of two systems or characters that IDNA versions
// read differently; no label of Cyrillic letters that all look Latin under a
// Latin top-level domain). Otherwise its punycode form. No user name or
// password. The rest is as QUrl::toString() gives it, but for invisible and
// text-turning characters, which stay percent-encoded.
QString addressForDisplay(const QUrl &url);
