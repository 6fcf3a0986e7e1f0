#include "app/gui/gui_app.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QEventLoop>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QQmlComponent>
#include <QQmlContext>
#include <QQuickItem>
#include <QThreadPool>
#include <QTimer>

#include "app/cli/driver.h"
#include "app/gui/picture_cache.h"
#include "platform/image.h"
#include "platform/runloop.h"

#if defined(__clang__)
#pragma clang diagnostic push
#pragma clang diagnostic ignored "-Weverything"
#elif defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wall"
#pragma GCC diagnostic ignored "-Wextra"
#pragma GCC diagnostic ignored "-Wpedantic"
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#endif
#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STB_IMAGE_WRITE_STATIC
#include <stb/stb_image_write.h>
#if defined(__clang__)
#pragma clang diagnostic pop
#elif defined(__GNUC__)
#pragma GCC diagnostic pop
#endif

namespace yx::gui {

void useAppFont() {
  // The proportional face, found through the system's font configuration
  // (regular and bold come from its two collections); nothing is loaded
  // before the first text is drawn.
  QFont font(QStringLiteral("Noto Sans CJK TC"));
  font.setStyleHint(QFont::SansSerif);
  font.setFixedPitch(false);
  QGuiApplication::setFont(font);
}

GuiApp::GuiApp(Driver& driver, GuiOptions options, QObject* parent)
    : QObject(parent), driver_(driver), opts_(std::move(options)), bridge_(new CoreBridge(this)) {
  bridge_->setWebEngine(opts_.webEngine);
}

GuiApp::~GuiApp() {
  // The window goes first so no delegate reads the models while they go.
  // It goes with the program, not into the background: no exit report or
  // refresh follows (the simulator may already be stopped), and nothing a
  // transfer needs is loaded on the way out.
  if (window_) {
    disconnect(window_, &QWindow::visibilityChanged, nullptr, nullptr);
    window_->close();
  }
  delete items_;
  items_ = nullptr;
  root_.reset();
  // Artwork still being decoded ahead finishes before the toolkit goes, and
  // what was decoded is kept for the next start.
  QThreadPool::globalInstance()->waitForDone();
  keepWaitingPictures();
}

void GuiApp::installWebBackend(bool webEngine) { setWebBackend(std::make_shared<QtWebBackend>(webEngine)); }

void GuiApp::startLoading() {
  if (main_) return;
#ifdef YX_IMAGE_DIR
  // Artwork turned into pictures at build time, unless told otherwise.
  if (qEnvironmentVariableIsEmpty("YX_IMAGE_DIR")) Image::setResourceDirectory(YX_IMAGE_DIR);
#endif
  if (!qEnvironmentVariableIsEmpty("YX_IMAGE_DIR"))
    Image::setResourceDirectory(qEnvironmentVariable("YX_IMAGE_DIR").toStdString());
  engine_.addImageProvider("yx", new ImageProvider(bridge_->screen()));
  auto* ctx = engine_.rootContext();
  ctx->setContextProperty("yxCore", bridge_);
  ctx->setContextProperty("yxScreen", bridge_->screen());
  ctx->setContextProperty("yxAlert", bridge_->alert());
  ctx->setContextProperty("yxNav", bridge_->nav());
  // Collects the warnings of loading only.
  collecting_ = connect(&engine_, &QQmlEngine::warnings, this, [this](const QList<QQmlError>& list) {
    for (const auto& e : list) loadWarnings_ << e.toString();
  });
  main_ = new QQmlComponent(&engine_, QUrl("qrc:/yx/qml/Main.qml"), QQmlComponent::Asynchronous, this);
  items_ = new ViewItems(engine_, bridge_, this);
}

QString GuiApp::load(std::function<void(QQuickWindow*)> onWindow) {
  startLoading();
  // The core lays the first screen out for the window's size meanwhile, so
  // its items are made once, for that size.
  bridge_->fitTo(std::max(opts_.width, kMinWindowWidth), std::max(opts_.height, kMinWindowHeight));
  // Meanwhile the fonts are set up (the system's font configuration, and
  // the face every text uses), which the first text would wait for.
  QFontMetricsF(QGuiApplication::font()).height();
  // The loader thread asks this thread to run parts of the loading (a
  // module's set-up), so the wait runs the event loop.
  if (main_->isLoading()) {
    QEventLoop wait;
    connect(main_, &QQmlComponent::statusChanged, &wait, &QEventLoop::quit);
    wait.exec();
  }
  QObject* root = main_->isReady() ? main_->create() : nullptr;
  if (!root) loadWarnings_ << main_->errorString();
  disconnect(collecting_);
  delete main_;
  main_ = nullptr;
  window_ = qobject_cast<QQuickWindow*>(root);
  if (!window_) {
    delete root;
    return "the window did not load: " + loadWarnings_.join("; ");
  }
  root_.reset(window_);
  if (auto* layer = window_->findChild<QQuickItem*>("screenLayer")) items_->attach(layer);
  if (onWindow) onWindow(window_);
  followWindowState(window_);
  // The design follows the window's size: scale, offset and the core's canvas.
  auto fit = [this] { bridge_->fitTo(window_->width(), window_->height()); };
  connect(window_, &QWindow::widthChanged, this, fit);
  connect(window_, &QWindow::heightChanged, this, fit);
  window_->resize(std::max(opts_.width, kMinWindowWidth), std::max(opts_.height, kMinWindowHeight));
  fit();
  bridge_->nav()->attach();
  settle();
  return {};
}

void GuiApp::settle() {
  bridge_->pump();
  bridge_->screen()->rebuildNow();
  bridge_->alert()->refresh();
  QCoreApplication::processEvents();
  if (window_) {
    // Lay out now (Loader, Repeater and ListView delegates) so reads see the result.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    window_->contentItem()->polish();
    QCoreApplication::processEvents();
  }
}

QString GuiApp::execute(const QString& line) {
  QString out = QString::fromStdString(driver_.execute(line.toStdString()));
  settle();
  return out;
}

QImage GuiApp::grab() {
  settle();
  // Let a slide in progress finish so the picture shows the screen in place.
  if (window_)
    if (auto* layer = window_->findChild<QQuickItem*>("screenLayer")) {
      QElapsedTimer t;
      t.start();
      while (layer->x() != 0 && t.elapsed() < 2000) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
  return window_ ? window_->grabWindow() : QImage();
}

bool GuiApp::saveScreenshot(const QString& path) {
  QImage img = grab();
  QDir().mkpath(QFileInfo(path).absolutePath());
  if (img.isNull()) return false;
  // Written by stb rather than QImage::save: Qt's writer loads every image
  // plugin (the PDF one with its library among them) to ask whether one
  // would rather write PNG itself.
  img = img.convertToFormat(QImage::Format_RGBA8888);
  return stbi_write_png(QFile::encodeName(path).constData(), img.width(), img.height(), 4, img.constBits(),
                        static_cast<int>(img.bytesPerLine())) != 0;
}

void GuiApp::playScript(QStringList lines, std::function<void(int)> done) {
  auto failures = std::make_shared<int>(0);
  auto step = std::make_shared<int>(0);
  // Each step is run by a timer that owns the player: the player itself
  // holds no reference to itself, so it is freed after the last step.
  auto next = std::make_shared<std::function<void()>>();
  std::weak_ptr<std::function<void()>> player = next;
  *next = [this, lines, done, failures, step, player] {
    auto self = player.lock();
    while (*step < lines.size()) {
      const QString line = lines[(*step)++];
      if (line.trimmed().isEmpty() || line.trimmed().startsWith('#')) continue;
      QString out = execute(line);
      fprintf(stdout, "> %s\n%s", qPrintable(line), qPrintable(out));
      fflush(stdout);
      if (out.startsWith("error:")) ++*failures;
      if (!opts_.screenshotsDir.isEmpty()) {
        QString word = line.trimmed().section(' ', 0, 0);
        saveScreenshot(QString("%1/%2-%3.png").arg(opts_.screenshotsDir).arg(*step, 3, 10, QChar('0')).arg(word));
      }
      if (driver_.quitRequested()) break;
      // Let the window paint (and slides run) before the next command.
      QTimer::singleShot(350, this, [self] { (*self)(); });
      return;
    }
    done(*failures);
  };
  QTimer::singleShot(0, this, [next] { (*next)(); });
}

namespace {
void collectTexts(QQuickItem* item, QStringList& out) {
  if (!item || !item->isVisible() || item->opacity() <= 0) return;
  if (item->inherits("QQuickText") || item->inherits("QQuickTextInput") || item->inherits("QQuickTextEdit")) {
    QString t = item->property("displayText").isValid() ? item->property("displayText").toString()
                                                        : item->property("text").toString();
    if (!t.isEmpty()) out << t;
  }
  for (QQuickItem* child : item->childItems()) collectTexts(child, out);
}
}  // namespace

QStringList GuiApp::visibleTexts() const {
  QStringList out;
  if (window_) collectTexts(window_->contentItem(), out);
  return out;
}

}  // namespace yx::gui
