#include "app/gui/bridge.h"
#include "app/gui/picture_cache.h"
#include "app/gui/view_items.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDateTime>
#include <QImageReader>
#include <QFont>
#include <QPainter>
#include <QPainterPath>
#include <QThread>
#include <QThreadPool>

#include <atomic>
#include <cmath>
#include <future>
#include <optional>
#include <set>

#include "platform/application.h"
#include "platform/files.h"
#include "platform/http.h"
#include "platform/image.h"
#include "platform/runloop.h"
#include "platform/ui/headless_web.h"
#include "platform/ui/view_controller.h"

#include <QDir>
#include <QFile>
#include <QTemporaryFile>
#include <mutex>

namespace yx::gui {

namespace {

std::atomic<int> gBlocking{0};

QString qs(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

// QML colours are "#aarrggbb"; an empty string means clear.
QString colorText(const Color& c) {
  if (c.isClear()) return {};
  auto byte = [](float v) { return std::lround(std::clamp(v, 0.f, 1.f) * 255); };
  return QString::asprintf("#%02lx%02lx%02lx%02lx", byte(c.a), byte(c.r), byte(c.g), byte(c.b));
}

QString imageUrl(const std::string& name) {
  if (name.empty()) return {};
  return QStringLiteral("image://yx/name/") + qs(name);
}

// Starts decoding the bundled pictures a row names (ImageProvider, below).
void decodeAhead(const QVariantMap& row);

const char* alignText(TextAlignment a) {
  switch (a) {
    case TextAlignment::Center: return "center";
    case TextAlignment::Right: return "right";
    default: return "left";
  }
}

NavigationController* nav() { return Application::shared().navigation(); }

// ------------------------------------------------------------- legibility

double luminance(const Color& c) {
  auto lin = [](float v) {
    double x = std::clamp(static_cast<double>(v), 0.0, 1.0);
    return x <= 0.03928 ? x / 12.92 : std::pow((x + 0.055) / 1.055, 2.4);
  };
  return 0.2126 * lin(c.r) + 0.7152 * lin(c.g) + 0.0722 * lin(c.b);
}

double contrast(const Color& a, const Color& b) {
  double la = luminance(a), lb = luminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// What a text is drawn on: the nearest colour behind it, a tiled picture as
// a mid tone (it may be light or dark under any letter), white otherwise.
Color backdropOf(const View* v) {
  for (; v; v = v->superview()) {
    if (!v->backgroundColor().isClear() && v->backgroundColor().a >= 0.5f) return v->backgroundColor();
    if (!v->backgroundPattern().empty()) return Color::gray(0.55f);
  }
  return Color::white();
}

// Text whose colour does not reach 4.5:1 against what is behind it keeps its
// colour and gets an outline that does: dark for light text, light for dark.
QString outlineFor(const Color& text, const Color& behind) {
  if (text.isClear() || contrast(text, behind) >= 4.5) return {};
  return luminance(text) > luminance(behind) ? QStringLiteral("#b3101c26") : QStringLiteral("#e6ffffff");
}

// The toolkit's default button blue is too light on white (4.0:1): titles
// nobody chose a colour for are drawn in a darker blue of the same hue.
Color readableDefault(const Color& title, const Color& behind) {
  if (!(title == Color::rgb(0, 122, 255))) return title;
  Color c = title;
  for (int i = 0; i < 20 && contrast(c, behind) < 4.5; ++i) {
    c.r *= 0.92f;
    c.g *= 0.92f;
    c.b *= 0.92f;
  }
  return c;
}

// ------------------------------------------------------------- rows

QRectF rectOf(const QVariantMap& r) {
  return QRectF(r.value("x").toDouble(), r.value("y").toDouble(), r.value("w").toDouble(), r.value("h").toDouble());
}

bool focusable(const QVariantMap& r) {
  const QString type = r.value("type").toString();
  if (r.value("interactive") == false || r.value("w").toDouble() <= 0 || r.value("h").toDouble() <= 0) return false;
  if (type == "button" || type == "field") return r.value("enabled") != false;
  if (type == "textview") return r.value("editable").toBool();
  return type == "switch" || type == "picker" || type == "table" || type == "grid";
}

// A row drawn over others that takes their touches: a button, or a view
// with a colour (the dimming behind a popup, a loading overlay).
bool covers(const QVariantMap& r) {
  if (r.value("interactive") == false || r.value("alpha").toDouble() <= 0) return false;
  if (r.value("clip").toMap().contains("w")) return false;  // scrolled content
  const QString type = r.value("type").toString();
  return type == "button" || (type == "view" && !r.value("bg").toString().isEmpty());
}

bool isDimmingButton(const QVariantMap& r) {
  return r.value("type") == "button" && r.value("text").toString().isEmpty() && r.value("image").toString().isEmpty() &&
         r.value("w").toDouble() >= kScreenWidth - 0.5 && r.value("h").toDouble() >= kScreenHeight * 0.75;
}

// Fetched pictures by the address of their bytes, so the image provider's
// threads decode them without reaching into the view tree (weakly held: a
// picture no view shows any more is gone).
std::mutex gFetchedMu;
std::map<quintptr, std::weak_ptr<const std::string>> gFetched;

QString fetchedUrl(int viewId, const std::shared_ptr<const std::string>& bytes) {
  const auto key = reinterpret_cast<quintptr>(bytes.get());
  {
    std::lock_guard<std::mutex> lock(gFetchedMu);
    if (gFetched.size() > 256) std::erase_if(gFetched, [](const auto& e) { return e.second.expired(); });
    gFetched[key] = bytes;
  }
  return QStringLiteral("image://yx/view/%1/%2").arg(viewId).arg(key, 0, 16);
}

std::shared_ptr<const std::string> fetchedBytes(const QString& id) {
  bool ok = false;
  const quintptr key = id.section('/', 2, 2).toULongLong(&ok, 16);
  std::lock_guard<std::mutex> lock(gFetchedMu);
  auto it = gFetched.find(key);
  return ok && it != gFetched.end() ? it->second.lock() : nullptr;
}

}  // namespace

bool inBlockingWait() { return gBlocking.load() > 0; }

namespace {
bool inputAllowed() { return !inBlockingWait() && Alerts::visible().empty(); }
}  // namespace

// ----------------------------------------------------------------- flatten

void ScreenModel::flatten(View* v, double ox, double oy, double scale, const QVariantMap& clip,
                          std::vector<QVariantMap>& out, ScreenModel* owner, int depthInCell) {
  if (!v || v->hidden() || v->alpha() <= 0) return;
  const Rect& f = v->frame();
  const double x = ox + f.x * scale, y = oy + f.y * scale, w = f.width * scale, h = f.height * scale;
  QVariantMap a;
  a["x"] = x;
  a["y"] = y;
  a["w"] = w;
  a["h"] = h;
  a["scale"] = scale;
  a["alpha"] = v->alpha();
  a["bg"] = colorText(v->backgroundColor());
  a["pattern"] = imageUrl(v->backgroundPattern());
  a["borderWidth"] = v->borderWidth();
  a["borderColor"] = colorText(v->borderColor());
  a["radius"] = v->cornerRadius();
  a["tag"] = v->hasTag() ? v->tag() : -1;
  a["name"] = qs(v->name());
  a["clip"] = clip;
  a["id"] = owner ? owner->idFor(v) : 0;
  a["interactive"] = v->userInteractionEnabled();
  a["pinch"] = v->hasPinchHandler();
  QString type = "view";
  bool recurse = true;
  double childScale = scale, cx = x, cy = y;
  QVariantMap childClip = clip;
  switch (v->kind()) {
    case ViewKind::View:
    case ViewKind::TableViewCell:
      break;
    case ViewKind::Label: {
      auto* l = static_cast<Label*>(v);
      type = "label";
      a["text"] = qs(l->text());
      a["fontSize"] = l->fontSize() * scale;
      a["bold"] = l->bold();
      a["color"] = colorText(l->textColor());
      a["outline"] = outlineFor(l->textColor(), backdropOf(l));
      a["align"] = alignText(l->alignment());
      a["lines"] = l->numberOfLines();
      a["minScale"] = l->minimumScaleFactor();
      break;
    }
    case ViewKind::Button: {
      auto* b = static_cast<Button*>(v);
      type = "button";
      a["text"] = qs(b->title());
      // A title-only button draws its own white face.
      const bool face = b->image().empty() && b->backgroundImage().empty() && b->backgroundColor().isClear();
      const Color behind = face ? Color::white() : backdropOf(b);
      const Color title = readableDefault(b->titleColor(), behind);
      a["color"] = colorText(title);
      a["outline"] = outlineFor(title, behind);
      a["fontSize"] = b->fontSize() * scale;
      a["image"] = b->imageData() ? fetchedUrl(a["id"].toInt(), b->imageData()) : imageUrl(b->image());
      a["background"] = imageUrl(b->backgroundImage());
      // With both a picture and a title, the title is a caption under the
      // picture, which may use 8 points beside it on either side; a button
      // too short for both (a header's back button) shows the picture.
      const bool caption = !a["image"].toString().isEmpty() && !b->title().empty() && h >= 50;
      a["caption"] = caption;
      a["overhang"] = caption ? 8.0 : 0.0;
      a["enabled"] = b->enabled();
      a["action"] = qs(b->actionName());
      break;
    }
    case ViewKind::TextField: {
      auto* t = static_cast<TextField*>(v);
      type = "field";
      a["text"] = qs(t->text());
      a["placeholder"] = qs(t->placeholder());
      a["secure"] = t->secureTextEntry();
      a["numeric"] = t->numericKeyboard();
      a["enabled"] = t->enabled();
      a["fontSize"] = t->fontSize() * scale;
      a["focused"] = t->isFirstResponder();
      break;
    }
    case ViewKind::TextView: {
      auto* t = static_cast<TextView*>(v);
      type = "textview";
      a["text"] = qs(t->text());
      a["editable"] = t->editable();
      a["fontSize"] = t->fontSize() * scale;
      a["offsetY"] = t->contentOffset().y * scale;
      break;
    }
    case ViewKind::ImageView: {
      auto* i = static_cast<ImageView*>(v);
      type = "image";
      if (i->imageData() && !i->imageData()->empty())
        a["source"] = fetchedUrl(a["id"].toInt(), i->imageData());
      else
        a["source"] = imageUrl(i->imageName());
      a["state"] = qs(i->state());
      if (i->fillsFrame()) a["fills"] = true;
      break;
    }
    case ViewKind::ScrollView: {
      auto* s = static_cast<ScrollView*>(v);
      type = "scroll";
      a["zoom"] = s->zoomScale();
      a["minZoom"] = s->minimumZoomScale();
      a["maxZoom"] = s->maximumZoomScale();
      childScale = scale * s->zoomScale();
      cx = x - s->contentOffset().x * scale;
      cy = y - s->contentOffset().y * scale;
      childClip = QVariantMap{{"x", x}, {"y", y}, {"w", w}, {"h", h}};
      break;
    }
    case ViewKind::TableView:
    case ViewKind::CollectionView:
      type = v->kind() == ViewKind::TableView ? "table" : "grid";
      if (owner) a["model"] = QVariant::fromValue(static_cast<QObject*>(owner->tableFor(v)));
      if (v->kind() == ViewKind::TableView) {
        auto* t = static_cast<TableView*>(v);
        t->layoutIfNeeded();  // heights (and a scroll asked for while measuring them) first
        a["grouped"] = t->style() == TableView::Style::Grouped;
        a["offsetY"] = t->contentOffset().y * scale;
        // The row the screen scrolled to, as an index of the drawn list
        // (headers count), and where it goes; the key changes with each scroll.
        int scrollIndex = -1;
        QString mode;
        if (auto at = t->scrolledToRow()) {
          scrollIndex = 0;
          for (int sec = 0; sec < at->section && sec < t->numberOfSections(); ++sec)
            scrollIndex += (t->headerHeight(sec) > 0 ? 1 : 0) + t->numberOfRowsInSection(sec);
          scrollIndex += (t->headerHeight(at->section) > 0 ? 1 : 0) + at->row;
          switch (t->scrolledToPosition()) {
            case TableView::ScrollPosition::Middle: mode = "middle"; break;
            case TableView::ScrollPosition::Bottom: mode = "bottom"; break;
            default: mode = "top"; break;
          }
        }
        a["scrollIndex"] = scrollIndex;
        a["scrollMode"] = mode;
        a["scrollKey"] = QStringLiteral("%1/%2/%3").arg(t->reloadCount()).arg(scrollIndex).arg(mode);
      } else {
        auto s = static_cast<CollectionView*>(v)->itemSize();
        a["itemW"] = s.width * scale;
        a["itemH"] = s.height * scale;
      }
      recurse = false;
      break;
    case ViewKind::PickerView: {
      auto* p = static_cast<PickerView*>(v);
      type = "picker";
      QStringList titles;
      int rows = p->numberOfRows(0);
      for (int r = 0; r < rows && r < 5000; ++r) titles << qs(p->titleForRow(r, 0));
      a["titles"] = titles;
      a["selected"] = p->selectedRowInComponent(0);
      recurse = false;
      break;
    }
    case ViewKind::Switch:
      type = "switch";
      a["on"] = static_cast<Switch*>(v)->isOn();
      break;
    case ViewKind::ActivityIndicator: {
      auto* s = static_cast<ActivityIndicator*>(v);
      type = "spinner";
      a["running"] = s->isAnimating();
      a["large"] = s->large();
      if (!s->isAnimating() && s->hidesWhenStopped()) return;
      break;
    }
    case ViewKind::ProgressView:
      type = "progress";
      a["progress"] = static_cast<ProgressView*>(v)->progress();
      break;
    case ViewKind::WebView: {
      auto* wv = static_cast<WebView*>(v);
      type = "web";
      a["url"] = qs(wv->url());
      a["state"] = qs(wv->stateName());
      QString lower = qs(wv->url()).toLower();
      a["pdf"] = lower.section('?', 0, 0).endsWith(".pdf");
      a["pdfFile"] = qs(QtWebBackend::pdfFileFor(wv));
      a["fit"] = wv->scalesPageToFit();
      recurse = false;
      break;
    }
  }
  a["type"] = type;
  a["depthInCell"] = depthInCell;
  out.push_back(std::move(a));
  if (!recurse) return;
  for (auto& s : v->subviews()) flatten(s.get(), cx, cy, childScale, childClip, out, owner, depthInCell);
}

// ------------------------------------------------------- accessible names

namespace {

// What a picture button does, by its picture.
QString pictureMeaning(const QString& image) {
  QString base = image.section('/', -1);
  base = base.left(base.indexOf('.') < 0 ? base.size() : base.indexOf('.'));
  static const QHash<QString, QString> meanings = {
      {"btn_home", "首頁"}, {"home", "首頁"}, {"回首頁1", "首頁"}, {"首頁", "首頁"},
      {"btn_back", "返回"}, {"back", "返回"}, {"上一頁", "返回"},
  };
  return meanings.value(base);
}

// The text of a label on the same line, just left of (or right of) a control.
QString besideLabel(const std::vector<QVariantMap>& rows, const QVariantMap& c, bool toTheRight) {
  const QRectF r = rectOf(c);
  QString best;
  double bestGap = 48;
  for (const auto& l : rows) {
    if (l.value("type") != "label" || l.value("text").toString().isEmpty()) continue;
    const QRectF lr = rectOf(l);
    const double overlap = std::min(r.bottom(), lr.bottom()) - std::max(r.top(), lr.top());
    if (overlap < std::min(r.height(), lr.height()) / 2) continue;
    const double gap = toTheRight ? lr.left() - r.right() : r.left() - lr.right();
    if (gap > -2 && gap < bestGap) {
      bestGap = gap;
      best = l.value("text").toString();
    }
  }
  return best;
}

// The text of a label just above a control (within 60 points).
QString aboveLabel(const std::vector<QVariantMap>& rows, const QVariantMap& c) {
  const QRectF r = rectOf(c);
  QString best;
  double bestGap = 60;
  for (const auto& l : rows) {
    if (l.value("type") != "label" || l.value("text").toString().isEmpty()) continue;
    const QRectF lr = rectOf(l);
    const double gap = r.top() - lr.bottom();
    if (gap > -2 && gap < bestGap && lr.right() > r.left() && lr.left() < r.right()) {
      bestGap = gap;
      best = l.value("text").toString();
    }
  }
  return best;
}

}  // namespace

void ScreenModel::nameControls(std::vector<QVariantMap>& rows) {
  for (auto& r : rows) {
    const QString type = r.value("type").toString();
    QString name;
    if (type == "button") {
      const QString image = r.value("image").toString().section('/', -1);
      if (image.startsWith("checkbox")) {
        r["checkable"] = true;
        r["checked"] = image.startsWith("checkbox2");
      }
      name = r.value("text").toString();
      if (name.isEmpty()) name = pictureMeaning(image);
      if (name.isEmpty()) name = besideLabel(rows, r, true);
      if (name.isEmpty()) name = besideLabel(rows, r, false);
      if (name.isEmpty() && isDimmingButton(r)) name = QStringLiteral("關閉");
      if (name.isEmpty()) name = image.section('.', 0, 0);
    } else if (type == "field" || type == "switch") {
      name = besideLabel(rows, r, false);
      if (name.isEmpty()) name = aboveLabel(rows, r);
      if (name.isEmpty()) name = r.value("placeholder").toString();
    } else if (type == "picker" || type == "textview" || type == "table" || type == "grid") {
      name = aboveLabel(rows, r);
      if (name.isEmpty() && type == "picker") name = QStringLiteral("選項");
      if (name.isEmpty() && type == "textview") name = QStringLiteral("內容");
      if (name.isEmpty() && (type == "table" || type == "grid")) name = QStringLiteral("列表");
    } else if (type == "web") {
      name = QStringLiteral("網頁");
    } else {
      continue;
    }
    if (name.isEmpty()) name = r.value("name").toString();
    r["accessibleName"] = name;
  }
}

// -------------------------------------------------------------- TableModel

TableModel::TableModel(std::shared_ptr<View> table, QObject* parent)
    : QAbstractListModel(parent), table_(table) {
  refresh();
}

bool TableModel::grid() const {
  auto t = table_.lock();
  return t && t->kind() == ViewKind::CollectionView;
}

void TableModel::refresh() {
  auto t = table_.lock();
  std::vector<Entry> fresh;
  unsigned long reloads = 0;
  if (auto* tv = dynamic_cast<TableView*>(t.get())) {
    tv->layoutIfNeeded();  // every row height, in order, before drawing
    reloads = tv->reloadCount();
    int sections = tv->numberOfSections();
    for (int s = 0; s < sections; ++s) {
      if (tv->headerHeight(s) > 0) fresh.push_back({true, s, -1});
      int rows = tv->numberOfRowsInSection(s);
      for (int r = 0; r < rows; ++r) fresh.push_back({false, s, r});
    }
  } else if (auto* cv = dynamic_cast<CollectionView*>(t.get())) {
    int sections = cv->numberOfSections();
    for (int s = 0; s < sections; ++s)
      for (int r = 0, n = cv->numberOfItemsInSection(s); r < n; ++r) fresh.push_back({false, s, r});
  }
  bool same = reloads == reloads_ && fresh.size() == entries_.size();
  for (size_t i = 0; same && i < fresh.size(); ++i)
    same = fresh[i].header == entries_[i].header && fresh[i].section == entries_[i].section &&
           fresh[i].row == entries_[i].row;
  if (!same) {
    beginResetModel();
    entries_ = std::move(fresh);
    reloads_ = reloads;
    endResetModel();
    if (current_ >= static_cast<int>(entries_.size()) || (current_ >= 0 && entries_[current_].header)) {
      current_ = -1;
      emit currentChanged();
    }
  } else if (!entries_.empty()) {
    // Cell contents may change without a reload (a picture arrives).
    emit dataChanged(index(0), index(static_cast<int>(entries_.size()) - 1));
  }
}

int TableModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(entries_.size());
}

QHash<int, QByteArray> TableModel::roleNames() const {
  return {{KindRole, "kind"},     {SectionRole, "section"},       {RowRole, "row"},
          {HeightRole, "rowHeight"}, {PartsRole, "parts"},         {TitleRole, "title"},
          {DisclosureRole, "disclosure"}, {SelectedRole, "selected"}, {CheckmarkRole, "checkmark"}};
}

QVariant TableModel::data(const QModelIndex& index, int role) const {
  auto t = table_.lock();
  if (!t || !index.isValid() || index.row() >= static_cast<int>(entries_.size())) return {};
  const Entry& e = entries_[static_cast<size_t>(index.row())];
  auto* tv = dynamic_cast<TableView*>(t.get());
  auto* cv = dynamic_cast<CollectionView*>(t.get());
  switch (role) {
    case KindRole: return e.header ? QStringLiteral("header") : QStringLiteral("row");
    case SectionRole: return e.section;
    case RowRole: return e.row;
    case HeightRole:
      if (cv) return cv->itemSize().height;
      return e.header ? tv->headerHeight(e.section) : tv->heightForRow({e.section, e.row});
    case TitleRole: return e.header && tv ? qs(tv->headerTitle(e.section)) : QString();
    case SelectedRole: {
      if (!tv || e.header) return false;
      auto sel = tv->indexPathForSelectedRow();
      return sel && sel->section == e.section && sel->row == e.row;
    }
    case DisclosureRole:
    case CheckmarkRole:
    case PartsRole: {
      std::shared_ptr<View> content;
      if (e.header) {
        if (tv) content = tv->headerView(e.section);
      } else {
        if (role == PartsRole) ++asked_;  // once per drawn row
        content = tv ? std::static_pointer_cast<View>(tv->cellForRow({e.section, e.row}))
                     : std::static_pointer_cast<View>(cv->cellForItem({e.section, e.row}));
      }
      if (role == DisclosureRole || role == CheckmarkRole) {
        auto* cell = dynamic_cast<TableViewCell*>(content.get());
        return cell && (role == DisclosureRole ? cell->showsDisclosure() : cell->showsCheckmark());
      }
      QVariantList parts;
      if (!content) return parts;
      // A cell's views are laid out from the cell's own origin.
      std::vector<QVariantMap> rows;
      for (auto& s : content->subviews())
        ScreenModel::flatten(s.get(), 0, 0, 1, {}, rows, qobject_cast<ScreenModel*>(parent()), 1);
      for (auto& r : rows) parts.push_back(r);
      return parts;
    }
  }
  return {};
}

void TableModel::select(int listIndex) {
  if (inBlockingWait() || !Alerts::visible().empty()) return;
  auto t = table_.lock();
  if (!t || listIndex < 0 || listIndex >= static_cast<int>(entries_.size())) return;
  const Entry& e = entries_[static_cast<size_t>(listIndex)];
  if (e.header) return;
  if (auto* tv = dynamic_cast<TableView*>(t.get())) tv->userSelectRow({e.section, e.row});
  else if (auto* cv = dynamic_cast<CollectionView*>(t.get())) cv->userSelectItem({e.section, e.row});
}

bool TableModel::moveCurrent(int delta) {
  if (entries_.empty() || delta == 0) return false;
  const int n = static_cast<int>(entries_.size());
  int i = current_ < 0 ? (delta > 0 ? -1 : n) : current_;
  const int step = delta > 0 ? 1 : -1;
  for (int left = std::abs(delta); left > 0;) {
    int next = i + step;
    while (next >= 0 && next < n && entries_[next].header) next += step;
    if (next < 0 || next >= n) break;
    i = next;
    --left;
  }
  if (i < 0 || i >= n || i == current_) return false;
  current_ = i;
  emit currentChanged();
  return true;
}

bool TableModel::openCurrent() {
  if (current_ < 0 || current_ >= static_cast<int>(entries_.size())) return false;
  select(current_);
  return true;
}

// ------------------------------------------------------------- ScreenModel

ScreenModel::ScreenModel(QObject* parent) : QAbstractListModel(parent) {}

int ScreenModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

QHash<int, QByteArray> ScreenModel::roleNames() const {
  return {{TypeRole, "type"}, {AttrsRole, "attrs"}, {IdRole, "viewId"}};
}

QVariant ScreenModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= static_cast<int>(rows_.size())) return {};
  const QVariantMap& r = rows_[static_cast<size_t>(index.row())];
  switch (role) {
    case TypeRole: return r.value("type");
    case AttrsRole: return r;
    case IdRole: return r.value("id");
  }
  return {};
}

