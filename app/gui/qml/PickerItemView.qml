import QtQuick
import QtQuick.Controls

// A picker wheel; the selected row sits in the middle band.
ViewBase {
    id: picker
    Rectangle { anchors.fill: parent; color: "#f7f8fa"; border.color: "#d5dbe0"; radius: 6 * s }
    Tumbler {
        id: wheel
        objectName: "picker_" + attrs.name
        anchors.fill: parent
        model: attrs.titles || []
        visibleItemCount: Math.max(3, Math.min(7, Math.floor(height / (32 * s)) | 1))
        wrap: false
        Accessible.role: Accessible.List
        Accessible.name: attrs.accessibleName || ""
        Accessible.description: (attrs.titles || [])[attrs.selected] || ""
        currentIndex: attrs.selected >= 0 ? attrs.selected : 0
        delegate: Text {
            text: modelData
            font.pixelSize: 17 * s
            color: "#1f2a33"
            horizontalAlignment: Text.AlignHCenter
            verticalAlignment: Text.AlignVCenter
            opacity: 1.0 - Math.abs(Tumbler.displacement) / (wheel.visibleItemCount / 2)
        }
        onMovingChanged: if (!moving && currentIndex !== attrs.selected) yxScreen.pick(attrs.id, currentIndex)
    }
    // The wheel moves one row a notch.
    MouseArea {
        anchors.fill: parent
        acceptedButtons: Qt.NoButton
        onWheel: (w) => {
            const step = w.angleDelta.y > 0 ? -1 : w.angleDelta.y < 0 ? 1 : 0
            const row = Math.max(0, Math.min((attrs.titles || []).length - 1, (attrs.selected || 0) + step))
            if (step !== 0 && row !== attrs.selected) yxScreen.pick(attrs.id, row)
        }
    }
    Rectangle {
        anchors.verticalCenter: parent.verticalCenter
        width: parent.width
        height: wheel.height / wheel.visibleItemCount
        color: "transparent"
        border.color: "#b9c6d0"
    }
}
