// The window as a desktop application: every screen at the window sizes
// people use, text that fits, the keyboard, loading feedback and the
// accessibility tree, on the real app and the embedded simulator.

#include <QAccessible>
#include <QFontInfo>
#include <QQmlProperty>
#include <QTimer>

#include <cmath>

#include "core/home_menu.h"
#include "platform/application.h"
#include "platform/settings.h"
#include "tests/gui/window_fixture.h"

namespace yx::test {
namespace {

const QSize kSizes[] = {{360, 640}, {390, 844}, {1280, 800}, {1920, 1080}};

bool isControl(const QString& type) {
  static const QStringList kinds = {"button", "field", "textview", "scroll", "table", "grid", "picker", "switch", "web"};
  return kinds.contains(type);
}

// The one-line texts drawn for labels and button titles, visible ones only.
void oneLineTexts(QQuickItem* item, QList<QQuickItem*>& out) {
  if (!item || !item->isVisible() || item->opacity() <= 0) return;
  if ((item->objectName() == "labelText" || item->objectName() == "buttonTitle") &&
      item->property("wrapMode").toInt() == 0 && !item->property("text").toString().isEmpty())
    out << item;
  for (QQuickItem* c : item->childItems()) oneLineTexts(c, out);
}

class DesktopTest : public WindowTest {
protected:
  void resize(QSize size) {
    gui_->window()->resize(size);
    gui_->settle();
    // A slide in progress ends first.
    gui_->grab();
  }

  // The screen on top at every window size: every visible control inside
  // the window, the stretching views down to the canvas bottom, and no
  // one-line text cut (they shrink to fit, else are cut at their end).
  void checkAtEverySize(const QString& what) {
    double bandUnderLists = -1;
    for (QSize size : kSizes) {
      SCOPED_TRACE(what.toStdString() + QString(" at %1x%2").arg(size.width()).arg(size.height()).toStdString());
      resize(size);
      auto* bridge = gui_->bridge();
      const double s = bridge->scale();
      EXPECT_NEAR(bridge->canvasHeight() * s, size.height(), 0.5) << "the canvas fills the window's height";
      EXPECT_LE(s, 2.0);
      EXPECT_NEAR(bridge->offsetX() * 2 + 320 * s, size.width(), 0.5) << "the column is centred";
      QQuickItem* layer = item("screenLayer");
      ASSERT_TRUE(layer);
      const QRectF window(-0.5, -0.5, size.width() + 1, size.height() + 1);
      int controls = 0;
      for (QQuickItem* it : layer->childItems()) {
        QVariantMap attrs = it->property("attrs").toMap();
        if (!it->isVisible() || it->width() <= 0 || it->height() <= 0 || !isControl(attrs.value("type").toString()))
          continue;
        ++controls;
        QRectF r = it->mapRectToScene(QRectF(0, 0, it->width(), it->height()));
        EXPECT_TRUE(window.contains(r)) << attrs.value("type").toString().toStdString() << " "
                                        << attrs.value("name").toString().toStdString() << " tag "
                                        << attrs.value("tag").toInt() << " at " << r.x() << "," << r.y() << " "
                                        << r.width() << "x" << r.height();
      }
      EXPECT_GT(controls, 0);
      // The lowest stretching view of the core's screen reaches the canvas bottom.
      View& root = Application::shared().navigation()->topViewController()->view();
      double lowest = -1;
      std::function<void(View&, double)> walk = [&](View& v, double oy) {
        if (v.hidden()) return;
        const double y = oy + v.frame().y;
        if (&v != &root && (v.autoresizingMask() & Autoresizing::FlexibleHeight))
          lowest = std::max(lowest, y + v.frame().height);
        if (v.kind() == ViewKind::ScrollView || v.kind() == ViewKind::TableView) return;
        for (auto& sub : v.subviews()) walk(*sub, y);
      };
      walk(root, 0);
      // The lists take all the height: the band under them (bottom bars) is
      // the same at every size.
      if (lowest >= 0) {
        const double band = bridge->canvasHeight() - lowest;
        if (bandUnderLists < 0) bandUnderLists = band;
        EXPECT_NEAR(band, bandUnderLists, 0.01) << "an unused band under the lists";
        EXPECT_LT(band, 150);
      }
      QList<QQuickItem*> lines;
      oneLineTexts(layer, lines);
      for (QQuickItem* t : lines) {
        EXPECT_EQ(t->property("elide").toInt(), 1 /* Text.ElideRight */) << t->property("text").toString().toStdString();
        EXPECT_FALSE(t->property("truncated").toBool()) << "cut: " << t->property("text").toString().toStdString();
      }
      shot(QString("sizes/%1-%2x%3.png").arg(what).arg(size.width()).arg(size.height()));
    }
    resize({390, 844});
  }
};

// Every screen that exists, at 360x640, 390x844, 1280x800 and 1920x1080.
TEST_F(DesktopTest, EveryScreenFitsEveryWindowSize) {
  open();
  gui_->execute("wait 0.2");
  checkAtEverySize("home-alert");
  gui_->execute("alert 0");
  checkAtEverySize("terms");
  gui_->execute("tap checkBox");
  gui_->execute("tap agreeButton");
  checkAtEverySize("profile");
  EXPECT_TRUE(sees("出生年(民國)"));
  gui_->execute("focus sexField");
  checkAtEverySize("profile-picker");
  Application::shared().navigation()->popToRootViewControllerAnimated(false);
  Settings::standard().setString("個人資料", "填寫過");
  checkAtEverySize("home");
  gui_->execute("tap 4");
  gui_->execute("wait 2");
  checkAtEverySize("news");
  gui_->execute("tap 3");
  checkAtEverySize("news-chooser");
  gui_->execute("tap 4");
  gui_->execute("row 0 0");
  checkAtEverySize("news-detail");
  gui_->execute("tap 3");
  gui_->execute("wait 1");
  checkAtEverySize("news-page");
  gui_->execute("tap 100");
  gui_->execute("tap 6");
  gui_->execute("wait 2");
  checkAtEverySize("activities");
  gui_->execute("tap 1");
  gui_->execute("tap 1");
  gui_->execute("wait 2");
  checkAtEverySize("labs");
  EXPECT_TRUE(sees("剩餘"));
  gui_->execute("tap 1");
  gui_->execute("tap 12");
  checkAtEverySize("about");
  gui_->execute("tap 0");
  Application::shared().navigation()->pushViewController(std::make_shared<comingSoonViewController>("測試"), false);
  checkAtEverySize("placeholder");
}

}  // namespace
}  // namespace yx::test
