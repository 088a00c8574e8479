# One library per layer, lowest first. The engine (Platform and the Korvel* folders)
# never includes Framework, network or game headers; tools/check_layering.py enforces it.

korvel_library(Platform DIRS Platform RECURSE
  DEPS PkgConfig::X11 PkgConfig::EGL PkgConfig::GLESV2 PkgConfig::SDL2 PkgConfig::PNG
       PkgConfig::JPEG PkgConfig::MPG123 PkgConfig::FREETYPE Threads::Threads)

# The engine folders use one another (files use the matrix, the application uses
# key codes and input uses the application), so they form one library.
korvel_library(KorvelEngine
  DIRS KorvelCommon KorvelInput KorvelGraphics Korvel3D Extensions KorvelSound
  EXCLUDE KorvelEntry.cpp
  DEPS Platform PkgConfig::EGL PkgConfig::GLESV2 PkgConfig::VORBIS Threads::Threads)

korvel_library(SocketEngine DIRS SocketEngine DEPS KorvelEngine)
korvel_library(FrameworkAsn1 DIRS Framework/asn1 DEPS SocketEngine KorvelEngine)
korvel_library(AchievementStation DIRS AchievementStation DEPS KorvelEngine)
korvel_library(FrameworkUI DIRS Framework/UI DEPS KorvelEngine)
korvel_library(Framework DIRS Framework/Shell Framework/Session Framework/Lobby
  DEPS FrameworkUI FrameworkAsn1 SocketEngine AchievementStation KorvelEngine)
# The toolkit calls the framework's non-virtual code (hash strings, the resource manager).
korvel_mutual(Framework FrameworkUI)
korvel_library(Game DIRS game EXCLUDE main.cpp DEPS Framework KorvelEngine)

# The process entry calls the game's hooks, so it goes into executables only.
if(EXISTS ${KORVEL_ROOT}/KorvelCommon/KorvelEntry.cpp)
  add_library(KorvelEntry OBJECT ${KORVEL_ROOT}/KorvelCommon/KorvelEntry.cpp)
  target_link_libraries(KorvelEntry PUBLIC KorvelEngine)
endif()
