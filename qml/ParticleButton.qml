import QtQuick 2.15

// One effect file in the particle list; a click makes its type the edited one.
MenuButton {
    property bool dataStorageLocation: false

    height: 24
}
