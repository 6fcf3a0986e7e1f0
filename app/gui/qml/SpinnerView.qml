import QtQuick

// Turns on its own animation, so it keeps turning while the core waits.
ViewBase {
    BusySpinner {
        anchors.centerIn: parent
        width: (attrs.large ? 37 : 20) * s
        height: width
        running: !!attrs.running
    }
}
