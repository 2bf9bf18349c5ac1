#include "windowaccess.h"

#include <QAccessibleWidget>
#include <QLabel>
#include <QPointer>

namespace {

constexpr char kReadAs[] = "veltReadAs";
constexpr char kCaption[] = "veltCaption";

QByteArray readAs(const QObject *object)
{
    return object->property(kReadAs).toByteArray();
}

class Window : public QAccessibleWidget
{
public:
    explicit Window(QWidget *window) : QAccessibleWidget(window, QAccessible::Window) {}

    int childCount() const override { return int(parts().size()); }

    QAccessibleInterface *child(int index) const override
    {
        const QList<QWidget *> shown = parts();
        return index >= 0 && index < shown.size() ? QAccessible::queryAccessibleInterface(shown.at(index))
                                                  : nullptr;
    }

    int indexOfChild(const QAccessibleInterface *child) const override
    {
        if (!child || !child->object() || !child->object()->isWidgetType())
            return -1;
        return int(parts().indexOf(static_cast<QWidget *>(child->object())));
    }

private:
    QList<QWidget *> parts() const
    {
        QList<QWidget *> shown;
        for (QObject *object : widget()->children()) {
            auto *part = qobject_cast<QWidget *>(object);
            if (part && !part->isWindow() && readAs(part) != "out")
                shown << part;
        }
        return shown;
    }
};

class Readout : public QAccessibleWidget
{
public:
    Readout(QLabel *readout, QLabel *caption)
        : QAccessibleWidget(readout, QAccessible::StaticText), m_caption(caption)
    {
    }

    QString text(QAccessible::Text t) const override
    {
        const QString shown = static_cast<QLabel *>(widget())->text();
        if (t == QAccessible::Value)
            return shown;
        if (t != QAccessible::Name)
            return QAccessibleWidget::text(t);
        const QString caption = m_caption ? m_caption->text().trimmed() : QString();
        return caption.isEmpty() ? shown : caption + u' ' + shown;
    }

private:
    QPointer<QLabel> m_caption;
};

class Graphic : public QAccessibleWidget
{
public:
    explicit Graphic(QWidget *widget) : QAccessibleWidget(widget, QAccessible::Graphic) {}
    int childCount() const override { return 0; }
    QAccessibleInterface *child(int) const override { return nullptr; }
};

QAccessibleInterface *interfaceFor(const QString &, QObject *object)
{
    if (!object || !object->isWidgetType())
        return nullptr;
    auto *widget = static_cast<QWidget *>(object);
    const QByteArray kind = readAs(object);
    if (kind == "window")
        return new Window(widget);
    if (kind == "graphic")
        return new Graphic(widget);
    if (kind == "readout")
        return new Readout(static_cast<QLabel *>(widget), qobject_cast<QLabel *>(object->property(kCaption).value<QObject *>()));
    return nullptr;
}

} // namespace

namespace WindowAccess {

void readAsWindow(QWidget *window)
{
    QAccessible::installFactory(interfaceFor); // a second install is ignored
    window->setProperty(kReadAs, QByteArrayLiteral("window"));
}

void readWithCaption(QLabel *readout, QLabel *caption)
{
    readout->setProperty(kReadAs, QByteArrayLiteral("readout"));
    readout->setProperty(kCaption, QVariant::fromValue<QObject *>(caption));
    leaveOut(caption);
}

void readAsGraphic(QWidget *graphic, const QString &name, const QList<QWidget *> &parts)
{
    graphic->setProperty(kReadAs, QByteArrayLiteral("graphic"));
    graphic->setAccessibleName(name);
    for (QWidget *part : parts)
        leaveOut(part);
}

void leaveOut(QWidget *part)
{
    part->setProperty(kReadAs, QByteArrayLiteral("out"));
}

} // namespace WindowAccess
