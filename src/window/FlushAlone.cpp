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
    // Made for OpenGL from the start, the window need not be made again once
    // the engine's view is in it; made again, it showed nothing.
    if (drawing == WindowDrawing::ThroughOpenGL)
        widget->windowHandle()->setSurfaceType(QSurface::OpenGLSurface);
}
