#include "Extensions/KorvelGraphicsExt_GLES2Shaders.h"

namespace
{

// Plain textured quads.
const char* const strQuad2DVS = "\tattribute mediump vec3 position;"
                                "\tattribute mediump vec2 uv;"
                                "\tvarying mediump vec2 texCoord;"
                                "\tvoid main() {"
                                "\tgl_Position = vec4(position, 1.0);"
                                "\ttexCoord = uv;"
                                "\t}";
const char* const strQuad2DFS = "\tprecision mediump float;"
                                "\tuniform sampler2D texture01;"
                                "\tvarying mediump vec2 texCoord;"
                                "\tvoid main() {"
                                "\tgl_FragColor = texture2D(texture01, texCoord);"
                                "\t}";

// Vertex-coloured geometry.
const char* const strQuad2DGouraudVS = "\tattribute vec3 position;"
                                       "\tattribute vec4 color;"
                                       "\tvarying vec4 diffuse;"
                                       "\tvoid main() {"
                                       "\tgl_Position = vec4(position, 1.0);"
                                       "\tdiffuse = color;"
                                       "\t}";
const char* const strDiffuseFS = "\tprecision mediump float;"
                                 "\tvarying vec4 diffuse;"
                                 "\tvoid main() {"
                                 "\tgl_FragColor = diffuse;"
                                 "\t}";

// Texture times vertex colour, and the highlight that mixes a flat silhouette in the
// colour (alpha 0) with the image (alpha 1).
const char* const strQuad2DGouraudTexturedVS = "\tattribute mediump vec2 position;"
                                               "\tattribute vec2 uv;"
                                               "\tattribute vec4 color;"
                                               "\tvarying vec4 diffuse;"
                                               "\tvarying vec2 texCoord;"
                                               "\tvoid main() {"
                                               "\tgl_Position = vec4(position, 0.0, 1.0);"
                                               "\tdiffuse = color;"
                                               "\ttexCoord = uv;"
                                               "\t}";
const char* const strTex01DiffuseFS = "\tprecision mediump float;"
                                      "\tuniform sampler2D texture01;"
                                      "\tvarying vec4 diffuse;"
                                      "\tvarying vec2 texCoord;"
                                      "\tvoid main() {"
                                      "\tgl_FragColor = texture2D(texture01, texCoord) * diffuse;"
                                      "\t}";
const char* const strQuad2DHighlightFS =
    "\tprecision mediump float;"
    "\tuniform sampler2D texture01;"
    "\tvarying vec4 diffuse;"
    "\tvarying vec2 texCoord;"
    "\tvoid main() {"
    "\tmediump vec4 tex01 = texture2D(texture01, texCoord);"
    "\tgl_FragColor.rgb = mix(diffuse.rgb * tex01.a, tex01.rgb, diffuse.a);"
    "\tgl_FragColor.a = tex01.a;"
    "\t}";

// Sprite-sheet quads of 4 x 4 frames; the row vector times the matrix matches the
// element order of the engine's matrices.
const char* const strQuadVS = "\tattribute vec3 position;"
                              "\tattribute vec2 uv;"
                              "\tuniform int frame;"
                              "\tuniform int x_frames;"
                              "\tuniform int y_frames;"
                              "\tuniform mediump float size;"
                              "\tuniform vec4 color;"
                              "\tuniform vec3 pos;"
                              "\tuniform mat4 projectionMatrix;"
                              "\tvarying vec4 diffuse;"
                              "\tvarying vec2 texCoord;"
                              "\tvoid main() {"
                              "\tmediump vec4 transVertex = vec4(position * size + pos, 1.0);"
                              "\tgl_Position = transVertex * projectionMatrix;"
                              "\tdiffuse = color;"
                              "\tint frame_y = frame / y_frames;"
                              "\tint frame_x = frame - frame_y * x_frames;"
                              "\ttexCoord.x = uv.x + (float(frame_x) * 0.25);"
                              "\ttexCoord.y = uv.y + (float(frame_y) * 0.25);"
                              "\t}";

// Glyph quads of the bitmap fonts.
const char* const strTextVS =
    "\tattribute mediump vec2 position;"
    "\tattribute mediump vec2 uv;"
    "\tattribute mediump vec2 offset;"
    "\tuniform mediump vec4 color;"
    "\tuniform mediump vec2 scale;"
    "\tvarying mediump vec2 texCoord;"
    "\tvoid main() {"
    "\tgl_Position = vec4(position.x * scale.x + offset.x, position.y * scale.y + offset.y, "
    "0.0, 1.0);"
    "\ttexCoord = uv;"
    "\t}";
const char* const strTextFS = "\tprecision mediump float;"
                              "\tuniform sampler2D texture01;"
                              "\tuniform mediump vec4 color;"
                              "\tvarying mediump vec2 texCoord;"
                              "\tvoid main() {"
                              "\tgl_FragColor = color * texture2D(texture01, texCoord).a;"
                              "\t}";

} // namespace

const SKE_SHADERSOURCES g_KEBuiltinShaders[KE_PROGRAM_COUNT] = {
    {strQuadVS, strTex01DiffuseFS},                     // sprite
    {strQuad2DVS, strQuad2DFS},                         // texture
    {strQuad2DGouraudVS, strDiffuseFS},                 // colour
    {strQuad2DGouraudTexturedVS, strTex01DiffuseFS},    // tint
    {strQuad2DGouraudTexturedVS, strQuad2DHighlightFS}, // highlight
    {strTextVS, strTextFS},                             // first text
    {strTextVS, strTextFS},                             // second text
};
