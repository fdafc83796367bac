'''A desktop portal whose FileChooser answers each request as the test told it.

A python3-dbusmock template: `python3 -m dbusmock --template file_chooser_portal.py
-p '{"version": 3}'`. OpenFile and SaveFile make a request object and emit its
Response as SetAnswer set it: the response code and URIs, that many milliseconds after
they return. LastRequest gives the method, parent window, title and options of the last
request.
'''

import dbus
from gi.repository import GLib

from dbusmock import mockobject

BUS_NAME = 'org.freedesktop.portal.Desktop'
MAIN_OBJ = '/org/freedesktop/portal/desktop'
MAIN_IFACE = 'org.freedesktop.portal.FileChooser'
SYSTEM_BUS = False

CONTROL_IFACE = 'org.zebext.PortalAnswer'
REQUEST_IFACE = 'org.freedesktop.portal.Request'


def load(mock, parameters):
    mock.answer = (0, [], 50)
    mock.last = ('', '', '', dbus.Dictionary({}, signature='sv'))
    mock.AddProperty(MAIN_IFACE, 'version', dbus.UInt32(parameters.get('version', 3)))
    mock.AddMethod(MAIN_IFACE, 'OpenFile', 'ssa{sv}', 'o',
                   lambda self, parent, title, options: request(self, 'OpenFile', parent, title, options))
    mock.AddMethod(MAIN_IFACE, 'SaveFile', 'ssa{sv}', 'o',
                   lambda self, parent, title, options: request(self, 'SaveFile', parent, title, options))
    mock.AddMethod(CONTROL_IFACE, 'SetAnswer', 'uasu', '', set_answer)
    mock.AddMethod(CONTROL_IFACE, 'LastRequest', '', 'sssa{sv}', lambda self: self.last)


def set_answer(mock, response, uris, delay):
    mock.answer = (response, list(uris), delay)


def request(mock, method, parent, title, options):
    mock.last = (method, parent, title, dbus.Dictionary(options, signature='sv'))
    path = '/org/freedesktop/portal/desktop/request/mock/' + str(options.get('handle_token', 'request'))
    if path not in mockobject.objects:
        mock.AddObject(path, REQUEST_IFACE, {}, [('Close', '', '', '')])
    response, uris, delay = mock.answer

    def respond():
        mockobject.objects[path].EmitSignal(REQUEST_IFACE, 'Response', 'ua{sv}', [
            dbus.UInt32(response), dbus.Dictionary({'uris': dbus.Array(uris, signature='s')}, signature='sv')])
        return False

    GLib.timeout_add(delay, respond)
    return dbus.ObjectPath(path)
