import QtQuick

// One view inside a table cell or header, drawn by the same items as the screen.
Loader {
    property var attrs: ({})
    property string file: ""
    function show() {
        const wanted = yxScreen.fileFor(attrs)
        if (wanted !== file) {
            file = wanted
            setSource(file, { "attrs": attrs })
        } else if (item) {
            item.attrs = attrs
        }
        if (item) yxCore.place(item, attrs)
    }
    Component.onCompleted: show()
    onAttrsChanged: if (file !== "") show()
    Connections {
        target: yxCore
        function onScaleChanged() { if (item) yxCore.place(item, attrs) }
    }
}
