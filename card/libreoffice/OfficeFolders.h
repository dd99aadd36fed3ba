// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pelorin Greetings

#pragma once
// Where the office instances of this user keep what lives outside their
// profile: their private folders and their pipe sockets. The office picks
// the folder of its sockets by its runtime's own rule (/tmp when it may
// write there, else /var/tmp, else the folder its OSL_SOCKET_PATH names);
// whatever looks for, removes or sweeps them follows the same rule, so a
// read-only /tmp moves them all alike.

#include <QString>
#include <QStringList>

// The folder the office makes its pipe sockets in, as it will choose now.
QString OfficeSocketFolder();
// True when `folder` is none the office chooses by itself: it must be told
// (OSL_SOCKET_PATH), and so must this process's side of the connection.
bool OfficeMustBeToldOf(const QString& folder);
// The folder the instances' private folders are made in: the folder for
// temporary files when it takes files, else /var/tmp, else one of the user's own.
QString OfficeFolderBase();

// Every folder where an office of this user may have left sockets, and
// private folders, under any of the rules' outcomes; for the sweep.
QStringList OfficeSocketFolders();
QStringList OfficeFolderBases();
