// Image library: the library handle, memory streams and decoding of PNG and JPEG
// images into 32-bit rows, and resizing of decoded images.
#pragma once

#include <cstddef>
#include <cstdint>

namespace plat
{

struct _img_lib;
typedef _img_lib* img_lib_t;

enum : int
{
    IMG_ERR_OK = 0,
    IMG_ERR_PARM = 1,    // a null or inconsistent argument
    IMG_ERR_MEM = 2,     // out of memory
    IMG_ERR_FORMAT = 3,  // a pixel format the library does not deliver
    IMG_ERR_NOTIMPL = 4, // data of no image type the library decodes
    IMG_ERR_CORRUPT = 5, // bad or truncated image data
    IMG_ERR_TOOBIG = 6   // an image larger than IMG_MAX_SIZE on a side
};

// Images larger than this on either side are refused before any pixel memory is taken.
constexpr unsigned int IMG_MAX_SIZE = 16384;

typedef uint32_t img_format_t;
enum : img_format_t
{
    IMG_FMT_ALPHA = 0x400,       // the format carries an alpha channel
    IMG_FMT_ARGB8888_LE = 0x1520 // 32-bit packed little-endian ARGB: bytes B, G, R, A
};

// img_t::flags
enum : unsigned int
{
    IMG_FORMAT = 2 // format is given by the caller
};

// A decoded image. data is width x height x 4 bytes, rows exactly width x 4 bytes
// apart, colour not premultiplied; it comes from malloc and the caller frees it.
struct img_t
{
    unsigned int w;
    unsigned int h;
    img_format_t format;
    unsigned int flags;
    unsigned char* data;
};

// Streams the decoder reads from.
struct _io_stream;
typedef _io_stream io_stream_t;

enum io_source_t
{
    IO_MEMORY = 1 // a block of memory the caller keeps alive until io_close
};
enum io_mode_t
{
    IO_READ = 1
};

// Opens a stream over size bytes at pBuffer; null when it cannot.
io_stream_t* io_open(io_source_t eSource, io_mode_t eMode, size_t size, const void* pBuffer);
void io_close(io_stream_t* pStream);

// IMG_ERR_OK, or an error number; *pLib is null on failure.
int img_lib_attach(img_lib_t* pLib);
void img_lib_detach(img_lib_t lib);

// Decodes the stream's remaining bytes (PNG or JPEG). pImg->flags must hold IMG_FORMAT
// with format IMG_FMT_ARGB8888_LE, or no IMG_FORMAT (the same format is delivered).
// pDecodeOptions is reserved and must be null. On success fills w, h, format and data;
// on failure pImg->data is null.
int img_load(img_lib_t lib, io_stream_t* pStream, const void* pDecodeOptions, img_t* pImg);

// Scales pSrc into pDst: pDst->w and pDst->h give the size, 0 keeps the source's size
// on that side. Each side is box-filtered when it shrinks and bilinear when it grows,
// with colour weighted by alpha so transparent pixels do not tint their neighbours.
// pDst->data is allocated (malloc) and pDst->format set to pSrc's.
int img_resize_fs(const img_t* pSrc, img_t* pDst);

} // namespace plat
