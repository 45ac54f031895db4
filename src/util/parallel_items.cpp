// A small pool of std::jthread that take the next item number from a shared
// counter; fewer threads than asked when the system has no more to give.
#include "util/parallel_items.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <exception>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

namespace fv {

namespace {

constexpr unsigned most_threads = 64;

}  // namespace

unsigned worker_threads() {
    if (const char* text = std::getenv("FERRAVANE_THREADS")) {
        char* end = nullptr;
        const long number = std::strtol(text, &end, 10);
        if (end != text && *end == '\0' && number >= 1 && number <= most_threads) return static_cast<unsigned>(number);
    }
    return std::clamp(std::thread::hardware_concurrency(), 1u, most_threads);
}

bool do_items(std::size_t count, unsigned threads, const worker_maker& make_worker, const item_progress& progress) {
    std::atomic<std::size_t> next{0};
    std::atomic<std::size_t> done{0};
    std::atomic<bool> stopped{false};
    std::mutex lock;  // guards maker_failure and workers_left
    std::condition_variable finished;
    std::size_t workers_left = 0;
    std::exception_ptr maker_failure;
    const auto work = [&] {
        try {
            const item_worker worker = make_worker();
            for (std::size_t n = next++; n < count && !stopped; n = next++) {
                worker(n);
                ++done;
            }
        } catch (...) {
            const std::lock_guard<std::mutex> hold(lock);
            if (!maker_failure) maker_failure = std::current_exception();
        }
        const std::lock_guard<std::mutex> hold(lock);
        --workers_left;
        finished.notify_all();
    };

    if (progress && !progress(0, count)) return false;
    const std::size_t wanted = std::min<std::size_t>(std::max(threads, 1u), std::max<std::size_t>(count, 1));
    const std::size_t helpers = progress ? wanted : wanted - 1;
    std::vector<std::jthread> pool;
    pool.reserve(helpers);
    for (std::size_t n = 0; n < helpers; ++n) {
        try {
            {
                const std::lock_guard<std::mutex> hold(lock);
                ++workers_left;
            }
            pool.emplace_back(work);
        } catch (const std::system_error&) {
            // No more threads to be had: those started (or this one) do the work.
            const std::lock_guard<std::mutex> hold(lock);
            --workers_left;
            break;
        }
    }
    if (!progress || pool.empty()) {
        {
            const std::lock_guard<std::mutex> hold(lock);
            ++workers_left;
        }
        work();
    }
    if (progress) {
        std::unique_lock<std::mutex> hold(lock);
        while (!finished.wait_for(hold, std::chrono::milliseconds(50), [&] { return workers_left == 0; })) {
            hold.unlock();
            if (!stopped && !progress(done, count)) stopped = true;
            hold.lock();
        }
    }
    pool.clear();  // joins
    if (maker_failure) std::rethrow_exception(maker_failure);
    if (stopped) return false;
    if (progress) progress(count, count);
    return true;
}

}  // namespace fv
