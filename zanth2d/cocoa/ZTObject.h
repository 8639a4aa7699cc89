#pragma once

#include <cstdint>

namespace zanth2d {

class ZTObject;

// The object a copy is made into; null asks copyWithZone to create a new object.
struct ZTZone
{
    explicit ZTZone(ZTObject* object = nullptr) : m_pCopyObject(object) {}
    ZTObject* m_pCopyObject;
};

// Copy protocol: classes that can be copied override copyWithZone; the default is a programming error.
class ZTCopying
{
public:
    virtual ~ZTCopying() = default;
    virtual ZTObject* copyWithZone(ZTZone* pZone);
};

// Base of every scene-graph object: an intrusive, single-threaded reference count starting at 1.
// An object handed out without an owner is autoreleased into the current pool and survives until
// the pool is emptied at the end of the frame.
class ZTObject : public ZTCopying
{
public:
    ZTObject();
    ~ZTObject() override;

    virtual bool isEqual(const ZTObject* pObject) const;
    virtual void update(float dt);

    void retain();
    // Destroys the object when the count reaches 0.
    void release();
    // Passes the caller's reference to the current autorelease pool; returns this.
    ZTObject* autorelease();
    // copyWithZone(nullptr): the copy has a count of 1 and belongs to the caller.
    ZTObject* copy();

    unsigned int retainCount() const { return m_uReference; }
    bool isSingleRefrence() const { return m_uReference == 1; }

    unsigned int m_uID;
    int m_nLuaID = 0;

protected:
    unsigned int m_uReference = 1;
    bool m_bManaged = false;

    friend class ZTAutoreleasePool;

private:
    static unsigned int uObjectCount;
};

} // namespace zanth2d
