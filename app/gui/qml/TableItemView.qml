import QtQuick

// A table: only the rows in view are asked of the core.
BoxView {
    id: table
    // Scrolls the screen's code asks for: to a row (top, middle, bottom), or
    // to an offset it sets; the user's own scrolling is left alone.
    property string appliedKey: ""
    property real appliedOffset: 0
    function followCore() {
        if (attrs.scrollIndex !== undefined && attrs.scrollIndex >= 0) {
            if (attrs.scrollKey === appliedKey)
                return
            appliedKey = attrs.scrollKey
            appliedOffset = attrs.offsetY || 0
            list.positionViewAtIndex(attrs.scrollIndex, attrs.scrollMode === "middle" ? ListView.Center
                                     : attrs.scrollMode === "bottom" ? ListView.End : ListView.Beginning)
        } else if ((attrs.offsetY || 0) !== appliedOffset) {
            appliedKey = ""
            appliedOffset = attrs.offsetY || 0
            list.contentY = list.originY + appliedOffset * s
        }
    }
    onAttrsChanged: Qt.callLater(followCore)
    Component.onCompleted: Qt.callLater(followCore)
    Rectangle { anchors.fill: parent; color: attrs.grouped ? "#eef1f4" : "white"; visible: !attrs.bg }
    ListView {
        id: list
        objectName: "table_" + attrs.name
        anchors.fill: parent
        clip: true
        model: attrs.model
        cacheBuffer: 0
        boundsBehavior: Flickable.StopAtBounds
        delegate: Item {
            width: list.width
            height: Math.max(0, rowHeight) * s
            Rectangle {
                anchors.fill: parent
                color: kind === "header" ? "#e3e8ec" : (selected || rowArea.pressed ? "#d9e6f2" : "white")
            }
            Text {
                visible: kind === "header" && title.length > 0
                anchors.fill: parent
                anchors.leftMargin: 12 * s
                verticalAlignment: Text.AlignVCenter
                text: title
                font.pixelSize: 14 * s
                font.bold: true
                color: "#4a5a66"
            }
            Repeater {
                model: parts
                delegate: CellPart { attrs: modelData }
            }
            Text {
                visible: disclosure
                anchors.right: parent.right
                anchors.rightMargin: 10 * s
                anchors.verticalCenter: parent.verticalCenter
                text: "›"
                font.pixelSize: 22 * s
                color: "#a8b2ba"
            }
            Rectangle {
                visible: kind !== "header"
                anchors.bottom: parent.bottom
                x: 15 * s
                width: parent.width - x
                height: 1
                color: "#dde3e8"
            }
            MouseArea {
                id: rowArea
                anchors.fill: parent
                enabled: kind !== "header"
                onClicked: list.model.select(index)
            }
        }
    }
}
