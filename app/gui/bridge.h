#pragma once
// The Qt adapter: exposes the core's top screen to QML and feeds input back.
//
// ScreenModel   one row per visible view of the top screen (a type role and
//               an attribute map), flattened to design points.
// TableModel    one per table or grid: section headers and rows, asked of the
//               core only for the rows QML draws.
// AlertState    the front alert (title, message, buttons, progress).
// NavState      navigation depth, top class and the last transition.
// The run loop is pumped from Qt's event loop; a blocking request keeps the
// window painting but holds user input back.

#include <QAbstractListModel>
#include <QHash>
#include <QObject>
#include <QQuickImageProvider>
#include <QTimer>
#include <QVariantMap>

#include <map>
#include <memory>
#include <vector>

#include "platform/ui/alert.h"
#include "platform/ui/view.h"

namespace yx::gui {

class ScreenModel;

// Rows of one table (headers and cells) or one grid (cells).
class TableModel : public QAbstractListModel {
  Q_OBJECT
  Q_PROPERTY(bool grid READ grid CONSTANT)
public:
  enum Roles { KindRole = Qt::UserRole + 1, SectionRole, RowRole, HeightRole, PartsRole, TitleRole,
               DisclosureRole, SelectedRole };
  TableModel(std::shared_ptr<View> table, QObject* parent);
  int rowCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QHash<int, QByteArray> roleNames() const override;
  bool grid() const;

  // Re-reads the layout when the table was reloaded or its counts changed.
  void refresh();
  Q_INVOKABLE void select(int listIndex);
  // Number of rows asked of the core so far (lazy drawing check).
  int cellsAsked() const { return asked_; }
  View* view() const { return table_.lock().get(); }

private:
  struct Entry {
    bool header;
    int section, row;
  };
  std::weak_ptr<View> table_;
  std::vector<Entry> entries_;
  unsigned long reloads_ = ~0ul;
  mutable int asked_ = 0;
};

class ScreenModel : public QAbstractListModel {
  Q_OBJECT
  Q_PROPERTY(QString className READ className NOTIFY screenChanged)
  Q_PROPERTY(int depth READ depth NOTIFY screenChanged)
  Q_PROPERTY(QString rootColor READ rootColor NOTIFY screenChanged)
public:
  enum Roles { TypeRole = Qt::UserRole + 1, AttrsRole, IdRole };
  explicit ScreenModel(QObject* parent = nullptr);
  int rowCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QHash<int, QByteArray> roleNames() const override;

  QString className() const;
  int depth() const;
  QString rootColor() const;

  // Rebuilds the rows from the view tree (coalesced; deferred while the core waits).
  void scheduleRebuild();
  void rebuildNow();

  // Input from QML, addressed by row id (stable while the view lives).
  Q_INVOKABLE void tap(int id);
  Q_INVOKABLE bool focusField(int id);
  Q_INVOKABLE void typeText(int id, const QString& text);
  Q_INVOKABLE void returnKey(int id);
  Q_INVOKABLE void endEditing(int id);
  Q_INVOKABLE void editText(int id, const QString& text);
  Q_INVOKABLE void pick(int id, int row);
  Q_INVOKABLE void flip(int id, bool on);
  Q_INVOKABLE void scrollBy(int id, double dx, double dy);
  Q_INVOKABLE void zoom(int id, double scale);
  // A pinch on a view with a pinch recognizer; phase 0 began, 1 changed, 2 ended.
  Q_INVOKABLE void pinch(int id, int phase, double scale);
  // A pinch or wheel zoom around a point of the scroll view (design points
  // from its top-left corner), which stays where it is; `ended` finishes the
  // gesture (the screen hears the scale reached).
  Q_INVOKABLE void zoomAt(int id, double scale, double fx, double fy, bool ended);
  Q_INVOKABLE void webStarted(int id);
  Q_INVOKABLE void webFinished(int id);
  Q_INVOKABLE void webFailed(int id, const QString& error);

  // Looks a row's view up (null when gone).
  View* viewFor(int id) const;
  // The table model shown for a table or grid view.
  TableModel* tableFor(View* v);
  const std::vector<QVariantMap>& rows() const { return rows_; }

