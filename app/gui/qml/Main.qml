import QtQuick

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

    // Keys a person presses go to the field being edited first, then here:
    // Enter and Escape answer an alert; Tab and Shift+Tab move the focus
    // ring; Space and Enter press the focused control; arrows move a picker
    // or a table's current row; Alt+Left, and Escape when nothing is being
    // edited, press the screen's back button (Escape first closes a popup).
    Item {
        id: keys
        objectName: "keys"
        anchors.fill: parent
        focus: true

        function editing() {
            const f = root.activeFocusItem
            return !!f && f !== keys && f !== root.contentItem
        }

        Keys.onPressed: (e) => {
            const enter = e.key === Qt.Key_Return || e.key === Qt.Key_Enter
            if (yxAlert.visible) {
                if (enter) yxAlert.pressDefault()
                else if (e.key === Qt.Key_Escape) yxAlert.pressCancel()
                e.accepted = true  // modal: nothing under it takes keys
                return
            }
            if (yxCore.busy) { e.accepted = true; return }
            e.accepted = true
            if (e.key === Qt.Key_Tab || e.key === Qt.Key_Backtab) {
                if (editing()) keys.forceActiveFocus()
                yxScreen.moveFocus(e.key === Qt.Key_Backtab || (e.modifiers & Qt.ShiftModifier) ? -1 : 1)
            } else if (e.key === Qt.Key_Left && (e.modifiers & Qt.AltModifier)) {
                yxScreen.pressBack()
            } else if (e.key === Qt.Key_Escape) {
                if (editing()) keys.forceActiveFocus()
                else if (!yxScreen.pressDismiss()) yxScreen.pressBack()
            } else if (enter || e.key === Qt.Key_Space) {
                if (!editing()) yxScreen.activateFocus()
            } else if (e.key === Qt.Key_Up || e.key === Qt.Key_Down) {
                yxScreen.arrow(e.key === Qt.Key_Up ? -1 : 1)
            } else if (!editing() && e.text.length > 0 && e.text.charCodeAt(0) >= 32
                       && !(e.modifiers & (Qt.ControlModifier | Qt.AltModifier))) {
                yxScreen.typeIntoFocus(e.text)
            } else {
                e.accepted = false
            }
        }

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

            // A transfer in flight: a small wheel in the column's corner
            // (not while an alert or the busy indicator shows).
            Loader {
                active: yxCore.transferring && !yxAlert.visible && !yxCore.longWait
                width: 18 * root.s
                height: width
                x: stage.width - width - 8 * root.s
                y: stage.height - height - 8 * root.s
                sourceComponent: BusySpinner {
                    objectName: "activityIndicator"
                    color: "#455a64"
                }
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

        // The front alert, loaded when the first one shows.
        Loader {
            anchors.fill: parent
            active: yxAlert.visible
            source: "AlertDialog.qml"
        }

        // Input waits while the core is inside a blocking request; past
        // 300 ms a busy indicator says so.
        MouseArea {
            anchors.fill: parent
            visible: yxCore.busy || yxCore.longWait
            hoverEnabled: true
        }
        Loader {
            active: yxCore.longWait && !yxAlert.visible
            x: stage.x
            width: stage.width
            height: parent.height
            sourceComponent: Item {
                objectName: "busyIndicator"
                Rectangle { anchors.fill: parent; color: "#000000"; opacity: 0.25 }
                Rectangle {
                    anchors.centerIn: parent
                    width: 76 * root.s
                    height: width
                    radius: 12 * root.s
                    color: "#e6263238"
                    BusySpinner {
                        anchors.centerIn: parent
                        width: 40 * root.s
                        height: width
                        color: "#ffffff"
                    }
                }
            }
        }
    }

    // When a field stops editing the keys come back here.
    onActiveFocusItemChanged: Qt.callLater(function() {
        if (!root.activeFocusItem || root.activeFocusItem === root.contentItem) keys.forceActiveFocus()
    })
}
