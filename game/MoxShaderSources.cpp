// The programs' texts, one line each: seven tabs before every declaration and statement
// (eight inside main), one tab between type and name (two after sampler2D). Every
// declaration carries its own precision, so no precision line is needed.
#include "game/MoxShader.h"

#define T7 "\t\t\t\t\t\t\t"
#define T8 T7 "\t"

#define QUAD_WORLD_VS                                                                                        \
    T7 "attribute mediump vec3\tposition;" T7 "attribute mediump vec2\tuv0;" T7                              \
       "uniform mediump mat4\tprojectionMatrix;" T7 "uniform mediump vec4\tcolor0;" T7                       \
       "varying mediump vec2\ttexCoord0;" T7 "varying mediump vec4\trgba0;" T7 "void main(void)" T7 "{" T8   \
       "texCoord0 = uv0;" T8 "rgba0 = color0;" T8 "gl_Position = vec4(position, 1) * projectionMatrix;" T7   \
       "}"

#define QUAD_FS_HEAD                                                                                         \
    T7 "uniform sampler2D\t\ttexture0;" T7 "varying mediump vec2\ttexCoord0;" T7                             \
       "varying mediump vec4\trgba0;" T7 "void main (void)" T7 "{" T8                                        \
       "mediump vec4 tex0 = texture2D(texture0, texCoord0);"

#define QUAD_FS QUAD_FS_HEAD T8 "gl_FragColor =  tex0 * rgba0;" T7 "}"

const char* const strBlockVS =
    T7 "attribute mediump vec3\tposition;" T7 "attribute mediump vec2\tuv0;" T7
       "attribute mediump vec2\tuv1;" T7 "attribute mediump float\tshadevs;" T7
       "uniform mediump mat4\tprojectionMatrix;" T7 "varying mediump vec2\ttexCoord0;" T7
       "varying mediump vec2\ttexCoord1;" T7 "varying mediump float\tshadeps;" T7 "void main(void)" T7 "{" T8
       "texCoord0 = uv0;" T8 "texCoord1 = uv1;" T8 "shadeps = shadevs;" T8
       "gl_Position = vec4(position, 1) * projectionMatrix;" T7 "}";

const char* const strBlockFS =
    T7 "uniform sampler2D\t\ttexture0;" T7 "uniform sampler2D\t\ttexture1;" T7
       "varying mediump vec2\ttexCoord0;" T7 "varying mediump vec2\ttexCoord1;" T7
       "varying mediump float\tshadeps;" T7 "void main (void)" T7 "{" T8
       "mediump vec4 tex0 = texture2D(texture0, texCoord0);" T8
       "mediump vec4 tex1 = texture2D(texture1, texCoord1);" T8
       "gl_FragColor.xyz = (tex0.xyz * tex1.xyz) * shadeps;" T8 "gl_FragColor.a = tex0.a;" T7 "}";

const char* const strWaterVS =
    T7 "attribute mediump vec3\tposition;" T7 "attribute mediump vec2\tuv0;" T7
       "uniform mediump mat4\tprojectionMatrix;" T7 "varying mediump vec2\ttexCoord0;" T7 "void main(void)" T7
       "{" T8 "texCoord0 = uv0;" T8 "gl_Position = vec4(position, 1) * projectionMatrix;" T7 "}";

const char* const strWaterFS =
    T7 "uniform sampler2D\t\ttexture0;" T7 "varying mediump vec2\ttexCoord0;" T7 "void main (void)" T7 "{" T8
       "mediump vec4 tex0 = texture2D(texture0, texCoord0);" T8 "gl_FragColor =  tex0;" T7 "}";

const char* const strFlompVS = QUAD_WORLD_VS;
const char* const strFlompFS = QUAD_FS;
const char* const strWorldVS = QUAD_WORLD_VS;
const char* const strWorldFS = QUAD_FS;
const char* const strBackgroundFS = QUAD_FS;

const char* const strScreenVS =
    T7 "attribute mediump vec3\tposition;" T7 "attribute mediump vec2\tuv0;" T7
       "uniform mediump vec4\tcolor0;" T7 "varying mediump vec2\ttexCoord0;" T7
       "varying mediump vec4\trgba0;" T7 "void main(void)" T7 "{" T8 "texCoord0 = uv0;" T8
       "rgba0 = color0;" T8 "gl_Position = vec4(position, 1);" T7 "}";

const char* const strScreenFS = QUAD_FS_HEAD T8 "gl_FragColor =  tex0  * rgba0;" T7 "}";
const char* const strScreenOverlayFS = QUAD_FS_HEAD T8 "gl_FragColor = rgba0 * tex0;" T7 "}";