  // Flattens a subtree into rows: absolute frames, clip, type and attributes.
  static void flatten(View* v, double ox, double oy, double scale, const QVariantMap& clip,
                      std::vector<QVariantMap>& out, ScreenModel* owner, int depthInCell);

signals:
  void screenChanged();
  void rebuilt();

private:
  int idFor(View* v);
  std::vector<QVariantMap> rows_;
  std::map<View*, std::weak_ptr<View>> live_;
  std::map<View*, int> ids_;
  std::map<int, View*> byId_;
  int nextId_ = 1;
  std::map<View*, TableModel*> tables_;
  bool pending_ = false;
};

class AlertState : public QObject {
  Q_OBJECT
  Q_PROPERTY(bool visible READ visible NOTIFY changed)
  Q_PROPERTY(QString title READ title NOTIFY changed)
  Q_PROPERTY(QString message READ message NOTIFY changed)
  Q_PROPERTY(QStringList buttons READ buttons NOTIFY changed)
  Q_PROPERTY(double progress READ progress NOTIFY changed)
  Q_PROPERTY(bool hasProgress READ hasProgress NOTIFY changed)
  Q_PROPERTY(QStringList texts READ texts NOTIFY changed)
public:
  using QObject::QObject;
  bool visible() const { return visible_; }
  QString title() const { return title_; }
  QString message() const { return message_; }
  QStringList buttons() const { return buttons_; }
  double progress() const { return progress_; }
  bool hasProgress() const { return hasProgress_; }
  QStringList texts() const { return texts_; }
  Q_INVOKABLE void press(int index);
  void refresh();

signals:
  void changed();

private:
  bool visible_ = false, hasProgress_ = false;
  QString title_, message_;
  QStringList buttons_, texts_;
  double progress_ = 0;
};

class NavState : public QObject {
  Q_OBJECT
  Q_PROPERTY(int depth READ depth NOTIFY changed)
  Q_PROPERTY(QString top READ top NOTIFY changed)
public:
  using QObject::QObject;
  int depth() const;
  QString top() const;
  void attach();

signals:
  void changed();
  // kind: "push", "pop", "popTo", "popToRoot", "setRoot".
  void transition(const QString& kind, bool animated);
};

// Bundled images by name ("image://yx/name/menu_4.png"), server pictures by
// view ("image://yx/view/<id>/<serial>"); a neat placeholder for names without art.
class ImageProvider : public QQuickImageProvider {
public:
  explicit ImageProvider(ScreenModel* screen);
  QImage requestImage(const QString& id, QSize* size, const QSize& requested) override;
  static QImage placeholder(const QString& name, QSize size);

private:
  ScreenModel* screen_;
};

// Ties the core's run loop, change reports and blocking waits into Qt.
class CoreBridge : public QObject {
  Q_OBJECT
  Q_PROPERTY(bool busy READ busy NOTIFY busyChanged)
  Q_PROPERTY(double scale READ scale WRITE setScale NOTIFY scaleChanged)
  Q_PROPERTY(bool webEngine READ webEngine CONSTANT)
public:
  explicit CoreBridge(QObject* parent = nullptr);
  ~CoreBridge() override;
  ScreenModel* screen() { return screen_; }
  AlertState* alert() { return alert_; }
  NavState* nav() { return nav_; }
  bool busy() const;
  double scale() const { return scale_; }
  void setScale(double s) {
    if (s > 0 && s != scale_) {
      scale_ = s;
      emit scaleChanged();
    }
  }
  bool webEngine() const { return webEngine_; }
  void setWebEngine(bool on) { webEngine_ = on; }
  // Runs due tasks and timers, then arms the timer for the next deadline.
  void pump();

signals:
  void busyChanged();
  void scaleChanged();

private:
  double scale_ = 390.0 / 320.0;
  bool webEngine_ = false;
  ScreenModel* screen_;
  AlertState* alert_;
  NavState* nav_;
  QTimer timer_;
};

// True while the core waits inside a blocking request.
bool inBlockingWait();

// Loads web views for the window: pages through the web engine (QML), PDF
// files fetched to a local file for QtPdf, plain HTTP when there is no engine.
class QtWebBackend : public WebBackend {
public:
  explicit QtWebBackend(bool webEngine) : webEngine_(webEngine) {}
  void load(const std::shared_ptr<WebView>& view, const std::string& url) override;
  void stop(WebView& view) override;
  // The local copy of a PDF shown in a web view ("" until fetched).
  static std::string pdfFileFor(const WebView* view);

private:
  bool webEngine_;
};

}  // namespace yx::gui
