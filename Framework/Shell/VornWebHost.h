// The host of every web page the game and the lobby open ("/api/forward.php" and the
// rest). No pages are served for it; the links only have to be well formed.
#pragma once

static const char* const VORN_WEB_HOST = "localhost";
