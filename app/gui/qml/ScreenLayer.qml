import QtQuick

// The top screen: its own colour fills a window taller than the design. The
// items that draw its views are put over it, one per view in drawing order.
Item {
    Rectangle { anchors.fill: parent; color: yxScreen.rootColor }

    // The kinds of views nearly every screen shows, loaded with the window
    // (the others are loaded the first time a screen shows one).
    readonly property var kinds: ({
        "BoxView.qml": box, "LabelView.qml": label, "ButtonView.qml": button,
        "TitleButtonView.qml": titleButton, "ScrollAreaView.qml": scroll
    })
    Component { id: box; BoxView {} }
    Component { id: label; LabelView {} }
    Component { id: button; ButtonView {} }
    Component { id: titleButton; TitleButtonView {} }
    Component { id: scroll; ScrollAreaView {} }
}
