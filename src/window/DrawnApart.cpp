#include "DrawnApart.h"

#include "FlushAlone.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QGuiApplication>
#include <QWindow>

namespace {

const char *const HolderProperty = "drawnApartIn";

// The holder, as an assistive technology sees it: its content is its child,
// the container Qt puts the content's window in is not there.
class HolderAccessible : public QAccessibleWidget {
public:
    explicit HolderAccessible(DrawnApart *holder)
        : QAccessibleWidget(holder)
    {}

    int childCount() const override { return content() ? 1 : 0; }
    QAccessibleInterface *child(int index) const override
    {
        return index == 0 ? content() : nullptr;
    }
    int indexOfChild(const QAccessibleInterface *child) const override
    {
        return child && child == content() ? 0 : -1;
    }

private:
    QAccessibleInterface *content() const
    {
        QWidget *drawn = static_cast<DrawnApart *>(widget())->content();
        return drawn ? QAccessible::queryAccessibleInterface(drawn) : nullptr;
    }
};

// The content, whose window has no parent widget: its parent is its holder.
class ContentAccessible : public QAccessibleWidget {
public:
    ContentAccessible(QWidget *content, DrawnApart *holder)
        : QAccessibleWidget(content)
        , m_holder(holder)
    {}

    QAccessibleInterface *parent() const override
    {
        return QAccessible::queryAccessibleInterface(m_holder);
    }

private:
    DrawnApart *m_holder;
};

QAccessibleInterface *accessibleOf(const QString &, QObject *object)
{
    if (auto *holder = qobject_cast<DrawnApart *>(object))
        return new HolderAccessible(holder);
    if (auto *holder = qvariant_cast<DrawnApart *>(object->property(HolderProperty)))
        return new ContentAccessible(static_cast<QWidget *>(object), holder);
    return nullptr;
}

#if QT_VERSION < QT_VERSION_CHECK(6, 8, 0)
// Only some platforms put a window inside another; the others (offscreen,
// framebuffers) would show it as a window of its own.
bool windowsNest()
{
    const QString platform = QGuiApplication::platformName();
    return platform == QLatin1String("xcb") || platform.startsWith(QLatin1String("wayland"));
}
#endif

} // namespace

DrawnApart::DrawnApart(QWidget *content, QWidget *parent)
    : QWidget(parent)
    , m_content(content)
{
    static const bool factoryInstalled = [] {
        QAccessible::installFactory(accessibleOf);
        return true;
    }();
    Q_UNUSED(factoryInstalled);

    m_shown = content;
#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
    // Qt 6.8 flushes a painted child window from memory, alone. Opaque, or Qt
    // repaints what shows through from the top level down and flushes that too.
    content->setParent(this);
    content->setAutoFillBackground(true);
    flushAlone(content, WindowDrawing::Painted);
#else
    if (!windowsNest()) {
        content->setParent(this);
        return;
    }
    content->setProperty(HolderProperty, QVariant::fromValue(this));
    // Its window lies inside another one: a click on it must leave the focus
    // where it is, and hiding it must not count as closing a window.
    content->setWindowFlag(Qt::WindowDoesNotAcceptFocus);
    content->setAttribute(Qt::WA_QuitOnClose, false);
    content->winId();
    m_shown = QWidget::createWindowContainer(content->windowHandle(), this);
    m_shown->setFocusPolicy(Qt::NoFocus);
#endif
}

DrawnApart::~DrawnApart() = default;

QSize DrawnApart::sizeHint() const
{
    return m_content->sizeHint();
}

QSize DrawnApart::minimumSizeHint() const
{
    return m_content->minimumSizeHint();
}

void DrawnApart::resizeEvent(QResizeEvent *)
{
    m_shown->setGeometry(rect());
}
