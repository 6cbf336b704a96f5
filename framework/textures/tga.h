// tga.h - the TGA file reader: uncompressed (type 2) and run-length-encoded (type 10)
// true-colour files of 24 or 32 bits become R, G, B (, A) pixels in memory, rows in file order.
// Nothing else of the format is read: no identification field, colour map, origin, footer or
// extension area. Every refused file is reported in one message box. Makes no OpenGL call.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

namespace velvix {

// A decoded TGA image; also the element of the TGA slot table.
struct TGATexture {
    uint8_t* ImageData; // Width x Height pixels of Bpp / 8 bytes; released with std::free
    uint32_t Bpp;       // 24 or 32
    uint32_t Width;     // 1..65535
    uint32_t Height;    // 1..65535
    uint32_t TexID;     // OpenGL texture name; the reader never touches it
    uint32_t Typ;       // GL_RGB (24 bits) or GL_RGBA (32 bits)
};

struct TTGAHeader {
    uint8_t Header[12]; // the file header as read
};

// The reader's working record for the file read last.
struct TTGA {
    uint8_t Header[6];      // the information header as read
    uint32_t BytesPerPixel; // 3 or 4
    uint32_t ImageSize;     // bytes of the decoded block (0 when it exceeds the limit)
    uint32_t Typ;
    uint32_t Heigh;
    uint32_t Width;
    uint32_t Bpp;
};

extern std::FILE* fTGA;               // the file being read; closed after every call
extern TTGAHeader TGAHeader;          // file header of the file read last
extern TTGA TGA;                      // working record of the file read last
extern const uint8_t uTGAcompare[12]; // the one accepted header of an uncompressed file
extern const uint8_t cTGAcompare[12]; // the one accepted header of a compressed file

// Largest decoded pixel block accepted, in bytes.
constexpr uint64_t MaxTGAImageSize = 2147483647u;

// Reads the file `Filename` into `Texture`. True: ImageData (now the caller's), Bpp, Width,
// Height and Typ are filled. False: one message box was shown, no pixel memory is held and the
// record's fields other than TexID are not to be used. The file is closed either way.
bool LoadTGA(TGATexture& Texture, const std::string& Filename);

} // namespace velvix
