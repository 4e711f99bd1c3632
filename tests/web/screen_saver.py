#!/usr/bin/python3
"""A stand-in screen saver on the session bus the caller set (DBUS_SESSION_BUS_ADDRESS): answers
org.freedesktop.ScreenSaver and org.freedesktop.PowerManagement.Inhibit as a desktop does, and
writes each Inhibit, UnInhibit and inhibitor gone from the bus as a JSON line on standard output.
"ready" comes once both names are owned. An inhibition ends with UnInhibit or with its holder."""
import json
import sys

import dbus
import dbus.mainloop.glib
import dbus.service
from gi.repository import GLib

SCREEN_SAVER = 'org.freedesktop.ScreenSaver'
POWER = 'org.freedesktop.PowerManagement.Inhibit'


def say(**event):
    print(json.dumps(event), flush=True)


class Inhibitions:
    def __init__(self, bus):
        self.bus = bus
        self.next_cookie = 1
        self.held = {}  # cookie: (interface, sender)
        self.watched = set()

    def inhibit(self, interface, application, reason, sender):
        cookie = self.next_cookie
        self.next_cookie += 1
        self.held[cookie] = (interface, sender)
        if sender not in self.watched:
            self.watched.add(sender)
            self.bus.watch_name_owner(sender, lambda owner, name=sender: owner or self.gone(name))
        say(event='Inhibit', interface=interface, application=application, reason=reason,
            cookie=cookie, sender=sender)
        return dbus.UInt32(cookie)

    def uninhibit(self, interface, cookie, sender):
        known = self.held.pop(int(cookie), None) is not None
        say(event='UnInhibit', interface=interface, cookie=int(cookie), sender=sender, known=known)

    def gone(self, sender):
        cookies = [c for c, (_, s) in self.held.items() if s == sender]
        for cookie in cookies:
            del self.held[cookie]
        say(event='gone', sender=sender, cookies=cookies)


class ScreenSaver(dbus.service.Object):
    def __init__(self, bus, inhibitions):
        super().__init__(bus, '/org/freedesktop/ScreenSaver')
        self.inhibitions = inhibitions

    @dbus.service.method(SCREEN_SAVER, in_signature='ss', out_signature='u', sender_keyword='sender')
    def Inhibit(self, application, reason, sender=None):
        return self.inhibitions.inhibit(SCREEN_SAVER, str(application), str(reason), str(sender))

    @dbus.service.method(SCREEN_SAVER, in_signature='u', sender_keyword='sender')
    def UnInhibit(self, cookie, sender=None):
        self.inhibitions.uninhibit(SCREEN_SAVER, cookie, str(sender))

    @dbus.service.method(SCREEN_SAVER, out_signature='b')
    def GetActive(self):
        return False


class PowerManagement(dbus.service.Object):
    def __init__(self, bus, inhibitions):
        super().__init__(bus, '/org/freedesktop/PowerManagement/Inhibit')
        self.inhibitions = inhibitions

    @dbus.service.method(POWER, in_signature='ss', out_signature='u', sender_keyword='sender')
    def Inhibit(self, application, reason, sender=None):
        return self.inhibitions.inhibit(POWER, str(application), str(reason), str(sender))

    @dbus.service.method(POWER, in_signature='u', sender_keyword='sender')
    def UnInhibit(self, cookie, sender=None):
        self.inhibitions.uninhibit(POWER, cookie, str(sender))

    @dbus.service.method(POWER, out_signature='b')
    def HasInhibit(self):
        return bool(self.inhibitions.held)


def main():
    dbus.mainloop.glib.DBusGMainLoop(set_as_default=True)
    bus = dbus.SessionBus()
    inhibitions = Inhibitions(bus)
    names = [dbus.service.BusName(name, bus, do_not_queue=True)
             for name in (SCREEN_SAVER, 'org.freedesktop.PowerManagement')]
    services = [ScreenSaver(bus, inhibitions), PowerManagement(bus, inhibitions)]
    say(event='ready', names=[name.get_name() for name in names], objects=len(services))
    GLib.MainLoop().run()


if __name__ == '__main__':
    try:
        main()
    except dbus.exceptions.DBusException as error:
        print(f'screen_saver.py: cannot serve on the session bus: {error}', file=sys.stderr)
        sys.exit(1)
