// Property-list reader: any bytes must give a dictionary tree or null, never a crash or a leak.
#include <cstddef>
#include <cstdint>
#include <string>

#include "cocoa/ZTMutableArray.h"
#include "cocoa/ZTMutableDictionary.h"
#include "cocoa/ZTString.h"
#include "platform/ZTDictMaker.h"

using namespace zanth2d;

namespace {

// Touches every node so that a dangling container in the tree shows up.
size_t walk(ZTObject* object)
{
    size_t nodes = 1;
    if (auto* dict = dynamic_cast<ZTMutableDictionary<std::string, ZTObject*>*>(object)) {
        for (const auto& entry : *dict) {
            nodes += entry.first.size() + walk(entry.second);
        }
    } else if (auto* array = dynamic_cast<ZTMutableArray<ZTObject*>*>(object)) {
        for (ZTObject* item : *array) {
            nodes += walk(item);
        }
    } else if (auto* text = dynamic_cast<ZTString*>(object)) {
        nodes += text->getString().size();
    }
    return nodes;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    ZTDictMaker maker;
    auto* root =
        maker.dictionaryWithData(reinterpret_cast<const char*>(data), static_cast<unsigned int>(size));
    if (root) {
        walk(root);
        root->release();
    }
    return 0;
}
