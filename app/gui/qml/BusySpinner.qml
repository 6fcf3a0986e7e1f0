import QtQuick

// A turning wheel of twelve spokes.
Item {
    id: spinner
    property color color: "#6b7780"
    property bool running: true
    Repeater {
        model: 12
        Rectangle {
            x: spinner.width / 2 - width / 2
            y: 0
            width: spinner.width / 10
            height: spinner.height * 0.3
            radius: width / 2
            color: spinner.color
            opacity: 0.2 + 0.8 * index / 12
            transform: Rotation { origin.x: width / 2; origin.y: spinner.height / 2; angle: index * 30 }
        }
    }
    RotationAnimation on rotation {
        running: spinner.running && spinner.visible
        from: 0; to: 360; duration: 1000; loops: Animation.Infinite
    }
}
