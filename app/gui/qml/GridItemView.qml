import QtQuick

ViewBase {
    GridView {
        id: grid
        anchors.fill: parent
        clip: true
        model: attrs.model
        cellWidth: (attrs.itemW || 100) * s
        cellHeight: (attrs.itemH || 100) * s
        Accessible.role: Accessible.List
        Accessible.name: attrs.accessibleName || ""
        delegate: Item {
            width: grid.cellWidth
            Accessible.role: Accessible.ListItem
            Accessible.name: (parts || []).filter(p => !!p.text).map(p => p.text).join(" ")
            Accessible.onPressAction: grid.model.select(index)
            height: grid.cellHeight
            Repeater {
                model: parts
                delegate: CellPart { attrs: modelData }
            }
            MouseArea { anchors.fill: parent; onClicked: grid.model.select(index) }
        }
    }
}
