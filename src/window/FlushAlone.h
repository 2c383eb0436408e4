#pragma once

class QWidget;

// Gives widget a window of its own inside its top level, so that its repaints
// are flushed onto the screen alone. While the page's view is in the top
// level, Qt composes it through OpenGL, and a flush of the top level redraws
// all of it: the page with every change of the status bar, the menus and the
// address box with every frame of the page. The widget's siblings and
// ancestors stay in the top level's window.
void flushAlone(QWidget *widget);
