import QtQuick

BoxView {
    Text {
        anchors.fill: parent
        text: attrs.text || ""
        color: attrs.color || "black"
        font.pixelSize: Math.max(1, (attrs.fontSize || 17) * s)
        font.bold: !!attrs.bold
        horizontalAlignment: attrs.align === "center" ? Text.AlignHCenter
                             : attrs.align === "right" ? Text.AlignRight : Text.AlignLeft
        verticalAlignment: Text.AlignVCenter
        wrapMode: attrs.lines === 1 ? Text.NoWrap : Text.Wrap
        maximumLineCount: attrs.lines > 0 ? attrs.lines : 100000
        elide: attrs.lines === 1 ? Text.ElideRight : Text.ElideNone
    }
}
