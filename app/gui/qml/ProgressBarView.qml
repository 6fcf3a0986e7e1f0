import QtQuick

ViewBase {
    Rectangle {
        anchors.verticalCenter: parent.verticalCenter
        width: parent.width
        height: Math.max(2, 4 * s)
        radius: height / 2
        color: "#dde3e8"
        Rectangle {
            height: parent.height
            radius: parent.radius
            width: parent.width * Math.max(0, Math.min(1, attrs.progress || 0))
            color: "#3d7eb8"
        }
    }
}
