import QtQuick 2.15

// The analytics item the application reports its events to. This build sends nothing anywhere: every
// call is accepted and dropped, so the application runs the same with or without an analytics service.
Item {
    id: flurry

    // The application's key at the analytics service.
    property string applicationKey

    // Records the event name, optionally with one key and value; returns nothing.
    function logEvent(name, key, value) {
    }
}
