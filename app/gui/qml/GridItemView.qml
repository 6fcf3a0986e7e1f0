import QtQuick

BoxView {
    GridView {
        id: grid
        anchors.fill: parent
        clip: true
        model: attrs.model
        cellWidth: (attrs.itemW || 100) * s
        cellHeight: (attrs.itemH || 100) * s
        delegate: Item {
            width: grid.cellWidth
            height: grid.cellHeight
            Repeater {
                model: parts
                delegate: CellPart { attrs: modelData }
            }
            MouseArea { anchors.fill: parent; onClicked: grid.model.select(index) }
        }
    }
}
