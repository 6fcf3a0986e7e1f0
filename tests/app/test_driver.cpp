// The text driver's contract: what it prints for each kind of view, how it
// acts on a screen, and how it refuses what a person could not do.

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>

#include "platform/resources.h"
#include "platform/settings.h"
#include "platform/ui/alert.h"
#include "tests/support/app_fixture.h"
#include "tests/support/scratch.h"

namespace yx {
namespace {

class sampleViewController : public ViewController,
                             public TableViewDataSource,
                             public TableViewDelegate,
                             public PickerViewDataSource,
                             public PickerViewDelegate,
                             public TextFieldDelegate {
public:
  std::string className() const override { return "sampleViewController"; }
  std::vector<std::string> events;

  // Adds a view to the screen, named when a name is given.
  template <class V>
  std::shared_ptr<V> add(std::shared_ptr<V> v, const std::string& name = "") {
    if (!name.empty()) v->setName(name);
    view().addSubview(v);
    return v;
  }

  void viewDidLoad() override {
    auto title = add(make<Label>(Rect{0, 0, 320, 40}, "第一行\n第二行\t尾"), "titleLabel");
    add(make<Label>(Rect{}, "看不見"))->setHidden(true);

    auto home = add(make<Button>(Rect{}, "首頁"));
    home->setTag(1);
    home->setAction([this](Button& b) { events.push_back("tag " + std::to_string(b.tag())); });
    auto off = add(make<Button>(Rect{}, "停用"));
    off->setTag(7);
    off->setEnabled(false);
    auto agree = add(make<Button>(Rect{}, ""));
    agree->setImage("checkbox1.png");
    agree->setActionName("checkBox");
    agree->setAction([this](Button&) {
      auto a = AlertView::create("", "必須同意使用條款，才能使用雲岫學苑！", {}, "確定", {"再想想"});
      a->setOnButton([this](AlertView&, int i) { events.push_back("alert " + std::to_string(i)); });
      a->show();
    });

    field = add(make<TextField>(), "birthField");
    field->setPlaceholder("出生年");
    field->setEditingChanged([this](TextField& f) { events.push_back("typed " + f.text()); });
    auto pw = add(make<TextField>(), "pwField");
    pw->setSecureTextEntry(true);
    pw->setText("密碼ab");
    add(make<TextField>(), "sexField")->setDelegate(this);

    auto table = add(make<TableView>(Rect{0, 100, 320, 300}), "listTable");
    table->setDataSource(this);
    table->setDelegate(this);
    picker = add(make<PickerView>());
    picker->setTag(0);
    picker->setDataSource(this);
    picker->setDelegate(this);
    add(make<Switch>(), "autoSwitch")->setAction([this](Switch& s) { events.push_back(s.isOn() ? "on" : "off"); });

    auto map = add(make<ScrollView>(Rect{0, 400, 320, 100}), "mapScrollView");
    map->setZoomLimits(0.5, 3);
    map->setDidEndZooming([this](ScrollView&, double z) { events.push_back("zoomed " + std::to_string(z)); });
    map->addSubview(make<ImageView>(Rect{0, 0, 320, 100}, "checkbox1.png"));
    title->setPinchHandler([this](View&, GestureState g, double scale) {
      events.push_back((g == GestureState::Began ? "began " : g == GestureState::Changed ? "changed " : "ended ") +
                       std::to_string(scale));
    });
    auto jump = add(make<Button>(Rect{}, "跳"));
    jump->setTag(8);
    jump->setAction([table](Button&) { table->scrollToRow({1, 0}, TableView::ScrollPosition::Middle, false); });
  }

  int numberOfSectionsInTableView(TableView&) override { return 2; }
  int tableViewNumberOfRowsInSection(TableView&, int s) override { return s == 0 ? 2 : 1; }
  std::string tableViewTitleForHeaderInSection(TableView&, int s) override { return s ? "乙" : "甲"; }
  std::shared_ptr<TableViewCell> tableViewCellForRow(TableView&, IndexPath ip) override {
    auto c = make<TableViewCell>(TableViewCell::Style::Subtitle);
    c->textLabel().setText("項目" + std::to_string(ip.section) + std::to_string(ip.row));
    c->detailTextLabel().setText("說明");
    c->detailTextLabel().setTextColor(Color::rgb(255, 0, 0));
    auto update = make<Button>(Rect{270, 5, 40, 34});
    update->setImage("update.png");
    update->setActionName("reloadCellPDFData");
    update->setAction([this, ip](Button&) {
      events.push_back("update " + std::to_string(ip.section) + "." + std::to_string(ip.row));
    });
    c->contentView().addSubview(update);
    return c;
  }
  void tableViewDidSelectRow(TableView&, IndexPath ip) override {
    events.push_back("row " + std::to_string(ip.section) + "." + std::to_string(ip.row));
  }
  int pickerViewNumberOfRowsInComponent(PickerView&, int) override { return 3; }
  std::string pickerViewTitleForRow(PickerView&, int row, int) override {
    return std::vector<std::string>{"男", "女", "略過"}[row];
  }
  void pickerViewDidSelectRow(PickerView&, int row, int) override { events.push_back("picked " + std::to_string(row)); }
  bool textFieldShouldBeginEditing(TextField&) override {
    events.push_back("picker opens instead");
    return false;
  }

  std::shared_ptr<TextField> field;
  std::shared_ptr<PickerView> picker;
};

class SampleDelegate : public ApplicationDelegate {
public:
  std::shared_ptr<sampleViewController> screen = std::make_shared<sampleViewController>();
  int backgrounds = 0;
  bool applicationDidFinishLaunching(Application& app) override {
    app.setRootNavigation(std::make_shared<NavigationController>(screen));
    return true;
  }
  void applicationDidEnterBackground(Application&) override { ++backgrounds; }
};

class DriverTest : public test::AppFixture {
protected:
  void startSample() {
    delegate = std::make_shared<SampleDelegate>();
    start([this] { return delegate; });
  }
  std::shared_ptr<SampleDelegate> delegate;
};

TEST_F(DriverTest, PrintsEveryKindOfViewOnOneLineEach) {
  startSample();
  std::string s = screen();
  EXPECT_NE(s.find("screen: sampleViewController depth 1\n"), std::string::npos) << s;
  EXPECT_NE(s.find("label titleLabel: 第一行\\n第二行\\t尾\n"), std::string::npos) << s;
  EXPECT_EQ(s.find("看不見"), std::string::npos) << "hidden views are not printed";
  EXPECT_NE(s.find("button 1: 首頁\n"), std::string::npos) << s;
  EXPECT_NE(s.find("button 7 disabled: 停用\n"), std::string::npos) << s;
  EXPECT_NE(s.find("button checkBox: checkbox1.png\n"), std::string::npos) << s;
  EXPECT_NE(s.find("field birthField: [出生年]\n"), std::string::npos) << s;
  EXPECT_NE(s.find("field pwField: ****\n"), std::string::npos) << "secure text is masked per character";
  EXPECT_NE(s.find("table listTable rows 3\n  header 0: 甲\n  row 0.0: 項目00 | 說明\n  row 0.1: 項目01 | 說明\n"
                   "  header 1: 乙\n  row 1.0: 項目10 | 說明\n"),
            std::string::npos)
      << s;
  EXPECT_NE(s.find("picker 0 rows 3 selected 0: 男 | 女 | 略過\n"), std::string::npos) << s;
  EXPECT_NE(s.find("switch autoSwitch: off\n"), std::string::npos) << s;
}

TEST_F(DriverTest, ActsOnTheScreenAsAPersonWould) {
  startSample();
  run("tap 1");
  run("row listTable 1 0");
  run("row 0 1");
  run("type birthField 1990");
  run("pick 0 2");
  run("switch autoSwitch on");
  run("focus sexField");
  EXPECT_EQ(delegate->screen->events,
            (std::vector<std::string>{"tag 1", "row 1.0", "row 0.1", "typed 1990", "picked 2", "on",
                                      "picker opens instead"}));
  EXPECT_NE(screen().find("field birthField: 1990\n"), std::string::npos);
  EXPECT_NE(screen().find("picker 0 rows 3 selected 2"), std::string::npos);
}

TEST_F(DriverTest, CellsRowButtonsZoomPinchScrollAndFrames) {
  startSample();
  // A cell's views one a line, labels with their colours; no row is selected.
  EXPECT_EQ(run("cell listTable 1 0"),
            "  label: 項目10 {#000000}\n  label: 說明 {#ff0000}\n  button reloadCellPDFData: update.png\n");
  EXPECT_EQ(run("cell 0 1"), "  label: 項目01 {#000000}\n  label: 說明 {#ff0000}\n  button reloadCellPDFData: update.png\n");
  // A button in one row, or the first row's by plain tap.
  run("tapcell 1 0 reloadCellPDFData");
  run("tap reloadCellPDFData");
  // The row the screen scrolled to, until a reload.
  EXPECT_NE(run("tap 8").find("table listTable rows 3 at 1.0 middle\n"), std::string::npos);
  // Zoom and pinch, clamped and in order.
  EXPECT_NE(screen().find("zoom mapScrollView: 1.00 min 0.50 max 3.00\n"), std::string::npos) << screen();
  EXPECT_NE(run("zoom mapScrollView 5").find("zoom mapScrollView: 3.00 min 0.50 max 3.00\n"), std::string::npos);
  run("pinch titleLabel 1.5");
  EXPECT_EQ(delegate->screen->events,
            (std::vector<std::string>{"update 1.0", "update 0.0", "zoomed 3.000000", "began 1.000000",
                                      "changed 1.500000", "ended 1.500000"}));
  EXPECT_EQ(run("frame mapScrollView"), "frame mapScrollView: 0 400 320 100 content 0 0\n");
  EXPECT_EQ(run("frame titleLabel"), "frame titleLabel: 0 0 320 40 font 17\n");
}

TEST_F(DriverTest, CommandsThatCannotApplyPrintOneErrorLineAndChangeNothing) {
  startSample();
  std::string before = screen();
  for (const char* bad : {"tap 99", "tap 7", "row 5 5", "pick 0 3", "type nosuchField x", "alert 0", "frobnicate",
                          "wait soon", "switch autoSwitch maybe", "cell 3 0", "tapcell 0 0 nothing",
                          "zoom titleLabel 2", "pinch mapScrollView 2", "zoom mapScrollView -1", "frame nothing"}) {
    std::string out = run(bad);
    EXPECT_EQ(out.rfind("error: ", 0), 0u) << bad << " -> " << out;
    EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), 1) << bad;
  }
  EXPECT_EQ(screen(), before);
  EXPECT_TRUE(delegate->screen->events.empty());
}

