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
// premultiplied white of a label's own texture. Each room keeps a clear row and column on its right and
// bottom, so that filtering never reaches a neighbour. Changes reach GL when a label of the sheet is next
// drawn (`uploadChanges`). Engine thread only, with the GL context of the sheet current.
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

    // Clears the slot's room for a new picture and hands out its pixels: the first, the bytes a row and
    // the bytes a pixel (luminance and alpha, both set to the coverage of white text).
    void open(const Slot& slot, unsigned char*& pixels, int& stride, int& step);
    // Writes the picture into the slot's room (the rest of the room cleared) at its top left. False when
    // the picture is not white text on transparent black (a pixel whose four bytes differ), which a sheet
    // cannot hold: the room then holds its coverage alone.
    bool write(const Slot& slot, ZTImage& picture);
    // Sends the rooms written since the last upload to GL.
    void uploadChanges();

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
