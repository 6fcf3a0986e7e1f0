import QtQuick

// A table: only the rows in view are asked of the core.
ViewBase {
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
    // A framed table (a popup) keeps its frame over the rows.
    readonly property real inset: attrs.borderWidth > 0 ? Math.max(attrs.borderWidth * s, (attrs.radius || 0) * s * 0.3) : 0
    Rectangle { anchors.fill: parent; color: attrs.grouped ? "#eef1f4" : "white"; visible: !attrs.bg; radius: (attrs.radius || 0) * s }
    ListView {
        id: list
        objectName: "table_" + attrs.name
        anchors.fill: parent
        anchors.margins: table.inset
        clip: true
        model: attrs.model
        cacheBuffer: 0
        boundsBehavior: Flickable.StopAtBounds
        // The keyboard's current row, kept in view.
        currentIndex: list.model ? list.model.current : -1
        onCurrentIndexChanged: if (currentIndex >= 0) positionViewAtIndex(currentIndex, ListView.Contain)
        // The wheel moves three rows a notch.
        WheelHandler {
            onWheel: (w) => {
                const notches = Math.round(w.angleDelta.y / 120) || Math.sign(w.angleDelta.y)
                w.accepted = true
                if (notches === 0) return
                const top = Math.max(0, list.indexAt(1, list.contentY + 1))
                list.positionViewAtIndex(Math.max(0, Math.min(list.count - 1, top - 3 * notches)), ListView.Beginning)
            }
        }
        Accessible.role: Accessible.List
        Accessible.name: attrs.accessibleName || ""
        delegate: Item {
            id: rowItem
            width: list.width
            // A row is read by its texts.
            Accessible.role: kind === "header" ? Accessible.StaticText : Accessible.ListItem
            Accessible.name: kind === "header" ? title
                             : (parts || []).filter(p => !!p.text).map(p => p.text).join(" ")
            Accessible.selectable: kind !== "header"
            Accessible.checkable: !!checkmark
            Accessible.checked: !!checkmark
            Accessible.selected: !!selected
            Accessible.onPressAction: if (kind !== "header") list.model.select(index)
            height: Math.max(0, rowHeight) * s
            Rectangle {
                anchors.fill: parent
                color: kind === "header" ? "#e3e8ec" : (selected || rowArea.pressed ? "#d9e6f2" : "white")
            }
            Rectangle {
                objectName: "currentRow"
                visible: rowItem.ListView.isCurrentItem && table.keyFocus
                anchors.fill: parent
                color: "#1f1565c0"
                border.color: "#1565c0"
                border.width: 2
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
                objectName: "checkmark"
                visible: !!checkmark
                anchors.right: parent.right
                anchors.rightMargin: 12 * s
                anchors.verticalCenter: parent.verticalCenter
                text: "✓"
                font.pixelSize: 18 * s
                font.bold: true
                color: "#0b5cad"
            }
            Text {
                visible: disclosure
                anchors.right: parent.right
                anchors.rightMargin: 10 * s
                anchors.verticalCenter: parent.verticalCenter
                text: "›"
                font.pixelSize: 22 * s
                color: "#7b8791"
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
    Rectangle {
        anchors.fill: parent
        visible: attrs.borderWidth > 0
        color: "transparent"
        radius: (attrs.radius || 0) * s
        border.width: Math.max(1, (attrs.borderWidth || 0) * s)
        border.color: "#5f6b75"
    }
}
