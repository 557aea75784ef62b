"""Waits for a viewable top-level window on the X display and asks each one to close, as a
window manager does when its close button is pressed (WM_DELETE_WINDOW)."""
import sys
import time

from Xlib import X, display, protocol


def viewable(root):
    return [w for w in root.query_tree().children if w.get_attributes().map_state == X.IsViewable]


def main():
    d = display.Display()
    root = d.screen().root
    deadline = time.monotonic() + 30
    windows = viewable(root)
    while not windows:
        if time.monotonic() > deadline:
            sys.exit("no window appeared")
        time.sleep(0.2)
        windows = viewable(root)
    time.sleep(1)  # let the program finish showing its window
    protocols = d.intern_atom("WM_PROTOCOLS")
    delete = d.intern_atom("WM_DELETE_WINDOW")
    for w in viewable(root):
        w.send_event(protocol.event.ClientMessage(
            window=w, client_type=protocols, data=(32, [delete, X.CurrentTime, 0, 0, 0])))
    d.flush()


main()
