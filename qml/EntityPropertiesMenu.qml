import QtQuick 2.15

// The right menu: the property editor over the effect type being edited.
SlidingMenu {
    id: entityMenu

    // Whether effects added from now on load from the user's storage folder.
    property bool dataStorageLocation: false

    fromLeft: false
    editor.currentEditableType: "FireParticle"
}
