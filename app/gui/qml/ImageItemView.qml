import QtQuick

BoxView {
    Image {
        anchors.fill: parent
        source: attrs.source || ""
        fillMode: Image.PreserveAspectFit
        smooth: true
        cache: false
    }
}
