#pragma once
// Work on many independent items on several threads, with the results
// handed on in the items' order: the sweep's points and the command-line
// tool's batches of cases both go through it. Items are taken in rounds of
// at most `threads * chunk`, so memory is bounded whatever the count.

#include <algorithm>
#include <cstddef>
#include <thread>
#include <vector>

namespace zolvant {

// The threads to use: all cores unless `requested` says otherwise (0).
inline unsigned workerThreads(unsigned requested = 0) {
    if (requested > 0) return requested;
    return std::max(1u, std::thread::hardware_concurrency());
}

// make(i) -> T for every i in [0, count), on up to `threads` threads;
// consume(i, T&&) on the calling thread, in order of i, each round as soon
// as it is done. consume returning false stops before the next round.
// A round smaller than two chunks runs on the calling thread alone.
template <class T, class Make, class Consume>
void runOrdered(std::size_t count, unsigned threads, std::size_t chunk, Make&& make, Consume&& consume) {
    threads = std::max(1u, threads);
    chunk = std::max<std::size_t>(1, chunk);
    std::vector<T> results;
    for (std::size_t first = 0; first < count;) {
        const std::size_t n = std::min(count - first, chunk * threads);
        results.clear();
        results.resize(n);
        const std::size_t parts = std::min<std::size_t>(threads, (n + chunk - 1) / chunk);
        if (parts <= 1) {
            for (std::size_t i = 0; i < n; ++i) results[i] = make(first + i);
        } else {
            const std::size_t per = (n + parts - 1) / parts;
            std::vector<std::thread> workers;
            for (std::size_t p = 1; p < parts; ++p)
                workers.emplace_back([&, p] {
                    for (std::size_t i = p * per; i < std::min(n, (p + 1) * per); ++i) results[i] = make(first + i);
                });
            for (std::size_t i = 0; i < std::min(n, per); ++i) results[i] = make(first + i);
            for (std::thread& w : workers) w.join();
        }
        for (std::size_t i = 0; i < n; ++i)
            if (!consume(first + i, std::move(results[i]))) return;
        first += n;
    }
}

}  // namespace zolvant
