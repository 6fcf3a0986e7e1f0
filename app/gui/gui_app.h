#pragma once
// The window front-end around the text driver: loads the QML, keeps the
// window in step with the core, plays driver scripts and saves screenshots.

#include <QImage>
#include <QObject>
#include <QQmlApplicationEngine>
#include <QQuickWindow>
#include <QStringList>

#include <functional>
#include <memory>

#include "app/gui/bridge.h"
#include "app/gui/view_items.h"

namespace yx {
class Driver;
}

namespace yx::gui {

struct GuiOptions {
  int width = 390, height = 844;
  bool webEngine = false;       // QtWebEngine was initialised before the application
  QString screenshotsDir;       // a PNG of the window after each script command
};

// Makes the proportional Noto Sans CJK TC the font of every text.
void useAppFont();

class GuiApp : public QObject {
  Q_OBJECT
public:
  GuiApp(Driver& driver, GuiOptions options, QObject* parent = nullptr);
  ~GuiApp() override;

  // Installs the web backend; call before Driver::start.
  static void installWebBackend(bool webEngine);

  // Starts loading the window's QML on Qt's loader thread, so the rest of
  // start-up (the core, the fonts) goes on meanwhile. load() starts it when
  // it was not started.
  void startLoading();
  // Creates the window; returns the error text on failure. `onWindow`
  // (optional) is called as soon as it exists, before anything is drawn.
  QString load(std::function<void(QQuickWindow*)> onWindow = {});
  QQuickWindow* window() const { return window_; }
  CoreBridge* bridge() { return bridge_; }
  QQmlApplicationEngine& engine() { return engine_; }

  // Runs one driver command, then brings the window up to date.
  QString execute(const QString& line);
  // Brings the window up to date with the core (rows, alert, layout).
  void settle();
  QImage grab();
  bool saveScreenshot(const QString& path);
  // Plays commands one after another (the window paints between them);
  // `done` gets the number of commands that failed.
  void playScript(QStringList lines, std::function<void(int)> done);

  // Texts a person sees in the window, in item order.
  QStringList visibleTexts() const;

private:
  Driver& driver_;
  GuiOptions opts_;
  QQmlApplicationEngine engine_;
  std::unique_ptr<QObject> root_;  // the window
  CoreBridge* bridge_;
  QQuickWindow* window_ = nullptr;
  QQmlComponent* main_ = nullptr;  // the window's QML, while it loads
  ViewItems* items_ = nullptr;
  QStringList loadWarnings_;
  QMetaObject::Connection collecting_;
};

}  // namespace yx::gui

namespace yx::gui {

// Hands local notifications to the desktop's notification service (when the
// session bus has one) and sip:, tel: and web URLs to the desktop's handlers.
void installDesktopIntegration();
// Window hidden or minimised: the app enters the background (and refreshes
// course changes every 15 minutes); shown again: the foreground.
void followWindowState(QWindow* window);

}  // namespace yx::gui
