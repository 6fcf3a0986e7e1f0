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
                view.fit()
                yxScreen.webFinished(attrs.id)
            }
            else if (doc.status === PdfDocument.Error) yxScreen.webFailed(attrs.id, "PDF error")
        }
    }
    PdfMultiPageView {
        id: view
        anchors.fill: parent
        // A page scaled to fit shows whole at first; pinching zooms it.
        property bool fitted: false
        function fit() {
            if (fitted || !pdf.attrs.fit || doc.status !== PdfDocument.Ready || width <= 0 || height <= 0
                    || doc.pageCount < 1) return
            var page = doc.pagePointSize(0)
            if (!(page.width > 0 && page.height > 0)) return
            fitted = true
            renderScale = Math.min(width / page.width, height / page.height)
        }
        onWidthChanged: fit()
        onHeightChanged: fit()
        document: doc
        visible: doc.status === PdfDocument.Ready
    }
}
