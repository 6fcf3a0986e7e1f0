import QtQuick
import Qt.labs.qmlmodels

// Every visible view of the top screen, drawn by its type.
Item {
    id: layer
    // The screen's own colour fills a window taller than the design.
    Rectangle { anchors.fill: parent; color: yxScreen.rootColor }
    Repeater {
        model: yxScreen
        delegate: DelegateChooser {
            role: "type"
            DelegateChoice { roleValue: "view"; BoxView { attrs: model.attrs } }
            DelegateChoice { roleValue: "label"; LabelView { attrs: model.attrs } }
            DelegateChoice { roleValue: "button"; ButtonView { attrs: model.attrs } }
            DelegateChoice { roleValue: "field"; FieldView { attrs: model.attrs } }
            DelegateChoice { roleValue: "textview"; TextAreaView { attrs: model.attrs } }
            DelegateChoice { roleValue: "image"; ImageItemView { attrs: model.attrs } }
            DelegateChoice { roleValue: "scroll"; ScrollAreaView { attrs: model.attrs } }
            DelegateChoice { roleValue: "table"; TableItemView { attrs: model.attrs } }
            DelegateChoice { roleValue: "grid"; GridItemView { attrs: model.attrs } }
            DelegateChoice { roleValue: "picker"; PickerItemView { attrs: model.attrs } }
            DelegateChoice { roleValue: "switch"; SwitchView { attrs: model.attrs } }
            DelegateChoice { roleValue: "spinner"; SpinnerView { attrs: model.attrs } }
            DelegateChoice { roleValue: "progress"; ProgressBarView { attrs: model.attrs } }
            DelegateChoice { roleValue: "web"; WebItemView { attrs: model.attrs } }
        }
    }
}