QString ScreenModel::className() const {
  auto* n = nav();
  return n && n->topViewController() ? qs(n->topViewController()->className()) : QString();
}

QString ScreenModel::rootColor() const {
  QString c = rows_.empty() ? QString() : rows_.front().value("bg").toString();
  return c.isEmpty() ? QStringLiteral("#ffffff") : c;
}

int ScreenModel::depth() const {
  auto* n = nav();
  return n ? static_cast<int>(n->depth()) : 0;
}

int ScreenModel::idFor(View* v) {
  auto it = ids_.find(v);
  if (it != ids_.end()) {
    // The address may have been reused by a new view: check the weak reference.
    auto& weak = live_[v];
    if (!weak.expired() && weak.lock().get() == v) return it->second;
    byId_.erase(it->second);
  }
  int id = nextId_++;
  ids_[v] = id;
  byId_[id] = v;
  live_[v] = v->weak_from_this();
  return id;
}

View* ScreenModel::viewFor(int id) const {
  auto it = byId_.find(id);
  if (it == byId_.end()) return nullptr;
  auto lt = live_.find(it->second);
  if (lt == live_.end()) return nullptr;
  auto sp = lt->second.lock();
  if (sp.get() != it->second) return nullptr;
  // Only views of the screen on top (or of its table cells) take input: a
  // screen that was popped may still be alive, held by a pending call.
  View* root = sp.get();
  while (root->superview()) root = root->superview();
  auto* n = nav();
  ViewController* top = n ? n->topViewController() : nullptr;
  if (root->kind() == ViewKind::TableViewCell) return sp.get();
  return top && top->isViewLoaded() && root == top->viewPtr().get() ? sp.get() : nullptr;
}

