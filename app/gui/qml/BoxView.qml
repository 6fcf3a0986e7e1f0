import QtQuick

// A plain view: its colour, then its tiled pattern over it (a pattern, like
// the phone's pattern colours, takes the place of the plain colour).
ViewBase {
    Rectangle {
        anchors.fill: parent
        visible: !!attrs.bg || attrs.borderWidth > 0
        color: attrs.bg || "transparent"
        radius: (attrs.radius || 0) * s
        border.width: (attrs.borderWidth || 0) * s
        border.color: attrs.borderColor || "transparent"
    }
    Image {
        anchors.fill: parent
        visible: !!attrs.pattern
        source: attrs.pattern || ""
        fillMode: Image.Tile
    }
}
