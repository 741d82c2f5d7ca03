#!/usr/bin/python3
"""A stand-in notification area on an X display, for tests: it owns the system tray
selection of screen 0, announces itself as a tray manager does, and docks every icon that
asks into a window of its own, side by side, 24 pixels each. Prints "ready" once it owns the
selection and "docked WINDOW" for each icon. Ends with its X connection or on SIGTERM."""
import signal
import sys

from Xlib import X, display
from Xlib.protocol import event

REQUEST_DOCK = 0


def main():
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(0))
    d = display.Display()
    screen = d.screen()
    root = screen.root
    area = root.create_window(0, 0, 240, 24, 0, screen.root_depth,
                              background_pixel=screen.white_pixel,
                              event_mask=X.SubstructureNotifyMask)
    area.map()
    selection = d.intern_atom("_NET_SYSTEM_TRAY_S%d" % d.get_default_screen())
    opcode = d.intern_atom("_NET_SYSTEM_TRAY_OPCODE")
    area.set_selection_owner(selection, X.CurrentTime)
    if d.get_selection_owner(selection) != area:
        sys.exit("another notification area owns the selection")
    # Clients that started first learn of the new manager this way.
    manager = event.ClientMessage(window=root, client_type=d.intern_atom("MANAGER"),
                                  data=(32, [X.CurrentTime, selection, area.id, 0, 0]))
    root.send_event(manager, event_mask=X.StructureNotifyMask)
    d.flush()
    print("ready", flush=True)
    left = 0
    while True:
        e = d.next_event()
        if e.type != X.ClientMessage or e.client_type != opcode:
            continue
        _, data = e.data
        if data[1] != REQUEST_DOCK:
            continue
        icon = d.create_resource_object("window", data[2])
        icon.reparent(area, left, 0)
        icon.configure(width=24, height=24)
        icon.map()
        d.flush()
        left += 24
        print("docked %d" % data[2], flush=True)


if __name__ == "__main__":
    main()
