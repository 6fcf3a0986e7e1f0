import QtQuick
import QtQuick.Pdf

// A PDF file the core fetched into a local file.
Item {
    id: pdf
    property var attrs: ({})
    PdfDocument {
        id: doc
        source: attrs.pdfFile ? "file://" + attrs.pdfFile : ""
        onStatusChanged: {
            if (doc.status === PdfDocument.Ready) {
                // A page scaled to fit shows whole at first; pinching zooms it.
                if (attrs.fit) Qt.callLater(function() { view.scaleToPage(view.width, view.height) })
                yxScreen.webFinished(attrs.id)
            }
            else if (doc.status === PdfDocument.Error) yxScreen.webFailed(attrs.id, "PDF error")
        }
    }
    PdfMultiPageView {
        id: view
        anchors.fill: parent
        document: doc
        visible: doc.status === PdfDocument.Ready
    }
}
