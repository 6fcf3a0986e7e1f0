import QtQuick

BoxView {
    id: button
    objectName: "button_" + (attrs.tag >= 0 ? attrs.tag : (attrs.name || attrs.action))
    readonly property bool enabled_: attrs.enabled !== false
    Image {
        anchors.fill: parent
        visible: !!attrs.background
        source: attrs.background || ""
        fillMode: Image.Stretch
    }
    // With both a picture and a title, the title sits under the picture; a
    // button too short for both (a header's back button) shows the picture.
    readonly property bool iconOnly: !!attrs.image && !!attrs.text && (attrs.h || 0) < 50
    readonly property bool both: !!attrs.image && !!attrs.text && !iconOnly
    Accessible.role: Accessible.Button
    Accessible.name: attrs.text || ""
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
        anchors.fill: button.both ? undefined : parent
        anchors.bottom: parent.bottom
        width: button.both ? parent.width + 16 * s : parent.width
        x: button.both ? -8 * s : 0
        height: button.both ? button.titleHeight : parent.height
        visible: !!attrs.text && !button.iconOnly
        text: attrs.text || ""
        color: !button.enabled_ ? "#a0a0a0" : button.both ? "#33414c" : (attrs.color || "#007aff")
        font.pixelSize: Math.max(1, (attrs.fontSize || 15) * s)
        horizontalAlignment: Text.AlignHCenter
        verticalAlignment: Text.AlignVCenter
        elide: Text.ElideRight
    }
    Rectangle {
        anchors.fill: parent
        color: "#000000"
        opacity: area.pressed ? 0.12 : 0
        radius: (attrs.radius || 4) * s
    }
    MouseArea {
        id: area
        anchors.fill: parent
        enabled: button.enabled_ && attrs.interactive !== false
        onClicked: yxScreen.tap(attrs.id)
    }
}
