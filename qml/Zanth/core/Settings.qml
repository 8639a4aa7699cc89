import QtQuick 2.15

// The game's settings, each loaded from the "settings" storage when the item completes and written
// back whenever it changes. The language is kept by the translation service, not in this table.
Storage {
    id: settings

    databaseName: "settings"

    property bool soundEnabled: true
    property bool musicEnabled: true
    property bool particlesEnabled: true
    property int maximumHighscore: 0
    property string username
    property string language
    property var customData: ({})
    // Names of properties that are neither loaded nor stored.
    property var ignoredPropertiesForStoring
    property bool fullyCompleted: false

    readonly property bool __hasTranslation: typeof translation !== "undefined" && translation !== null

    function isIgnoredProperty(propertyName) {
        if (!ignoredPropertiesForStoring)
            return false
        for (var i = 0; i < ignoredPropertiesForStoring.length; ++i) {
            if (ignoredPropertiesForStoring[i] === propertyName) {
                console.debug("Settings: this property is ignored for storing:", propertyName)
                return true
            }
        }
        return false
    }

    // With defaults (a map), a value not stored yet joins it instead of being stored at once.
    function loadUserSettingOrStoreIfNotExisting(propertyName, defaults) {
        if (isIgnoredProperty(propertyName))
            return
        var stored = getValue(propertyName)
        console.debug("Settings: loadUserSetting for propertyname", propertyName, "returned", stored)
        if (stored !== undefined) {
            // A stored value the property can't hold (an older version's type, a damaged store) must not
            // end the loading here: the settings after it would stay unloaded and no change be stored.
            // The property keeps its value and the stored one stays until the property changes.
            try {
                settings[propertyName] = stored
            } catch (error) {
                console.debug("ERROR: Settings: the stored value of", propertyName, "can't be taken (" + error
                              + "), it keeps", settings[propertyName])
            }
        } else if (settings[propertyName] !== undefined) {
            if (defaults)
                defaults[propertyName] = settings[propertyName]
            else
                setValue(propertyName, settings[propertyName])
        }
    }

    // Values assigned while the item is created are the game's defaults: they must not overwrite
    // stored values before these have been loaded.
    function storePropertyToDatabase(propertyName) {
        if (!fullyCompleted || isIgnoredProperty(propertyName))
            return
        setValue(propertyName, settings[propertyName])
    }

    onCustomDataChanged: storePropertyToDatabase("customData")
    onSoundEnabledChanged: storePropertyToDatabase("soundEnabled")
    onMusicEnabledChanged: storePropertyToDatabase("musicEnabled")
    onParticlesEnabledChanged: storePropertyToDatabase("particlesEnabled")
    onMaximumHighscoreChanged: storePropertyToDatabase("maximumHighscore")
    onUsernameChanged: storePropertyToDatabase("username")

    onLanguageChanged: {
        if (!__hasTranslation || language === translation.activeLanguage)
            return
        translation.selectLanguage(language)
        if (translation.activeLanguage !== language)
            language = translation.activeLanguage
        translation.storeActiveLanguage()
    }

    Component.onCompleted: {
        console.debug("Settings: onCompleted()")
        console.debug("Settings: soundEnabled locally (not read from the database):", soundEnabled)
        console.debug("Settings: musicEnabled locally (not read from the database):", musicEnabled)
        var names = ["soundEnabled", "musicEnabled", "particlesEnabled", "customData", "maximumHighscore", "username"]
        // The defaults a first start stores go in together: one write to the database rather than one each.
        var defaults = {}
        for (var i = 0; i < names.length; ++i)
            loadUserSettingOrStoreIfNotExisting(names[i], defaults)
        setValues(defaults)
        if (__hasTranslation) {
            language = translation.activeLanguage
            translation.storeActiveLanguage()
        }
        fullyCompleted = true
    }
}
