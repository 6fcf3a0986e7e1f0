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
#include <QQuickItem>
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
  Q_PROPERTY(int current READ current NOTIFY currentChanged)
public:
  enum Roles { KindRole = Qt::UserRole + 1, SectionRole, RowRole, HeightRole, PartsRole, TitleRole,
               DisclosureRole, SelectedRole, CheckmarkRole };
  TableModel(std::shared_ptr<View> table, QObject* parent);
  int rowCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QHash<int, QByteArray> roleNames() const override;
  bool grid() const;

  // Re-reads the layout when the table was reloaded or its counts changed.
  void refresh();
  Q_INVOKABLE void select(int listIndex);
  // The keyboard's current row (list index, -1 for none): arrows move it
  // over the rows (headers are skipped), Enter opens it.
  int current() const { return current_; }
  Q_INVOKABLE bool moveCurrent(int delta);
  Q_INVOKABLE bool openCurrent();

signals:
  void currentChanged();

public:
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
  int current_ = -1;
};

class ScreenModel : public QAbstractListModel {
  Q_OBJECT
  Q_PROPERTY(QString className READ className NOTIFY screenChanged)
  Q_PROPERTY(int depth READ depth NOTIFY screenChanged)
  Q_PROPERTY(QString rootColor READ rootColor NOTIFY screenChanged)
  Q_PROPERTY(int focusId READ focusId NOTIFY focusChanged)
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

  // The QML file that draws a row: by its type, and for a button whether it
  // has a picture or colour (or only a title, drawn on a face of its own).
  static QString drawnBy(const QVariantMap& row);
  Q_INVOKABLE QString fileFor(const QVariantMap& row) const { return drawnBy(row); }

  // The keyboard: a focus ring moves through the controls a person can reach
  // (buttons, fields, switches, pickers, tables and grids, in layout order;
  // not those under a dimming overlay). A picker that opens takes the focus
  // and gives it back to the control that had it when it closes.
  int focusId() const { return focusId_; }
  const std::vector<int>& focusChain() const { return chain_; }
  Q_INVOKABLE void moveFocus(int step);
  Q_INVOKABLE void setFocusId(int id);
  // Space and Enter: presses the focused button, begins editing the focused
  // field, flips the focused switch, opens the focused table's current row.
  Q_INVOKABLE bool activateFocus();
  // Typing while a field has the ring begins editing and types.
  Q_INVOKABLE bool typeIntoFocus(const QString& text);
  // Up and down: a picker's selection, a table's current row.
  Q_INVOKABLE bool arrow(int delta);
  // Presses the screen's back button (as a click would); false when it has none.
  Q_INVOKABLE bool pressBack();
  // Presses a dimming button that covers the screen (a popup's outside);
  // false when none shows.
  Q_INVOKABLE bool pressDismiss();
  // The id of the screen's back button (0 when none).
  int backButtonId() const;

  // Looks a row's view up (null when gone).
  View* viewFor(int id) const;
  // The table model shown for a table or grid view.
  TableModel* tableFor(View* v);
  const std::vector<QVariantMap>& rows() const { return rows_; }

  // Gives every control of a flattened screen an accessible name (and a
  // check box its state): a title; for a picture button what it does; for a
  // field, switch or picker the label beside or above it, else its
  // placeholder.
  static void nameControls(std::vector<QVariantMap>& rows);

  // Flattens a subtree into rows: absolute frames, clip, type and attributes.
  static void flatten(View* v, double ox, double oy, double scale, const QVariantMap& clip,
                      std::vector<QVariantMap>& out, ScreenModel* owner, int depthInCell);

signals:
  void screenChanged();
  void rebuilt();
  void focusChanged();

private:
  int idFor(View* v);
  void updateFocusChain();
  const QVariantMap* rowFor(int id) const;
  void scrollIntoView(int id);
  std::vector<int> chain_;
  int focusId_ = 0;
  std::vector<int> focusReturn_;  // where the focus goes back when a picker closes
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
  // Enter: the default button (the last one); Escape: the cancel button (the
  // first). False when the alert has no buttons.
  Q_INVOKABLE bool pressDefault();
  Q_INVOKABLE bool pressCancel();
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

// How the 320-point design sits in a window of w x h pixels: scaled by
// min(w / 320, h / 480), at most 2, on a canvas 320 points wide and as tall
// as the window allows, centred horizontally.
struct WindowFit {
  double scale = 1;
  double canvasHeight = 568;  // points
  double offsetX = 0;         // pixels left of the canvas
};
WindowFit fitWindow(double width, double height);
inline constexpr int kMinWindowWidth = 320, kMinWindowHeight = 480;

// Ties the core's run loop, change reports and blocking waits into Qt.
class CoreBridge : public QObject {
  Q_OBJECT
  Q_PROPERTY(bool busy READ busy NOTIFY busyChanged)
  // The core has waited inside one blocking request for more than 300 ms.
  Q_PROPERTY(bool longWait READ longWait NOTIFY longWaitChanged)
  // Some transfer is in flight (any thread).
  Q_PROPERTY(bool transferring READ transferring NOTIFY transferringChanged)
  Q_PROPERTY(double scale READ scale WRITE setScale NOTIFY scaleChanged)
  Q_PROPERTY(double offsetX READ offsetX NOTIFY scaleChanged)
  Q_PROPERTY(double canvasHeight READ canvasHeight NOTIFY scaleChanged)
  Q_PROPERTY(bool webEngine READ webEngine CONSTANT)
public:
  explicit CoreBridge(QObject* parent = nullptr);
  ~CoreBridge() override;
  ScreenModel* screen() { return screen_; }
  AlertState* alert() { return alert_; }
  NavState* nav() { return nav_; }
  bool busy() const;
  bool longWait() const { return longWait_; }
  bool transferring() const { return transferring_; }
  double scale() const { return scale_; }
  void setScale(double s) {
    if (s > 0 && s != scale_) {
      scale_ = s;
      emit scaleChanged();
    }
  }
  double offsetX() const { return offsetX_; }
  double canvasHeight() const { return canvasHeight_; }
  // Fits the design to a window of that size (pixels): the scale, the offset
  // and the core's canvas, so every screen lays itself out for it.
  Q_INVOKABLE void fitTo(double width, double height);
  // Puts a view's item where its row says, at the window's scale (the
  // screen's items are placed by ViewItems; a table cell's parts ask here).
  Q_INVOKABLE void place(QQuickItem* item, const QVariantMap& row) const;
  bool webEngine() const { return webEngine_; }
  void setWebEngine(bool on) { webEngine_ = on; }
  // Runs due tasks and timers, then arms the timer for the next deadline.
  void pump();

signals:
  void busyChanged();
  void longWaitChanged();
  void transferringChanged();
  void scaleChanged();

private:
  double scale_ = 390.0 / 320.0;
  double offsetX_ = 0, canvasHeight_ = 568;
  bool longWait_ = false, transferring_ = false;
  qint64 waitStartMs_ = 0, lastHookMs_ = -1000;
  QTimer waitEnd_;  // fires once the hook stops being called: the wait is over
  void setLongWait(bool on);
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
