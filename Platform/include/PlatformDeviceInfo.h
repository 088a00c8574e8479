// Device information: facts about the device (texts) and its identifying numbers.
// Calls return BPS_SUCCESS or BPS_FAILURE; a record filled by a get call is given
// back with the matching free call.
#pragma once

#include <cstdint>

#include "PlatformBps.h"

namespace plat
{

// Texts in this order; each one malloc'ed, never null after a successful call.
struct deviceinfo_data_t
{
    char* hardware_id;   // the processor architecture on Linux
    char* device_os;     // the operating system's name
    char* hardware_name; // the model
    char* os_build;      // the kernel release on Linux
};

struct deviceinfo_identifying_data_t
{
    uint32_t size;    // bytes of this record
    uint32_t pin;     // a short device number; 0 on Linux
    uint32_t id_low;  // the device identifier, low word
    uint32_t id_high; // the device identifier, high word
};

int deviceinfo_get_data(deviceinfo_data_t* pData);
void deviceinfo_free_data(deviceinfo_data_t* pData);
int deviceinfo_get_identifying_data(deviceinfo_identifying_data_t* pData);
void deviceinfo_free_identifying_data(deviceinfo_identifying_data_t* pData);

} // namespace plat
