import QtQuick

// Every visible view of the top screen, drawn by its type. Each kind's QML
// is loaded the first time a screen shows one, so the first screen does not
// wait for kinds it does not have (pickers, web pages, PDF files).
Item {
    id: screen
    function fileFor(type) {
        const files = {
            "view": "BoxView.qml", "label": "LabelView.qml", "button": "ButtonView.qml",
            "field": "FieldView.qml", "textview": "TextAreaView.qml", "image": "ImageItemView.qml",
            "scroll": "ScrollAreaView.qml", "table": "TableItemView.qml", "grid": "GridItemView.qml",
            "picker": "PickerItemView.qml", "switch": "SwitchView.qml", "spinner": "SpinnerView.qml",
            "progress": "ProgressBarView.qml", "web": "WebItemView.qml"
        }
        return files[type] || "BoxView.qml"
    }
    // The screen's own colour fills a window taller than the design.
    Rectangle { anchors.fill: parent; color: yxScreen.rootColor }
    Repeater {
        model: yxScreen
        delegate: Loader {
            required property string type
            required property var attrs
            Component.onCompleted: setSource(screen.fileFor(type), { "attrs": attrs })
            onAttrsChanged: if (item) item.attrs = attrs
        }
    }
}
