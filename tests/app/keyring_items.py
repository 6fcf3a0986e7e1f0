#!/usr/bin/python3
# Lists the app's items in the session's Secret Service, read over D-Bus
# with python3-dbus (not through the app's own code): one line per item,
# "<key> | <profile> | <label> | <secret>", sorted; "locked <n>" when items
# are locked. With the argument "lock" it locks every collection instead.
import sys

import dbus

bus = dbus.SessionBus()
service = bus.get_object("org.freedesktop.secrets", "/org/freedesktop/secrets")
api = dbus.Interface(service, "org.freedesktop.Secret.Service")
if sys.argv[1:] == ["lock"]:
    props = dbus.Interface(service, "org.freedesktop.DBus.Properties")
    api.Lock(props.Get("org.freedesktop.Secret.Service", "Collections"))
    sys.exit(0)
_, session = api.OpenSession("plain", dbus.String("", variant_level=1))
unlocked, locked = api.SearchItems({"xdg:schema": "tw.edu.yunxiu.Password"})
lines = []
if unlocked:
    secrets = api.GetSecrets(unlocked, session)
    for path in unlocked:
        props = dbus.Interface(bus.get_object("org.freedesktop.secrets", path), "org.freedesktop.DBus.Properties")
        attrs = props.Get("org.freedesktop.Secret.Item", "Attributes")
        label = props.Get("org.freedesktop.Secret.Item", "Label")
        value = bytes(secrets[path][2]).decode("utf-8")
        lines.append(" | ".join([str(attrs.get("key", "")), str(attrs.get("profile", "")), str(label), value]))
for line in sorted(lines):
    print(line)
if locked:
    print("locked", len(locked))
sys.stdout.flush()
