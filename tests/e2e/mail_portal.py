#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 Pelorin Greetings

"""A desktop e-mail portal of the walk's own, on the walk's private session
bus: it owns org.freedesktop.portal.Desktop, and each ComposeEmail call is
recorded as a JSON line in RECORD (the options, with every attachment
descriptor read back into a file beside it), then answered with a request
handle, as the desktop's portal would.

usage: mail_portal.py RECORD    runs until it is ended; prints "ready" once
                                it owns the name
"""
import json
import os
import sys

from gi.repository import Gio, GLib

INTERFACE = """
<node>
  <interface name="org.freedesktop.portal.Email">
    <method name="ComposeEmail">
      <arg type="s" name="parent_window" direction="in"/>
      <arg type="a{sv}" name="options" direction="in"/>
      <arg type="o" name="handle" direction="out"/>
    </method>
    <property name="version" type="u" access="read"/>
  </interface>
</node>
"""

record = sys.argv[1]
calls = 0


def on_call(connection, sender, path, interface, method, parameters, invocation):
    global calls
    calls += 1
    parent, options = parameters.unpack()
    fds = invocation.get_message().get_unix_fd_list()
    attachments = []
    for index in options.get("attachment_fds", []):
        fd = fds.get(index)
        # Read where the descriptor stands, as a mail program would.
        name = os.readlink(f"/proc/self/fd/{fd}")
        copy = f"{record}.{calls}.{len(attachments)}"
        with os.fdopen(fd, "rb") as attached, open(copy, "wb") as kept:
            kept.write(attached.read())
        attachments.append({"path": name, "copy": copy})
    entry = {k: v for k, v in options.items() if k != "attachment_fds"}
    entry.update(parent_window=parent, attachments=attachments)
    with open(record, "a") as out:
        out.write(json.dumps(entry) + "\n")
    invocation.return_value(GLib.Variant("(o)", (f"/org/freedesktop/portal/desktop/request/walk/{calls}",)))


def on_property(connection, sender, path, interface, name):
    return GLib.Variant("u", 4)


def on_bus(connection, name):
    node = Gio.DBusNodeInfo.new_for_xml(INTERFACE)
    connection.register_object("/org/freedesktop/portal/desktop", node.interfaces[0], on_call, on_property, None)


def on_name(connection, name):
    print("ready", flush=True)


Gio.bus_own_name(Gio.BusType.SESSION, "org.freedesktop.portal.Desktop", Gio.BusNameOwnerFlags.NONE,
                 on_bus, on_name, lambda *_: sys.exit(1))
GLib.MainLoop().run()
