#include "runtime/teardown.h"

#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <thread>

namespace tavrik {

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
            std::fputs("tavrik: the toolkit's shutdown did not finish; ending the process\n",
                       stderr);
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

} // namespace tavrik
