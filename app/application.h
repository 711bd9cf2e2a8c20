#pragma once
// The application's identity for the desktop: name, version, desktop entry
// and icon.

namespace zorukan::app {

void describe_application();

// The pictures and icons are compiled into a static library, whose resources
// must be registered by hand before use.
void register_resources();

}  // namespace zorukan::app