TEST_F(DriverTest, WhileAnAlertShowsOnlyItsButtonsAndInspectionApply) {
  startSample();
  std::string s = run("tap checkBox");
  EXPECT_NE(s.find("alert:  | 必須同意使用條款，才能使用雲岫學苑！ | 確定 | 再想想\n"), std::string::npos) << s;
  EXPECT_EQ(run("tap 1").rfind("error: an alert is showing", 0), 0u);
  EXPECT_EQ(run("type birthField 1").rfind("error:", 0), 0u);
  EXPECT_EQ(run("alert 2").rfind("error:", 0), 0u);
  run("alert 1");
  EXPECT_EQ(delegate->screen->events, (std::vector<std::string>{"alert 1"}));
  EXPECT_EQ(screen().find("alert:"), std::string::npos);
}

// The listings ("opened", "files", "notifications") are read by every screen
// test; these are the settings listing's forms and the background event.
TEST_F(DriverTest, ListingCommandsShowStoredStateAndTheApplicationEvents) {
  startSample();
  Settings::standard().setObject("stuSubjectNoAry", Value::stringArray({"CS201", "MA101"}));
  EXPECT_NE(run("settings").find("setting stuSubjectNoAry: [CS201, MA101]\n"), std::string::npos);
  EXPECT_EQ(run("settings 學號"), "setting 學號: (absent)\n");
  run("background");
  run("background");  // already in the background: no second event
  EXPECT_EQ(delegate->backgrounds, 1);
}

