import QtQuick

// A text field; the on-screen keyboard is the desktop's keyboard.
ViewBase {
    id: field
    Rectangle {
        anchors.fill: parent
        color: attrs.enabled === false ? "#eeeeee" : "white"
        border.color: input.activeFocus ? "#5b8fb9" : "#c3ccd3"
        border.width: 1
        radius: 5 * s
    }
    Text {
        anchors.fill: input
        visible: input.text.length === 0
        text: attrs.placeholder || ""
        color: "#6b7780"
        font: input.font
        verticalAlignment: Text.AlignVCenter
    }
    TextInput {
        id: input
        objectName: "field_" + attrs.name
        anchors.fill: parent
        anchors.leftMargin: 6 * s
        anchors.rightMargin: 6 * s
        verticalAlignment: TextInput.AlignVCenter
        font.pixelSize: Math.max(1, (attrs.fontSize || 15) * s)
        echoMode: attrs.secure ? TextInput.Password : TextInput.Normal
        inputMethodHints: attrs.numeric ? Qt.ImhDigitsOnly : Qt.ImhNone
        readOnly: attrs.enabled === false
        clip: true
        Accessible.role: Accessible.EditableText
        Accessible.name: attrs.accessibleName || attrs.placeholder || ""
        Accessible.passwordEdit: !!attrs.secure
        Accessible.focused: field.keyFocus || activeFocus
        property bool syncing: false
        Component.onCompleted: { syncing = true; text = attrs.text || ""; syncing = false }
        Connections {
            target: field
            function onAttrsChanged() {
                if (input.text !== (field.attrs.text || "")) {
                    input.syncing = true
                    input.text = field.attrs.text || ""
                    input.syncing = false
                }
                if (field.attrs.focused && !input.activeFocus) input.forceActiveFocus()
                if (!field.attrs.focused && input.activeFocus) input.focus = false
            }
        }
        onActiveFocusChanged: {
            if (activeFocus && !yxScreen.focusField(attrs.id)) focus = false
            else if (activeFocus) yxScreen.setFocusId(attrs.id)
            else yxScreen.endEditing(attrs.id)
        }
        onTextEdited: if (!syncing) yxScreen.typeText(attrs.id, text)
        onAccepted: yxScreen.returnKey(attrs.id)
    }
}
