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
            if (doc.status === PdfDocument.Ready) yxScreen.webFinished(attrs.id)
            else if (doc.status === PdfDocument.Error) yxScreen.webFailed(attrs.id, "PDF error")
        }
    }
    PdfMultiPageView {
        anchors.fill: parent
        document: doc
        visible: doc.status === PdfDocument.Ready
    }
}
