#pragma once
// Conversion of the encoder's input pictures into its planar 4:2:0 planes, the vertical
// flip and the fill of the padding around the picture.
#include <cstddef>
#include <cstdint>

namespace tx::mpeg4
{

// Input layouts, fixed when the encoder is initialised.
enum InputLayout : int
{
    kInputYv12 = 0,  // planar 4:2:0, planes Y, V, U
    kInputYuy2 = 1,  // packed 4:2:2, Y0 U Y1 V
    kInputUyvy = 2,  // packed 4:2:2, U Y0 V Y1
    kInputYvyu = 3,  // packed 4:2:2, Y0 V Y1 U
    kInputI420 = 4,  // planar 4:2:0, planes Y, U, V
    kInputRgb32 = 5, // B, G, R, unused; bottom-up rows
    kInputRgb24 = 6, // B, G, R; bottom-up rows padded to 4 bytes like a DIB
};

inline bool IsValidInputLayout(int layout)
{
    return layout >= kInputYv12 && layout <= kInputRgb24;
}

// The encoder's planes. width x height is the picture; the chroma planes hold
// (width + 1) / 2 x (height + 1) / 2 samples of it; the padded sizes are multiples of 16.
struct PlanarPicture
{
    uint8_t *y;
    uint8_t *u;
    uint8_t *v;
    ptrdiff_t lumaStride;
    ptrdiff_t chromaStride;
    int width;
    int height;
    int paddedWidth;
    int paddedHeight;
};

// Bytes of one input row (of the luma plane for the planar layouts); 0 for a bad layout.
size_t InputRowBytes(int layout, int width);
// Bytes of a whole input picture. Planar chroma planes are (width + 1) / 2 x
// (height + 1) / 2; packed 4:2:2 rows hold whole pixel pairs. 0 for a bad layout.
size_t InputPictureBytes(int layout, int width, int height);

// Fills the picture area of the planes from the input; reads exactly InputPictureBytes.
// An odd last column or row takes part in the chroma as if it were repeated.
void ConvertPicture(int layout, const uint8_t *input, const PlanarPicture &planes);

// Exchanges rows i and rows - 1 - i of a plane.
void FlipPlane(uint8_t *plane, ptrdiff_t stride, size_t rowBytes, int rows);

// Repeats the last column of the picture to the padded width, then the last row to the
// padded height, in all three planes, so the edge macroblocks code no hard edge.
void ReplicateEdges(const PlanarPicture &planes);

} // namespace tx::mpeg4
