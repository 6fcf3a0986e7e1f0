import QtQuick

// Drag to scroll; a zoomable area (the campus map) also zooms by pinch and by
// the wheel, around the fingers or the pointer, within its limits. The core
// keeps the offset and scale and hears when a zoom ends.
ViewBase {
    id: scroller
    readonly property bool zoomable: attrs.maxZoom > attrs.minZoom
    PinchArea {
        anchors.fill: parent
        enabled: scroller.zoomable
        property real startZoom: 1
        onPinchStarted: startZoom = attrs.zoom
        onPinchUpdated: (pinch) => yxScreen.zoomAt(attrs.id, startZoom * pinch.scale,
                                                   pinch.center.x / s, pinch.center.y / s, false)
        onPinchFinished: (pinch) => yxScreen.zoomAt(attrs.id, startZoom * pinch.scale,
                                                    pinch.center.x / s, pinch.center.y / s, true)
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
                if (scroller.zoomable && w.angleDelta.y !== 0)
                    yxScreen.zoomAt(attrs.id, attrs.zoom * Math.pow(1.1, w.angleDelta.y / 120),
                                    w.x / s, w.y / s, true)
                else
                    yxScreen.scrollBy(attrs.id, w.angleDelta.x / 4 / s, w.angleDelta.y / 4 / s)
            }
        }
    }
}
