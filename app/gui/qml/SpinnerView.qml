import QtQuick

// Turns on its own animation, so it keeps turning while the core waits.
BoxView {
    Item {
        id: spinner
        anchors.centerIn: parent
        width: (attrs.large ? 37 : 20) * s
        height: width
        Repeater {
            model: 12
            Rectangle {
                x: spinner.width / 2 - width / 2
                y: 0
                width: spinner.width / 10
                height: spinner.height * 0.3
                radius: width / 2
                color: "#6b7780"
                opacity: 0.2 + 0.8 * index / 12
                transform: Rotation { origin.x: width / 2; origin.y: spinner.height / 2; angle: index * 30 }
            }
        }
        RotationAnimation on rotation {
            running: !!attrs.running
            from: 0; to: 360; duration: 1000; loops: Animation.Infinite
        }
    }
}
