import QtQuick

// What every button shares: its name, what a screen reader says of it, and
// the area that takes clicks and hover. The accessible name is the title,
// or for a picture button what it does.
ViewBase {
    id: button
    objectName: "button_" + (attrs.tag >= 0 ? attrs.tag : (attrs.name || attrs.action))
    readonly property bool enabled_: attrs.enabled !== false
    readonly property alias pressed: area.pressed
    readonly property alias hovered: area.containsMouse
    Accessible.role: attrs.checkable ? Accessible.CheckBox : Accessible.Button
    Accessible.name: attrs.accessibleName || attrs.text || ""
    Accessible.checkable: !!attrs.checkable
    Accessible.checked: !!attrs.checked
    Accessible.focusable: true
    Accessible.focused: button.keyFocus
    Accessible.onPressAction: if (button.enabled_) yxScreen.tap(attrs.id)
    MouseArea {
        id: area
        z: 2
        anchors.fill: parent
        hoverEnabled: true
        cursorShape: button.enabled_ ? Qt.PointingHandCursor : Qt.ArrowCursor
        enabled: button.enabled_ && attrs.interactive !== false
        onClicked: yxScreen.tap(attrs.id)
    }
}
