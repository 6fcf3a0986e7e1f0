#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDesktopServices>
#include <QFileInfo>
#include <QTimer>
#include <QUrl>
#include <QWindow>

#include "app/gui/gui_app.h"
#include "platform/application.h"
#include "platform/files.h"

namespace yx::gui {

namespace {

const char* kService = "org.freedesktop.Notifications";

bool notificationServiceAvailable() {
  QDBusConnection bus = QDBusConnection::sessionBus();
  if (!bus.isConnected() || !bus.interface()) return false;
  return bus.interface()->isServiceRegistered(kService).value();
}

const char* kPath = "/org/freedesktop/Notifications";

// Whether the notification server reads markup in bodies (asked once): a
// body from a server ("<", "&" in a course name) is then escaped, so it shows
// as written instead of being read as markup or refused.
bool serverTakesMarkup() {
  static const bool markup = [] {
    QDBusMessage ask = QDBusMessage::createMethodCall(kService, kPath, kService, "GetCapabilities");
    QDBusMessage reply = QDBusConnection::sessionBus().call(ask, QDBus::Block, 2000);
    return reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty() &&
           reply.arguments().first().toStringList().contains(QStringLiteral("body-markup"));
  }();
  return markup;
}

void notifyDesktop(const LocalNotification& n) {
  if (n.alertBody.empty() || !notificationServiceAvailable()) return;
  QString body = QString::fromStdString(n.alertBody);
  if (serverTakesMarkup()) body = body.toHtmlEscaped();
  QDBusMessage m = QDBusMessage::createMethodCall(kService, kPath, kService, "Notify");
  QVariantMap hints;
  if (!n.soundName.empty()) hints["sound-name"] = QString::fromStdString(n.soundName);
  QStringList actions;
  if (!n.alertAction.empty()) actions << "default" << QString::fromStdString(n.alertAction);
  m << QStringLiteral("雲岫學苑") << uint(0) << QStringLiteral("yunxiu") << QStringLiteral("雲岫學苑")
    << body << actions << hints << int(-1);
  QDBusConnection::sessionBus().call(m, QDBus::NoBlock);
}

// A file the app wrote for the desktop: a calendar file in its Documents.
bool isOwnCalendarFile(const QUrl& u) {
  if (!u.isLocalFile()) return false;
  const QFileInfo file(u.toLocalFile());
  const QString documents = QFileInfo(QString::fromStdString(Files::documentsDirectory())).canonicalFilePath();
  return file.suffix() == "ics" && !documents.isEmpty() && file.canonicalPath() == documents;
}

bool openOnDesktop(const std::string& url) {
  QUrl u(QString::fromStdString(url), QUrl::StrictMode);
  const QString scheme = u.scheme().toLower();
  if (!u.isValid()) return false;
  if (scheme == "file") return isOwnCalendarFile(u) && QDesktopServices::openUrl(u);
  if (!(scheme == "http" || scheme == "https" || scheme == "sip" || scheme == "tel")) return false;
  return QDesktopServices::openUrl(u);
}

}  // namespace

void followWindowState(QWindow* window) {
  // While the window is hidden or minimised the app is in the background,
  // and the course-change refresh runs every 15 minutes.
  auto* refresh = new QTimer(window);
  refresh->setInterval(15 * 60 * 1000);
  QObject::connect(refresh, &QTimer::timeout, [] { Application::shared().performBackgroundFetch(); });
  QObject::connect(window, &QWindow::visibilityChanged, refresh, [refresh](QWindow::Visibility v) {
    auto& app = Application::shared();
    if (v == QWindow::Hidden || v == QWindow::Minimized) {
      app.enterBackground();
      if (!refresh->isActive()) refresh->start();
    } else {
      refresh->stop();
      app.enterForeground();
    }
  });
}

void installDesktopIntegration() {
  Application::shared().setNotificationPresenter(notifyDesktop);
  Application::shared().setUrlHandler(openOnDesktop);
}

}  // namespace yx::gui
