import QtQuick

// A plain view: its colour, then its tiled pattern over it (a pattern, like
// the phone's pattern colours, takes the place of the plain colour).
// Patterns belong to plain views: screens and bars.
ViewBase {
    Image {
        anchors.fill: parent
        visible: !!attrs.pattern
        source: attrs.pattern || ""
        fillMode: Image.Tile
    }
}
