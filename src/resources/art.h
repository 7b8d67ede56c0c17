#pragma once

// Registers the generated pictures (":/art/...") with the resource system. The UI library is
// static, so its resources need this call once before the first picture is loaded; further calls
// do nothing.
void initOrvaneArt();
