#include "FlushAlone.h"

#include <QCoreApplication>
#include <QWidget>
#include <QWindow>

void flushAlone(QWidget *widget)
{
    const bool siblingsStayAlien =
        QCoreApplication::testAttribute(Qt::AA_DontCreateNativeWidgetSiblings);
    QCoreApplication::setAttribute(Qt::AA_DontCreateNativeWidgetSiblings);
    widget->setAttribute(Qt::WA_DontCreateNativeAncestors);
    widget->setAttribute(Qt::WA_NativeWindow);
    QCoreApplication::setAttribute(Qt::AA_DontCreateNativeWidgetSiblings, siblingsStayAlien);
#if QT_VERSION < QT_VERSION_CHECK(6, 8, 0)
    // Qt 6.4 makes the child a raster window, then flushes it through OpenGL
    // as it does the top level, which fails and shows nothing; 6.8 gives it
    // the kind of window its flush needs.
    widget->windowHandle()->setSurfaceType(QSurface::OpenGLSurface);
#endif
}
