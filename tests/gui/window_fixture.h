#pragma once
// The window on the real app and the embedded simulator, for tests: an
// offscreen Qt application with software drawing, a fixture that opens the
// window on a fresh app, and helpers that act and look as a person would.

#include <QGuiApplication>
#include <QQuickItem>
#include <QTest>

#include <functional>
#include <memory>

#include "app/gui/gui_app.h"
#include "platform/application.h"
#include "tests/support/app_fixture.h"

namespace yx::test {

inline QGuiApplication& qtApp() {
  static int argc = 1;
  static char name[] = "yx_gui_tests";
  static char* argv[] = {name, nullptr};
  static QGuiApplication* app = [] {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("QT_QUICK_BACKEND", "software");
    auto* a = new QGuiApplication(argc, argv);
    gui::useAppFont();
    return a;
  }();
  return *app;
}

// The visible items under `item` that `match` picks, in tree order.
inline void findAll(QQuickItem* item, const std::function<bool(QQuickItem*)>& match, QList<QQuickItem*>& out) {
  if (!item || !item->isVisible()) return;
  if (match(item)) out << item;
  for (QQuickItem* c : item->childItems()) findAll(c, match, out);
}
inline void findAll(QQuickItem* item, const QString& name, QList<QQuickItem*>& out) {
  findAll(item, [&](QQuickItem* it) { return it->objectName() == name; }, out);
}

// Any app fixture (the plain one, or one with a feature's presets) with the
// window opened on its app.
template <class Base>
class WindowFixture : public Base {
protected:
  void SetUp() override {
    qtApp();
    Base::SetUp();
  }
  void TearDown() override {
    gui_.reset();
    Base::TearDown();
  }

  void open(bool skipFirstRun = false) {
    gui::GuiApp::installWebBackend(false);
    if (skipFirstRun) this->rememberProfileDelivered();
    this->start();
    gui_ = std::make_unique<gui::GuiApp>(this->driver(), gui::GuiOptions{});
    QString err = gui_->load();
    ASSERT_TRUE(err.isEmpty()) << err.toStdString();
  }

  QQuickItem* item(const QString& name) {
    QList<QQuickItem*> found;
    findAll(gui_->window()->contentItem(), name, found);
    return found.isEmpty() ? nullptr : found.first();
  }
  // The first visible picker's wheel (null when none shows).
  QQuickItem* visiblePicker() {
    QList<QQuickItem*> found;
    findAll(gui_->window()->contentItem(), [](QQuickItem* it) { return it->objectName().startsWith("picker_"); }, found);
    return found.isEmpty() ? nullptr : found.first();
  }
  std::string top() { return gui_->bridge()->nav()->top().toStdString(); }
  // The height of a table's first row in window pixels.
  double rowHeight(const char* table) {
    auto* model = gui_->bridge()->screen()->tableFor(
        Application::shared().navigation()->topViewController()->view().viewNamed(table));
    return model->data(model->index(0), gui::TableModel::HeightRole).toDouble() * gui_->bridge()->scale();
  }

  // A person's tap at the middle of an item (or at an offset inside it).
  bool click(QQuickItem* it, QPointF at = {-1, -1}) {
    if (!it) return false;
    QPointF local = at.x() < 0 ? QPointF(it->width() / 2, it->height() / 2) : at;
    QPoint p = it->mapToScene(local).toPoint();
    QTest::mouseClick(gui_->window(), Qt::LeftButton, Qt::NoModifier, p);
    gui_->settle();
    return true;
  }
  bool click(const QString& name) { return click(item(name)); }

  QStringList texts() {
    gui_->settle();
    return gui_->visibleTexts();
  }
  bool sees(const QString& text) {
    for (const QString& t : texts())
      if (t.contains(text)) return true;
    return false;
  }
  // Dark-ish pixels: drawn glyphs and lines (an empty or blank window has none).
  static int inkPixels(const QImage& img) {
    int n = 0;
    for (int y = 0; y < img.height(); y += 2)
      for (int x = 0; x < img.width(); x += 2)
        if (qGray(img.pixel(x, y)) < 80) ++n;
    return n;
  }
  void shot(const QString& name) {
    EXPECT_TRUE(gui_->saveScreenshot(QString(YX_BINARY_DIR) + "/gui-screenshots/" + name)) << name.toStdString();
  }

  std::unique_ptr<gui::GuiApp> gui_;
};
using WindowTest = WindowFixture<AppFixture>;

}  // namespace yx::test
