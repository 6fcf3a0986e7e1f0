import QtQuick

// A drawn view: its item is put where the view is, at the window's scale,
// by the code that makes it (cut by the scroll view it is in, so scrolled
// or zoomed content never spills over its neighbours); what it draws goes
// in its body, the view's own area, over its colour and border. (The
// keyboard's focus ring and a pinch area are added to the views that need
// them.)
Item {
    id: base
    property var attrs: ({})
    default property alias content: inner.data
    readonly property alias body: inner
    readonly property real s: yxCore.scale
    readonly property bool keyFocus: !!attrs.id && yxScreen.focusId === attrs.id
    Item {
        id: inner
        Rectangle {
            anchors.fill: parent
            visible: !!attrs.bg || attrs.borderWidth > 0
            color: attrs.bg || "transparent"
            radius: (attrs.radius || 0) * base.s
            border.width: (attrs.borderWidth || 0) * base.s
            border.color: attrs.borderColor || "transparent"
        }
    }
}
