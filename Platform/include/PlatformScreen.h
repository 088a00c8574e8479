// Windowing service: a context with one display, windows with properties, and the
// input events of those windows (pointer, keyboard, multi-touch) delivered through
// the event service. Calls return 0 on success and -1 with errno on failure.
#pragma once

#include "PlatformBps.h"

namespace plat
{

struct _screen_context;
struct _screen_display;
struct _screen_window;
struct _screen_event;
typedef _screen_context* screen_context_t;
typedef _screen_display* screen_display_t;
typedef _screen_window* screen_window_t;
typedef _screen_event* screen_event_t;

enum : int
{
    SCREEN_APPLICATION_CONTEXT = 0,

    // Property numbers.
    SCREEN_PROPERTY_BUFFER_SIZE = 5,      // window: int[2] pixels of the drawing buffers
    SCREEN_PROPERTY_BUTTONS = 6,          // pointer event: mask of the buttons held after it
    SCREEN_PROPERTY_FORMAT = 14,          // window: pixel format
    SCREEN_PROPERTY_KEY_FLAGS = 25,       // keyboard event
    SCREEN_PROPERTY_KEY_SYM = 28,         // keyboard event: key symbol
    SCREEN_PROPERTY_NAME = 32,            // property event: the window property that changed
    SCREEN_PROPERTY_ROTATION = 38,        // window: 0, 90, 180 or 270
    SCREEN_PROPERTY_SIZE = 40,            // window or display: int[2]
    SCREEN_PROPERTY_SOURCE_POSITION = 41, // pointer and touch events: int[2] window pixels
    SCREEN_PROPERTY_TYPE = 47,            // event type
    SCREEN_PROPERTY_USAGE = 48,           // window: usage bits
    SCREEN_PROPERTY_DISPLAY_COUNT = 59,   // context: int
    SCREEN_PROPERTY_DISPLAYS = 60,        // context: array of screen_display_t
    SCREEN_PROPERTY_TOUCH_ID = 73,        // touch event
    SCREEN_PROPERTY_MODE = 90,            // display: screen_display_mode_t

    // Event types.
    SCREEN_EVENT_PROPERTY = 2, // a window property changed outside the application (its size)
    SCREEN_EVENT_POINTER = 6,
    SCREEN_EVENT_KEYBOARD = 7,
    SCREEN_EVENT_MTOUCH_TOUCH = 100,
    SCREEN_EVENT_MTOUCH_MOVE = 101,
    SCREEN_EVENT_MTOUCH_RELEASE = 102,

    SCREEN_FORMAT_RGBX8888 = 9,

    // Button mask bits of pointer events.
    SCREEN_LEFT_MOUSE_BUTTON = 0x1,
    SCREEN_MIDDLE_MOUSE_BUTTON = 0x2,
    SCREEN_RIGHT_MOUSE_BUTTON = 0x4,

    // Key flag bit of keyboard events.
    SCREEN_KEY_FLAG_DOWN = 0x1
};

// Key symbols: printable keys are their character; the others are 0xF000 + a low byte.
enum : int
{
    SCREEN_KEYSYM_BACKSPACE = 0xF008,
    SCREEN_KEYSYM_TAB = 0xF009,
    SCREEN_KEYSYM_RETURN = 0xF00D,
    SCREEN_KEYSYM_ESCAPE = 0xF01B,
    SCREEN_KEYSYM_LEFT = 0xF051,
    SCREEN_KEYSYM_UP = 0xF052,
    SCREEN_KEYSYM_RIGHT = 0xF053,
    SCREEN_KEYSYM_DOWN = 0xF054,
    SCREEN_KEYSYM_SHIFT_L = 0xF0E1
};

// Display mode record; the display fills it for SCREEN_PROPERTY_MODE.
struct screen_display_mode_t
{
    unsigned int width;
    unsigned int height;
    unsigned int refresh; // Hz
};

int screen_create_context(screen_context_t* pContext, int iFlags);
int screen_destroy_context(screen_context_t context);
int screen_get_context_property_iv(screen_context_t context, int iProperty, int* pValue);
// SCREEN_PROPERTY_DISPLAYS: pValue points to an array of display-count handles.
int screen_get_context_property_pv(screen_context_t context, int iProperty, void** pValue);

int screen_get_display_property_iv(screen_display_t display, int iProperty, int* pValue);
// SCREEN_PROPERTY_MODE: pValue points to a screen_display_mode_t that is filled in.
int screen_get_display_property_pv(screen_display_t display, int iProperty, void** pValue);

int screen_create_window(screen_window_t* pWindow, screen_context_t context);
int screen_destroy_window(screen_window_t window);
int screen_set_window_property_iv(screen_window_t window, int iProperty, const int* pValue);
int screen_get_window_property_iv(screen_window_t window, int iProperty, int* pValue);
int screen_create_window_buffers(screen_window_t window, int iCount);

// Screen events reach the event service only between these two calls.
int screen_request_events(screen_context_t context);
int screen_stop_events(screen_context_t context);

int screen_get_domain();
// The screen event inside an event of the screen domain; null for any other event.
screen_event_t screen_event_get_event(bps_event_t* pEvent);
int screen_get_event_property_iv(screen_event_t event, int iProperty, int* pValue);

} // namespace plat