TableModel* ScreenModel::tableFor(View* v) {
  auto it = tables_.find(v);
  if (it != tables_.end() && it->second->view() == v) {
    return it->second;
  }
  if (it != tables_.end()) it->second->deleteLater();
  auto* m = new TableModel(v->shared_from_this(), this);
  tables_[v] = m;
  return m;
}

void ScreenModel::scheduleRebuild() {
  if (pending_) return;
  pending_ = true;
  QMetaObject::invokeMethod(this, [this] {
    pending_ = false;
    if (inBlockingWait()) {
      // The core is in the middle of a request: draw what is there, read later.
      QTimer::singleShot(30, this, [this] { scheduleRebuild(); });
      return;
    }
    rebuildNow();
  }, Qt::QueuedConnection);
}

void ScreenModel::rebuildNow() {
  std::vector<QVariantMap> fresh;
  auto* n = nav();
  if (n && n->topViewController()) flatten(n->topViewController()->viewPtr().get(), 0, 0, 1, {}, fresh, this, 0);
  nameControls(fresh);
  // The screen's artwork decodes on other threads while its items are made.
  for (const QVariantMap& row : fresh) decodeAhead(row);
  // Drop table models and ids of views that are gone.
  for (auto it = tables_.begin(); it != tables_.end();) {
    if (!it->second->view()) {
      it->second->deleteLater();
      it = tables_.erase(it);
    } else {
      ++it;
    }
  }
  for (auto it = live_.begin(); it != live_.end();) {
    if (it->second.expired()) {
      auto id = ids_.find(it->first);
      if (id != ids_.end()) {
        byId_.erase(id->second);
        ids_.erase(id);
      }
      it = live_.erase(it);
    } else {
      ++it;
    }
  }
  bool sameShape = fresh.size() == rows_.size();
  for (size_t i = 0; sameShape && i < fresh.size(); ++i)
    sameShape = fresh[i].value("id") == rows_[i].value("id") && fresh[i].value("type") == rows_[i].value("type");
  if (sameShape) {
    // Keep the delegates (and a field's keyboard focus); update what changed.
    for (size_t i = 0; i < fresh.size(); ++i)
      if (fresh[i] != rows_[i]) {
        rows_[i] = std::move(fresh[i]);
        emit dataChanged(index(static_cast<int>(i)), index(static_cast<int>(i)));
      }
  } else {
    beginResetModel();
    rows_ = std::move(fresh);
    endResetModel();
  }
  for (auto& [v, m] : tables_)
    if (m->view()) m->refresh();
  updateFocusChain();
  emit screenChanged();
  emit rebuilt();
}

