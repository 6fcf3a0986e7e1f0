import QtQuick

// A button with a picture, a picture behind its title, or a colour of its
// own. It darkens while pressed.
ButtonBase {
    id: button
    Image {
        anchors.fill: parent
        visible: !!attrs.background
        source: attrs.background || ""
        fillMode: Image.Stretch
    }
    // With both a picture and a title, the title is a caption under the
    // picture (using the points beside it the view was given); a button too
    // short for both (a header's back button) shows the picture.
    readonly property bool both: !!attrs.caption
    readonly property bool iconOnly: !!attrs.image && !!attrs.text && !both
    readonly property real titleHeight: both ? Math.max(1, (attrs.fontSize || 15) * s) * 1.5 : 0
    Image {
        id: icon
        visible: !!attrs.image
        source: attrs.image || ""
        fillMode: Image.PreserveAspectFit
        x: 1
        y: 1
        width: parent.width - 2
        height: parent.height - 2 - button.titleHeight
        opacity: button.enabled_ ? 1 : 0.4
        scale: button.pressed ? 0.94 : 1
        // A fetched picture decodes off the GUI thread, at the size drawn.
        readonly property bool fetched: source.toString().startsWith("image://yx/view/")
        asynchronous: fetched
        cache: !fetched
        // The unzoomed size, from the view's frame alone: zooming in a scroll
        // view scales the decoded picture instead of decoding it again (which
        // would blank it meanwhile).
        readonly property real unzoom: attrs.scale > 0 ? s / attrs.scale : s
        sourceSize: fetched ? Qt.size(Math.ceil((attrs.w || 1) * unzoom), Math.ceil((attrs.h || 1) * unzoom)) : Qt.size(-1, -1)
    }
    Text {
        objectName: "buttonTitle"
        anchors.fill: button.both ? undefined : parent
        anchors.bottom: parent.bottom
        width: button.both ? parent.width + 2 * (attrs.overhang || 0) * s : parent.width
        x: button.both ? -(attrs.overhang || 0) * s : 0
        height: button.both ? button.titleHeight : parent.height
        visible: !!attrs.text && !button.iconOnly
        text: attrs.text || ""
        color: !button.enabled_ ? "#7b8791" : button.both ? "#33414c" : (attrs.color || "#0b5cad")
        style: attrs.outline && !button.both && button.enabled_ ? Text.Outline : Text.Normal
        styleColor: attrs.outline || "transparent"
        font.pixelSize: Math.max(1, (attrs.fontSize || 15) * s)
        // A title wider than its button shrinks to half its size, then is cut at its end.
        fontSizeMode: Text.HorizontalFit
        minimumPixelSize: Math.max(1, Math.floor(font.pixelSize / 2))
        horizontalAlignment: Text.AlignHCenter
        verticalAlignment: Text.AlignVCenter
        elide: Text.ElideRight
    }
    Rectangle {
        anchors.fill: parent
        visible: button.pressed
        color: "#000000"
        opacity: 0.12
        radius: (attrs.radius || 4) * s
    }
}
