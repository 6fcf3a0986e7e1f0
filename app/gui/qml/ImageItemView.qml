import QtQuick

ViewBase {
    Image {
        id: picture
        anchors.fill: parent
        source: attrs.source || ""
        fillMode: attrs.fills ? Image.PreserveAspectCrop : Image.PreserveAspectFit
        clip: !!attrs.fills
        smooth: true
        cache: false
        // Fetched pictures decode off the GUI thread, at the size drawn.
        readonly property bool fetched: source.toString().startsWith("image://yx/view/")
        asynchronous: fetched
        // The unzoomed size, from the view's frame alone: zooming in a scroll
        // view scales the decoded picture instead of decoding it again (which
        // would blank it meanwhile).
        readonly property real unzoom: attrs.scale > 0 ? s / attrs.scale : s
        sourceSize: fetched ? Qt.size(Math.ceil((attrs.w || 1) * unzoom), Math.ceil((attrs.h || 1) * unzoom)) : Qt.size(-1, -1)
    }
}