QString ScreenModel::drawnBy(const QVariantMap& row) {
  // Each kind is loaded the first time a screen shows one, so the first
  // screen does not wait for pickers, web pages or PDF files.
  static const QHash<QString, QString> files = {
      {"view", "BoxView.qml"},          {"label", "LabelView.qml"},          {"field", "FieldView.qml"},
      {"textview", "TextAreaView.qml"}, {"image", "ImageItemView.qml"},      {"scroll", "ScrollAreaView.qml"},
      {"table", "TableItemView.qml"},   {"grid", "GridItemView.qml"},        {"picker", "PickerItemView.qml"},
      {"switch", "SwitchView.qml"},     {"spinner", "SpinnerView.qml"},      {"progress", "ProgressBarView.qml"},
      {"web", "WebItemView.qml"}};
  const QString type = row.value("type").toString();
  if (type == "button") {
    const bool titleOnly = !row.value("text").toString().isEmpty() && row.value("image").toString().isEmpty() &&
                           row.value("background").toString().isEmpty() && row.value("bg").toString().isEmpty();
    return titleOnly ? QStringLiteral("TitleButtonView.qml") : QStringLiteral("ButtonView.qml");
  }
  return files.value(type, QStringLiteral("BoxView.qml"));
}

// ---------------------------------------------------------------- keyboard

