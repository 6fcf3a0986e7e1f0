// Screens, navigation, alerts, tables and text fields as a front-end drives them.

#include <gtest/gtest.h>

#include "platform/application.h"
#include "platform/notify.h"
#include "platform/runloop.h"
#include "platform/ui/alert.h"
#include "platform/ui/view_controller.h"

namespace yx {
namespace {

std::vector<std::string>* g_log = nullptr;
void note(const std::string& s) {
  if (g_log) g_log->push_back(s);
}

class Screen : public ViewController {
public:
  explicit Screen(std::string n) : name_(std::move(n)) {}
  std::string className() const override { return name_; }
  void viewDidLoad() override { note(name_ + ".load"); }
  void viewWillAppear(bool a) override { note(name_ + ".willAppear" + (a ? "+" : "")); }
  void viewDidAppear(bool) override { note(name_ + ".didAppear"); }
  void viewWillDisappear(bool) override { note(name_ + ".willDisappear"); }
  void viewDidDisappear(bool) override { note(name_ + ".didDisappear"); }
  void prepareForSegue(const std::string& id, ViewController& dest, const void*) override {
    note(name_ + ".prepare:" + id + "->" + dest.className() + (dest.navigationController() ? " (pushed!)" : ""));
  }

private:
  std::string name_;
};

class UiTest : public ::testing::Test {
protected:
  void SetUp() override {
    g_log = &log;
    RunLoop::main().reset();
    Alerts::clear();
    setClock(std::make_shared<ManualClock>(std::chrono::system_clock::now()));
  }
  void TearDown() override {
    g_log = nullptr;
    Alerts::clear();
    RunLoop::main().reset();
    setClock(nullptr);
  }
  std::vector<std::string> log;
};

TEST_F(UiTest, PushLoadsTheScreenBeforeItAppearsAndRecordsTheAnimatedFlag) {
  auto root = std::make_shared<Screen>("root");
  NavigationController nav(root);
  log.clear();
  auto second = std::make_shared<Screen>("second");
  nav.pushViewController(second, false);
  EXPECT_EQ(log, (std::vector<std::string>{"second.load", "root.willDisappear", "second.willAppear",
                                           "root.didDisappear", "second.didAppear"}));
  EXPECT_EQ(nav.depth(), 2u);
  EXPECT_EQ(second->navigationController(), &nav);
  ASSERT_FALSE(nav.transitions().empty());
  EXPECT_EQ(nav.transitions().back().kind, Transition::Kind::Push);
  EXPECT_FALSE(nav.transitions().back().animated);
}

TEST_F(UiTest, BackPopsOneAnimatedAndHomePopsToRootWithoutAnimation) {
  NavigationController nav(std::make_shared<Screen>("home"));
  std::weak_ptr<ViewController> a, b;
  {
    auto sa = std::make_shared<Screen>("a");
    auto sb = std::make_shared<Screen>("b");
    a = sa;
    b = sb;
    nav.pushViewController(sa, false);
    nav.pushViewController(sb, false);
    nav.pushViewController(std::make_shared<Screen>("c"), false);
  }
  nav.popViewControllerAnimated(true);
  EXPECT_EQ(nav.topViewController()->className(), "b");
  EXPECT_TRUE(nav.transitions().back().animated);
  log.clear();
  nav.popToRootViewControllerAnimated(false);
  EXPECT_EQ(nav.depth(), 1u);
  EXPECT_EQ(nav.transitions().back().kind, Transition::Kind::PopToRoot);
  EXPECT_FALSE(nav.transitions().back().animated);
  EXPECT_EQ(log, (std::vector<std::string>{"b.willDisappear", "home.willAppear", "b.didDisappear", "home.didAppear"}));
  // Popped screens are released, not kept alive by the stack.
  EXPECT_TRUE(a.expired());
  EXPECT_TRUE(b.expired());
  // Popping the root, or to a screen not on the stack, does nothing.
  EXPECT_EQ(nav.popViewControllerAnimated(true), nullptr);
  Screen stranger("x");
  nav.popToViewController(&stranger, true);
  EXPECT_EQ(nav.depth(), 1u);
}

TEST_F(UiTest, SegueCreatesTheDestinationCallsPrepareThenPushesAnimated) {
  Storyboards::registerSegue("list", "showDetail", [] { return std::make_shared<Screen>("detail"); });
  auto list = std::make_shared<Screen>("list");
  NavigationController nav(std::make_shared<Screen>("home"));
  nav.pushViewController(list, false);
  log.clear();
  EXPECT_TRUE(list->performSegueWithIdentifier("showDetail"));
  ASSERT_FALSE(log.empty());
  EXPECT_EQ(log.front(), "list.prepare:showDetail->detail");
  EXPECT_EQ(nav.topViewController()->className(), "detail");
  EXPECT_TRUE(nav.transitions().back().animated);
  EXPECT_FALSE(list->performSegueWithIdentifier("noSuchSegue"));
}

TEST_F(UiTest, DelayedCallKeepsItsScreenAliveUntilItRuns) {
  std::weak_ptr<ViewController> weak;
  bool ran = false;
  {
    auto s = std::make_shared<Screen>("s");
    weak = s;
    s->performAfterDelay(0.1, [&] { ran = true; });
  }
  EXPECT_FALSE(weak.expired());
  RunLoop::main().runFor(0.1);
  EXPECT_TRUE(ran);
  EXPECT_TRUE(weak.expired());
}

// ------------------------------------------------------------------ alerts

class Answers : public AlertViewDelegate {
public:
  void willPresentAlertView(AlertView& a) override { events.push_back("present " + a.title()); }
  void alertViewClickedButtonAtIndex(AlertView& a, int i) override {
    events.push_back("clicked " + a.title() + " " + std::to_string(i));
  }
  void alertViewDidDismissWithButtonIndex(AlertView& a, int i) override {
    events.push_back("dismissed " + a.title() + " " + std::to_string(i));
  }
  std::vector<std::string> events;
};

// Buttons are numbered cancel first (without one, the others from 0); the
// pressed index reaches the delegate, a dismissal by code is no press, and a
// gone delegate is not called.
TEST_F(UiTest, AlertButtonsAreNumberedCancelFirstAndThePressedIndexReachesTheDelegate) {
  auto d = std::make_shared<Answers>();
  auto a = AlertView::create("提醒", "請先輸入您的資料，謝謝。", d, "取消", {"確定", "稍後"});
  a->show();
  EXPECT_EQ(a->buttonTitles(), (std::vector<std::string>{"取消", "確定", "稍後"}));
  EXPECT_EQ(Alerts::front(), a);
  EXPECT_TRUE(a->pressButton(2));
  EXPECT_TRUE(Alerts::visible().empty());
  EXPECT_FALSE(a->pressButton(0));  // already gone
  auto progress = AlertView::create("網路資料讀取中", "請稍候...", d, "");
  progress->show();
  progress->dismissWithClickedButtonIndex(0, false);
  EXPECT_EQ(d->events, (std::vector<std::string>{"present 提醒", "clicked 提醒 2", "dismissed 提醒 2",
                                                 "present 網路資料讀取中", "dismissed 網路資料讀取中 0"}));
  auto orphan = AlertView::create("t", "m", std::make_shared<Answers>(), "確定");  // delegate dies here
  orphan->show();
  EXPECT_TRUE(orphan->pressButton(0));

  // Without a cancel button the others start at 0; an alert shown from an
  // answer comes to the front.
  a = AlertView::create("t", "m", {}, "", {"OK"});
  EXPECT_EQ(a->cancelButtonIndex(), -1);
  a->show();
  int pressed = -1;
  a->setOnButton([&](AlertView&, int i) {
    pressed = i;
    showAlert("second", "", "確定");
  });
  EXPECT_FALSE(a->pressButton(1));
  EXPECT_TRUE(a->pressButton(0));
  EXPECT_EQ(pressed, 0);
  ASSERT_EQ(Alerts::visible().size(), 1u);
  EXPECT_EQ(Alerts::front()->title(), "second");
}

// ------------------------------------------------------- tables and fields

class Rows : public TableViewDataSource, public TableViewDelegate {
public:
  int asked = 0;
  std::vector<IndexPath> selected;
  int tableViewNumberOfRowsInSection(TableView&, int) override { return 10000; }
  std::shared_ptr<TableViewCell> tableViewCellForRow(TableView&, IndexPath ip) override {
    ++asked;
    auto c = std::make_shared<TableViewCell>(TableViewCell::Style::Subtitle);
    c->textLabel().setText("row " + std::to_string(ip.row));
    c->detailTextLabel().setText(ip.row % 2 ? "odd" : "");
    return c;
  }
  void tableViewDidSelectRow(TableView&, IndexPath ip) override { selected.push_back(ip); }
};

// Tables ask only for the rows drawn and forget them on reload; selecting a
// row tells the delegate and rows out of range are refused.
TEST_F(UiTest, TablesAskOnlyForTheRowsDrawnAndSelectOnlyRowsThatExist) {
  Rows rows;
  auto t = make<TableView>(Rect{0, 0, 320, 400});
  t->setDataSource(&rows);
  t->setDelegate(&rows);
  EXPECT_EQ(t->numberOfRowsInSection(0), 10000);
  EXPECT_EQ(rows.asked, 0);
  EXPECT_EQ(t->cellForRow({0, 3})->texts(), (std::vector<std::string>{"row 3", "odd"}));
  EXPECT_EQ(t->cellForRow({0, 4})->texts(), (std::vector<std::string>{"row 4"}));
  t->cellForRow({0, 3});
  EXPECT_EQ(rows.asked, 2);
  t->reloadData();
  t->cellForRow({0, 3});
  EXPECT_EQ(rows.asked, 3);
  EXPECT_EQ(t->cellForRow({0, 10000}), nullptr);
  EXPECT_EQ(t->cellForRow({1, 0}), nullptr);

  EXPECT_TRUE(t->userSelectRow({0, 7}));
  EXPECT_FALSE(t->userSelectRow({0, -1}));
  EXPECT_FALSE(t->userSelectRow({0, 10000}));
  ASSERT_EQ(rows.selected.size(), 1u);
  EXPECT_EQ(rows.selected[0].row, 7);
  t->scrollToRow({0, 5}, TableView::ScrollPosition::Top, false);
  EXPECT_DOUBLE_EQ(t->contentOffset().y, 5 * 44);
}

// Heights that differ per row; one row scrolls itself to the middle when asked.
class Measured : public TableViewDataSource, public TableViewDelegate {
public:
  std::vector<IndexPath> asked;
  std::optional<IndexPath> scrollAt;
  TableView::ScrollPosition scrollTo = TableView::ScrollPosition::Middle;
  int numberOfSectionsInTableView(TableView&) override { return 3; }
  int tableViewNumberOfRowsInSection(TableView&, int section) override { return section + 2; }
  std::shared_ptr<TableViewCell> tableViewCellForRow(TableView&, IndexPath) override {
    return std::make_shared<TableViewCell>();
  }
  double tableViewHeightForHeaderInSection(TableView&, int) override { return 20; }
  double tableViewHeightForRow(TableView& t, IndexPath ip) override {
    asked.push_back(ip);
    if (scrollAt && *scrollAt == ip) t.scrollToRow(ip, scrollTo, true);
    return 40 + 10 * ip.row;
  }
};

TEST_F(UiTest, AReloadedTableAsksEveryRowHeightInOrderOnceAtItsNextLayout) {
  Measured m;
  auto t = make<TableView>(Rect{0, 0, 320, 100});
  t->setDataSource(&m);
  t->setDelegate(&m);
  t->reloadData();
  EXPECT_TRUE(m.asked.empty()) << "never inside the reload";
  EXPECT_TRUE(t->needsLayout());
  t->layoutIfNeeded();
  std::vector<IndexPath> order = {{0, 0}, {0, 1}, {1, 0}, {1, 1}, {1, 2}, {2, 0}, {2, 1}, {2, 2}, {2, 3}};
  EXPECT_EQ(m.asked, order);
  t->layoutIfNeeded();
  EXPECT_DOUBLE_EQ(t->heightForRow({2, 3}), 70);
  EXPECT_EQ(m.asked.size(), order.size()) << "heights are kept until the next reload";
  EXPECT_DOUBLE_EQ(t->contentHeight(), 3 * 20 + (40 + 50) + (40 + 50 + 60) + (40 + 50 + 60 + 70));
  // Asking a height lays a reloaded table out first.
  m.asked.clear();
  t->reloadData();
  EXPECT_DOUBLE_EQ(t->heightForRow({0, 1}), 50);
  EXPECT_EQ(m.asked, order);
}

TEST_F(UiTest, ScrollingToARowKeepsItsPositionAndAScrollAskedWhileMeasuringWaitsForEveryHeight) {
  Measured m;
  m.scrollAt = IndexPath{1, 1};
  auto t = make<TableView>(Rect{0, 0, 320, 100});
  t->setDataSource(&m);
  t->setDelegate(&m);
  t->layoutIfNeeded();
  ASSERT_TRUE(t->scrolledToRow());
  EXPECT_EQ(*t->scrolledToRow(), (IndexPath{1, 1}));
  EXPECT_EQ(t->scrolledToPosition(), TableView::ScrollPosition::Middle);
  // Row 1.1 starts at 20 + 90 + 20 + 40 = 170 and is 50 high: its middle is at 195.
  EXPECT_DOUBLE_EQ(t->contentOffset().y, 195 - 50);
  EXPECT_EQ(m.asked.size(), 9u) << "the scroll asked no height of its own";

  // A reload or an offset set by code forgets the scrolled-to row.
  t->reloadData();
  EXPECT_FALSE(t->scrolledToRow());
  m.scrollAt.reset();
  t->scrollToRow({2, 3}, TableView::ScrollPosition::Top, false);
  EXPECT_EQ(t->scrolledToPosition(), TableView::ScrollPosition::Top);
  // The last row cannot come to the top: the offset stops at the content's end.
  EXPECT_DOUBLE_EQ(t->contentOffset().y, t->contentHeight() - 100);
  t->scrollToRow({0, 0}, TableView::ScrollPosition::Bottom, false);
  EXPECT_DOUBLE_EQ(t->contentOffset().y, 0);
  t->setContentOffset(Point{0, 30});
  EXPECT_FALSE(t->scrolledToRow());
}

class Gate : public TextFieldDelegate {
public:
  bool allow = false;
  int ended = 0;
  bool textFieldShouldBeginEditing(TextField&) override { return allow; }
  void textFieldDidEndEditing(TextField&) override { ++ended; }
};

TEST_F(UiTest, AFieldWhoseDelegateRefusesEditingNeverBecomesFirstResponder) {
  Gate gate;
  auto root = make<View>();
  auto f = make<TextField>();
  auto g = make<TextField>();
  root->addSubview(f);
  root->addSubview(g);
  f->setDelegate(&gate);
  EXPECT_FALSE(f->userFocus());
  EXPECT_FALSE(f->isFirstResponder());
  gate.allow = true;
  EXPECT_TRUE(f->userFocus());
  std::string changed;
  f->setEditingChanged([&](TextField& x) { changed = x.text(); });
  f->userType("1990");
  EXPECT_EQ(changed, "1990");
  g->userFocus();  // moving focus ends the first field's editing
  EXPECT_EQ(gate.ended, 1);
  EXPECT_FALSE(f->isFirstResponder());
  root->endEditing();
  EXPECT_FALSE(g->isFirstResponder());
}

// A text view's edits arrive as character ranges (not bytes), each asked of
// its hook; editing begins and ends with its hooks told.
TEST_F(UiTest, TextViewEditsAreCharacterRangesAskedOfItsHook) {
  auto root = make<View>();
  auto t = make<TextView>(Rect{}, "雲岫ab");
  auto f = make<TextField>();
  root->addSubview(t);
  root->addSubview(f);
  std::vector<std::string> seen;
  int began = 0, ended = 0;
  t->setDidBeginEditing([&](TextView&) { ++began; });
  t->setDidEndEditing([&](TextView&) { ++ended; });
  t->setShouldChangeText([&](TextView&, size_t loc, size_t len, const std::string& r) {
    seen.push_back(std::to_string(loc) + "+" + std::to_string(len) + ":" + r);
    return r != "!";
  });
  // A keystroke at the end of two Chinese characters and two letters is at 4.
  EXPECT_TRUE(t->userReplace(4, 0, "學"));
  EXPECT_EQ(began, 1);
  EXPECT_TRUE(t->isFirstResponder());
  EXPECT_FALSE(t->userReplace(1, 0, "!"));
  EXPECT_EQ(t->text(), "雲岫ab學");
  // A whole-text edit is passed on as the changed range only.
  EXPECT_TRUE(t->userSetText("雲苑岫ab學"));
  EXPECT_TRUE(t->userSetText("雲苑學"));  // deletes "岫ab"
  EXPECT_TRUE(t->userReplace(99, 5, "末"));  // clamped to the end
  EXPECT_EQ(seen, (std::vector<std::string>{"4+0:學", "1+0:!", "1+0:苑", "2+3:", "3+0:末"}));
  EXPECT_EQ(t->text(), "雲苑學末");
  // Moving focus to a field, or the view stopping being editable, ends editing.
  f->userFocus();
  EXPECT_EQ(ended, 1);
  EXPECT_FALSE(t->isFirstResponder());
  EXPECT_TRUE(t->userFocus());
  root->endEditing();
  EXPECT_EQ(ended, 2);
  t->userFocus();
  t->setEditable(false);
  EXPECT_EQ(ended, 3);
  EXPECT_FALSE(t->userReplace(0, 0, "x"));
  EXPECT_EQ(began, 3);
}

// The screens' own tables and bottom bars are checked on the taller canvas by
// the driver's canvas test; these are the views no such screen shows there.
TEST_F(UiTest, ViewsWithoutAMaskStayAndBothMarginsShareTheChange) {
  struct Screen : ViewController {
    std::shared_ptr<View> fixed, centred;
    void viewDidLoad() override {
      fixed = make<View>(Rect{10, 10, 50, 20});
      centred = make<View>(Rect{0, 234, 320, 100});
      centred->setAutoresizingMask(Autoresizing::FlexibleTopMargin | Autoresizing::FlexibleBottomMargin);
      for (auto& v : {fixed, centred}) view().addSubview(v);
    }
  };
  setCanvasSize(Size{320, 692});
  auto s = std::make_shared<Screen>();
  s->view();
  EXPECT_EQ(s->view().frame(), (Rect{0, 0, 320, 692}));
  EXPECT_EQ(s->fixed->frame(), (Rect{10, 10, 50, 20}));
  EXPECT_EQ(s->centred->frame(), (Rect{0, 296, 320, 100}));
  setCanvasSize(Size{320, 568});
  EXPECT_EQ(s->centred->frame(), (Rect{0, 234, 320, 100}));
}

// Hidden or disabled buttons ignore taps; a button may remove itself from
// its own action.
TEST_F(UiTest, ButtonsTapOnlyWhenShownAndEnabledAndMayRemoveThemselves) {
  int taps = 0;
  auto parent = make<View>();
  auto b = make<Button>(Rect{}, "go");
  parent->addSubview(b);
  b->setAction([&](Button&) { ++taps; });
  EXPECT_TRUE(b->tap());
  b->setEnabled(false);
  EXPECT_FALSE(b->tap());
  b->setEnabled(true);
  parent->setHidden(true);
  EXPECT_FALSE(b->tap());
  EXPECT_EQ(taps, 1);
  parent->setHidden(false);
  b->setAction([](Button& self) { self.removeFromSuperview(); });
  std::weak_ptr<View> weak = b;
  b.reset();
  ASSERT_FALSE(weak.expired());
  EXPECT_TRUE(static_cast<Button*>(weak.lock().get())->tap());
  EXPECT_TRUE(parent->subviews().empty());
}

TEST(NotificationCenterTest, ObserversHearTheirNameAndMayRemoveEachOtherDuringDelivery) {
  auto& c = NotificationCenter::defaultCenter();
  c.reset();
  int a = 0, b = 0;
  NotificationCenter::ObserverId second = 0;
  c.addObserver("kNetworkReachabilityChangedNotification", [&](const Notification&) {
    ++a;
    c.removeObserver(second);
  });
  second = c.addObserver("kNetworkReachabilityChangedNotification", [&](const Notification&) { ++b; });
  c.addObserver("savefile", [&](const Notification&) { b += 100; });
  c.post("kNetworkReachabilityChangedNotification");
  EXPECT_EQ(a, 1);
  EXPECT_EQ(b, 0);
  c.reset();
}

}  // namespace
}  // namespace yx
