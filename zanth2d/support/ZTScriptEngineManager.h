#pragma once

namespace zanth2d {

class ZTScriptEngineProtocol;

// Holds the script engine, if one is installed (none is in this system, so every script hook checks
// getScriptEngine() and otherwise does nothing).
class ZTScriptEngineManager
{
public:
    // The shared manager, created on first use.
    static ZTScriptEngineManager* sharedManager();
    // Deletes the shared manager, releasing its engine.
    static void purgeSharedManager();
    // The installed engine, or null; never creates the manager, so script hooks in destructors stay
    // safe after the purge.
    static ZTScriptEngineProtocol* installedScriptEngine();

    ZTScriptEngineProtocol* getScriptEngine() const { return m_pScriptEngine; }
    // Takes over the caller's reference to pScriptEngine and releases the previous engine.
    void setScriptEngine(ZTScriptEngineProtocol* pScriptEngine);
    void removeScriptEngine();

private:
    ZTScriptEngineManager() = default;
    ~ZTScriptEngineManager();

    ZTScriptEngineProtocol* m_pScriptEngine = nullptr;
};

} // namespace zanth2d