const QVariantMap* ScreenModel::rowFor(int id) const {
  for (const auto& r : rows_)
    if (r.value("id").toInt() == id) return &r;
  return nullptr;
}

void ScreenModel::updateFocusChain() {
  std::vector<int> chain;
  std::vector<int> pickers;
  for (size_t i = 0; i < rows_.size(); ++i) {
    const QVariantMap& r = rows_[i];
    if (!focusable(r)) continue;
    const QPointF centre = rectOf(r).center();
    bool hidden = false;
    for (size_t j = i + 1; j < rows_.size() && !hidden; ++j)
      hidden = covers(rows_[j]) && rectOf(rows_[j]).contains(centre) && !rectOf(r).contains(rectOf(rows_[j]));
    if (hidden) continue;
    chain.push_back(r.value("id").toInt());
    if (r.value("type") == "picker") pickers.push_back(chain.back());
  }
  const std::vector<int> old = chain_;
  chain_ = std::move(chain);
  auto has = [this](int id) { return std::find(chain_.begin(), chain_.end(), id) != chain_.end(); };
  int focus = focusId_;
  // A picker that just opened takes the focus, to give it back when it closes.
  for (int p : pickers)
    if (std::find(old.begin(), old.end(), p) == old.end() && focusId_ != 0) {
      focusReturn_.push_back(focusId_);
      focus = p;
    }
  if (focus != 0 && !has(focus)) {
    focus = 0;
    while (!focusReturn_.empty() && focus == 0) {
      int back = focusReturn_.back();
      focusReturn_.pop_back();
      if (has(back)) focus = back;
    }
  }
  std::erase_if(focusReturn_, [&](int id) { return !has(id); });
  if (focus != focusId_) {
    focusId_ = focus;
    emit focusChanged();
  }
}

void ScreenModel::setFocusId(int id) {
  if (id != 0 && std::find(chain_.begin(), chain_.end(), id) == chain_.end()) return;
  if (id == focusId_) return;
  focusId_ = id;
  scrollIntoView(id);
  emit focusChanged();
}

void ScreenModel::moveFocus(int step) {
  if (chain_.empty() || step == 0) return;
  const int n = static_cast<int>(chain_.size());
  auto it = std::find(chain_.begin(), chain_.end(), focusId_);
  int i;
  if (it == chain_.end()) i = step > 0 ? 0 : n - 1;
  else i = ((static_cast<int>(it - chain_.begin()) + step) % n + n) % n;
  if (auto* f = dynamic_cast<TextField*>(viewFor(focusId_)); f && f->isFirstResponder()) f->resignFirstResponder();
  focusId_ = chain_[static_cast<size_t>(i)];
  scrollIntoView(focusId_);
  emit focusChanged();
}

// Scrolls the scroll view holding a focused control so that it shows.
void ScreenModel::scrollIntoView(int id) {
  View* v = viewFor(id);
  if (!v) return;
  Rect r = v->frame();
  for (View* s = v->superview(); s; s = s->superview()) {
    if (auto* sv = dynamic_cast<ScrollView*>(s)) {
      const double z = sv->zoomScale();
      Point off = sv->contentOffset();
      const double top = r.y * z, bottom = (r.y + r.height) * z, height = sv->frame().height;
      if (top < off.y) off.y = top;
      else if (bottom > off.y + height) off.y = bottom - height;
      if (off.y != sv->contentOffset().y) sv->setContentOffset(off, false);
      return;
    }
    r.x += s->frame().x;
    r.y += s->frame().y;
  }
}

bool ScreenModel::activateFocus() {
  if (!inputAllowed() || focusId_ == 0) return false;
  View* v = viewFor(focusId_);
  if (!v) return false;
  switch (v->kind()) {
    case ViewKind::Button: return static_cast<Button*>(v)->tap();
    case ViewKind::TextField: return focusField(focusId_);
    case ViewKind::Switch: {
      auto* s = static_cast<Switch*>(v);
      s->userSet(!s->isOn());
      return true;
    }
    case ViewKind::TableView:
    case ViewKind::CollectionView: return tableFor(v)->openCurrent();
    default: return false;
  }
}

bool ScreenModel::typeIntoFocus(const QString& text) {
  if (!inputAllowed() || text.isEmpty()) return false;
  auto* f = dynamic_cast<TextField*>(viewFor(focusId_));
  if (!f || !f->enabled()) return false;
  if (!f->isFirstResponder() && !f->userFocus()) return false;
  f->userType(f->text() + text.toStdString());
  return true;
}

bool ScreenModel::arrow(int delta) {
  if (!inputAllowed() || focusId_ == 0) return false;
  View* v = viewFor(focusId_);
  if (auto* p = dynamic_cast<PickerView*>(v)) {
    const int rows = p->numberOfRows(0);
    const int row = std::clamp(p->selectedRowInComponent(0) + delta, 0, std::max(0, rows - 1));
    if (rows == 0 || row == p->selectedRowInComponent(0)) return false;
    p->userPick(row, 0);
    return true;
  }
  if (v && (v->kind() == ViewKind::TableView || v->kind() == ViewKind::CollectionView))
    return tableFor(v)->moveCurrent(delta);
  return false;
}

int ScreenModel::backButtonId() const {
  // The header bar's back button by name; a picture button showing a back arrow otherwise.
  int byImage = 0;
  for (const auto& r : rows_) {
    if (r.value("type") != "button" || r.value("enabled") == false) continue;
    if (r.value("name") == "backButton") return r.value("id").toInt();
    const QString image = r.value("image").toString().section('/', -1);
    if (!byImage && (image.startsWith("btn_back") || image.startsWith(QStringLiteral("上一頁"))))
      byImage = r.value("id").toInt();
  }
  return byImage;
}

bool ScreenModel::pressBack() {
  if (!inputAllowed()) return false;
  const int id = backButtonId();
  auto* b = dynamic_cast<Button*>(viewFor(id));
  return b && b->tap();
}

bool ScreenModel::pressDismiss() {
  if (!inputAllowed()) return false;
  for (auto it = rows_.rbegin(); it != rows_.rend(); ++it)
    if (isDimmingButton(*it) && it->value("interactive") != false)
      if (auto* b = dynamic_cast<Button*>(viewFor(it->value("id").toInt()))) return b->tap();
  return false;
}


void ScreenModel::tap(int id) {
  if (!inputAllowed()) return;
  if (auto* b = dynamic_cast<Button*>(viewFor(id))) b->tap();
}

