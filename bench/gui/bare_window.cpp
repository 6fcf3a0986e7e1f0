// The yardstick for the window's start-up: a bare Qt Quick window (one
// QQuickView, a rectangle and one line of Noto Sans CJK TC text) that prints
// "first-frame" on its first swapped frame and exits, as `yunxiu
// --exit-after-first-frame` does.

#include <QGuiApplication>
#include <QQmlComponent>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickView>

#include <cstdio>

int main(int argc, char** argv) {
  if (qgetenv("QT_QPA_PLATFORM") == "offscreen" && qEnvironmentVariableIsEmpty("QT_QUICK_BACKEND"))
    qputenv("QT_QUICK_BACKEND", "software");
  QGuiApplication app(argc, argv);
  QQuickView view;
  QQmlComponent component(view.engine());
  component.setData("import QtQuick\n"
                    "Rectangle { width: 390; height: 844; color: \"#f4f6f8\"\n"
                    "  Text { anchors.centerIn: parent; text: \"雲岫學苑\"; font.family: \"Noto Sans CJK TC\";"
                    " font.pixelSize: 26 } }\n",
                    QUrl("qrc:/bare.qml"));
  auto* root = qobject_cast<QQuickItem*>(component.create());
  if (!root) {
    std::fprintf(stderr, "%s\n", qPrintable(component.errorString()));
    return 1;
  }
  root->setParentItem(view.contentItem());
  view.resize(390, 844);
  bool drawn = false;
  QObject::connect(&view, &QQuickWindow::frameSwapped, &app, [&] {
    if (drawn) return;
    drawn = true;
    std::puts("first-frame");
    std::fflush(stdout);
    QCoreApplication::exit(0);
  }, Qt::QueuedConnection);
  view.show();
  return app.exec();
}
