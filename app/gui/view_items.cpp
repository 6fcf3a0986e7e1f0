#include "app/gui/view_items.h"

#include <algorithm>
#include <QQmlComponent>
#include <QQmlContext>
#include <QQmlEngine>

#include "app/gui/bridge.h"

namespace yx::gui {

ViewItems::ViewItems(QQmlEngine& engine, CoreBridge* bridge, QObject* parent)
    : QObject(parent), engine_(engine), bridge_(bridge), model_(bridge->screen()) {
  connect(bridge_, &CoreBridge::scaleChanged, this, &ViewItems::placeAll);
  connect(model_, &QAbstractItemModel::modelReset, this, &ViewItems::remake);
  connect(model_, &QAbstractItemModel::dataChanged, this,
          [this](const QModelIndex& a, const QModelIndex& b) { update(a.row(), b.row()); });
  connect(model_, &ScreenModel::focusChanged, this, &ViewItems::placeFocusRing);
}

ViewItems::~ViewItems() {
  for (Entry& e : entries_) delete e.item;
  delete ring_;
  for (auto& gone : disposed_) delete gone;
}

QVariantMap ViewItems::rowAt(int i) const {
  return model_->data(model_->index(i), ScreenModel::AttrsRole).toMap();
}

// A kind the layer did not load with the window is loaded when first shown.
QQmlComponent* ViewItems::component(const QString& file) {
  QQmlComponent*& c = components_[file];
  if (!c) c = new QQmlComponent(&engine_, QUrl("qrc:/yx/qml/" + file), QQmlComponent::PreferSynchronous, this);
  return c;
}

void ViewItems::attach(QQuickItem* layer) {
  layer_ = layer;
  // The kinds the layer loaded with the window.
  const QVariantMap kinds = layer->property("kinds").toMap();
  for (auto it = kinds.begin(); it != kinds.end(); ++it)
    if (auto* c = qobject_cast<QQmlComponent*>(it.value().value<QObject*>())) components_.insert(it.key(), c);
  remake();
}

// Makes an item from one of the window's QML files, its properties set as
// it is made (its bindings first run with the view's values).
QQuickItem* ViewItems::create(const QString& file, QQuickItem* parent, const QVariantMap& props,
                              const QVariantMap* placing) {
  QQmlComponent* c = component(file);
  if (!c->isReady()) {
    qWarning("%s", qPrintable(c->errorString()));
    return nullptr;
  }
  QObject* o = c->beginCreate(c->creationContext() ? c->creationContext() : engine_.rootContext());
  auto* item = qobject_cast<QQuickItem*>(o);
  if (!item) {
    delete o;
    return nullptr;
  }
  item->setParentItem(parent);
  item->setParent(parent);
  c->setInitialProperties(item, props);
  // A view's item is in place before its parts are laid out.
  if (placing) place(item, *placing, bridge_->scale());
  c->completeCreate();
  return item;
}

// An item leaves the window at once and is freed when control returns to
// the event loop (it may be inside the handler that changed the screen).
void ViewItems::dispose(QQuickItem* item) {
  if (!item) return;
  item->setVisible(false);
  item->setParentItem(nullptr);
  item->setParent(nullptr);
  item->deleteLater();
  // Freed here if the event loop does not run again (the program ends).
  disposed_.erase(std::remove_if(disposed_.begin(), disposed_.end(), [](const auto& p) { return !p; }),
                  disposed_.end());
  disposed_.emplace_back(item);
}

namespace {
// Where a view's item goes, in design points: the view's frame, cut by the
// scroll view it is in (less the points it draws beside its edges).
struct Sight {
  double left, top, right, bottom;
  bool clipped;
  bool any() const { return right > left && bottom > top; }
};

Sight sightOf(const QVariantMap& row) {
  const double x = row.value("x").toDouble(), y = row.value("y").toDouble();
  const double w = row.value("w").toDouble(), h = row.value("h").toDouble();
  const double overhang = row.value("overhang").toDouble();
  const QVariantMap clip = row.value("clip").toMap();
  Sight v{x, y, x + w, y + h, clip.contains("w")};
  if (v.clipped) {
    const double cx = clip.value("x").toDouble(), cy = clip.value("y").toDouble();
    v.left = std::max(x - overhang, cx);
    v.top = std::max(y, cy);
    v.right = std::min(x + w + overhang, cx + clip.value("w").toDouble());
    v.bottom = std::min(y + h, cy + clip.value("h").toDouble());
  }
  return v;
}
}  // namespace

void ViewItems::place(QQuickItem* item, const QVariantMap& row, double s) {
  if (!item) return;
  const Sight v = sightOf(row);
  item->setPosition(QPointF(v.left * s, v.top * s));
  item->setSize(QSizeF(std::max(0.0, v.right - v.left) * s, std::max(0.0, v.bottom - v.top) * s));
  item->setClip(v.clipped);
  item->setOpacity(row.contains("alpha") ? row.value("alpha").toDouble() : 1.0);
  item->setVisible(v.any());
  if (auto* body = item->property("body").value<QQuickItem*>()) {
    body->setPosition(QPointF((row.value("x").toDouble() - v.left) * s, (row.value("y").toDouble() - v.top) * s));
    body->setSize(QSizeF(row.value("w").toDouble() * s, row.value("h").toDouble() * s));
  }
}

void ViewItems::placeAll() {
  for (Entry& e : entries_) place(e.item, e.row, bridge_->scale());
}

// A view wholly out of sight (the rows of a menu below the fold) gets its
// item when it first comes into sight, not for the screen's first frame.
void ViewItems::make(size_t i) {
  Entry& e = entries_[i];
  if (e.item || !sightOf(e.row).any()) return;
  e.item = create(e.file, layer_, {{QStringLiteral("attrs"), e.row}}, &e.row);
  if (!e.item) return;
  // Into its place in the drawing order: after the item of the view before
  // it, else before the item of the view after it.
  QQuickItem* before = nullptr;
  QQuickItem* after = nullptr;
  for (size_t j = 0; j < entries_.size(); ++j) {
    if (j < i && entries_[j].item) before = entries_[j].item;
    if (j > i && entries_[j].item && !after) after = entries_[j].item;
  }
  if (before) e.item->stackAfter(before);
  else if (after) e.item->stackBefore(after);
  decorate(e);
}

// The pinch area goes over the views that take pinches, and only those.
void ViewItems::decorate(Entry& e) {
  const bool pinch = e.row.value("pinch").toBool();
  if (pinch && !e.pinch && e.item)
    e.pinch = create(QStringLiteral("PinchOverlay.qml"), e.item, {{QStringLiteral("viewId"), e.row.value("id")}});
  else if (!pinch && e.pinch)
    dispose(e.pinch);
}

void ViewItems::remake() {
  if (ring_) ring_->setParentItem(nullptr), ring_->setParent(nullptr);
  for (Entry& e : entries_) dispose(e.item);
  entries_.clear();
  if (!layer_) return;
  const int n = model_->rowCount();
  entries_.resize(static_cast<size_t>(n));
  for (int i = 0; i < n; ++i) {
    entries_[static_cast<size_t>(i)].row = rowAt(i);
    entries_[static_cast<size_t>(i)].file = ScreenModel::drawnBy(entries_[static_cast<size_t>(i)].row);
  }
  for (size_t i = 0; i < entries_.size(); ++i) make(i);
  placeFocusRing();
}

void ViewItems::update(int first, int last) {
  for (int i = std::max(first, 0); i <= last && i < static_cast<int>(entries_.size()); ++i) {
    Entry& e = entries_[static_cast<size_t>(i)];
    e.row = rowAt(i);
    const QString file = ScreenModel::drawnBy(e.row);
    if (file != e.file) {
      // A button that gained or lost its picture is drawn by the other
      // file: a new item takes the old one's place.
      if (ring_ && ring_->parentItem() == e.item) ring_->setParentItem(nullptr), ring_->setParent(nullptr);
      dispose(e.item);
      e.item = nullptr;
      e.file = file;
    }
    if (e.item) {
      e.item->setProperty("attrs", e.row);
      place(e.item, e.row, bridge_->scale());
      decorate(e);
    } else {
      make(static_cast<size_t>(i));
    }
  }
  placeFocusRing();
}

// One focus ring, over the item of the control that has the keyboard focus.
void ViewItems::placeFocusRing() {
  const int id = model_->focusId();
  QQuickItem* target = nullptr;
  if (id != 0)
    for (const Entry& e : entries_)
      if (e.item && e.row.value("id").toInt() == id) target = e.item;
  if (!target) {
    if (ring_) ring_->setParentItem(nullptr), ring_->setVisible(false);
    return;
  }
  if (!ring_) ring_ = create(QStringLiteral("FocusRing.qml"), target, {});
  if (!ring_) return;
  ring_->setParentItem(target);
  ring_->setParent(target);
  ring_->setVisible(true);
}

}  // namespace yx::gui
