#pragma once

#include <chrono>
#include <functional>

namespace tavrik {

// Runs `tearDown` (the destruction of the application object) and returns
// `status`; if it has not finished within `limit`, ends the process with
// `status` instead.
//
// Qt's Wayland plugin (6.4 and 6.8 at least) can deadlock while it stops its
// event threads: when the compositor's last events race the shutdown, one
// thread waits for ever for a read another has abandoned. The window is gone
// by then and there is nothing left to save, so the process simply ends.
int tearDownWithin(std::chrono::milliseconds limit, int status,
                   const std::function<void()>& tearDown);

} // namespace tavrik
