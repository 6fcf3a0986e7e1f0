#pragma once
// The items that draw the top screen: one per row of the screen model, made
// in row order over the screen layer, each from the QML file that draws its
// kind (ScreenModel::drawnBy). They are made here rather than by a Repeater
// of Loaders: the first screen is drawn sooner without a loader and a
// JavaScript call per view. The keyboard's focus ring and the pinch areas
// are put only over the views that need them.

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QQuickItem>
#include <QVariantMap>
#include <vector>

class QQmlComponent;
class QQmlEngine;

namespace yx::gui {

class CoreBridge;
class ScreenModel;

class ViewItems : public QObject {
  Q_OBJECT
public:
  ViewItems(QQmlEngine& engine, CoreBridge* bridge, QObject* parent = nullptr);
  ~ViewItems() override;

  // Draws the model's rows over `layer` from now on, with the kinds of
  // views it loaded (its property "kinds", components by file name).
  void attach(QQuickItem* layer);

  // Puts a view's item where its row says, at a scale: its frame, cut by
  // the scroll view it is in (less the points it draws beside its edges),
  // with the view's own area (the item's "body") inside it. Hidden when
  // nothing of it is in sight.
  static void place(QQuickItem* item, const QVariantMap& row, double scale);

private:
  struct Entry {
    QPointer<QQuickItem> item;
    QString file;
    QPointer<QQuickItem> pinch;  // the pinch area over a view that takes pinches
    QVariantMap row;
  };
  void remake();
  void update(int first, int last);
  void make(size_t index);
  void decorate(Entry& e);
  void placeFocusRing();
  QQmlComponent* component(const QString& file);
  QQuickItem* create(const QString& file, QQuickItem* parent, const QVariantMap& props,
                     const QVariantMap* placing = nullptr);
  void dispose(QQuickItem* item);
  QVariantMap rowAt(int i) const;

  void placeAll();

  QQmlEngine& engine_;
  CoreBridge* bridge_;
  ScreenModel* model_;
  QPointer<QQuickItem> layer_;
  QHash<QString, QQmlComponent*> components_;
  std::vector<Entry> entries_;
  QPointer<QQuickItem> ring_;
  std::vector<QPointer<QQuickItem>> disposed_;  // waiting to be freed
};

}  // namespace yx::gui
