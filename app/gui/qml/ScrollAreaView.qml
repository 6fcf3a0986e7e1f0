import QtQuick

// Drag to scroll, pinch to zoom; the core keeps the offset and scale.
BoxView {
    id: scroller
    PinchArea {
        anchors.fill: parent
        enabled: attrs.maxZoom > attrs.minZoom
        property real startZoom: 1
        onPinchStarted: startZoom = attrs.zoom
        onPinchUpdated: (pinch) => yxScreen.zoom(attrs.id, startZoom * pinch.scale)
        MouseArea {
            anchors.fill: parent
            property real lastX: 0
            property real lastY: 0
            onPressed: (m) => { lastX = m.x; lastY = m.y }
            onPositionChanged: (m) => {
                yxScreen.scrollBy(attrs.id, (m.x - lastX) / s, (m.y - lastY) / s)
                lastX = m.x; lastY = m.y
            }
            onWheel: (w) => {
                if (w.modifiers & Qt.ControlModifier)
                    yxScreen.zoom(attrs.id, attrs.zoom * (w.angleDelta.y > 0 ? 1.1 : 1 / 1.1))
                else
                    yxScreen.scrollBy(attrs.id, w.angleDelta.x / 4 / s, w.angleDelta.y / 4 / s)
            }
        }
    }
}
