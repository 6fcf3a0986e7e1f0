// The window on the real app and the embedded simulator: what a person sees
// in the item tree and in screenshots, and taps and keys through mouse and
// key events on the window.

#include <QBuffer>
#include <QDirIterator>
#include <QPainter>
#include <QPdfWriter>
#include <QGuiApplication>
#include <QQmlComponent>
#include <QQmlContext>
#include <QQmlEngine>
#include <QQuickItem>
#include <QTest>
#include <QTimer>

#include <atomic>
#include <chrono>
#include <cmath>
#include <filesystem>
#include <functional>

#include "app/gui/gui_app.h"
#include "app/gui/picture_cache.h"
#include "core/deployment.h"
#include "platform/files.h"
#include "platform/image.h"
#include "tests/academic/academic_support.h"
#include "tests/gui/window_fixture.h"

namespace yx::test {
namespace {

// Every QML file compiles with its imports present (a missing QML module
// only shows at run time), and every drawing item can be made.
TEST_F(WindowTest, EveryQmlFileLoads) {
  open();
  QQmlEngine& engine = gui_->engine();
  int files = 0;
  QDirIterator it(":/yx/qml", {"*.qml"}, QDir::Files, QDirIterator::Subdirectories);
  while (it.hasNext()) {
    QString path = it.next();
    ++files;
    QQmlComponent c(&engine, QUrl("qrc" + path));
    if (c.isLoading()) EXPECT_TRUE(QTest::qWaitFor([&] { return bool(!c.isLoading()); }, 5000));
    EXPECT_TRUE(c.isReady()) << path.toStdString() << ": " << c.errorString().toStdString();
    // The web engine needs its own start-up, done only by the program.
    if (path.endsWith("WebPage.qml") || path.endsWith("Main.qml")) continue;
    std::unique_ptr<QObject> obj(c.create(engine.rootContext()));
    EXPECT_TRUE(obj) << path.toStdString() << ": " << c.errorString().toStdString();
  }
  EXPECT_GE(files, 20);
}

// The Home menu: its title and every entry's title drawn as text, the grid
// of icons drawn from the artwork, and Chinese glyphs really painted.
TEST_F(WindowTest, HomeMenuShowsTheGridOfEntries) {
  open(true);
  EXPECT_EQ(gui_->bridge()->nav()->depth(), 1);
  QStringList seen = texts();
  EXPECT_TRUE(seen.contains("雲岫學苑"));
  for (const char* entry : {"近期消息", "公車動態", "行事曆"})
    EXPECT_TRUE(seen.contains(QString::fromUtf8(entry))) << entry;
  // The last row of entries lies below the fold until the menu is dragged up.
  EXPECT_FALSE(seen.contains("圖書館"));
  for (int tag : {1, 4, 9, 12, 15}) EXPECT_TRUE(item(QString("button_%1").arg(tag))) << tag;
  // Buttons of one row share a line; the next row is below it.
  QQuickItem* b1 = item("button_1");
  QQuickItem* b2 = item("button_2");
  QQuickItem* b4 = item("button_4");
  ASSERT_TRUE(b1 && b2 && b4);
  EXPECT_DOUBLE_EQ(b1->y(), b2->y());
  EXPECT_GT(b2->x(), b1->x());
  EXPECT_GT(b4->y(), b1->y());
  QImage img = gui_->grab();
  EXPECT_EQ(img.width(), 390);
  EXPECT_GT(inkPixels(img), 200);
  shot("home.png");
  // Every caption shows whole: not cut short, and no clipping view (the
  // menu's scroll view, the button itself) cuts it at its sides.
  QList<QQuickItem*> captions;
  findAll(gui_->window()->contentItem(), "buttonTitle", captions);
  EXPECT_GE(captions.size(), 15);
  for (QQuickItem* t : captions) {
    const QString text = t->property("text").toString();
    EXPECT_FALSE(t->property("truncated").toBool()) << text.toStdString();
    const double w = t->property("contentWidth").toDouble();
    const QRectF drawn = t->mapRectToScene(QRectF((t->width() - w) / 2, 0, w, t->height()));
    for (QQuickItem* p = t->parentItem(); p; p = p->parentItem()) {
      if (!p->clip()) continue;
      const QRectF kept = p->mapRectToScene(p->boundingRect());
      EXPECT_GE(drawn.left(), kept.left() - 0.5) << text.toStdString();
      EXPECT_LE(drawn.right(), kept.right() + 0.5) << text.toStdString();
    }
  }

  // A wider window scales the design up: the same grid, twice as large.
  const double w1 = b1->width();
  gui_->window()->resize(640, 1136);
  gui_->settle();
  b1 = item("button_1");
  ASSERT_TRUE(b1);
  EXPECT_NEAR(b1->width(), w1 * 640 / 390, 1);
  gui_->window()->resize(390, 844);
  gui_->settle();

  QWindow* w = gui_->window();
  QTest::mousePress(w, Qt::LeftButton, Qt::NoModifier, QPoint(6, 600));
  for (int y = 580; y >= 200; y -= 20) QTest::mouseMove(w, QPoint(6, y));
  QTest::mouseRelease(w, Qt::LeftButton, Qt::NoModifier, QPoint(6, 200));
  EXPECT_TRUE(sees("圖書館"));
  EXPECT_FALSE(sees("雲岫學苑"));
}

// Artwork decoded once is kept under the data folder, and read back only
// while it still matches its file: a changed picture file, a damaged kept
// file or a picture too large to keep is decoded from the file.
TEST_F(WindowTest, DecodedArtworkIsKeptWhileItMatchesItsFile) {
  open(true);
  const std::string keptDir = Files::join(Files::join(Files::dataDirectory(), "Caches"), "pictures");
  // Kept a moment after the first frames.
  EXPECT_TRUE(QTest::qWaitFor([&] { return Files::listByExtension(keptDir, "px").size() >= 18; }, 5000))
      << "Home's icons and pattern";

  ScratchDir dir;
  const std::string src = dir / "art.png";
  auto picture = [](QColor c, int side) {
    QImage img(side, side, QImage::Format_ARGB32_Premultiplied);
    img.fill(c);
    return img;
  };
  // The source file: only its path, size and time matter here.
  auto saveAs = [&](const std::string& bytes, int secondsLater) {
    dir.write("art.png", bytes);
    std::filesystem::last_write_time(src, std::filesystem::file_time_type::clock::now() +
                                              std::chrono::seconds(secondsLater));
  };
  auto keptFile = [&] {
    std::string newest;
    for (const auto& name : Files::listByExtension(keptDir, "px"))
      if (newest.empty() || std::filesystem::last_write_time(Files::join(keptDir, name)) >
                                std::filesystem::last_write_time(newest))
        newest = Files::join(keptDir, name);
    return newest;
  };
  const QImage red = picture(Qt::red, 8);
  saveAs("red", 0);
  gui::keepPicture(src, red);
  EXPECT_EQ(gui::readKeptPicture(src), red);

  saveAs("blue", 5);
  EXPECT_TRUE(gui::readKeptPicture(src).isNull()) << "the file changed since";

  const QImage blue = picture(Qt::blue, 8);
  gui::keepPicture(src, blue);
  const std::string kept = keptFile();
  const std::string whole = *Files::readFile(kept);
  // Cut short, another file's start, another width.
  const std::vector<std::function<void(std::string&)>> damages = {
      [](std::string& b) { b.resize(b.size() - 1); }, [](std::string& b) { b[0] ^= 1; },
      [](std::string& b) { b[24] ^= 2; }};
  for (const auto& damage : damages) {
    std::string bytes = whole;
    damage(bytes);
    ASSERT_TRUE(Files::writeFileAtomically(kept, bytes));
    const QImage back = gui::readKeptPicture(src);
    EXPECT_TRUE(back.isNull()) << "a damaged kept file is not read";
  }

  saveAs("green", 10);
  gui::keepPicture(src, picture(Qt::green, 1024));
  EXPECT_TRUE(gui::readKeptPicture(src).isNull()) << "too large to keep";
}

// Home → 近期消息: the progress alert counting, the list drawn lazily with
// its rows, a tapped row opens the detail.
TEST_F(WindowTest, NewsListAndDetail) {
  open(true);
  ASSERT_TRUE(click("button_4"));
  EXPECT_EQ(gui_->bridge()->nav()->top(), "newsXMLParser");
  EXPECT_TRUE(sees("網路資料讀取中"));
  EXPECT_TRUE(gui_->bridge()->alert()->hasProgress());
  EXPECT_TRUE(gui_->bridge()->alert()->buttons().isEmpty());
  gui_->execute("wait 0.2");
  EXPECT_NEAR(gui_->bridge()->alert()->progress(), 0.2, 0.05);
  EXPECT_TRUE(sees("20 %"));
  shot("progress-alert.png");

  gui_->execute("wait 3");
  EXPECT_FALSE(gui_->bridge()->alert()->visible());
  EXPECT_EQ(gui_->bridge()->nav()->top(), "newsListViewController");
  QStringList seen = texts();
  EXPECT_TRUE(seen.contains("近期消息"));
  EXPECT_TRUE(seen.contains("共 16 筆"));
  EXPECT_TRUE(seen.contains("推廣教育中心秋季班招生：日語會話、財務報表分析、水彩入門"));
  shot("news-list.png");

  QQuickItem* table = item("table_myTableview");
  ASSERT_TRUE(table);
  // Tap the second row.
  click(table, QPointF(table->width() / 2, rowHeight("myTableview") * 1.5));
  EXPECT_NE(gui_->bridge()->nav()->top(), "newsListViewController");
  EXPECT_TRUE(sees("第十二屆雲岫人文社會學術研討會徵稿")) << texts().join(" / ").toStdString();
  shot("news-detail.png");

  // 詳細內容 opens the news page (fetched over HTTP without a web engine).
  ASSERT_TRUE(click("button_3"));
  gui_->execute("wait 1");
  EXPECT_NE(screen().find("web: http://127.0.0.1:"), std::string::npos) << screen();
  EXPECT_NE(screen().find(" loaded"), std::string::npos) << screen();
  EXPECT_TRUE(sees("loaded"));
  shot("news-web.png");
  const int depth = gui_->bridge()->nav()->depth();
  ASSERT_TRUE(click("button_101"));  // back
  EXPECT_EQ(gui_->bridge()->nav()->depth(), depth - 1);
  EXPECT_TRUE(sees("詳細內容"));
}

// Pushes and pops slide only when the core marks them animated.
TEST_F(WindowTest, TransitionsSlideOnlyWhenAnimated) {
  open(true);
  QQuickItem* layer = item("screenLayer");
  ASSERT_TRUE(layer);
  click("button_12");  // opened without animation
  EXPECT_EQ(gui_->bridge()->nav()->top(), "aboutMeViewController");
  EXPECT_DOUBLE_EQ(layer->x(), 0);
  click("button_1");  // back: an animated pop
  EXPECT_EQ(gui_->bridge()->nav()->depth(), 1);
  EXPECT_NE(layer->x(), 0);
  EXPECT_TRUE(QTest::qWaitFor([&] { return bool(layer->x() == 0.0); }, 3000));
}

// A --script plays every step in turn, counts the refused ones, and frees
// the player (with what its callback holds) once it is done.
TEST_F(WindowTest, ScriptPlaysEveryStepThenReportsFailures) {
  open(true);
  int failed = -1;
  auto held = std::make_shared<int>(0);
  gui_->playScript({"tap 12", "# a comment", "frobnicate", "", "tap 1"}, [&failed, held](int n) { failed = n; });
  EXPECT_TRUE(QTest::qWaitFor([&] { return bool(failed == 1); }, 5000));
  EXPECT_EQ(gui_->bridge()->nav()->depth(), 1);
  EXPECT_TRUE(QTest::qWaitFor([&] { return bool(held.use_count() == 1L); }, 2000));
}

// Artwork by name; a name without artwork gets a neat placeholder of the
// asked size instead of a broken picture.
TEST_F(WindowTest, ImagesAndPlaceholders) {
  open(true);
  gui::ImageProvider provider(gui_->bridge()->screen());
  QSize size;
  QImage menu = provider.requestImage("name/menu_4.png", &size, {});
  ASSERT_FALSE(menu.isNull());
  EXPECT_EQ(size, QSize(144, 144));
  QImage header = provider.requestImage("name/hl_r1.jpg", &size, {});
  EXPECT_FALSE(header.isNull());
  QImage missing = provider.requestImage("name/no_such_picture.png", &size, QSize(40, 30));
  EXPECT_EQ(missing.size(), QSize(40, 30));
  QImage hostile = provider.requestImage("name/../../etc/passwd", &size, QSize(20, 20));
  EXPECT_EQ(hostile.size(), QSize(20, 20));
  // Bytes from a view that is gone give a placeholder too.
  QImage gone = provider.requestImage("view/999999/1", &size, QSize(10, 10));
  EXPECT_EQ(gone.size(), QSize(10, 10));

  // Pictures are decoded by the format their bytes show, whatever the name
  // says (hl_r1.jpg is a PNG); a file in another format (a PDF or SVG under a picture's name) is
  // handed to no reader and shows the placeholder. No image plugin is
  // loaded to guess: the first frame does not pay for them.
  const QString dir = QString::fromStdString(AppFixture::dataDir()) + "/artwork";
  QDir().mkpath(dir);
  {
    QPdfWriter pdf(dir + "/document.png");
    QPainter(&pdf).drawText(100, 100, "not a picture");
  }
  QFile svg(dir + "/drawing.png");
  ASSERT_TRUE(svg.open(QIODevice::WriteOnly));
  svg.write("<svg xmlns='http://www.w3.org/2000/svg' width='8' height='8'><rect width='8' height='8'/></svg>");
  svg.close();
  const std::string bundled = yx::Image::resourceDirectory();
  yx::Image::setResourceDirectory(dir.toStdString());
  EXPECT_EQ(provider.requestImage("name/document.png", &size, QSize(12, 12)).size(), QSize(12, 12));
  EXPECT_EQ(provider.requestImage("name/drawing.png", &size, QSize(14, 14)).size(), QSize(14, 14));
  yx::Image::setResourceDirectory(bundled);
  QFile maps("/proc/self/maps");
  ASSERT_TRUE(maps.open(QIODevice::ReadOnly));
  const QByteArray mapped = maps.readAll();
  for (const char* plugin : {"imageformats/libqpdf", "imageformats/libqsvg", "imageformats/libqico"})
    EXPECT_FALSE(mapped.contains(plugin)) << plugin;
}

// A screen holding one of every view kind, for drawing and input checks.
class kitchenSinkViewController : public ViewController, public TableViewDataSource,
                                   public PickerViewDataSource, public PickerViewDelegate,
                                   public CollectionViewDataSource {
public:
  std::string className() const override { return "kitchenSinkViewController"; }
  int rows = 100000;
  int picked = -1, selectedItem = -1, taps = 0;
  void viewDidLoad() override {
    auto label = make<Label>(Rect{10, 10, 140, 60}, "第一行很長的說明文字會自動換行顯示在標籤裡");
    label->setNumberOfLines(0);
    view().addSubview(label);
    auto off = make<Button>(Rect{160, 10, 70, 30}, "停用");
    off->setTag(7);
    off->setEnabled(false);
    off->setAction([this](Button&) { ++taps; });
    view().addSubview(off);
    auto on = make<Button>(Rect{240, 10, 70, 30}, "啟用");
    on->setTag(8);
    on->setAction([this](Button&) { ++taps; });
    view().addSubview(on);
    onButton = on;
    auto pw = make<TextField>(Rect{10, 80, 140, 30});
    pw->setName("passwordField");
    pw->setSecureTextEntry(true);
    pw->setText("s3cret");
    view().addSubview(pw);
    auto sw = make<Switch>(Rect{160, 80, 51, 31});
    sw->setName("mySwitch");
    view().addSubview(sw);
    auto spin = make<ActivityIndicator>(Rect{230, 80, 20, 20});
    spin->startAnimating();
    view().addSubview(spin);
    auto bar = make<ProgressView>(Rect{10, 120, 300, 10});
    bar->setProgress(0.5f);
    view().addSubview(bar);
    table = make<TableView>(Rect{0, 140, 320, 150});
    table->setName("bigTable");
    table->setDataSource(this);
    view().addSubview(table);
    picker = make<PickerView>(Rect{0, 300, 160, 120});
    picker->setName("myPicker");
    picker->setDataSource(this);
    picker->setDelegate(this);
    view().addSubview(picker);
    grid = make<CollectionView>(Rect{170, 300, 150, 120});
    grid->setItemSize({75, 60});
    grid->setDataSource(this);
    view().addSubview(grid);
    auto junk = make<ImageView>(Rect{10, 430, 60, 60});
    junk->setImageData(std::make_shared<const std::string>("not a picture"), "junk");
    view().addSubview(junk);
    auto scroll = make<ScrollView>(Rect{80, 430, 120, 60});
    scroll->setName("zoomer");
    scroll->setZoomLimits(1, 3);
    scroll->addSubview(make<ImageView>(Rect{0, 0, 120, 60}, "newMap"));
    view().addSubview(scroll);
  }
  int tableViewNumberOfRowsInSection(TableView&, int) override { return rows; }
  std::shared_ptr<TableViewCell> tableViewCellForRow(TableView&, IndexPath ip) override {
    auto c = make<TableViewCell>();
    c->textLabel().setText("列 " + std::to_string(ip.row));
    return c;
  }
  int pickerViewNumberOfRowsInComponent(PickerView&, int) override { return 3; }
  std::string pickerViewTitleForRow(PickerView&, int row, int) override {
    return std::vector<std::string>{"男", "女", "略過"}[static_cast<size_t>(row)];
  }
  void pickerViewDidSelectRow(PickerView&, int row, int) override { picked = row; }
  int collectionViewNumberOfItemsInSection(CollectionView&, int) override { return 4; }
  std::shared_ptr<TableViewCell> collectionViewCellForItem(CollectionView&, IndexPath ip) override {
    auto c = make<TableViewCell>();
    c->textLabel().setText("格 " + std::to_string(ip.row));
    return c;
  }
  void collectionViewDidSelectItem(CollectionView&, IndexPath ip) override { selectedItem = ip.row; }
  std::shared_ptr<TableView> table;
  std::shared_ptr<PickerView> picker;
  std::shared_ptr<CollectionView> grid;
  std::shared_ptr<Button> onButton;
};

// Every kind of view drawn, and input reaching the core only where a person
// could give it.
TEST_F(WindowTest, EveryViewKindDrawsAndTakesInput) {
  open(true);
  auto sink = std::make_shared<kitchenSinkViewController>();
  Application::shared().navigation()->pushViewController(sink, false);
  QStringList seen = texts();
  EXPECT_TRUE(seen.contains("第一行很長的說明文字會自動換行顯示在標籤裡"));
  EXPECT_TRUE(seen.contains("列 0"));
  EXPECT_FALSE(seen.contains("列 500"));
  EXPECT_TRUE(seen.contains("格 3"));
  // Passwords are masked on screen.
  EXPECT_FALSE(seen.join(" ").contains("s3cret"));
  EXPECT_TRUE(seen.contains(QString(6, QChar(0x25CF))) || seen.contains("******")) << seen.join("|").toStdString();

  // A huge table asks the core only for the rows it draws.
  auto* model = gui_->bridge()->screen()->tableFor(sink->table.get());
  EXPECT_EQ(model->rowCount(), 100000);
  EXPECT_LT(model->cellsAsked(), 60);
  // Reloading with fewer rows is picked up.
  sink->rows = 3;
  sink->table->reloadData();
  EXPECT_FALSE(sees("列 5"));
  EXPECT_TRUE(sees("列 2"));
  EXPECT_EQ(model->rowCount(), 3);

  // Disabled buttons ignore taps; enabled ones take them.
  click("button_7");
  EXPECT_EQ(sink->taps, 0);
  click("button_8");
  EXPECT_EQ(sink->taps, 1);
  // A title-only button given a picture is drawn as a picture button, in the
  // same place among the views, and still takes taps.
  ASSERT_TRUE(item("button_8") && item("button_8")->findChild<QQuickItem*>("buttonFace"));
  sink->onButton->setImage("menu_1.png");
  gui_->settle();
  QQuickItem* pictured = item("button_8");
  ASSERT_TRUE(pictured);
  EXPECT_FALSE(pictured->findChild<QQuickItem*>("buttonFace"));
  const auto drawn = item("screenLayer")->childItems();
  EXPECT_EQ(drawn.indexOf(pictured), drawn.indexOf(item("button_7")) + 1);
  click("button_8");
  EXPECT_EQ(sink->taps, 2);

  // The first view of a kind as the window lays it out, and a tap at a point
  // inside it (in points from its corner).
  auto viewOf = [&](const QString& type) {
    for (const auto& r : gui_->bridge()->screen()->rows())
      if (r.value("type") == type) return r;
    return QVariantMap{};
  };
  auto tapIn = [&](const QString& type, double x, double y) {
    const QVariantMap r = viewOf(type);
    const double s = gui_->bridge()->scale();
    const QPointF p((r.value("x").toDouble() + x) * s, (r.value("y").toDouble() + y) * s);
    QTest::mouseClick(gui_->window(), Qt::LeftButton, Qt::NoModifier, p.toPoint());
    gui_->settle();
  };
  // The switch flips in the core.
  tapIn("switch", 10, 10);
  EXPECT_NE(screen().find("switch mySwitch: on"), std::string::npos) << screen();
  tapIn("grid", 75 + 30, 30);  // second item of the first line
  EXPECT_EQ(sink->selectedItem, 1);

  // The picker reports a person's choice.
  const int pickerId = viewOf("picker").value("id").toInt();
  gui_->bridge()->screen()->pick(pickerId, 2);
  EXPECT_EQ(sink->picked, 2);
  gui_->settle();
  ASSERT_TRUE(item("picker_myPicker"));
  EXPECT_EQ(item("picker_myPicker")->property("currentIndex").toInt(), 2);
  // A choice made by code shows too.
  sink->picker->selectRow(1, 0, false);
  gui_->settle();
  EXPECT_EQ(item("picker_myPicker")->property("currentIndex").toInt(), 1);

  // Pinch zoom stays inside the screen's limits.
  const int scrollId = viewOf("scroll").value("id").toInt();
  auto* scroll = Application::shared().navigation()->topViewController()->view().findNamed<ScrollView>("zoomer");
  gui_->bridge()->screen()->zoom(scrollId, 10);
  EXPECT_DOUBLE_EQ(scroll->zoomScale(), 3);
  gui_->bridge()->screen()->zoom(scrollId, std::nan(""));
  EXPECT_DOUBLE_EQ(scroll->zoomScale(), 3);
  gui_->bridge()->screen()->scrollBy(scrollId, -1000, -1000);
  EXPECT_LE(scroll->contentOffset().x, 120 * 3 - 120);
  EXPECT_GE(scroll->contentOffset().x, 0);

  QImage img = gui_->grab();
  EXPECT_GT(inkPixels(img), 100);
  shot("every-view-kind.png");

  // A popped screen's rows no longer reach it.
  Application::shared().navigation()->popViewControllerAnimated(false);
  gui_->settle();
  gui_->bridge()->screen()->pick(pickerId, 1);
  EXPECT_EQ(sink->picked, 2);
}

class pdfViewController : public ViewController, public WebViewDelegate {
public:
  std::string className() const override { return "pdfViewController"; }
  std::string url;
  std::vector<std::string> events;
  void viewDidLoad() override {
    web = make<WebView>(Rect{0, 0, 320, 500});
    web->setDelegate(this);
    view().addSubview(web);
    web->loadRequest(url);
  }
  void webViewDidStartLoad(WebView&) override { events.push_back("start"); }
  void webViewDidFinishLoad(WebView&) override { events.push_back("finish"); }
  void webViewDidFailLoadWithError(WebView&, const std::string&) override { events.push_back("fail"); }
  std::shared_ptr<WebView> web;
};

QByteArray samplePdf() {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  QPdfWriter writer(&buffer);
  QPainter p(&writer);
  QFont f = p.font();
  f.setPointSize(48);
  p.setFont(f);
  p.drawText(QPointF(300, 1200), "Campus map");
  p.end();
  return bytes;
}

// PDF files are fetched by the core and shown through QtPdf; the screen
// hears start and finish, or start and failure for a missing file.
TEST_F(WindowTest, PdfFilesOpenInTheWindow) {
  open(true);
  auto openServed = [&](const char* path, int status, const std::string& body, const char* type) {
    sim::Fault served;
    served.status = status;
    served.body = body;
    served.contentType = type;
    sim().setFault(path, served);
    auto pdf = std::make_shared<pdfViewController>();
    pdf->url = Deployment::current().url("campus_data", path);
    Application::shared().navigation()->pushViewController(pdf, false);
    EXPECT_TRUE(QTest::qWaitFor([&] { return bool((gui_->settle(), pdf->web->state() != WebView::State::Loading)); }, 10000));
    return pdf;
  };
  auto screenA = openServed("/Data/map.pdf", 200, samplePdf().toStdString(), "application/pdf");
  EXPECT_EQ(screenA->web->stateName(), "loaded") << screenA->web->stateName();
  EXPECT_EQ(screenA->events, (std::vector<std::string>{"start", "finish"}));
  std::string copy = gui::QtWebBackend::pdfFileFor(screenA->web.get());
  EXPECT_TRUE(std::filesystem::exists(copy));
  // Pages are drawn in the background: wait until ink shows.
  EXPECT_TRUE(QTest::qWaitFor([&] { return bool(inkPixels(gui_->grab()) > 10); }, 5000));
  shot("pdf.png");

  auto screenB = openServed("/Data/old.pdf", 404, "gone", "");
  EXPECT_EQ(screenB->events, (std::vector<std::string>{"start", "fail"}));

  // The local copies go with the window.
  gui_.reset();
  EXPECT_FALSE(std::filesystem::exists(copy));
}

// With the system clock, the core's timers and background results arrive
// through Qt's event loop alone, no text-driver command involved.
TEST(RunLoopInQt, TimersAndBackgroundResultsArrive) {
  qtApp();
  resetGlobals();
  gui::CoreBridge bridge;
  std::atomic<bool> delivered{false};
  bool fired = false;
  std::vector<int> order;
  const auto t0 = std::chrono::steady_clock::now();
  double firedAfter = 0;
  RunLoop::main().schedule(0.15, [&] {
    fired = true;
    firedAfter = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
  });
  RunLoop::main().schedule(0.05, [&] { order.push_back(1); });
  RunLoop::main().schedule(0.05, [&] { order.push_back(2); });
  Background::run([&delivered] { RunLoop::main().post([&delivered] { delivered = true; }); });
  EXPECT_TRUE(QTest::qWaitFor([&] { return bool(fired && delivered); }, 5000));
  EXPECT_GE(firedAfter, 0.149);
  EXPECT_EQ(order, (std::vector<int>{1, 2}));
  Background::drain(5);
  resetGlobals();
}

// Hidden or minimised, the app is in the background and refreshes course
// changes every 15 minutes; shown again, it is in the foreground and stops.
using WindowRefreshTest = WindowFixture<AcademicFixture>;

TEST_F(WindowRefreshTest, AHiddenWindowRefreshesEveryFifteenMinutes) {
  presetSignedIn(true, false);
  serveTemporary({{"1131001", "資工二A", "資料結構", "王明哲", "12/10(四)第3-4節", "12/17"}});
  open();
  gui_->window()->show();
  gui_->settle();
  auto& app = Application::shared();
  EXPECT_FALSE(app.inBackground());
  QTimer* timer = nullptr;
  for (QTimer* t : gui_->window()->findChildren<QTimer*>())
    if (t->interval() == 15 * 60 * 1000) timer = t;
  ASSERT_NE(timer, nullptr);
  EXPECT_FALSE(timer->isActive());

  gui_->window()->hide();
  EXPECT_TRUE(QTest::qWaitFor([&] { return bool(app.inBackground()); }, 2000));
  EXPECT_TRUE(timer->isActive());
  // The usage exit report went out as the app left the screen.
  Background::drain(10);
  EXPECT_EQ(requestsFor("/Data/situ1.aspx").size(), 1u);

  // A quarter of an hour later (made short here) the refresh runs.
  timer->setInterval(1);
  EXPECT_TRUE(QTest::qWaitFor([&] { return bool(!app.deliveredNotifications().empty()); }, 5000));
  EXPECT_EQ(app.deliveredNotifications()[0].alertBody, "課程異動：\n資料結構 王明哲\n12/10(四)第3-4節\n異動：12/17");
  timer->setInterval(15 * 60 * 1000);

  gui_->window()->show();
  EXPECT_TRUE(QTest::qWaitFor([&] { return bool(!app.inBackground()); }, 2000));
  EXPECT_FALSE(timer->isActive());
  EXPECT_EQ(storedList("41120307stu_temp_subjectNameAry"), (std::vector<std::string>{"資料結構"}));

  // The window closed as the program ends is no trip to the background: no
  // second exit report.
  gui_.reset();
  Background::drain(10);
  EXPECT_FALSE(app.inBackground());
  EXPECT_EQ(requestsFor("/Data/situ1.aspx").size(), 1u);
}

}  // namespace
}  // namespace yx::test
