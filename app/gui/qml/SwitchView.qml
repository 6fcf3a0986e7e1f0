import QtQuick

ViewBase {
    id: sw
    Accessible.role: Accessible.CheckBox
    Accessible.name: attrs.accessibleName || ""
    Accessible.checkable: true
    Accessible.checked: !!attrs.on
    Accessible.onToggleAction: yxScreen.flip(attrs.id, !attrs.on)
    Accessible.onPressAction: yxScreen.flip(attrs.id, !attrs.on)
    Rectangle {
        width: 51 * s
        height: 31 * s
        radius: height / 2
        color: attrs.on ? "#4cb36a" : "#d6dbe0"
        Rectangle {
            width: parent.height - 4 * s
            height: width
            radius: width / 2
            y: 2 * s
            x: attrs.on ? parent.width - width - 2 * s : 2 * s
            color: "white"
            Behavior on x { NumberAnimation { duration: 120 } }
        }
        MouseArea { anchors.fill: parent; onClicked: yxScreen.flip(attrs.id, !attrs.on) }
    }
}
