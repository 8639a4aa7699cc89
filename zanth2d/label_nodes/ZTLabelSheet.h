#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "textures/ZTTexture2D.h"

namespace zanth2d {

class ZTImage;

// A texture shared by the pictures of many small labels, side by side. A label whose text changes every
// frame then draws into its own room of a sheet instead of making, uploading and deleting a texture each
// time, and labels on one sheet are drawn together, as one run of quads.
//
// The sheet holds white text as coverage in both channels of GL_LUMINANCE_ALPHA, which samples as the
// premultiplied white of a label's own texture. Each room has a border of one pixel around its picture
// that filtering beyond the picture's edges reads as it would read a texture of the picture's own: its
// edge pixels where that texture would end there (and clamp), clear where it would go on with padding.
// Changes reach GL when the sheet's name is next asked for, that is when something draws with it; quads
// queued before then are drawn first, with what they were queued with. Engine thread only, with the GL
// context of the sheet current.
class ZTLabelSheet : public ZTTexture2D
{
public:
    // A room of a sheet, in pixels; no sheet: no room.
    struct Slot
    {
        ZTLabelSheet* sheet = nullptr;
        int x = 0;
        int y = 0;
        int width = 0;
        int height = 0;
    };

    // A rectangle of a sheet, in pixels.
    struct Rect
    {
        int x;
        int y;
        int width;
        int height;
    };

    // The largest picture sheets take; larger ones get a texture of their own.
    static constexpr int kLargestWidth = 512;
    static constexpr int kLargestHeight = 128;

    // Whether a picture of this size (pixels) goes on a sheet: small enough, and sheets keep the colours
    // the default alpha pixel format would.
    static bool takesPicture(int width, int height);
    // A room for a picture of width x height pixels on a sheet of the current GL context, made when none
    // has room; a slot without sheet when no texture could be made.
    static Slot take(int width, int height);
    // Whether the slot's room suits a picture of this size as it stands.
    static bool suits(const Slot& slot, int width, int height);
    // Gives the room back; a sheet left without rooms is released. The slot is emptied.
    static void giveBack(Slot& slot);
    // Sheets in use, for tests.
    static std::size_t sheetCount();

    // Clears the slot's room for a new picture and hands out where the picture goes: its first pixel, the
    // bytes a row and the bytes a pixel (luminance and alpha, both set to the coverage of white text).
    // `finish` must follow once the picture is drawn.
    void open(const Slot& slot, unsigned char*& pixels, int& stride, int& step);
    // Borders the width x height picture drawn into the slot's room and marks the room for upload.
    void finish(const Slot& slot, int width, int height);
    // Writes the picture into the slot's room (open and finish). False when the picture is not white text
    // on transparent black (a pixel whose four bytes differ), which a sheet cannot hold: the room then
    // holds its coverage alone.
    bool write(const Slot& slot, ZTImage& picture);
    // Where the picture of the slot's room starts, in pixels of the sheet.
    static int pictureX(const Slot& slot) { return slot.x + 1; }
    static int pictureY(const Slot& slot) { return slot.y + 1; }

    // Sends the rooms changed since the last upload to GL first.
    GLuint getName() override;
    // The sheet holds premultiplied white.
    bool getHasPremultipliedAlpha() override { return true; }

private:
    struct Span
    {
        int x;
        int width;
    };
    struct Shelf
    {
        int y;
        int height;
        // Free spans, in order of x.
        std::vector<Span> free;
    };
    ZTLabelSheet(int width, int height);
    bool init();
    bool place(int width, int height, Slot& slot);
    void vacate(const Slot& slot);
    bool isEmpty() const;
    void uploadChanges();
    unsigned char* pixelAt(int x, int y);

    int m_width;
    int m_height;
    std::uintptr_t m_context = 0;
    // Two bytes a pixel, rows top-down, as GL takes them.
    std::vector<unsigned char> m_pixels;
    std::vector<Shelf> m_shelves;
    // The next shelf starts here.
    int m_top = 0;
    int m_rooms = 0;
    // Written since the last upload; past kMostDirtyRects they are merged into one.
    std::vector<Rect> m_dirty;
};

} // namespace zanth2d
