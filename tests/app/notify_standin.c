/* A stand-in desktop notification service for tests: owns
 * org.freedesktop.Notifications on the session bus it is given and writes
 * one line per Notify call to the log file: the application name, a tab, the
 * summary, a tab, and the body with newlines written as "\n". Prints "ready"
 * once it owns the name; runs until killed. */
#include <gio/gio.h>
#include <stdio.h>
#include <string.h>

static const char *kIntrospection =
    "<node><interface name='org.freedesktop.Notifications'>"
    "<method name='Notify'><arg type='s' direction='in'/><arg type='u' direction='in'/>"
    "<arg type='s' direction='in'/><arg type='s' direction='in'/><arg type='s' direction='in'/>"
    "<arg type='as' direction='in'/><arg type='a{sv}' direction='in'/><arg type='i' direction='in'/>"
    "<arg type='u' direction='out'/></method>"
    "<method name='GetCapabilities'><arg type='as' direction='out'/></method>"
    "<method name='GetServerInformation'><arg type='s' direction='out'/><arg type='s' direction='out'/>"
    "<arg type='s' direction='out'/><arg type='s' direction='out'/></method>"
    "<method name='CloseNotification'><arg type='u' direction='in'/></method>"
    "</interface></node>";

static const char *logPath;
static guint32 nextId = 1;

static void writeEscaped(FILE *f, const char *s) {
  for (; *s; ++s) {
    if (*s == '\n') fputs("\\n", f);
    else fputc(*s, f);
  }
}

static void onCall(GDBusConnection *c, const gchar *sender, const gchar *path, const gchar *iface,
                   const gchar *method, GVariant *params, GDBusMethodInvocation *inv, gpointer data) {
  (void)c; (void)sender; (void)path; (void)iface; (void)data;
  if (strcmp(method, "Notify") == 0) {
    const gchar *app, *icon, *summary, *body;
    guint32 replaces;
    g_variant_get(params, "(&su&s&s&s@as@a{sv}i)", &app, &replaces, &icon, &summary, &body, NULL, NULL, NULL);
    FILE *f = fopen(logPath, "a");
    if (f) {
      writeEscaped(f, app);
      fputc('\t', f);
      writeEscaped(f, summary);
      fputc('\t', f);
      writeEscaped(f, body);
      fputc('\n', f);
      fclose(f);
    }
    g_dbus_method_invocation_return_value(inv, g_variant_new("(u)", nextId++));
  } else if (strcmp(method, "GetCapabilities") == 0) {
    const gchar *caps[] = {"body", NULL};
    g_dbus_method_invocation_return_value(inv, g_variant_new("(^as)", caps));
  } else if (strcmp(method, "GetServerInformation") == 0) {
    g_dbus_method_invocation_return_value(inv, g_variant_new("(ssss)", "standin", "tests", "1", "1.2"));
  } else {
    g_dbus_method_invocation_return_value(inv, NULL);
  }
}

static void onName(GDBusConnection *c, const gchar *name, gpointer data) {
  (void)c; (void)name; (void)data;
  printf("ready\n");
  fflush(stdout);
}

static void onBus(GDBusConnection *c, const gchar *name, gpointer data) {
  (void)name;
  static const GDBusInterfaceVTable vtable = {onCall, NULL, NULL, {0}};
  GDBusNodeInfo *info = data;
  g_dbus_connection_register_object(c, "/org/freedesktop/Notifications", info->interfaces[0], &vtable, NULL, NULL,
                                    NULL);
}

int main(int argc, char **argv) {
  if (argc < 2) {
    fprintf(stderr, "usage: notify_standin LOGFILE\n");
    return 2;
  }
  logPath = argv[1];
  GDBusNodeInfo *info = g_dbus_node_info_new_for_xml(kIntrospection, NULL);
  g_bus_own_name(G_BUS_TYPE_SESSION, "org.freedesktop.Notifications", G_BUS_NAME_OWNER_FLAGS_NONE, onBus, onName,
                 NULL, info, NULL);
  g_main_loop_run(g_main_loop_new(NULL, FALSE));
  return 0;
}
