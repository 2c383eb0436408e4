#pragma once

// Whether c shows nothing, or changes how the text around it reads: control
// and format characters (the bidirectional ones among them, which make
// "x\u202etxt.exe" read as "xexe.txt"), line and paragraph separators, blank
// letters and fillers, variation selectors, tags, and the padlocks a page
// could draw to pass for a secure site. Shown to the user, such a character
// must not stand as itself.
bool misleadsTheReader(char32_t c);
