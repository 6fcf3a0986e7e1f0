import QtQuick

// Common geometry of a drawn view: its frame scaled to the window, hidden
// when it lies wholly outside the scroll view that holds it.
Item {
    property var attrs: ({})
    readonly property real s: yxCore.scale
    readonly property var clipRect: attrs.clip || ({})
    x: (attrs.x || 0) * s
    y: (attrs.y || 0) * s
    width: (attrs.w || 0) * s
    height: (attrs.h || 0) * s
    opacity: attrs.alpha === undefined ? 1 : attrs.alpha
    visible: clipRect.w === undefined
             || (attrs.x + attrs.w > clipRect.x && attrs.x < clipRect.x + clipRect.w
                 && attrs.y + attrs.h > clipRect.y && attrs.y < clipRect.y + clipRect.h)
}
