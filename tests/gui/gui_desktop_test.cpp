// The window as a desktop application: every screen at the window sizes
// people use, text that fits, the keyboard, loading feedback and the
// accessibility tree, on the real app and the embedded simulator.

#include <QAccessible>
#include <QElapsedTimer>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QQmlProperty>
#include <QTimer>

#include <cmath>

#include "core/deployment.h"
#include "campus/info/info_screens.h"
#include "core/home_menu.h"
#include "platform/http.h"
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

// What a screen reader finds on the screen: every button, check box, field,
// list row, switch and picker it can reach has a name.
struct AccessibleWalk {
  int controls = 0;
  QStringList unnamed, names;
  void walk(QAccessibleInterface* iface, int depth = 0) {
    if (!iface || depth > 60) return;
    const auto state = iface->state();
    if (state.invisible) return;
    const auto role = iface->role();
    static const QList<QAccessible::Role> interactive = {QAccessible::Button, QAccessible::CheckBox,
                                                          QAccessible::EditableText, QAccessible::ListItem,
                                                          QAccessible::List, QAccessible::ComboBox};
    if (interactive.contains(role)) {
      ++controls;
      const QString name = iface->text(QAccessible::Name);
      if (name.trimmed().isEmpty()) unnamed << QString("role %1").arg(int(role));
      else names << name;
    }
    for (int i = 0; i < iface->childCount(); ++i) walk(iface->child(i), depth + 1);
  }
};

