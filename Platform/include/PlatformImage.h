// Image library: attaching and detaching the library handle. Decoding is added
// with the image loader.
#pragma once

namespace plat
{

struct _img_lib;
typedef _img_lib* img_lib_t;

enum : int
{
    IMG_ERR_OK = 0
};

// IMG_ERR_OK, or an error number; *pLib is null on failure.
int img_lib_attach(img_lib_t* pLib);
void img_lib_detach(img_lib_t lib);

} // namespace plat
