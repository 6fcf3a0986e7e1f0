// yunxiu: the window front-end. Draws the core's top screen, takes touches
// (mouse and keyboard), and takes the text driver's options and commands:
// --script FILE plays a driver script in the window, --screenshots DIR saves
// a PNG of the window after each command.

#include <unistd.h>

#include <QFile>
#include <QGuiApplication>
#include <QIcon>
#include <QQuickWindow>
#include <QTextStream>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <iostream>


#include "app/cli/driver.h"
#include "app/cli/features.h"
#include "app/gui/gui_app.h"
#include "app/installed_layout.h"
#include "core/launch.h"
#include "platform/resources.h"

namespace {

const char* kUsage =
    "usage: yunxiu [options]\n"
    "         --screenshots DIR   save a PNG of the window after each --script command\n"
    "         --size WxH          window size in pixels (default 390x844, at least 320x480)\n"
    "         --no-web-engine     show web pages' addresses instead of the pages\n"
    "         --exit-after-first-frame  print \"first-frame\" and quit once the window is drawn\n";

}  // namespace

int main(int argc, char** argv) {
  if (std::string share = yx::useInstalledSimData(); !share.empty()) {
    yx::setBundledResourceDirectory(share + "/resources");
    setenv("YX_IMAGE_DIR", (share + "/images").c_str(), 0);
  }
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    if (a == "--help" || a == "-h") {
      std::cout << kUsage << yx::driverUsage();
      return 0;
    }
  }
  yx::DriverOptions opts;
  if (auto err = yx::parseDriverOptions(argc, argv, opts, true)) {
    std::cerr << "yunxiu: " << *err << "\n";
    return 2;
  }
  yx::gui::GuiOptions gui;
  bool firstFrameExit = false, webEngine = true;
  for (size_t i = 0; i < opts.rest.size(); ++i) {
    const std::string& a = opts.rest[i];
    if (a == "--screenshots" && i + 1 < opts.rest.size()) {
      gui.screenshotsDir = QString::fromStdString(opts.rest[++i]);
    } else if (a == "--size" && i + 1 < opts.rest.size()) {
      int w = 0, h = 0;
      if (std::sscanf(opts.rest[++i].c_str(), "%dx%d", &w, &h) != 2 || w < 320 || h < 480 || w > 8000 || h > 8000) {
        std::cerr << "yunxiu: --size takes WIDTHxHEIGHT in pixels, at least 320x480, such as 390x844\n";
        return 2;
      }
      gui.width = w;
      gui.height = h;
    } else if (a == "--no-web-engine") {
      webEngine = false;
    } else if (a == "--exit-after-first-frame") {
      firstFrameExit = true;
    } else {
      std::cerr << "yunxiu: unknown option '" << a << "'\n" << kUsage << yx::driverUsage();
      return 2;
    }
  }
  if (!gui.screenshotsDir.isEmpty() && opts.scriptFile.empty()) {
    std::cerr << "yunxiu: --screenshots needs --script FILE\n";
    return 2;
  }
  QStringList script;
  if (!opts.scriptFile.empty()) {
    QFile f(QString::fromStdString(opts.scriptFile));
    if (!f.open(QIODevice::ReadOnly)) {
      std::cerr << "yunxiu: cannot read the script " << opts.scriptFile << "\n";
      return 2;
    }
    script = QString::fromUtf8(f.readAll()).split('\n');
  }

#ifdef YX_HAVE_WEBENGINE
  if (webEngine) {
    // The browser's own sandbox refuses to start as root.
    if (geteuid() == 0 && qEnvironmentVariableIsEmpty("QTWEBENGINE_DISABLE_SANDBOX"))
      qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    // The engine itself loads with the first page (its QML module); what it
    // needs from the application is set before the application exists.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
  }
#else
  webEngine = false;
#endif
  gui.webEngine = webEngine;
  // Without a screen there is no GPU to draw with: use the software renderer.
  if (qgetenv("QT_QPA_PLATFORM") == "offscreen" && qEnvironmentVariableIsEmpty("QT_QUICK_BACKEND"))
    qputenv("QT_QUICK_BACKEND", "software");
  QGuiApplication app(argc, argv);
  QGuiApplication::setApplicationName("yunxiu");
  QGuiApplication::setApplicationDisplayName("雲岫學苑");
  yx::gui::useAppFont();

  yx::registerAllFeatures();
  yx::gui::GuiApp::installWebBackend(webEngine);
  yx::gui::installDesktopIntegration();
  yx::Driver driver(opts);
  // The window's QML loads on Qt's loader thread while the core starts.
  yx::gui::GuiApp window(driver, gui);
  window.startLoading();
  if (auto err = driver.start(yx::makeApplicationDelegate)) {
    std::cerr << "yunxiu: " << *err << "\n";
    return 2;
  }
  // --exit-after-first-frame: the first frame may be drawn while the window
  // loads (before the event loop runs) or later from the event loop.
  bool drawn = false;
  QString err = window.load([&](QQuickWindow* w) {
    if (!firstFrameExit) return;
    QObject::connect(w, &QQuickWindow::frameSwapped, &app, [&] {
      if (drawn) return;
      drawn = true;
      std::puts("first-frame");
      std::fflush(stdout);
      QCoreApplication::exit(0);
    }, Qt::QueuedConnection);
  });
  if (!err.isEmpty()) {
    std::cerr << "yunxiu: " << err.toStdString() << "\n";
    return 1;
  }
  if (firstFrameExit && drawn) {
    driver.stop();
    return 0;
  }
  // The window icon is the app's icon, installed in the icon theme or drawn
  // at build time; read once the first frame is up.
  QTimer::singleShot(0, &app, [share = yx::installedShareDir()] {
    QString file = share.empty() ? QString(YX_ICON_FILE)
                                 : QString::fromStdString(share) + "/../icons/hicolor/256x256/apps/tw.edu.yunxiu.Yunxiu.png";
    QGuiApplication::setWindowIcon(QIcon(file));
  });
  int failures = 0;
  if (!script.isEmpty()) {
    window.playScript(script, [&](int failed) {
      failures = failed;
      if (driver.quitRequested() || QGuiApplication::platformName() == "offscreen") QCoreApplication::exit(0);
    });
  }
  int rc = app.exec();
  driver.stop();
  return rc != 0 ? rc : failures > 0 ? 1 : 0;
}
