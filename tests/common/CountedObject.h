#pragma once

#include "cocoa/ZTObject.h"

// A scene-graph object that counts its own destruction, so tests can prove each object dies exactly once.
class CountedObject : public zanth2d::ZTObject
{
public:
    explicit CountedObject(int* destroyed) : m_destroyed(destroyed) {}
    ~CountedObject() override { ++*m_destroyed; }

private:
    int* m_destroyed;
};
