import QtQuick
import QtWebEngine

WebEngineView {
    id: page
    property var attrs: ({})
    property string wanted: attrs.url || ""
    onWantedChanged: if (wanted && url.toString() !== wanted) url = wanted
    onLoadingChanged: (info) => {
        if (info.status === WebEngineView.LoadStartedStatus) yxScreen.webStarted(attrs.id)
        else if (info.status === WebEngineView.LoadSucceededStatus) yxScreen.webFinished(attrs.id)
        else if (info.status === WebEngineView.LoadFailedStatus) yxScreen.webFailed(attrs.id, info.errorString)
    }
}