bool ScreenModel::focusField(int id) {
  if (!inputAllowed()) return false;
  auto* f = dynamic_cast<TextField*>(viewFor(id));
  if (!f || !f->enabled()) return false;
  if (f->isFirstResponder()) return true;
  return f->userFocus();
}

void ScreenModel::typeText(int id, const QString& text) {
  if (!inputAllowed()) return;
  auto* f = dynamic_cast<TextField*>(viewFor(id));
  if (!f || !f->enabled()) return;
  if (!f->isFirstResponder() && !f->userFocus()) return;
  std::string t = text.toStdString();
  if (t != f->text()) f->userType(t);
}

void ScreenModel::returnKey(int id) {
  if (!inputAllowed()) return;
  if (auto* f = dynamic_cast<TextField*>(viewFor(id))) f->userReturn();
}

void ScreenModel::endEditing(int id) {
  if (auto* f = dynamic_cast<TextField*>(viewFor(id)); f && f->isFirstResponder()) f->resignFirstResponder();
}

void ScreenModel::editText(int id, const QString& text) {
  if (!inputAllowed()) return;
  if (auto* t = dynamic_cast<TextView*>(viewFor(id)); t && t->editable()) {
    std::string s = text.toStdString();
    if (s != t->text() && !t->userSetText(s)) scheduleRebuild();  // refused: show the old text again
  }
}

void ScreenModel::pick(int id, int row) {
  if (!inputAllowed()) return;
  if (auto* p = dynamic_cast<PickerView*>(viewFor(id)); p && p->selectedRowInComponent(0) != row) p->userPick(row, 0);
}

void ScreenModel::flip(int id, bool on) {
  if (!inputAllowed()) return;
  if (auto* s = dynamic_cast<Switch*>(viewFor(id)); s && s->isOn() != on) s->userSet(on);
}

void ScreenModel::scrollBy(int id, double dx, double dy) {
  if (!inputAllowed()) return;
  auto* s = dynamic_cast<ScrollView*>(viewFor(id));
  if (!s) return;
  const double z = s->zoomScale();
  double maxX = std::max(0.0, s->contentSize().width * z - s->frame().width);
  double maxY = std::max(0.0, s->contentSize().height * z - s->frame().height);
  // Content sized by its zooming view when no content size was given.
  if (s->contentSize() == Size{} && s->zoomingView()) {
    maxX = std::max(0.0, s->zoomingView()->frame().width * z - s->frame().width);
    maxY = std::max(0.0, s->zoomingView()->frame().height * z - s->frame().height);
  }
  Point p = s->contentOffset();
  p.x = std::clamp(p.x - dx, 0.0, maxX);
  p.y = std::clamp(p.y - dy, 0.0, maxY);
  s->setContentOffset(p, false);
}

void ScreenModel::zoom(int id, double scale) {
  if (!inputAllowed()) return;
  auto* s = dynamic_cast<ScrollView*>(viewFor(id));
  if (!s || !std::isfinite(scale)) return;
  s->setZoomScale(std::clamp(scale, s->minimumZoomScale(), s->maximumZoomScale()), false);
}

void ScreenModel::pinch(int id, int phase, double scale) {
  if (!inputAllowed()) return;
  if (auto* v = viewFor(id))
    v->userPinchPhase(phase == 0 ? GestureState::Began : phase == 1 ? GestureState::Changed : GestureState::Ended,
                      scale);
}

void ScreenModel::zoomAt(int id, double scale, double fx, double fy, bool ended) {
  if (!inputAllowed()) return;
  auto* s = dynamic_cast<ScrollView*>(viewFor(id));
  if (!s || !s->zoomable() || !std::isfinite(scale) || !std::isfinite(fx) || !std::isfinite(fy)) return;
  const double before = s->zoomScale();
  const double after = std::clamp(scale, s->minimumZoomScale(), s->maximumZoomScale());
  // The content point under the focus stays under it.
  Point p = s->contentOffset();
  const double k = before > 0 ? after / before : 1;
  Size content = s->contentSize();
  if (content == Size{} && s->zoomingView()) content = {s->zoomingView()->frame().width, s->zoomingView()->frame().height};
  const double maxX = std::max(0.0, content.width * after - s->frame().width);
  const double maxY = std::max(0.0, content.height * after - s->frame().height);
  p.x = std::clamp((p.x + fx) * k - fx, 0.0, maxX);
  p.y = std::clamp((p.y + fy) * k - fy, 0.0, maxY);
  s->setZoomScale(after, false);
  s->setContentOffset(p, false);
  if (ended) s->userZoom(after);
}

void ScreenModel::webStarted(int id) {
  if (auto* w = dynamic_cast<WebView*>(viewFor(id)); w && w->state() != WebView::State::Loading) w->backendDidStart();
}

void ScreenModel::webFinished(int id) {
  if (auto* w = dynamic_cast<WebView*>(viewFor(id)); w && w->state() == WebView::State::Loading) w->backendDidFinish();
}

void ScreenModel::webFailed(int id, const QString& error) {
  if (auto* w = dynamic_cast<WebView*>(viewFor(id)); w && w->state() == WebView::State::Loading)
    w->backendDidFail(error.toStdString());
}

// -------------------------------------------------------------- AlertState

void AlertState::refresh() {
  auto a = Alerts::front();
  bool vis = static_cast<bool>(a);
  QString title, message;
  QStringList buttons, texts;
  bool hasProgress = false;
  double progress = 0;
  if (a) {
    title = qs(a->title());
    message = qs(a->message());
    for (auto& b : a->buttonTitles()) buttons << qs(b);
    std::vector<QVariantMap> rows;
    for (auto& s : a->contentView().subviews()) ScreenModel::flatten(s.get(), 0, 0, 1, {}, rows, nullptr, 0);
    for (auto& r : rows) {
      if (r.value("type") == "progress") {
        hasProgress = true;
        progress = r.value("progress").toDouble();
      } else if (r.value("type") == "label" && !r.value("text").toString().isEmpty()) {
        texts << r.value("text").toString();
      }
    }
  }
  if (vis == visible_ && title == title_ && message == message_ && buttons == buttons_ && texts == texts_ &&
      hasProgress == hasProgress_ && progress == progress_)
    return;
  visible_ = vis;
  title_ = title;
  message_ = message;
  buttons_ = buttons;
  texts_ = texts;
  hasProgress_ = hasProgress;
  progress_ = progress;
  emit changed();
}

void AlertState::press(int index) {
  if (inBlockingWait()) return;
  if (auto a = Alerts::front()) a->pressButton(index);
}

bool AlertState::pressDefault() {
  auto a = Alerts::front();
  if (inBlockingWait() || !a || a->buttonTitles().empty()) return false;
  a->pressButton(static_cast<int>(a->buttonTitles().size()) - 1);
  return true;
}

bool AlertState::pressCancel() {
  auto a = Alerts::front();
  if (inBlockingWait() || !a || a->buttonTitles().empty()) return false;
  a->pressButton(0);
  return true;
}

// ---------------------------------------------------------------- NavState

int NavState::depth() const { return nav() ? static_cast<int>(nav()->depth()) : 0; }
QString NavState::top() const {
  return nav() && nav()->topViewController() ? qs(nav()->topViewController()->className()) : QString();
}

void NavState::attach() {
  if (auto* n = nav())
    n->setTransitionListener([this](const Transition& t) {
      static const char* names[] = {"push", "pop", "popTo", "popToRoot", "setRoot"};
      emit transition(names[static_cast<int>(t.kind)], t.animated);
      emit changed();
    });
  emit transition("setRoot", false);
  emit changed();
}

