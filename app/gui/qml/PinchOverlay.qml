import QtQuick

// Over a view with a pinch recognizer: a pinch on the touch screen or the
// touchpad, or Ctrl with the wheel (each step 10 % more or less).
PinchArea {
    property int viewId: 0
    property real wheelScale: 1
    anchors.fill: parent
    z: 1
    onPinchStarted: yxScreen.pinch(viewId, 0, 1)
    onPinchUpdated: (pinch) => yxScreen.pinch(viewId, 1, pinch.scale)
    onPinchFinished: (pinch) => yxScreen.pinch(viewId, 2, pinch.scale)
    WheelHandler {
        acceptedModifiers: Qt.ControlModifier
        onWheel: (event) => {
            parent.wheelScale = Math.max(0.2, Math.min(5, parent.wheelScale * (event.angleDelta.y > 0 ? 1.1 : 1 / 1.1)))
            yxScreen.pinch(parent.viewId, 1, parent.wheelScale)
            yxScreen.pinch(parent.viewId, 2, parent.wheelScale)
        }
    }
}