TEST_F(DriverTest, InterfaceListAndResourceFolderStandIns) {
  std::filesystem::path res = std::filesystem::path(dataDir()) / "res";
  std::filesystem::create_directories(res / "terms");
  std::ofstream(res / "terms" / "terms_of_use.txt") << "本校條款";
  char a0[] = "yunxiu-cli", a1[] = "--ifaddrs", a2[] = "lo=127.0.0.1,wlan0=10.1.12.4,eth0=192.168.1.2",
       a3[] = "--resources";
  std::string dir = res.string();
  char* argv[] = {a0, a1, a2, a3, dir.data()};
  ASSERT_FALSE(parseDriverOptions(5, argv, options));
  startSample();
  auto list = Device::ipv4Addresses();
  ASSERT_TRUE(list);
  ASSERT_EQ(list->size(), 3u);
  EXPECT_EQ((*list)[1].name, "wlan0");
  EXPECT_EQ((*list)[1].ipv4, "10.1.12.4");
  EXPECT_EQ(resourcePath("terms/terms_of_use.txt"), (res / "terms" / "terms_of_use.txt").string());
  EXPECT_EQ(resourcePath("placeList.plist"), bundledResourceDirectory() + "/placeList.plist");
  EXPECT_EQ(resourcePath("../settings.plist"), "");
  Device::setAddressesUnreadable();
  EXPECT_FALSE(Device::ipv4Addresses());
  Device::setAddressesOverride(std::nullopt);
  setResourceOverrideDirectory("");

  DriverOptions o;
  char b2[] = "wlan0", b3[] = "wlan0=10.1.300.4";
  char* bad1[] = {a0, a1, b2};
  char* bad2[] = {a0, a1, b3};
  EXPECT_TRUE(parseDriverOptions(3, bad1, o));
  EXPECT_TRUE(parseDriverOptions(3, bad2, o));
}

