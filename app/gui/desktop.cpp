#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDesktopServices>
#include <QTimer>
#include <QUrl>
#include <QWindow>

#include "app/gui/gui_app.h"
#include "platform/application.h"

namespace yx::gui {

namespace {

const char* kService = "org.freedesktop.Notifications";

bool notificationServiceAvailable() {
  QDBusConnection bus = QDBusConnection::sessionBus();
  if (!bus.isConnected() || !bus.interface()) return false;
  return bus.interface()->isServiceRegistered(kService).value();
}

void notifyDesktop(const LocalNotification& n) {
  if (n.alertBody.empty() || !notificationServiceAvailable()) return;
  QDBusMessage m = QDBusMessage::createMethodCall(kService, "/org/freedesktop/Notifications", kService, "Notify");
  QVariantMap hints;
  if (!n.soundName.empty()) hints["sound-name"] = QString::fromStdString(n.soundName);
  QStringList actions;
  if (!n.alertAction.empty()) actions << "default" << QString::fromStdString(n.alertAction);
  m << QStringLiteral("雲岫學苑") << uint(0) << QStringLiteral("yunxiu") << QStringLiteral("雲岫學苑")
    << QString::fromStdString(n.alertBody) << actions << hints << int(-1);
  QDBusConnection::sessionBus().call(m, QDBus::NoBlock);
}

bool openOnDesktop(const std::string& url) {
  QUrl u(QString::fromStdString(url), QUrl::StrictMode);
  const QString scheme = u.scheme().toLower();
  if (!u.isValid() || !(scheme == "http" || scheme == "https" || scheme == "sip" || scheme == "tel")) return false;
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
