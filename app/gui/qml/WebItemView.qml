import QtQuick

// Web pages through the web engine, PDF files through QtPdf; without a web
// engine (tests) the page is fetched by the core and its address shown.
ViewBase {
    id: web
    Rectangle { anchors.fill: parent; color: "white" }
    Loader {
        anchors.fill: parent
        active: !!attrs.url
        source: attrs.pdf ? "PdfPage.qml" : (yxCore.webEngine ? "WebPage.qml" : "")
        onLoaded: item.attrs = Qt.binding(function() { return web.attrs })
    }
    Text {
        visible: !yxCore.webEngine && !attrs.pdf
        anchors.centerIn: parent
        width: parent.width - 20 * s
        wrapMode: Text.WrapAnywhere
        horizontalAlignment: Text.AlignHCenter
        text: attrs.url ? attrs.url + "\n" + attrs.state : ""
        color: "#6b7780"
        font.pixelSize: 12 * s
    }
}
