import QtQuick

ViewBase {
    Image {
        anchors.fill: parent
        visible: !!attrs.pattern
        source: attrs.pattern || ""
        fillMode: Image.Tile
    }
    Rectangle {
        anchors.fill: parent
        visible: !!attrs.bg || attrs.borderWidth > 0
        color: attrs.bg || "transparent"
        radius: (attrs.radius || 0) * s
        border.width: (attrs.borderWidth || 0) * s
        border.color: attrs.borderColor || "transparent"
    }
}
