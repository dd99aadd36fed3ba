// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pelorin Greetings

#include "Accessibility.h"

#include <QAccessibleWidget>
#include <QHash>
#include <QWidget>

namespace {
// The roles set so far. A widget leaves when its destruction is signalled,
// so no interface of ours is made for a widget on its way out; Qt's own
// factory guards that case.
QHash<const QObject*, QAccessible::Role>& Roles()
{
    static QHash<const QObject*, QAccessible::Role> roles;
    return roles;
}

class RoleInterface : public QAccessibleWidget {
public:
    explicit RoleInterface(QWidget* widget) : QAccessibleWidget(widget) {}

    // Read on every call: a role may be set after the interface was made.
    QAccessible::Role role() const override { return Roles().value(object(), QAccessible::Client); }

    int childCount() const override { return int(shownChildren().size()); }

    QAccessibleInterface* child(int index) const override
    {
        const QWidgetList children = shownChildren();
        return index >= 0 && index < children.size() ? QAccessible::queryAccessibleInterface(children[index]) : nullptr;
    }

    int indexOfChild(const QAccessibleInterface* child) const override
    {
        return int(shownChildren().indexOf(qobject_cast<QWidget*>(child->object())));
    }

private:
    // As Qt lists a widget's children (windows are children of the
    // application, not of their parent), less those left out.
    QWidgetList shownChildren() const
    {
        QWidgetList children;
        for (QObject* object : widget()->children()) {
            auto* child = qobject_cast<QWidget*>(object);
            if (child && !child->isWindow() && Roles().value(child, QAccessible::Client) != QAccessible::NoRole)
                children << child;
        }
        return children;
    }
};

QAccessibleInterface* InterfaceWithRole(const QString&, QObject* object)
{
    auto* widget = qobject_cast<QWidget*>(object);
    return widget && Roles().contains(widget) ? new RoleInterface(widget) : nullptr;
}
} // namespace

void InstallAccessibleInterfaces()
{
    QAccessible::installFactory(&InterfaceWithRole);
}

void SetAccessibleRole(QWidget* widget, QAccessible::Role role)
{
    if (!Roles().contains(widget))
        QObject::connect(widget, &QObject::destroyed, [](QObject* gone) { Roles().remove(gone); });
    Roles().insert(widget, role);
    // An interface Qt made for the widget before (an event sent while it was
    // being built asks for one) would otherwise stay in use.
    QAccessibleInterface* made = QAccessible::queryAccessibleInterface(widget);
    if (made && !dynamic_cast<RoleInterface*>(made))
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(made));
}