class DesktopTest : public WindowTest {
protected:
  QQuickWindow* win() { return gui_->window(); }
  void key(Qt::Key k, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    QTest::keyClick(win(), k, mods);
    gui_->settle();
  }
  void typeKeys(const char* text) {
    for (const char* c = text; *c; ++c) QTest::keyClick(win(), *c);
    gui_->settle();
  }
  // A view of the screen by name or tag ("" when none).
  QString nameOf(int id) {
    View* v = gui_->bridge()->screen()->viewFor(id);
    if (!v) return {};
    return v->name().empty() ? QString::number(v->tag()) : QString::fromStdString(v->name());
  }
  // The view with the keyboard's focus ring.
  QString focused() { return nameOf(gui_->bridge()->screen()->focusId()); }
  // Presses Tab until the ring reaches that view; false after a whole round.
  bool tabTo(const QString& nameOrTag) {
    for (int i = 0; i < 40; ++i) {
      key(Qt::Key_Tab);
      if (focused() == nameOrTag) return true;
    }
    return false;
  }
  // A person's mouse wheel over an item: notches down (negative: up).
  void wheel(QQuickItem* it, int notches) {
    QPointF p = it->mapToScene(QPointF(it->width() / 2, it->height() / 2));
    QWheelEvent ev(p, p, QPoint(), QPoint(0, -120 * notches), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(win(), &ev);
    gui_->settle();
  }
  size_t usageReports() { return requestsFor("/Data/situ1.aspx").size(); }
  void resize(QSize size) {
    gui_->window()->resize(size);
    gui_->settle();
    // A slide in progress ends first.
    gui_->grab();
  }

  // The screen on top at every window size: every visible control inside
  // the window, the stretching views down to the canvas bottom, and no
  // one-line text cut (they shrink to fit, else are cut at their end); then
  // every control a screen reader reaches named, `named` among them.
  void checkAtEverySize(const QString& what, const QStringList& named = {}) {
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
        const bool list = v.kind() == ViewKind::TableView || v.kind() == ViewKind::CollectionView ||
                          v.kind() == ViewKind::ScrollView || v.kind() == ViewKind::TextView ||
                          v.kind() == ViewKind::WebView;
        if (&v != &root && list && (v.autoresizingMask() & Autoresizing::FlexibleHeight))
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
    SCOPED_TRACE(what.toStdString() + " read aloud");
    AccessibleWalk w;
    w.walk(QAccessible::queryAccessibleInterface(win()));
    EXPECT_GT(w.controls, 0);
    EXPECT_TRUE(w.unnamed.isEmpty()) << w.unnamed.join(", ").toStdString() << " among "
                                     << w.names.join(" | ").toStdString();
    for (const QString& n : named)
      EXPECT_TRUE(w.names.contains(n)) << n.toStdString() << " not in " << w.names.join(" | ").toStdString();
  }
};

// Every screen that exists, at 360x640, 390x844, 1280x800 and 1920x1080, and
// as a screen reader walks it.
TEST_F(DesktopTest, EveryScreenFitsEveryWindowSize) {
  open();
  gui_->execute("wait 0.2");
  checkAtEverySize("home-alert", {"確定"});
  gui_->execute("alert 0");
  checkAtEverySize("terms", {"返回", "我已閱讀並同意使用條款", "同意"});
  gui_->execute("tap checkBox");
  gui_->execute("tap agreeButton");
  checkAtEverySize("profile", {"性別", "出生年(民國)", "送出", "關閉"});
  EXPECT_TRUE(sees("出生年(民國)"));
  gui_->execute("focus sexField");
  checkAtEverySize("profile-picker", {"確認"});
  Application::shared().navigation()->popToRootViewControllerAnimated(false);
  Settings::standard().setString("個人資料", "填寫過");
  checkAtEverySize("home", {"近期消息", "建築物對照", "關於我們"});
  gui_->execute("tap 4");
  gui_->execute("wait 2");
  checkAtEverySize("news", {"首頁", "返回", "類別選擇"});
  gui_->execute("tap 3");
  checkAtEverySize("news-chooser", {"全部", "關閉"});
  gui_->execute("tap 4");
  gui_->execute("row 0 0");
  checkAtEverySize("news-detail", {"詳細內容"});
  gui_->execute("tap 3");
  gui_->execute("wait 1");
  checkAtEverySize("news-page", {"首頁", "返回"});
  gui_->execute("tap 100");
  gui_->execute("tap 6");
  gui_->execute("wait 2");
  checkAtEverySize("activities");
  gui_->execute("tap 1");
  gui_->execute("tap 1");
  gui_->execute("wait 2");
  checkAtEverySize("labs", {"更新"});
  EXPECT_TRUE(sees("剩餘"));
  gui_->execute("tap 1");
  gui_->execute("tap 12");
  checkAtEverySize("about", {"返回"});
  gui_->execute("tap 0");
  Application::shared().navigation()->pushViewController(std::make_shared<comingSoonViewController>("測試"), false);
  checkAtEverySize("placeholder");
}

// The campus guide, weather and transport screens the Home menu opens.
TEST_F(DesktopTest, CampusGuideScreensFitEveryWindowSize) {
  open(true);
  for (int tag : {2, 5, 7, 8, 9, 10, 13, 16}) {
    gui_->execute(QString("tap %1").arg(tag));
    gui_->execute("wait 3");
    const QString cls = gui_->bridge()->nav()->top();
    if (gui_->bridge()->alert()->visible()) gui_->execute("alert 0");
    checkAtEverySize(QString("entry%1-%2").arg(tag).arg(cls));
    Application::shared().navigation()->popToRootViewControllerAnimated(false);
    gui_->settle();
  }
}

// The first-run reminder holds the menu under it; then a new user at a
// laptop's 1280x800 window finishes the gate with the mouse alone: every
// control is in reach.
TEST_F(DesktopTest, FirstRunGateByMouseAtLaptopSize) {
  open();
  gui_->execute("wait 0.2");
  EXPECT_TRUE(sees("提醒"));
  EXPECT_TRUE(sees("請先輸入您的資料，謝謝。"));
  ASSERT_TRUE(click("button_12"));
  EXPECT_EQ(gui_->bridge()->nav()->depth(), 1) << "the menu under the alert takes no taps";
  resize({1280, 800});
  ASSERT_TRUE(click("alertButton_0"));
  EXPECT_FALSE(item("alertDialog"));
  EXPECT_TRUE(sees("我已閱讀並同意使用條款"));
  ASSERT_TRUE(click("button_checkBox"));
  EXPECT_NE(screen().find("button checkBox: checkbox2.png"), std::string::npos);
  ASSERT_TRUE(click("button_agreeButton"));
  ASSERT_EQ(top(), "userDataViewController");
  EXPECT_TRUE(sees("基本資料"));
  for (const char* field : {"sexField", "statusField", "unitField", "housingField", "wayField"}) {
    SCOPED_TRACE(field);
    ASSERT_TRUE(click(QString("field_") + field));
    QQuickItem* picker = visiblePicker();
    ASSERT_TRUE(picker);
    if (field == std::string("sexField")) {
      EXPECT_TRUE(sees("略過"));
      shot("profile-picker.png");
    }
    wheel(picker, 1);  // one row down
    ASSERT_TRUE(click("button_2"));
  }
  ASSERT_TRUE(click("field_birthField"));
  typeKeys("85");
  ASSERT_TRUE(click("button_1"));
  EXPECT_TRUE(sees("儲存成功")) << texts().join("|").toStdString();
  ASSERT_TRUE(click("alertButton_0"));
  EXPECT_EQ(top(), "corvaleViewController");
  EXPECT_EQ(Settings::standard().stringForKey("個人資料").value_or(""), "填寫過");
  auto sent = requestsFor("/Data/info1.aspx");
  ASSERT_EQ(sent.size(), 1u);
  // The wheel chose the second row of every picker.
  EXPECT_EQ(sent[0]["query"].value("s", ""), "女") << sent[0].dump();
  EXPECT_EQ(sent[0]["query"].value("t", ""), "碩士班") << sent[0].dump();
  EXPECT_EQ(sent[0]["query"].value("b", ""), "85");
}

// The same gate by keyboard alone: Enter answers the reminder, Tab moves
// the ring in layout order, Space ticks the box, Enter opens a picker, the
// arrows choose, Shift+Tab reaches 確認 and Enter confirms.
TEST_F(DesktopTest, FirstRunGateByKeyboardAtLaptopSize) {
  open();
  resize({1280, 800});
  gui_->execute("wait 0.2");
  key(Qt::Key_Return);
  ASSERT_EQ(top(), "agreeProvisionViewController");
  ASSERT_TRUE(tabTo("checkBox"));
  key(Qt::Key_Space);
  ASSERT_TRUE(tabTo("agreeButton"));
  EXPECT_TRUE(item("focusRing")) << "the focus ring shows";
  key(Qt::Key_Return);
  ASSERT_EQ(top(), "userDataViewController");

  // Tab order on the form: the header's back, the fields top to bottom, the
  // two buttons.
  QStringList order;
  for (int id : gui_->bridge()->screen()->focusChain()) order << nameOf(id);
  EXPECT_EQ(order, QStringList({"backButton", "sexField", "birthField", "statusField", "unitField", "housingField",
                                "wayField", "1", "999"}));
  key(Qt::Key_Tab, Qt::ShiftModifier);
  EXPECT_EQ(focused(), "999") << "Shift+Tab goes backwards, round the end";

  for (const char* field : {"sexField", "statusField", "unitField", "housingField", "wayField"}) {
    SCOPED_TRACE(field);
    ASSERT_TRUE(tabTo(field));
    key(Qt::Key_Return);
    ASSERT_TRUE(screen().find("picker ") != std::string::npos) << screen();
    EXPECT_TRUE(focused().toInt() >= 0 && focused() != field) << "the open picker takes the ring";
    key(Qt::Key_Down);
    key(Qt::Key_Tab, Qt::ShiftModifier);
    EXPECT_EQ(focused(), "confirmButton");
    key(Qt::Key_Return);
    EXPECT_EQ(focused(), field) << "the ring goes back to the field";
    EXPECT_EQ(screen().find("picker "), std::string::npos);
  }
  ASSERT_TRUE(tabTo("birthField"));
  typeKeys("85");
  key(Qt::Key_Tab);
  EXPECT_EQ(focused(), "statusField");
  EXPECT_NE(screen().find("field birthField: 85"), std::string::npos) << screen();
  ASSERT_TRUE(tabTo("1"));
  key(Qt::Key_Return);
  EXPECT_TRUE(sees("儲存成功"));
  key(Qt::Key_Return);
  EXPECT_EQ(top(), "corvaleViewController");
  EXPECT_EQ(Settings::standard().stringForKey("個人資料").value_or(""), "填寫過");
  auto sent = requestsFor("/Data/info1.aspx");
  ASSERT_EQ(sent.size(), 1u);
  EXPECT_EQ(sent[0]["query"].value("s", ""), "女") << sent[0].dump();
  EXPECT_EQ(sent[0]["query"].value("b", ""), "85");
}

// Enter presses an alert's default (last) button, Escape its cancel (first)
// one; other keys do nothing under an alert. Without an alert, the keys go
// back.
TEST_F(DesktopTest, AlertsAndBackFromTheKeyboard) {
  struct Heard : AlertViewDelegate {
    std::vector<int> pressed;
    void alertViewClickedButtonAtIndex(AlertView&, int index) override { pressed.push_back(index); }
  };
  open(true);
  auto heard = std::make_shared<Heard>();
  AlertView::create("確認", "要離開嗎？", heard, "取消", {"確定"})->show();
  gui_->settle();
  key(Qt::Key_Tab);
  key(Qt::Key_Space);
  EXPECT_TRUE(heard->pressed.empty());
  key(Qt::Key_Return);
  EXPECT_EQ(heard->pressed, (std::vector<int>{1}));
  EXPECT_FALSE(gui_->bridge()->alert()->visible());
  AlertView::create("確認", "要離開嗎？", heard, "取消", {"確定"})->show();
  gui_->settle();
  key(Qt::Key_Escape);
  EXPECT_EQ(heard->pressed, (std::vector<int>{1, 0}));
  EXPECT_EQ(top(), "corvaleViewController") << "Escape under an alert goes nowhere else";

  // Alt+Left and Escape press the back button exactly as a click does: the
  // same screen, the same usage report.
  click("button_12");
  ASSERT_EQ(top(), "aboutMeViewController");
  const size_t before = usageReports();
  click("button_1");  // a click on back
  EXPECT_EQ(top(), "corvaleViewController");
  gui_->execute("wait 1");
  const size_t byClick = usageReports() - before;
  EXPECT_EQ(byClick, 1u);
  click("button_12");
  key(Qt::Key_Left, Qt::AltModifier);
  EXPECT_EQ(top(), "corvaleViewController");
  gui_->execute("wait 1");
  EXPECT_EQ(usageReports() - before, 2 * byClick);
  key(Qt::Key_Escape);
  EXPECT_EQ(top(), "corvaleViewController") << "the Home menu has no back";
}

// The news walk at 1280x800: the wheel scrolls the list three rows a notch
// (16 rows scroll more than six there); by keyboard an entry, a row by the
// arrows, the page, and back out. The category chooser is a framed popup
// over the dimmed list that marks the category the list was loaded with
// (all, from the Home menu); Escape closes it before going back; a list
// loaded from the chooser keeps its row.
TEST_F(DesktopTest, NewsWalkByWheelAndKeyboard) {
  open(true);
  resize({1280, 800});
  ASSERT_TRUE(tabTo("4"));
  key(Qt::Key_Return);
  gui_->execute("wait 3");
  ASSERT_EQ(top(), "newsListViewController");
  auto* table = item("table_myTableview");
  ASSERT_TRUE(table);
  const double row = rowHeight("myTableview");
  wheel(table, 1);
  EXPECT_NEAR(table->property("contentY").toDouble(), 3 * row, 1);
  wheel(table, 1);
  EXPECT_NEAR(table->property("contentY").toDouble(), 6 * row, 1);
  wheel(table, -1);
  EXPECT_NEAR(table->property("contentY").toDouble(), 3 * row, 1);

  ASSERT_TRUE(tabTo("myTableview"));
  key(Qt::Key_Down);
  key(Qt::Key_Down);
  EXPECT_TRUE(item("currentRow"));
  key(Qt::Key_Return);
  ASSERT_EQ(top(), "newsDetailsViewController");
  ASSERT_TRUE(tabTo("3"));
  key(Qt::Key_Space);
  ASSERT_EQ(top(), "newsWebViewController");
  gui_->execute("wait 1");
  key(Qt::Key_Escape);
  EXPECT_EQ(top(), "newsDetailsViewController");
  key(Qt::Key_Left, Qt::AltModifier);
  gui_->grab();
  EXPECT_EQ(top(), "newsListViewController");

  auto list = [] { return dynamic_cast<InfoListViewController*>(Application::shared().navigation()->topViewController()); };
  ASSERT_TRUE(list());
  EXPECT_EQ(list()->category(), 0);
  ASSERT_TRUE(tabTo("3"));
  key(Qt::Key_Return);
  ASSERT_NE(screen().find("table chooseTableview"), std::string::npos);
  QList<QQuickItem*> marks;
  findAll(win()->contentItem(), "checkmark", marks);
  EXPECT_EQ(marks.size(), 1);
  auto* chooser = item("table_chooseTableview");
  ASSERT_TRUE(chooser);
  EXPECT_GT(chooser->parentItem()->parentItem()->property("attrs").toMap().value("borderWidth").toDouble(), 0)
      << "a framed popup";
  shot("chooser-marks-all.png");
  // Under the dimming only the chooser and its outside take the ring.
  for (int i = 0; i < 4; ++i) {
    key(Qt::Key_Tab);
    EXPECT_TRUE(focused() == "chooseTableview" || focused() == "alphaBtn") << focused().toStdString();
  }
  key(Qt::Key_Escape);
  EXPECT_EQ(screen().find("table chooseTableview"), std::string::npos);
  EXPECT_EQ(top(), "newsListViewController");

  click("button_3");
  gui_->execute("row chooseTableview 0 3");  // 推廣教育
  gui_->execute("wait 3");
  ASSERT_TRUE(list());
  EXPECT_EQ(list()->category(), 3);
  click("button_3");
  auto* model = gui_->bridge()->screen()->tableFor(list()->view().viewNamed("chooseTableview"));
  for (int i = 0; i < model->rowCount(); ++i)
    EXPECT_EQ(model->data(model->index(i), gui::TableModel::CheckmarkRole).toBool(), i == 3) << i;
  EXPECT_NE(screen().find("\n  row 0.3: 推廣教育\n"), std::string::npos) << "the driver prints the rows as before";
  key(Qt::Key_Escape);
  key(Qt::Key_Escape);
  EXPECT_EQ(top(), "corvaleViewController");
}

// A blocking request keeps the window's event loop running but holds taps
// until the call returns, and past 300 ms shows the busy indicator over the
// screen; a transfer in flight shows the small corner indicator unless an
// alert shows. Neither is a view of the screen: the driver prints the same.
TEST_F(DesktopTest, LoadingFeedbackWhileTransfersRun) {
  open(true);
  const std::string before = screen();
  sim::Fault slow;
  slow.delayMs = 900;
  sim().setFault("/Data/xml/news-0.xml", slow);
  const std::string url = Deployment::current().url("campus_data", "/Data/xml/news-0.xml");
  bool early = false, late = false, sawBusy = false;
  int ticks = 0;
  QElapsedTimer clock;
  QTimer ticker;
  QObject::connect(&ticker, &QTimer::timeout, [&] {
    ++ticks;
    const bool shown = item("busyIndicator") != nullptr;
    if (clock.elapsed() < 250 && shown) early = true;
    if (clock.elapsed() > 500 && shown) late = true;
    if (gui_->bridge()->busy()) {
      sawBusy = true;
      click("button_12");
    }
  });
  clock.start();
  ticker.start(30);
  EXPECT_TRUE(httpGet(url, 10).ok);
  ticker.stop();
  EXPECT_TRUE(sawBusy);
  EXPECT_GE(ticks, 3);
  EXPECT_FALSE(early) << "no indicator for a short wait";
  EXPECT_TRUE(late);
  EXPECT_FALSE(gui_->bridge()->busy());
  gui_->settle();
  EXPECT_EQ(gui_->bridge()->nav()->depth(), 1) << "the tap held during the request went nowhere";
  EXPECT_TRUE(QTest::qWaitFor([&] { return bool(!item("busyIndicator")); }, 2000));

  bool done = false;
  HttpCallbacks cb;
  cb.onFinish = [&] { done = true; };
  cb.onFailure = [&](const std::string&) { done = true; };
  auto transfer = httpGetAsync(url, 10, cb);
  EXPECT_TRUE(QTest::qWaitFor([&] { return bool(item("activityIndicator")); }, 2000));
  EXPECT_FALSE(item("busyIndicator")) << "input is not held for a transfer in the background";
  EXPECT_EQ(screen(), before);
  auto alert = AlertView::create("提醒", "測試", {}, "確定");
  alert->show();
  gui_->settle();
  EXPECT_FALSE(item("activityIndicator")) << "hidden while an alert shows";
  key(Qt::Key_Return);
  EXPECT_TRUE(item("activityIndicator"));
  EXPECT_TRUE(QTest::qWaitFor([&] { return bool((gui_->settle(), done)); }, 5000));
  EXPECT_TRUE(QTest::qWaitFor([&] { return bool(!item("activityIndicator")); }, 2000));
}

// The proportional face draws every text: not the monospaced CJK face.
TEST_F(DesktopTest, TextIsDrawnInTheProportionalFace) {
  open(true);
  const QFont font = QGuiApplication::font();
  QFontInfo info(font);
  EXPECT_TRUE(info.family().contains("Noto Sans CJK TC")) << info.family().toStdString();
  EXPECT_FALSE(info.fixedPitch());
  // Proportional: a narrow letter is narrower than a wide one.
  QFontMetricsF m(font);
  EXPECT_LT(m.horizontalAdvance("i") * 1.5, m.horizontalAdvance("M"));
  QFont bold = font;
  bold.setBold(true);
  EXPECT_TRUE(QFontInfo(bold).bold());
}

}  // namespace
}  // namespace yx::test
