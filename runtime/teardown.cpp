#include "runtime/teardown.h"

#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <thread>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace tavrik {

namespace {

// Straight to the file descriptor: stdio's lock may be held by a thread that
// will never run again, and the watchdog must not wait for anything.
void writeToStandardError(const char* text) {
    const auto size = static_cast<unsigned>(std::strlen(text));
#ifdef _WIN32
    const int written = _write(2, text, size);
#else
    const auto written = write(2, text, size);
#endif
    static_cast<void>(written); // nothing left to do if even this fails
}

int tearDownWithin(std::chrono::milliseconds limit, int status,
                   const std::function<void()>& tearDown) {
    // Whatever was written must survive an ending that flushes nothing.
    std::fflush(nullptr);
    std::mutex mutex;
    std::condition_variable finishedChanged;
    bool finished = false;
    std::thread watchdog([&] {
        std::unique_lock lock(mutex);
        if (!finishedChanged.wait_for(lock, limit, [&] { return finished; })) {
            writeToStandardError(
                "tavrik: the toolkit's shutdown did not finish; ending the process\n");
            std::_Exit(status);
        }
    });
    tearDown();
    {
        std::lock_guard lock(mutex);
        finished = true;
    }
    finishedChanged.notify_one();
    watchdog.join();
    return status;
}

} // namespace

int tearDownApplication(QStringView platformName, int status,
                        const std::function<void()>& tearDown, std::chrono::milliseconds limit) {
    // Every Wayland plugin ("wayland", "wayland-egl", …) stops the same event threads.
    if (!platformName.startsWith(u"wayland")) {
        tearDown();
        return status;
    }
    return tearDownWithin(limit, status, tearDown);
}

} // namespace tavrik