// One view is one line for any line splitter: every character one may break
// a line at (Python's splitlines honours \v, \f, \x1c-\x1e, U+0085, U+2028 and
// U+2029 too) and every other control character is written \uXXXX.
TEST(DriverText, EveryCharacterALineSplitterMayHonourIsEscaped) {
  EXPECT_EQ(oneLine("甲\n乙\t丙\r丁"), "甲\\n乙\\t丙\\r丁");
  EXPECT_EQ(oneLine("a\u2028b\u2029c\u0085d"), "a\\u2028b\\u2029c\\u0085d");
  EXPECT_EQ(oneLine(std::string("\x0B\x0C\x1C\x1D\x1E\x1B\x7F", 7) + std::string(1, '\0')),
            "\\u000B\\u000C\\u001C\\u001D\\u001E\\u001B\\u007F\\u0000");
  EXPECT_EQ(oneLine("\u0080\u009F\u00A0\u2027\u202A"), "\\u0080\\u009F\u00A0\u2027\u202A");
  // Broken UTF-8 passes through without taking the next character with it.
  EXPECT_EQ(oneLine("\xE2\x80\n\xC2"), "\xE2\x80\\n\xC2");
  EXPECT_EQ(oneLine("雲岫學苑 – OK"), "雲岫學苑 – OK");
}

TEST(DriverProgram, AnswersEveryCommandOfAPipedScriptAndABadDeploymentFileInOneLine) {
  test::ScratchDir dir;
  const char* commands[] = {"show", "settings", "files", "notifications", "opened", "net off", "wait 0.5", "net on",
                            "background", "foreground", "fetch", "help", "nonsense", "quit"};
  std::string script;
  for (const char* c : commands) script += std::string(c) + "\n";
  dir.write("script", script);
  const std::string cli = std::string(YX_BINARY_DIR) + "/bin/yunxiu-cli ";
  auto r = test::runShell(cli + "--clock virtual --now 2026-12-29T10:00:00+08:00 --tz Asia/Taipei --data-dir " +
                          (dir / "data") + " < " + (dir / "script") + " 2>&1");
  EXPECT_EQ(r.status, 0) << r.out;
  for (const char* c : commands) EXPECT_NE(r.out.find(std::string("> ") + c + "\n"), std::string::npos) << c << "\n" << r.out;
  EXPECT_NE(r.out.find("error: unknown command 'nonsense'"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("screen: "), std::string::npos) << r.out;

  dir.write("bad.json", "{ \"campus_data\": ");
  r = test::runShell(cli + "--config " + (dir / "bad.json") + " </dev/null 2>&1");
  EXPECT_EQ(r.status, 2) << r.out;
  EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 1) << r.out;
  EXPECT_EQ(r.out.rfind("yunxiu-cli: ", 0), 0u) << r.out;
}

}  // namespace
}  // namespace yx
