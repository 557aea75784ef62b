"""Waits for a viewable top-level window on the X display and asks each one to close, as a
window manager does when its close button is pressed (WM_DELETE_WINDOW), until none is left.

The request is repeated every two seconds while a window stays: on a loaded machine Qt's X
event reader can leave a message waiting until some other event arrives (a limitation of Qt,
seen with the landed program as well), and a second click is what the owner would do."""
import sys
import time

from Xlib import X, display, protocol


def viewable(root):
    return [w for w in root.query_tree().children if w.get_attributes().map_state == X.IsViewable]


def main():
    d = display.Display()
    root = d.screen().root
    deadline = time.monotonic() + 30
    while not viewable(root):
        if time.monotonic() > deadline:
            sys.exit("no window appeared")
        time.sleep(0.2)
    time.sleep(1)  # let the program finish showing its window
    protocols = d.intern_atom("WM_PROTOCOLS")
    delete = d.intern_atom("WM_DELETE_WINDOW")
    for _ in range(10):
        windows = viewable(root)
        if not windows:
            return
        for w in windows:
            w.send_event(protocol.event.ClientMessage(
                window=w, client_type=protocols, data=(32, [delete, X.CurrentTime, 0, 0, 0])))
        d.flush()
        time.sleep(2)
    sys.exit("the window never closed")


main()
