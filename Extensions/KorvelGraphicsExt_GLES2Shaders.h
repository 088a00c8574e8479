// The built-in programs' shader texts. Each text is one line with a tab before every
// declaration and statement; fragment shaders begin with a default float precision,
// which GLSL ES requires of them.
#pragma once

struct SKE_SHADERSOURCES
{
    const char* pszVertex;
    const char* pszFragment;
};

enum
{
    KE_PROGRAM_SPRITE,
    KE_PROGRAM_TEXTURE,
    KE_PROGRAM_COLOR,
    KE_PROGRAM_TINT,
    KE_PROGRAM_HIGHLIGHT,
    KE_PROGRAM_TEXT1,
    KE_PROGRAM_TEXT2,
    KE_PROGRAM_COUNT
};

// In the order of building (the enumeration above).
extern const SKE_SHADERSOURCES g_KEBuiltinShaders[KE_PROGRAM_COUNT];
