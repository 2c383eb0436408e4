#pragma once

class QWidget;

// Gives widget, which is drawn through OpenGL, a window of its own inside its
// top level. Qt 6.8 then draws the rest of the top level from memory and
// composes only this window through OpenGL, so that a frame of the widget
// does not redraw the menus, the address box and the bar around it. The
// widget's siblings and ancestors stay in the top level's window.
void flushAlone(QWidget *widget);
