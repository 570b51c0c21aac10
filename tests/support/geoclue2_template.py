"""A stand-in GeoClue2 for python3-dbusmock (which has no template for it): the
Manager, one client per caller and Location objects, as the real service shows
them on the system bus. This machine has no location hardware, so the test says
where the device is, through SetLocation on org.freedesktop.DBus.Mock.

Parameters: "refuse", a text: Start fails with AccessDenied and that message,
as GeoClue does when no agent or its configuration allows the application."""
import dbus

from dbusmock import MOCK_IFACE, mockobject

BUS_NAME = "org.freedesktop.GeoClue2"
MAIN_OBJ = "/org/freedesktop/GeoClue2/Manager"
MAIN_IFACE = "org.freedesktop.GeoClue2.Manager"
SYSTEM_BUS = True

CLIENT_IFACE = "org.freedesktop.GeoClue2.Client"
LOCATION_IFACE = "org.freedesktop.GeoClue2.Location"
CLIENT_PATH = "/org/freedesktop/GeoClue2/Client/1"
UNKNOWN_ALTITUDE = -1.7976931348623157e308


def load(mock, parameters):
    mock.geoclue_refusal = parameters.get("refuse", "")
    mock.geoclue_made = 0
    mock.geoclue_latest = None  # the newest Location object's path
    mock.AddMethod(MAIN_IFACE, "GetClient", "", "o", get_client)
    mock.AddMethod(MAIN_IFACE, "CreateClient", "", "o", get_client)
    mock.AddProperties(MAIN_IFACE, dbus.Dictionary({
        "InUse": False, "AvailableAccuracyLevel": dbus.UInt32(8)}, signature="sv"))


def manager():
    return mockobject.objects[MAIN_OBJ]


def get_client(self):
    if CLIENT_PATH not in mockobject.objects:
        self.AddObject(CLIENT_PATH, CLIENT_IFACE, {
            "Location": dbus.ObjectPath("/"),
            "DistanceThreshold": dbus.UInt32(0),
            "TimeThreshold": dbus.UInt32(0),
            "DesktopId": "",
            "RequestedAccuracyLevel": dbus.UInt32(0),
            "Active": False,
        }, [])
        client = mockobject.objects[CLIENT_PATH]
        client.AddMethod(CLIENT_IFACE, "Start", "", "", start)
        client.AddMethod(CLIENT_IFACE, "Stop", "", "", stop)
    return dbus.ObjectPath(CLIENT_PATH)


def start(self):
    if manager().geoclue_refusal:
        raise dbus.exceptions.DBusException(manager().geoclue_refusal,
                                            name="org.freedesktop.DBus.Error.AccessDenied")
    self.Set(CLIENT_IFACE, "Active", True)
    # A service that knows where it is tells a client that starts at once.
    if manager().geoclue_latest:
        publish(self, manager().geoclue_latest)


def stop(self):
    self.Set(CLIENT_IFACE, "Active", False)


def publish(client, path):
    old = client.Get(CLIENT_IFACE, "Location")
    client.Set(CLIENT_IFACE, "Location", dbus.ObjectPath(path))
    client.EmitSignal(CLIENT_IFACE, "LocationUpdated", "oo",
                      [dbus.ObjectPath(old), dbus.ObjectPath(path)])


@dbus.service.method(MOCK_IFACE, in_signature="ddddt", out_signature="s")
def SetLocation(self, latitude, longitude, accuracy, altitude, seconds):
    """The device is now there: a new Location object (altitude NaN for unknown),
    handed to the client when it has started."""
    self.geoclue_made += 1
    path = f"/org/freedesktop/GeoClue2/Location/{self.geoclue_made}"
    self.AddObject(path, LOCATION_IFACE, {
        "Latitude": dbus.Double(latitude),
        "Longitude": dbus.Double(longitude),
        "Accuracy": dbus.Double(accuracy),
        "Altitude": dbus.Double(UNKNOWN_ALTITUDE if altitude != altitude else altitude),
        "Speed": dbus.Double(-1.0),
        "Heading": dbus.Double(-1.0),
        "Description": "",
        "Timestamp": dbus.Struct((dbus.UInt64(seconds), dbus.UInt64(0)), signature="tt"),
    }, [])
    self.geoclue_latest = path
    client = mockobject.objects.get(CLIENT_PATH)
    if client and client.Get(CLIENT_IFACE, "Active"):
        publish(client, path)
    return path
