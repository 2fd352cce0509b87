#include "db/access/output_capture.h"

#include <unistd.h>

namespace zolvant::db {

namespace {

std::recursive_mutex& outputMutex() {
    static std::recursive_mutex m;
    return m;
}

}  // namespace

OutputCapture::OutputCapture(std::string& sink) : sink_(sink), lock_(outputMutex()) {
    std::fflush(stdout);
    std::fflush(stderr);
    file_ = std::tmpfile();
    for (int fd : {1, 2}) {
        saved_[fd - 1] = ::dup(fd);
        if (file_ && saved_[fd - 1] >= 0) redirected_[fd - 1] = ::dup2(fileno(file_), fd) >= 0;
    }
}

OutputCapture::~OutputCapture() {
    std::fflush(stdout);
    std::fflush(stderr);
    for (int fd : {1, 2}) {
        if (redirected_[fd - 1]) ::dup2(saved_[fd - 1], fd);
        if (saved_[fd - 1] >= 0) ::close(saved_[fd - 1]);
    }
    if (file_) {
        std::rewind(file_);
        char buf[4096];
        std::size_t n;
        while (sink_.size() < 65536 && (n = std::fread(buf, 1, sizeof buf, file_)) > 0) sink_.append(buf, n);
        std::fclose(file_);
    }
}

}  // namespace zolvant::db
