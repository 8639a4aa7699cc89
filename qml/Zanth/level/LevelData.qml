import QtQuick 2.15

// One level record: its meta data, its stored entities, the property editor's values and the game's own data.
QtObject {
    property variant levelMetaData: ({})
    property variant entityData: ({})
    property variant editableComponentData: ({})
    property variant customData: ({})
}