// ----------------------------------------------------------- ImageProvider

ImageProvider::ImageProvider(ScreenModel* screen)
    : QQuickImageProvider(QQuickImageProvider::Image), screen_(screen) {}

QImage ImageProvider::placeholder(const QString& name, QSize size) {
  if (!size.isValid() || size.isEmpty()) size = QSize(64, 64);
  QImage img(size, QImage::Format_ARGB32_Premultiplied);
  img.fill(Qt::transparent);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  QRectF r(1, 1, size.width() - 2, size.height() - 2);
  QPainterPath path;
  path.addRoundedRect(r, std::min(r.width(), r.height()) * 0.18, std::min(r.width(), r.height()) * 0.18);
  p.fillPath(path, QColor(0xe8, 0xee, 0xf2));
  p.setPen(QPen(QColor(0xb8, 0xc4, 0xcc), 1));
  p.drawPath(path);
  QString initial = name.section('/', -1).left(1).toUpper();
  QFont font;
  font.setPixelSize(std::max(8, static_cast<int>(std::min(r.width(), r.height()) * 0.45)));
  p.setFont(font);
  p.setPen(QColor(0x7a, 0x8a, 0x96));
  p.drawText(r, Qt::AlignCenter, initial);
  return img;
}

namespace {

// The picture format the first bytes show. Qt is given it outright: left to
// guess from a file name or the content, it loads and asks every image
// plugin installed (the PDF renderer among them), which costs the first
// frame several milliseconds and hands a server's bytes to readers the app
// never meant to use.
QByteArray pictureFormat(QIODevice& device) {
  const QByteArray head = device.peek(12);
  if (head.startsWith("\x89PNG\r\n\x1a\n")) return "png";
  if (head.startsWith("\xff\xd8\xff")) return "jpeg";
  if (head.startsWith("GIF87a") || head.startsWith("GIF89a")) return "gif";
  if (head.startsWith("BM")) return "bmp";
  if (head.size() >= 12 && head.startsWith("RIFF") && head.mid(8, 4) == "WEBP") return "webp";
  if (head.size() >= 2 && head[0] == 'P' && head[1] >= '1' && head[1] <= '6')
    return head[1] == '1' || head[1] == '4' ? "pbm" : head[1] == '2' || head[1] == '5' ? "pgm" : "ppm";
  return {};
}

// Decodes a picture in one of the formats above (a null image otherwise),
// no larger than `fit` when given.
QImage readPicture(QIODevice& device, QSize fit = {}) {
  const QByteArray format = pictureFormat(device);
  if (format.isEmpty()) return {};
  QImageReader reader(&device, format);
  reader.setAutoDetectImageFormat(false);
  const QSize natural = reader.size();
  if (fit.isValid() && natural.isValid() && fit.width() > 0 && fit.height() > 0 &&
      (natural.width() > fit.width() || natural.height() > fit.height()))
    reader.setScaledSize(natural.scaled(fit, Qt::KeepAspectRatio));
  QImage img = reader.read();
  // In the form the scene graph draws from, while still on the decoding
  // thread (else the GUI thread converts it when the picture is first shown).
  if (!img.isNull())
    img.convertTo(img.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
  return img;
}

QImage readPicture(const QByteArray& bytes, QSize fit = {}) {
  QByteArray data = bytes;
  QBuffer buffer(&data);
  if (!buffer.open(QIODevice::ReadOnly)) return {};
  return readPicture(buffer, fit);
}

// A bundled picture by name; a file that is no picture falls back to the
// toolkit's own search (a later candidate may be one). Null when none is.
// `toKeep` gets the picture file's path when the picture was decoded now
// and is worth keeping for the next start, which the caller asks for once
// the picture is handed over.
QImage decodeArtwork(const QString& name, std::string* toKeep = nullptr) {
  QImage img;
  const std::string path = yx::Image::pathNamed(name.toStdString());
  if (!path.empty()) {
    // Decoded at an earlier start, or now.
    img = readKeptPicture(path);
    if (!img.isNull()) return img;
    QFile file(QString::fromStdString(path));
    if (file.open(QIODevice::ReadOnly)) img = readPicture(file);
    if (!img.isNull() && toKeep) *toKeep = path;
  }
  if (img.isNull()) {
    yx::Image found = yx::Image::named(name.toStdString());
    if (!found.empty()) img = readPicture(QByteArray::fromStdString(found.bytes()));
  }
  return img;
}

// Artwork decoded ahead of need: as soon as a screen's views are known, the
// pictures they name are decoded on the thread pool while the window makes
// the items that show them (most of a first frame's work is on the GUI
// thread). The provider takes each result, waiting for one still being
// decoded. A name is decoded ahead once: the window keeps what it was given.
class ArtworkAhead {
public:
  static ArtworkAhead& shared() {
    static ArtworkAhead ahead;
    return ahead;
  }
  void start(const QString& name) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!started_.insert(name).second) return;
    auto promise = std::make_shared<std::promise<QImage>>();
    jobs_.emplace(name, promise->get_future().share());
    QThreadPool::globalInstance()->start([name, promise] {
      std::string toKeep;
      QImage img = decodeArtwork(name, &toKeep);
      promise->set_value(img);
      if (!toKeep.empty()) keepPictureSoon(toKeep, img);
    });
  }
  // The picture decoded ahead (null when it is no picture); nothing when it
  // was not started or was taken already.
  std::optional<QImage> take(const QString& name) {
    std::shared_future<QImage> job;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      auto it = jobs_.find(name);
      if (it == jobs_.end()) return std::nullopt;
      job = std::move(it->second);
      jobs_.erase(it);
    }
    return job.get();
  }

private:
  std::mutex mutex_;
  std::set<QString> started_;
  std::map<QString, std::shared_future<QImage>> jobs_;
};

}  // namespace

namespace {
void decodeAhead(const QVariantMap& row) {
  static const QString prefix = QStringLiteral("image://yx/name/");
  for (const char* key : {"image", "background", "pattern", "source"}) {
    const QString url = row.value(key).toString();
    if (url.startsWith(prefix)) ArtworkAhead::shared().start(url.mid(prefix.size()));
  }
}
}  // namespace

QImage ImageProvider::requestImage(const QString& id, QSize* size, const QSize& requested) {
  QImage img;
  if (id.startsWith("name/")) {
    // Decoded once, ahead or here.
    const QString name = id.mid(5);
    std::optional<QImage> ahead = ArtworkAhead::shared().take(name);
    std::string toKeep;
    img = ahead ? std::move(*ahead) : decodeArtwork(name, &toKeep);
    if (!toKeep.empty()) keepPictureSoon(toKeep, img);
    if (img.isNull()) img = placeholder(name, requested);
  } else if (id.startsWith("view/")) {
    // A fetched picture, decoded (off the GUI thread for asynchronous
    // images) straight to the size it is drawn at.
    if (auto bytes = fetchedBytes(id))
      img = readPicture(QByteArray::fromRawData(bytes->data(), static_cast<qsizetype>(bytes->size())), requested);
    if (img.isNull()) img = placeholder("?", requested);
  }
  if (size) *size = img.size();
  return img;
}

// -------------------------------------------------------------- CoreBridge

namespace {
CoreBridge* gBridge = nullptr;
std::atomic<bool> gWakePending{false};
}  // namespace

