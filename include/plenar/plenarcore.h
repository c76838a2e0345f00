// plenarcore.dll: the host library's surfaces, in-memory input files and
// image import. Exported by ordinal only (the ordinal of each entry is given);
// plug-ins import it by ordinal. Free functions are stdcall, members thiscall.
#pragma once

#include <cstddef>
#include "abi.h"

namespace plenar {

// A 32-bit pixel surface. The caller owns its bytes (16 on the host); the library
// constructs (264) and destroys (286) the surface inside them.
class Surface {
public:
    PLENARCORE_API Surface();                 // 264: empty surface
    PLENARCORE_API ~Surface();                // 286: releases the pixels
    PLENARCORE_API int32_t HasAlpha() const;  // 587: 1 when any pixel is not opaque (0 when empty)
    PLENARCORE_API void SetTransparentColour(uint32_t colour);  // 753: colour 0x00BBGGRR
    PLENARCORE_API void Clear();  // 401: all pixels 0 (transparent black)
    // 355: copy the top-left width x height pixels of `source` into this
    // surface at (0, 0), clipped; -1 means the source's full width/height. An
    // empty surface first takes the size of what is copied.
    PLENARCORE_API void CopyFrom(const Surface* source, int32_t width, int32_t height);
    // 443: fill the rectangle with an opaque colour 0x00BBGGRR (clipped).
    PLENARCORE_API void FillRect(int32_t x, int32_t y, int32_t width, int32_t height,
                                 uint32_t colour);
    // 677: draw the outline of left..right x top..bottom (right and bottom
    // excluded, as in a Windows rectangle), `thickness` pixels inward, in an
    // opaque colour 0x00BBGGRR (clipped).
    PLENARCORE_API void OutlineRect(int32_t left, int32_t top, int32_t right, int32_t bottom,
                                    int32_t thickness, uint32_t colour);

    int32_t width;
    int32_t height;
    uint32_t* pixels;      // width*height pixels 0xAARRGGBB, row-major; null when empty
    uint32_t transparent;  // 0x00BBGGRR, or no_transparent_colour

    static constexpr uint32_t no_transparent_colour = 0xFFFFFFFFu;
};

PLENAR_PIN_SIZE(Surface, 16, 24);
PLENAR_PIN_OFFSET(Surface, width, 0, 0);
PLENAR_PIN_OFFSET(Surface, height, 4, 4);
PLENAR_PIN_OFFSET(Surface, pixels, 8, 8);
PLENAR_PIN_OFFSET(Surface, transparent, 12, 16);

// An input file over bytes in memory. Created by CreateMemoryInputFile (638);
// released through its virtual slot 1.
class InputFile {
public:
    virtual uint32_t PLENAR_THISCALL Read(void* buffer, uint32_t bytes) = 0;  // slot 0
    virtual void PLENAR_THISCALL Release() = 0;                               // slot 1
    // 366: open the file on `size` bytes at `data`, which must stay valid
    // until Release. Returns 0 on success.
    PLENARCORE_API int32_t Open(const void* data, uint32_t size);

    const uint8_t* data;
    uint32_t size;
    uint32_t position;

protected:
    ~InputFile() = default;
};

// 34: the surface of an editor window (640 x 480, made at the first request
// for that id, the same one afterwards), or null for window 0.
extern "C" PLENARCORE_API Surface* PLENAR_STDCALL WindowSurface(uint32_t window, uint32_t zero);

// 638: a new in-memory input file.
extern "C" PLENARCORE_API InputFile* PLENAR_STDCALL CreateMemoryInputFile();

enum : uint32_t { image_format_png = 0x504E4720 };  // 'PNG '

// 137: decode the image in `file` into `destination`. `context` is the host
// services record's image-import context (null: no import, -1). Reads the
// file from its position. Returns 0 on success; data that is not in the given
// format leaves the surface empty and returns -1.
extern "C" PLENARCORE_API int32_t PLENAR_STDCALL ImportImage(void* context, InputFile* file,
                                                             Surface* destination,
                                                             const uint32_t* format, uint32_t zero);

}  // namespace plenar
