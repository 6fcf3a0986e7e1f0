import QtQuick
import QtQuick.Window

// The window: the top screen's views on a column 320 points wide, scaled to
// fit the window and centred on a flat neutral colour; the front alert over
// them, and a slide when the core marks a push or pop animated.
Window {
    id: root
    width: 390
    height: 844
    minimumWidth: 320
    minimumHeight: 480
    visible: true
    color: "#d9dde1"
    title: "雲岫學苑"

    readonly property real s: yxCore.scale

    Item {
        id: stage
        objectName: "stage"
        x: yxCore.offsetX
        width: 320 * root.s
        height: root.height
        clip: true

        ScreenLayer {
            id: layer
            objectName: "screenLayer"
            width: stage.width
            height: stage.height
        }

        NumberAnimation {
            id: slide
            target: layer
            property: "x"
            duration: 280
            easing.type: Easing.OutCubic
            to: 0
        }

        Connections {
            target: yxNav
            function onTransition(kind, animated) {
                slide.stop()
                if (!animated || kind === "setRoot") {
                    layer.x = 0
                    return
                }
                slide.from = kind === "push" ? stage.width : -stage.width * 0.35
                slide.start()
            }
        }
    }

    AlertDialog {
        anchors.fill: parent
    }

    // Input waits while the core is inside a blocking request.
    MouseArea {
        anchors.fill: parent
        visible: yxCore.busy
        hoverEnabled: true
    }
}
