import QtQuick

// A button. A title-only button has a face: outlined in its title colour,
// tinted on hover, darker while pressed, grey when disabled. A picture
// button darkens while pressed. The accessible name is the title, or for a
// picture button what it does.
BoxView {
    id: button
    objectName: "button_" + (attrs.tag >= 0 ? attrs.tag : (attrs.name || attrs.action))
    readonly property bool enabled_: attrs.enabled !== false
    readonly property bool textOnly: !!attrs.text && !attrs.image && !attrs.background && !attrs.bg
    Accessible.role: attrs.checkable ? Accessible.CheckBox : Accessible.Button
    Accessible.name: attrs.accessibleName || attrs.text || ""
    Accessible.checkable: !!attrs.checkable
    Accessible.checked: !!attrs.checked
    Accessible.focusable: true
    Accessible.focused: button.keyFocus
    Accessible.onPressAction: if (button.enabled_) yxScreen.tap(attrs.id)
    Rectangle {
        objectName: "buttonFace"
        visible: button.textOnly
        anchors.fill: parent
        radius: 6 * s
        color: !button.enabled_ ? "#f0f2f4" : area.pressed ? "#d3e2f2" : area.containsMouse ? "#eaf2fb" : "#ffffff"
        border.width: Math.max(1, 1.2 * s)
        border.color: button.enabled_ ? (attrs.color || "#0b5cad") : "#c3ccd3"
    }
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
    readonly property real titleHeight: both ? Math.max(1, (attrs.fontSize || 15) * s) * 1.5 : 0
    // The caption may use 8 points beside the picture on either side.
    readonly property real captionMargin: 8
    overhang: both ? captionMargin : 0
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
        scale: area.pressed ? 0.94 : 1
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
        width: button.both ? parent.width + 2 * button.captionMargin * s : parent.width
        x: button.both ? -button.captionMargin * s : 0
        height: button.both ? button.titleHeight : parent.height
        leftPadding: button.textOnly ? 4 * s : 0
        rightPadding: leftPadding
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
        color: "#000000"
        visible: !button.textOnly
        opacity: area.pressed ? 0.12 : 0
        radius: (attrs.radius || 4) * s
    }
    MouseArea {
        id: area
        anchors.fill: parent
        hoverEnabled: true
        cursorShape: button.enabled_ ? Qt.PointingHandCursor : Qt.ArrowCursor
        enabled: button.enabled_ && attrs.interactive !== false
        onClicked: yxScreen.tap(attrs.id)
    }
}
