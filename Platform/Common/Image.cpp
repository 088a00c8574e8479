// The image library handle. Nothing to set up until decoding arrives.
#include "PlatformImage.h"

#include <cerrno>

#include "Platform/Common/CallLog.h"

namespace plat
{

struct _img_lib
{
    int m_iUnused;
};

int img_lib_attach(img_lib_t* pLib)
{
    if (RecordCall("img_lib_attach"))
    {
        if (pLib)
            *pLib = nullptr;
        return EIO;
    }
    if (!pLib)
        return EINVAL;
    *pLib = new _img_lib{0};
    return IMG_ERR_OK;
}

void img_lib_detach(img_lib_t lib)
{
    RecordCall("img_lib_detach");
    delete lib;
}

} // namespace plat
