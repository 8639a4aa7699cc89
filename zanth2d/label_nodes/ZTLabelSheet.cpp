#include "label_nodes/ZTLabelSheet.h"

#include <algorithm>
#include <cstring>

#include "ZTConfiguration.h"
#include "platform/ZTImage.h"
#include "platform/linux/DesktopWindow.h"
#include "support/ZTGLStateCache.h"
#include "support/ZTRenderer.h"
#include "support/ZTUtils.h"

namespace zanth2d {

namespace {

// Rooms are handed out in steps, so that a label whose text changes keeps its room while the picture
// stays about as large.
constexpr int kWidthStep = 8;
constexpr int kHeightStep = 4;
// Sheets grow with the labels shown: a game with a few labels keeps a small one.
constexpr int kSheetSizes[][2] = {{256, 128}, {512, 256}, {1024, 512}};
// Beyond this many rooms written between two uploads, one rectangle around them all goes up.
constexpr size_t kMostDirtyRects = 16;

int roundUp(int value, int step)
{
    return (value + step - 1) / step * step;
}

// Room for a picture and its border.
int roomWidth(int width)
{
    return roundUp(width + 2, kWidthStep);
}

int roomHeight(int height)
{
    return roundUp(height + 2, kHeightStep);
}

void unite(ZTLabelSheet::Rect& into, const ZTLabelSheet::Rect& other)
{
    const int right = std::max(into.x + into.width, other.x + other.width);
    const int bottom = std::max(into.y + into.height, other.y + other.height);
    into.x = std::min(into.x, other.x);
    into.y = std::min(into.y, other.y);
    into.width = right - into.x;
    into.height = bottom - into.y;
}

// Never destroyed: labels may outlive static destruction (the director's own go at exit).
std::vector<ZTLabelSheet*>& sheets()
{
    static auto* list = new std::vector<ZTLabelSheet*>();
    return *list;
}

} // namespace

ZTLabelSheet::ZTLabelSheet(int width, int height) : m_width(width), m_height(height) {}

bool ZTLabelSheet::init()
{
    m_context = DesktopWindow::currentContext();
    m_pixels.assign(static_cast<size_t>(m_width) * static_cast<size_t>(m_height) * 2, 0);
    const bool made = initWithData(m_pixels.data(), kZTTexture2DPixelFormat_AI88,
                                   static_cast<unsigned>(m_width), static_cast<unsigned>(m_height),
                                   ZTSize(static_cast<float>(m_width), static_cast<float>(m_height)));
    return made && ZTTexture2D::getName() != 0;
}

bool ZTLabelSheet::takesPicture(int width, int height)
{
    const ZTTexture2DPixelFormat format = ZTTexture2D::defaultAlphaPixelFormat();
    return width > 0 && height > 0 && width <= kLargestWidth && height <= kLargestHeight &&
           (format == kZTTexture2DPixelFormat_RGBA8888 || format == kZTTexture2DPixelFormat_A8);
}

ZTLabelSheet::Slot ZTLabelSheet::take(int width, int height)
{
    Slot slot;
    if (!takesPicture(width, height)) {
        return slot;
    }
    const std::uintptr_t context = DesktopWindow::currentContext();
    for (ZTLabelSheet* sheet : sheets()) {
        if (sheet->m_context == context && sheet->place(width, height, slot)) {
            return slot;
        }
    }
    const size_t sizeIndex = std::min(sheets().size(), std::size(kSheetSizes) - 1);
    int sheetWidth = kSheetSizes[sizeIndex][0];
    int sheetHeight = kSheetSizes[sizeIndex][1];
    while (sheetWidth < roomWidth(width)) {
        sheetWidth *= 2;
    }
    while (sheetHeight < roomHeight(height)) {
        sheetHeight *= 2;
    }
    const int maxSize = ZTConfiguration::sharedConfiguration()->getMaxTextureSize();
    if (maxSize > 0 && (sheetWidth > maxSize || sheetHeight > maxSize)) {
        return slot;
    }
    auto* sheet = new ZTLabelSheet(sheetWidth, sheetHeight);
    if (!sheet->init() || !sheet->place(width, height, slot)) {
        sheet->release();
        return Slot();
    }
    sheets().push_back(sheet);
    return slot;
}

bool ZTLabelSheet::suits(const Slot& slot, int width, int height)
{
    return slot.sheet && slot.sheet->m_context == DesktopWindow::currentContext() &&
           roomWidth(width) <= slot.width && roomHeight(height) == slot.height;
}

void ZTLabelSheet::giveBack(Slot& slot)
{
    ZTLabelSheet* sheet = slot.sheet;
    if (!sheet) {
        return;
    }
    sheet->vacate(slot);
    slot = Slot();
    if (sheet->isEmpty()) {
        auto& list = sheets();
        list.erase(std::remove(list.begin(), list.end(), sheet), list.end());
        sheet->release();
    }
}

size_t ZTLabelSheet::sheetCount()
{
    return sheets().size();
}

bool ZTLabelSheet::place(int width, int height, Slot& slot)
{
    const int wanted = roomWidth(width);
    const int tall = roomHeight(height);
    if (wanted > m_width || tall > m_height) {
        return false;
    }
    auto carve = [&](Shelf& shelf) {
        for (auto span = shelf.free.begin(); span != shelf.free.end(); ++span) {
            if (span->width < wanted) {
                continue;
            }
            slot = Slot{this, span->x, shelf.y, wanted, shelf.height};
            span->x += wanted;
            span->width -= wanted;
            if (span->width == 0) {
                shelf.free.erase(span);
            }
            ++m_rooms;
            return true;
        }
        return false;
    };
    for (Shelf& shelf : m_shelves) {
        if (shelf.height == tall && carve(shelf)) {
            return true;
        }
    }
    if (m_top + tall > m_height) {
        return false;
    }
    m_shelves.push_back(Shelf{m_top, tall, {Span{0, m_width}}});
    m_top += tall;
    return carve(m_shelves.back());
}

void ZTLabelSheet::vacate(const Slot& slot)
{
    auto shelf = std::find_if(m_shelves.begin(), m_shelves.end(),
                              [&](const Shelf& candidate) { return candidate.y == slot.y; });
    if (shelf == m_shelves.end()) {
        return;
    }
    --m_rooms;
    auto& spans = shelf->free;
    auto at = std::lower_bound(spans.begin(), spans.end(), slot.x,
                               [](const Span& span, int x) { return span.x < x; });
    at = spans.insert(at, Span{slot.x, slot.width});
    // Joined with its neighbours, so that wider pictures find room again.
    if (at + 1 != spans.end() && at->x + at->width == (at + 1)->x) {
        at->width += (at + 1)->width;
        spans.erase(at + 1);
    }
    if (at != spans.begin() && (at - 1)->x + (at - 1)->width == at->x) {
        (at - 1)->width += at->width;
        spans.erase(at);
    }
    // Empty shelves at the top give their rows back to shelves of any height.
    while (!m_shelves.empty() && m_shelves.back().free.size() == 1 &&
           m_shelves.back().free.front().width == m_width) {
        m_top = m_shelves.back().y;
        m_shelves.pop_back();
    }
}

bool ZTLabelSheet::isEmpty() const
{
    return m_rooms == 0;
}

unsigned char* ZTLabelSheet::pixelAt(int x, int y)
{
    return m_pixels.data() +
           (static_cast<size_t>(y) * static_cast<size_t>(m_width) + static_cast<size_t>(x)) * 2;
}

void ZTLabelSheet::open(const Slot& slot, unsigned char*& pixels, int& stride, int& step)
{
    for (int row = 0; row < slot.height; ++row) {
        std::memset(pixelAt(slot.x, slot.y + row), 0, static_cast<size_t>(slot.width) * 2);
    }
    pixels = pixelAt(pictureX(slot), pictureY(slot));
    stride = m_width * 2;
    step = 2;
}

void ZTLabelSheet::finish(const Slot& slot, int width, int height)
{
    // A texture of the picture's own holds it at its top left, padded with clear pixels up to a power of
    // two in each direction, and repeats its edge pixels beyond the texture's edges.
    const int left = pictureX(slot);
    const int top = pictureY(slot);
    const bool clampsRight =
        static_cast<unsigned long>(width) == ztNextPOT(static_cast<unsigned long>(width));
    const bool clampsBottom =
        static_cast<unsigned long>(height) == ztNextPOT(static_cast<unsigned long>(height));
    for (int row = 0; row < height; ++row) {
        unsigned char* first = pixelAt(left, top + row);
        std::memcpy(first - 2, first, 2);
        if (clampsRight) {
            std::memcpy(first + width * 2, first + (width - 1) * 2, 2);
        }
    }
    // Whole rows, with the columns just made.
    const size_t rowBytes = static_cast<size_t>(width + 2) * 2;
    std::memcpy(pixelAt(left - 1, top - 1), pixelAt(left - 1, top), rowBytes);
    if (clampsBottom) {
        std::memcpy(pixelAt(left - 1, top + height), pixelAt(left - 1, top + height - 1), rowBytes);
    }

    const Rect room{slot.x, slot.y, slot.width, slot.height};
    if (m_dirty.size() < kMostDirtyRects) {
        m_dirty.push_back(room);
        return;
    }
    // Many rooms: one rectangle around them all.
    for (size_t i = 1; i < m_dirty.size(); ++i) {
        unite(m_dirty.front(), m_dirty[i]);
    }
    m_dirty.resize(1);
    unite(m_dirty.front(), room);
}

bool ZTLabelSheet::write(const Slot& slot, ZTImage& image)
{
    unsigned char* pixels = nullptr;
    int stride = 0;
    int step = 0;
    open(slot, pixels, stride, step);
    const int width = std::min<int>(image.getWidth(), slot.width - 2);
    const int height = std::min<int>(image.getHeight(), slot.height - 2);
    const unsigned char* source = image.getData();
    unsigned colour = 0;
    for (int row = 0; source && row < height; ++row) {
        const unsigned char* from = source + static_cast<size_t>(row) * image.getWidth() * 4;
        unsigned char* to = pixels + static_cast<size_t>(row) * static_cast<size_t>(stride);
        for (int column = 0; column < width; ++column, from += 4, to += 2) {
            to[0] = to[1] = from[3];
            colour |= unsigned(from[0] ^ from[3]) | unsigned(from[1] ^ from[3]) | unsigned(from[2] ^ from[3]);
        }
    }
    if (width > 0 && height > 0) {
        finish(slot, width, height);
    }
    return source && colour == 0;
}

GLuint ZTLabelSheet::getName()
{
    uploadChanges();
    return ZTTexture2D::getName();
}

void ZTLabelSheet::uploadChanges()
{
    if (m_dirty.empty() || m_context != DesktopWindow::currentContext()) {
        return;
    }
    // Quads queued with the sheet's old pictures are drawn with them.
    ZTRenderer* renderer = ZTRenderer::sharedRenderer();
    if (renderer->hasQueuedQuads()) {
        renderer->flush();
    }
    ZTGLStateCache::bindTexture2D(ZTTexture2D::getName());
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, m_width);
    for (const Rect& rect : m_dirty) {
        glTexSubImage2D(GL_TEXTURE_2D, 0, rect.x, rect.y, rect.width, rect.height, GL_LUMINANCE_ALPHA,
                        GL_UNSIGNED_BYTE, pixelAt(rect.x, rect.y));
    }
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    m_dirty.clear();
}

} // namespace zanth2d
