import QtQuick

ViewBase {
    id: area
    Flickable {
        id: flick
        anchors.fill: parent
        clip: true
        contentHeight: edit.paintedHeight + 8 * s
        contentY: attrs.offsetY || 0
        TextEdit {
            id: edit
            Accessible.role: attrs.editable ? Accessible.EditableText : Accessible.StaticText
            Accessible.name: attrs.accessibleName || ""
            Accessible.readOnly: !attrs.editable
            width: flick.width
            padding: 4 * s
            wrapMode: TextEdit.Wrap
            readOnly: !attrs.editable
            font.pixelSize: Math.max(1, (attrs.fontSize || 15) * s)
            text: attrs.text || ""
            onTextChanged: if (activeFocus && text !== (attrs.text || "")) yxScreen.editText(attrs.id, text)
        }
    }
}
