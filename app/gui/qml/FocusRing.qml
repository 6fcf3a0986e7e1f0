import QtQuick

// The keyboard's focus ring, over the control that has it.
Rectangle {
    objectName: "focusRing"
    anchors.fill: parent
    anchors.margins: -2
    z: 3
    color: "transparent"
    radius: 4
    border.width: 2
    border.color: "#1565c0"
}
