import QtQuick

// The front alert as a modal dialog: buttons in order (side by side for two,
// stacked for more), none at all, or the progress alert's bar and percentage.
Item {
    id: dialog
    objectName: "alertDialog"
    visible: yxAlert.visible
    readonly property real s: yxCore.scale
    Accessible.role: Accessible.AlertMessage
    Accessible.name: yxAlert.title || yxAlert.message
    Accessible.description: yxAlert.message
    Rectangle { anchors.fill: parent; color: "#000000"; opacity: 0.35 }
    MouseArea { anchors.fill: parent }  // modal: nothing under it takes input
    Rectangle {
        id: box
        anchors.centerIn: parent
        width: 270 * s
        height: column.height
        radius: 13 * s
        color: "#f5f6f7"
        Column {
            id: column
            width: parent.width
            Item { width: 1; height: 18 * s }
            Text {
                objectName: "alertTitle"
                width: parent.width - 32 * s
                x: 16 * s
                visible: text.length > 0
                text: yxAlert.title
                font.pixelSize: 17 * s
                font.bold: true
                horizontalAlignment: Text.AlignHCenter
                wrapMode: Text.Wrap
            }
            Text {
                objectName: "alertMessage"
                width: parent.width - 32 * s
                x: 16 * s
                visible: text.length > 0
                topPadding: 4 * s
                text: yxAlert.message
                font.pixelSize: 13 * s
                horizontalAlignment: Text.AlignHCenter
                wrapMode: Text.Wrap
            }
            Repeater {
                model: yxAlert.texts
                Text {
                    width: column.width - 32 * s
                    x: 16 * s
                    text: modelData
                    font.pixelSize: 13 * s
                    horizontalAlignment: Text.AlignHCenter
                    wrapMode: Text.Wrap
                }
            }
            // The bar; the screen's own label beside it tells the percentage.
            Item {
                visible: yxAlert.hasProgress
                width: parent.width
                height: visible ? 34 * s : 0
                Rectangle {
                    id: track
                    x: 20 * s
                    y: 12 * s
                    width: parent.width - 40 * s
                    height: 4 * s
                    radius: height / 2
                    color: "#d8dde2"
                    Rectangle {
                        height: parent.height
                        radius: parent.radius
                        width: parent.width * Math.max(0, Math.min(1, yxAlert.progress))
                        color: "#3d7eb8"
                    }
                }
            }
            Item { width: 1; height: (yxAlert.buttons.length > 0 ? 16 : 20) * s }
            Rectangle { width: parent.width; height: 1; color: "#d3d8dc"; visible: yxAlert.buttons.length > 0 }
            Flow {
                width: parent.width
                Repeater {
                    model: yxAlert.buttons
                    Item {
                        objectName: "alertButton_" + index
                        Accessible.role: Accessible.Button
                        Accessible.name: modelData
                        Accessible.onPressAction: yxAlert.press(index)
                        width: yxAlert.buttons.length === 2 ? column.width / 2 : column.width
                        height: 44 * s
                        Rectangle {
                            anchors.fill: parent
                            color: press.pressed ? "#e2e6ea" : "transparent"
                            radius: 13 * s
                        }
                        Rectangle {
                            visible: yxAlert.buttons.length === 2 && index === 1
                            width: 1; height: parent.height; color: "#d3d8dc"
                        }
                        Rectangle {
                            visible: yxAlert.buttons.length > 2 && index > 0
                            width: parent.width; height: 1; color: "#d3d8dc"
                        }
                        Text {
                            anchors.centerIn: parent
                            text: modelData
                            font.pixelSize: 17 * s
                            font.bold: index === 0 && yxAlert.buttons.length === 2
                            color: "#0a64c2"
                        }
                        MouseArea { id: press; anchors.fill: parent; onClicked: yxAlert.press(index) }
                    }
                }
            }
        }
    }
}
