#pragma once
// Internal to the engine layer: the per-thread state of the guards that
// configureConnection installs, which the error translation reads to tell
// why the engine stopped a statement.

#include <chrono>
#include <string>

namespace zolvant::db::detail {

struct Watch {
    std::chrono::steady_clock::time_point deadline;
    int depth = 0;
    bool expired = false;
};

// Per thread: a statement runs on the thread that steps it, and so does
// its progress handler.
extern thread_local Watch tWatch;

// The function the authorizer refused last on this thread, for the message.
extern thread_local std::string tRefusedFunction;

}  // namespace zolvant::db::detail
