#pragma once

#include <QStringView>
#include <chrono>
#include <functional>

namespace tavrik {

// The limit given to a shutdown that may hang: longer than any hand-off Qt
// waits for (on X11 it gives the clipboard manager up to 5 s to take a copy),
// so that only a shutdown that will never finish is cut short.
inline constexpr std::chrono::seconds shutdownLimit{10};

// Runs `tearDown` (the destruction of the application object) and returns
// `status`. On Qt's Wayland platforms (`platformName` as QGuiApplication
// names it, the plugin's own name: "wayland", "wayland-egl", …) a watchdog
// ends the process with `status` instead if `tearDown` has not finished
// within `limit`, and says so on the standard error.
//
// Qt's Wayland plugin (6.4 and 6.8 at least) can deadlock while it stops its
// event threads: when the compositor's last events race the shutdown, one
// thread waits for ever for a read another has abandoned. The window is gone
// by then and there is nothing left to save, so the process simply ends.
// Elsewhere a slow shutdown is doing real work and is left to finish.
int tearDownApplication(QStringView platformName, int status,
                        const std::function<void()>& tearDown,
                        std::chrono::milliseconds limit = shutdownLimit);

} // namespace tavrik
