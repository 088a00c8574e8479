// The multimedia renderer: plays one music track per context on the process's
// audio device, beside the PCM output. Declared in namespace plat like every
// stand-in call.
//
// A context goes create -> output_attach -> input_attach -> speed_set/play/
// stop/seek... -> input_detach -> destroy. Tracks are MP3 files, resampled to
// the device rate. Calls returning int give 0 (or an output id) on success and
// -1 on failure; mmr_error_info then tells why.
//
// Events: after mmrenderer_request_events for a context name, the renderer
// posts events of its own domain (mmrenderer_get_domain) into the platform
// event service, from whichever thread sees the change:
//   - a state event on every mmr_play, mmr_stop and speed change, with the
//     state and the position;
//   - at a track's natural end, a state event of MMR_STATE_STOPPED that
//     carries an error record with code MMR_ERROR_NONE (nothing else carries one,
//     except a decoding failure, with its own code);
//   - position events every 250 ms while the track advances.
// Positions are milliseconds from the start of the track, as decimal text.
#pragma once

#include <cstdint>
#include <sys/types.h>

namespace plat
{

struct bps_event_t;
struct mmr_connection_t; // opaque
struct mmr_context_t;    // opaque

enum mmr_state_t : int
{
    MMR_STATE_DESTROYED = 0,
    MMR_STATE_IDLE = 1,    // no input attached
    MMR_STATE_STOPPED = 2, // an input, not playing
    MMR_STATE_PLAYING = 3  // playing (at speed 0 it stands still)
};

enum mmr_error_code_t : uint32_t
{
    MMR_ERROR_NONE = 0,
    MMR_ERROR_INVALID_PARAMETER = 1,
    MMR_ERROR_INVALID_STATE = 2,
    MMR_ERROR_UNSUPPORTED_VALUE = 3,
    MMR_ERROR_MEDIA_UNAVAILABLE = 4, // the track cannot be opened
    MMR_ERROR_MEDIA_CORRUPTED = 5,   // the track cannot be decoded
    MMR_ERROR_OUTPUT_UNAVAILABLE = 6,
    MMR_ERROR_NO_MEMORY = 7
};

// The first word is the error code.
struct mmr_error_info_t
{
    uint32_t error_code;
    char extra_text[128];
};

enum : int
{
    MMRENDERER_STATE_CHANGE = 1, // event codes
    MMRENDERER_STATUS_UPDATE = 2,
    MMR_SPEED_NORMAL = 1000 // speeds are thousandths of normal; only 0 and 1000 are offered
};

// A null name connects to the default renderer.
mmr_connection_t* mmr_connect(const char* name);
int mmr_disconnect(mmr_connection_t* connection);

mmr_context_t* mmr_context_create(mmr_connection_t* connection, const char* name, int flags, mode_t mode);
int mmr_context_destroy(mmr_context_t* context);

// "audio:default" of type "audio" is the one output; returns its id (0) or -1.
int mmr_output_attach(mmr_context_t* context, const char* url, const char* type);
// A file path of type "track".
int mmr_input_attach(mmr_context_t* context, const char* url, const char* type);
int mmr_input_detach(mmr_context_t* context);

int mmr_speed_set(mmr_context_t* context, unsigned int speed);
int mmr_play(mmr_context_t* context);
int mmr_stop(mmr_context_t* context);                       // keeps the position
int mmr_seek(mmr_context_t* context, const char* position); // milliseconds as decimal text
// Output volume 0..100 (100 at start).
int mmr_volume_set(mmr_context_t* context, unsigned int volume);

// The last failure of the context (code MMR_ERROR_NONE when there was none).
const mmr_error_info_t* mmr_error_info(mmr_context_t* context);

// Event delivery for the contexts of that name, each event carrying user_data.
// Returns a request handle (> 0), or -1 on failure.
int mmrenderer_request_events(const char* context_name, int flags, void* user_data);
// Ends the request with that handle; 0, or -1 for an unknown handle.
int mmrenderer_stop_events(int request);
int mmrenderer_get_domain();

// Event accessors; defaults (null, MMR_STATE_DESTROYED) for events of other domains.
void* mmrenderer_event_get_userdata(bps_event_t* event);
mmr_state_t mmrenderer_event_get_state(bps_event_t* event);
// Null unless the event carries an error record.
const mmr_error_info_t* mmrenderer_event_get_error(bps_event_t* event);
// Where the error happened (milliseconds text), null without an error record.
const char* mmrenderer_event_get_error_position(bps_event_t* event);
// The position (milliseconds text), null when the event carries none.
const char* mmrenderer_event_get_position(bps_event_t* event);

} // namespace plat