CoreBridge::CoreBridge(QObject* parent)
    : QObject(parent), screen_(new ScreenModel(this)), alert_(new AlertState(this)), nav_(new NavState(this)) {
  gBridge = this;
  timer_.setSingleShot(true);
  timer_.setTimerType(Qt::PreciseTimer);
  connect(&timer_, &QTimer::timeout, this, [this] { pump(); });
  RunLoop::main().setWaker([] {
    if (gWakePending.exchange(true)) return;
    if (auto* app = QCoreApplication::instance())
      QMetaObject::invokeMethod(app, [] {
        gWakePending = false;
        if (gBridge) gBridge->pump();
      }, Qt::QueuedConnection);
  });
  setUiChangeListener([this](View*) {
    screen_->scheduleRebuild();
    alert_->refresh();
  });
  Application::shared().setRootListener([this] {
    nav_->attach();
    screen_->scheduleRebuild();
  });
  waitEnd_.setSingleShot(true);
  waitEnd_.setInterval(60);
  connect(&waitEnd_, &QTimer::timeout, this, [this] { setLongWait(false); });
  // Heard on any thread; applied on the main thread to the bridge alive then.
  setTransferActivityListener([](int) {
    if (auto* app = QCoreApplication::instance())
      QMetaObject::invokeMethod(app, [] {
        if (!gBridge) return;
        const bool on = httpTransfersInFlight() > 0;
        if (on == gBridge->transferring_) return;
        gBridge->transferring_ = on;
        emit gBridge->transferringChanged();
      }, Qt::QueuedConnection);
  });
  setBlockingWaitHook([this] {
    // A wait that goes on past 300 ms shows the busy indicator; hook calls
    // come every 15 ms while one request waits.
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    if (now - lastHookMs_ > 50) waitStartMs_ = now;
    lastHookMs_ = now;
    waitEnd_.start();
    if (now - waitStartMs_ > 300) setLongWait(true);
    // Paint (spinners turn) but hold user input until the call returns.
    if (gBlocking.fetch_add(1) == 0) emit busyChanged();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    if (gBlocking.fetch_sub(1) == 1) emit busyChanged();
  });
  if (Application::shared().navigation()) nav_->attach();
}

void removePdfCopies();

CoreBridge::~CoreBridge() {
  removePdfCopies();
  RunLoop::main().setWaker(nullptr);
  setUiChangeListener(nullptr);
  setBlockingWaitHook(nullptr);
  setTransferActivityListener(nullptr);
  Application::shared().setRootListener(nullptr);
  if (auto* n = Application::shared().navigation()) n->setTransitionListener(nullptr);
  gBridge = nullptr;
}

bool CoreBridge::busy() const { return inBlockingWait(); }

void CoreBridge::setLongWait(bool on) {
  if (on == longWait_) return;
  longWait_ = on;
  emit longWaitChanged();
}

WindowFit fitWindow(double width, double height) {
  width = std::max(width, 1.0);
  height = std::max(height, 1.0);
  WindowFit fit;
  fit.scale = std::min({width / kScreenWidth, height / 480.0, 2.0});
  fit.canvasHeight = height / fit.scale;
  fit.offsetX = std::max(0.0, (width - kScreenWidth * fit.scale) / 2);
  return fit;
}

void CoreBridge::place(QQuickItem* item, const QVariantMap& row) const { ViewItems::place(item, row, scale_); }

void CoreBridge::fitTo(double width, double height) {
  WindowFit fit = fitWindow(width, height);
  setCanvasSize(Size{kScreenWidth, fit.canvasHeight});
  if (fit.scale == scale_ && fit.offsetX == offsetX_ && fit.canvasHeight == canvasHeight_) return;
  scale_ = fit.scale;
  offsetX_ = fit.offsetX;
  canvasHeight_ = fit.canvasHeight;
  emit scaleChanged();
}

void CoreBridge::pump() {
  if (inBlockingWait()) {
    // Never run core work inside a blocking request; try again afterwards.
    timer_.start(15);
    return;
  }
  auto& loop = RunLoop::main();
  for (int i = 0; i < 1000 && loop.runOnce(); ++i) {
  }
  alert_->refresh();
  double next = loop.secondsUntilNextTimer();
  if (next < 3600) {
    int ms = next <= 0 ? 0 : static_cast<int>(std::ceil(next * 1000));
    if (clock().isManual()) return;  // virtual time moves only by command
    timer_.start(ms);
  }
}

// ------------------------------------------------------------ QtWebBackend

namespace {
std::mutex gPdfMu;
std::map<const WebView*, std::string> gPdfFiles;

bool isPdfUrl(const std::string& url) {
  std::string path = url.substr(0, url.find_first_of("?#"));
  if (path.size() < 4) return false;
  std::string ext = path.substr(path.size() - 4);
  for (auto& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return ext == ".pdf";
}
}  // namespace

// The local copies of PDF files go with the window.
void removePdfCopies() {
  std::lock_guard<std::mutex> lock(gPdfMu);
  for (auto& [view, file] : gPdfFiles) QFile::remove(QString::fromStdString(file));
  gPdfFiles.clear();
}

std::string QtWebBackend::pdfFileFor(const WebView* view) {
  std::lock_guard<std::mutex> lock(gPdfMu);
  auto it = gPdfFiles.find(view);
  return it == gPdfFiles.end() ? std::string() : it->second;
}

void QtWebBackend::load(const std::shared_ptr<WebView>& view, const std::string& url) {
  if (isPdfUrl(url)) {
    view->backendDidStart();
    std::weak_ptr<WebView> weak = view;
    const WebView* key = view.get();
    Background::run([weak, key, url] {
      // A document already on disk (a downloaded roster) is read from there.
      HttpResult r;
      if (auto path = Files::pathFromFileURL(url)) {
        auto bytes = Files::readFile(*path);
        r.ok = bytes.has_value();
        r.status = 200;
        r.body = bytes.value_or("");
        r.error = "no such file";
      } else {
        r = httpGet(url, 60);
      }
      std::string file;
      std::string error = !r.ok ? r.error : r.status >= 400 ? "HTTP " + std::to_string(r.status) : "";
      if (error.empty()) {
        QTemporaryFile tmp(QDir::tempPath() + "/yunxiu-XXXXXX.pdf");
        tmp.setAutoRemove(false);
        if (tmp.open() && tmp.write(r.body.data(), static_cast<qint64>(r.body.size())) ==
                              static_cast<qint64>(r.body.size()))
          file = tmp.fileName().toStdString();
        else
          error = "cannot keep the PDF file";
      }
      RunLoop::main().post([weak, key, file, error] {
        auto v = weak.lock();
        if (!v || v.get() != key) return;
        if (!error.empty()) {
          v->backendDidFail(error);
          return;
        }
        {
          std::lock_guard<std::mutex> lock(gPdfMu);
          auto& slot = gPdfFiles[key];
          if (!slot.empty() && slot != file) QFile::remove(QString::fromStdString(slot));
          slot = file;
        }
        uiChanged(v.get());  // QtPdf opens it; its status reports the finish
      });
    });
    return;
  }
  if (!webEngine_) {
    HeadlessWebBackend().load(view, url);
    return;
  }
  // The page item in the window loads it and reports start, finish and failure.
  uiChanged(view.get());
}

void QtWebBackend::stop(WebView& view) {
  if (!webEngine_) HeadlessWebBackend().stop(view);
}

}  // namespace yx::gui
