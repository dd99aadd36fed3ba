// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pelorin Greetings

#pragma once
// What assistive technology (a screen reader, through AT-SPI) is told about
// widgets whose kind Qt cannot guess.
//
// Qt reports every plain widget as a "filler", the program's windows (plain
// widgets shown as top-level windows) and picture boxes included. A widget
// given a role here reports that role instead; a window given the role
// Window is a frame whose name is its caption, as in other desktop programs.
// A widget given no role at all (NoRole) is left out of its parent's
// children, together with everything it holds; the parent must have a role
// from here too, since only these interfaces leave children out.

#include <QAccessible>

class QWidget;

// Once, after the application object exists.
void InstallAccessibleInterfaces();

// The role `widget` reports from now on; NoRole leaves it out of the tree.
void SetAccessibleRole(QWidget* widget, QAccessible::Role role);
