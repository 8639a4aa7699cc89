import QtQuick 2.15

// A part of an entity; the entity is its parent.
Item {
    property var owningEntity: parent
}
