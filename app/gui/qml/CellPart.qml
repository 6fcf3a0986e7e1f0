import QtQuick

// One view inside a table cell or header, drawn by the same items as the screen.
Loader {
    property var attrs: ({})
    readonly property var files: ({
        "view": "BoxView.qml", "label": "LabelView.qml", "button": "ButtonView.qml",
        "field": "FieldView.qml", "textview": "TextAreaView.qml", "image": "ImageItemView.qml",
        "switch": "SwitchView.qml", "spinner": "SpinnerView.qml", "progress": "ProgressBarView.qml"
    })
    Component.onCompleted: setSource(files[attrs.type] || "BoxView.qml", { "attrs": attrs })
    onAttrsChanged: if (item) item.attrs = attrs
}
