import QtQuick

// Common geometry of a drawn view: its frame scaled to the window. A view
// inside a scroll view is drawn through a window onto the scroll view's
// frame, so scrolled or zoomed content never spills over its neighbours.
// The keyboard's focus ring is drawn over the control that has it.
Item {
    id: base
    property var attrs: ({})
    default property alias content: inner.data
    readonly property real s: yxCore.scale
    readonly property bool keyFocus: !!attrs.id && yxScreen.focusId === attrs.id
    readonly property var clipRect: attrs.clip || ({})
    readonly property bool clipped: clipRect.w !== undefined
    // Points a view draws beyond its left and right edges (a caption under
    // an icon, wider than the icon), kept when the scroll view clips.
    property real overhang: 0
    readonly property real clipLeft: clipped ? Math.max(attrs.x - overhang, clipRect.x) : (attrs.x || 0)
    readonly property real clipTop: clipped ? Math.max(attrs.y, clipRect.y) : (attrs.y || 0)
    readonly property real clipRight: clipped ? Math.min(attrs.x + attrs.w + overhang, clipRect.x + clipRect.w) : (attrs.x || 0) + (attrs.w || 0)
    readonly property real clipBottom: clipped ? Math.min(attrs.y + attrs.h, clipRect.y + clipRect.h) : (attrs.y || 0) + (attrs.h || 0)
    x: clipLeft * s
    y: clipTop * s
    width: Math.max(0, clipRight - clipLeft) * s
    height: Math.max(0, clipBottom - clipTop) * s
    clip: clipped
    opacity: attrs.alpha === undefined ? 1 : attrs.alpha
    visible: clipRight > clipLeft && clipBottom > clipTop
    Item {
        id: inner
        x: ((attrs.x || 0) - base.clipLeft) * base.s
        y: ((attrs.y || 0) - base.clipTop) * base.s
        width: (attrs.w || 0) * base.s
        height: (attrs.h || 0) * base.s
    }
    Rectangle {
        objectName: "focusRing"
        visible: base.keyFocus
        anchors.fill: parent
        anchors.margins: -2
        color: "transparent"
        radius: 4
        border.width: 2
        border.color: "#1565c0"
    }
    // A view with a pinch recognizer: a pinch on the touch screen or the
    // touchpad, or Ctrl with the wheel (each step 10 % more or less).
    Loader {
        anchors.fill: parent
        z: 1
        active: !!attrs.pinch
        sourceComponent: PinchArea {
            property real wheelScale: 1
            onPinchStarted: yxScreen.pinch(attrs.id, 0, 1)
            onPinchUpdated: (pinch) => yxScreen.pinch(attrs.id, 1, pinch.scale)
            onPinchFinished: (pinch) => yxScreen.pinch(attrs.id, 2, pinch.scale)
            WheelHandler {
                acceptedModifiers: Qt.ControlModifier
                onWheel: (event) => {
                    parent.wheelScale = Math.max(0.2, Math.min(5, parent.wheelScale * (event.angleDelta.y > 0 ? 1.1 : 1 / 1.1)))
                    yxScreen.pinch(attrs.id, 1, parent.wheelScale)
                    yxScreen.pinch(attrs.id, 2, parent.wheelScale)
                }
            }
        }
    }
}
