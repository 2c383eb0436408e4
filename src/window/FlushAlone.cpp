#include "FlushAlone.h"

#include <QCoreApplication>
#include <QWidget>
#include <QWindow>

void flushAlone(QWidget *widget, WindowDrawing drawing)
{
    const bool siblingsStayAlien =
        QCoreApplication::testAttribute(Qt::AA_DontCreateNativeWidgetSiblings);
    QCoreApplication::setAttribute(Qt::AA_DontCreateNativeWidgetSiblings);
    widget->setAttribute(Qt::WA_DontCreateNativeAncestors);
    widget->setAttribute(Qt::WA_NativeWindow);
    QCoreApplication::setAttribute(Qt::AA_DontCreateNativeWidgetSiblings, siblingsStayAlien);
    // Qt 6.4 flushes every window of a top level drawn through OpenGL that
    // way, a painted one too; a raster window then shows nothing. Later Qt
    // flushes a painted one from memory. Made the right kind from the start,
    // the window need not be made again once the engine's view is in it.
    if (drawing == WindowDrawing::ThroughOpenGL || QT_VERSION < QT_VERSION_CHECK(6, 8, 0))
        widget->windowHandle()->setSurfaceType(QSurface::OpenGLSurface);
}
