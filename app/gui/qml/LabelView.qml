import QtQuick

// A label: a one-line text wider than its label shrinks down to the label's
// minimum font scale, then is cut at its end.
ViewBase {
    Text {
        objectName: "labelText"
        anchors.fill: parent
        text: attrs.text || ""
        color: attrs.color || "black"
        // Colours that do not read against their background get an outline.
        style: attrs.outline ? Text.Outline : Text.Normal
        styleColor: attrs.outline || "transparent"
        font.pixelSize: Math.max(1, (attrs.fontSize || 17) * s)
        font.bold: !!attrs.bold
        // Large bold text (a screen's title) is the regular face drawn
        // bolder: at that size it looks as the bold face does, and the first
        // screen need not open the bold collection for its one title.
        font.styleName: attrs.bold && (attrs.fontSize || 17) >= 24 ? "Regular" : ""
        fontSizeMode: attrs.lines === 1 ? Text.HorizontalFit : Text.FixedSize
        minimumPixelSize: Math.max(1, Math.floor(font.pixelSize * (attrs.minScale || 1)))
        horizontalAlignment: attrs.align === "center" ? Text.AlignHCenter
                             : attrs.align === "right" ? Text.AlignRight : Text.AlignLeft
        verticalAlignment: Text.AlignVCenter
        wrapMode: attrs.lines === 1 ? Text.NoWrap : Text.Wrap
        maximumLineCount: attrs.lines > 0 ? attrs.lines : 100000
        elide: attrs.lines > 0 ? Text.ElideRight : Text.ElideNone
    }
}
