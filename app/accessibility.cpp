#include "accessibility.h"

#include "clickarea.h"

#include <QAbstractItemView>
#include <QAccessibleWidget>
#include <QComboBox>
#include <QLineEdit>
#include <QShortcut>

#include <algorithm>
#include <utility>

namespace {

// An area of the band that carries a command's name. Its press is a click, so it runs
// the very handler that a click on the area runs.
class BandButton : public QAccessibleWidget
{
public:
    explicit BandButton(ClickArea *area) : QAccessibleWidget(area, QAccessible::PushButton) {}

    QStringList actionNames() const override { return {pressAction()}; }

    void doAction(const QString &action) override
    {
        if (action == pressAction())
            static_cast<ClickArea *>(widget())->click();
    }

    // The keys that click the area are shortcuts it owns.
    QStringList keyBindingsForAction(const QString &action) const override
    {
        QStringList keys;
        if (action != pressAction())
            return keys;
        for (const QShortcut *shortcut : widget()->findChildren<QShortcut *>(Qt::FindDirectChildrenOnly)) {
            for (const QKeySequence &key : shortcut->keys())
                keys << key.toString(QKeySequence::NativeText);
        }
        return keys;
    }
};

// The main window, read row by row and left to right. Of the band's areas only those
// named for a command are shown: the band picture and the areas that either lie under
// another area of the same command or repeat one, such as the label under Back's
// picture, would only read out the same command twice or an empty one.
class MainWindow : public QAccessibleWidget
{
public:
    explicit MainWindow(QWidget *window) : QAccessibleWidget(window, QAccessible::Window) {}

    int childCount() const override { return int(shownChildren().size()); }

    QAccessibleInterface *child(int index) const override
    {
        const QList<QWidget *> shown = shownChildren();
        if (index < 0 || index >= shown.size())
            return nullptr;
        return QAccessible::queryAccessibleInterface(shown.at(index));
    }

    int indexOfChild(const QAccessibleInterface *child) const override
    {
        if (!child || !child->object() || !child->object()->isWidgetType())
            return -1;
        return int(shownChildren().indexOf(static_cast<QWidget *>(child->object())));
    }

    // What the mouse would reach there, the front one of overlapping controls.
    QAccessibleInterface *childAt(int x, int y) const override
    {
        QWidget *hit = widget()->childAt(widget()->mapFromGlobal(QPoint(x, y)));
        while (hit && hit->parentWidget() != widget())
            hit = hit->parentWidget();
        if (!hit || !shownChildren().contains(hit))
            return nullptr;
        return QAccessible::queryAccessibleInterface(hit);
    }

private:
    QList<QWidget *> shownChildren() const
    {
        QList<QWidget *> shown;
        for (QObject *object : widget()->children()) {
            auto *child = qobject_cast<QWidget *>(object);
            if (!child || child->isWindow())
                continue;
            if (qobject_cast<ClickArea *>(child) && child->accessibleName().isEmpty())
                continue;
            shown << child;
        }
        std::stable_sort(shown.begin(), shown.end(), [](const QWidget *a, const QWidget *b) {
            return std::pair(a->y(), a->x()) < std::pair(b->y(), b->x());
        });
        return shown;
    }
};

// A combo box named by its accessible name, its text being its value. Qt on Linux
// names a combo box by its text and expects a label beside it to name it; the
// address box has no label and would be read out as whatever address it holds.
// Chosen when the box is first asked for, so its name must be set before.
class NamedComboBox : public QAccessibleWidget
{
public:
    explicit NamedComboBox(QComboBox *box) : QAccessibleWidget(box, QAccessible::ComboBox) {}

    QString text(QAccessible::Text t) const override
    {
        return t == QAccessible::Value ? box()->currentText() : QAccessibleWidget::text(t);
    }

    // The drop-down list, then the text line, as Qt's own combo box has them.
    int childCount() const override { return box()->isEditable() ? 2 : 1; }

    QAccessibleInterface *child(int index) const override
    {
        QObject *part = nullptr;
        if (index == 0)
            part = box()->view();
        else if (index == 1 && box()->isEditable())
            part = box()->lineEdit();
        return part ? QAccessible::queryAccessibleInterface(part) : nullptr;
    }

    int indexOfChild(const QAccessibleInterface *child) const override
    {
        if (!child)
            return -1;
        if (child->object() == box()->view())
            return 0;
        return child->object() && child->object() == box()->lineEdit() ? 1 : -1;
    }

    QAccessibleInterface *childAt(int x, int y) const override
    {
        QAccessibleInterface *line = child(1);
        return line && line->rect().contains(x, y) ? line : nullptr;
    }

    // The box keeps the focus and hands the keys to its text line.
    QAccessibleInterface *focusChild() const override { return child(1); }

    QStringList actionNames() const override
    {
        return QAccessibleWidget::actionNames() << showMenuAction() << pressAction();
    }

    void doAction(const QString &action) override
    {
        if (action != showMenuAction() && action != pressAction()) {
            QAccessibleWidget::doAction(action);
            return;
        }
        if (box()->view()->isVisible())
            box()->hidePopup();
        else
            box()->showPopup();
    }

private:
    QComboBox *box() const { return static_cast<QComboBox *>(widget()); }
};

QAccessibleInterface *accessibleInterface(const QString &className, QObject *object)
{
    if (className == u"ClickArea") {
        auto *area = static_cast<ClickArea *>(object);
        return area->accessibleName().isEmpty() ? nullptr : new BandButton(area);
    }
    if (className == u"Form1")
        return new MainWindow(static_cast<QWidget *>(object));
    if (className == u"StatusBar")
        return new QAccessibleWidget(static_cast<QWidget *>(object), QAccessible::StatusBar);
    if (className == u"QComboBox") {
        auto *box = static_cast<QComboBox *>(object);
        if (!box->accessibleName().isEmpty())
            return new NamedComboBox(box);
    }
    return nullptr;
}

} // namespace

void installAccessibleInterfaces()
{
    QAccessible::installFactory(accessibleInterface); // a second install is ignored
}
