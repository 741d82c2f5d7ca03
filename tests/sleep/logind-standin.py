#!/usr/bin/python3
"""A stand-in for logind's sleep locks on a private bus: org.freedesktop.login1 with the
Manager's Inhibit call, which hands out one end of a pipe per lock, as logind does, and
org.kestrune.StandIn.Holders, which lists the locks whose end is still open somewhere, as
"what|who|why|mode". Prints "ready" once it owns its name."""
import os
import select
import sys

import dbus
import dbus.service
from dbus.mainloop.glib import DBusGMainLoop
from gi.repository import GLib

locks = []  # (read end, "what|who|why|mode")


class Manager(dbus.service.Object):
    @dbus.service.method("org.freedesktop.login1.Manager", in_signature="ssss", out_signature="h")
    def Inhibit(self, what, who, why, mode):
        read_end, write_end = os.pipe()
        locks.append((read_end, "|".join((what, who, why, mode))))
        handed = dbus.types.UnixFd(write_end)  # a copy of its own goes out with the reply
        os.close(write_end)
        return handed

    @dbus.service.method("org.kestrune.StandIn", in_signature="", out_signature="as")
    def Holders(self):
        open_locks = []
        for read_end, text in list(locks):
            poller = select.poll()
            poller.register(read_end, select.POLLHUP)
            if poller.poll(0):
                os.close(read_end)
                locks.remove((read_end, text))
            else:
                open_locks.append(text)
        return open_locks


DBusGMainLoop(set_as_default=True)
bus = dbus.bus.BusConnection(os.environ["DBUS_SYSTEM_BUS_ADDRESS"])
name = dbus.service.BusName("org.freedesktop.login1", bus)
manager = Manager(bus, "/org/freedesktop/login1")
print("ready", flush=True)
GLib.MainLoop().run()
