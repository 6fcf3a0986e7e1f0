import QtQuick

// A button with a title only: its face is outlined in the title's colour,
// tinted on hover, darker while pressed, grey when disabled.
ButtonBase {
    id: button
    Rectangle {
        objectName: "buttonFace"
        anchors.fill: parent
        radius: 6 * s
        color: !button.enabled_ ? "#f0f2f4" : button.pressed ? "#d3e2f2" : button.hovered ? "#eaf2fb" : "#ffffff"
        border.width: Math.max(1, 1.2 * s)
        border.color: button.enabled_ ? (attrs.color || "#0b5cad") : "#c3ccd3"
    }
    Text {
        objectName: "buttonTitle"
        anchors.fill: parent
        leftPadding: 4 * s
        rightPadding: leftPadding
        text: attrs.text || ""
        color: button.enabled_ ? (attrs.color || "#0b5cad") : "#7b8791"
        style: attrs.outline && button.enabled_ ? Text.Outline : Text.Normal
        styleColor: attrs.outline || "transparent"
        font.pixelSize: Math.max(1, (attrs.fontSize || 15) * s)
        // A title wider than its button shrinks to half its size, then is cut at its end.
        fontSizeMode: Text.HorizontalFit
        minimumPixelSize: Math.max(1, Math.floor(font.pixelSize / 2))
        horizontalAlignment: Text.AlignHCenter
        verticalAlignment: Text.AlignVCenter
        elide: Text.ElideRight
    }
}
