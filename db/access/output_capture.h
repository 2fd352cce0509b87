#pragma once
// libmdb and glib report on standard error, and libmdb dumps pages it
// cannot make sense of on standard output. While a call into them runs,
// both go to a temporary file whose text is kept instead. One call at a
// time: file descriptors 1 and 2 belong to the whole process.

#include <cstdio>
#include <mutex>
#include <string>

namespace zolvant::db {

class OutputCapture {
public:
    explicit OutputCapture(std::string& sink);
    ~OutputCapture();
    OutputCapture(const OutputCapture&) = delete;
    OutputCapture& operator=(const OutputCapture&) = delete;

private:
    std::string& sink_;
    std::lock_guard<std::recursive_mutex> lock_;
    std::FILE* file_ = nullptr;
    int saved_[2] = {-1, -1};
    bool redirected_[2] = {false, false};
};

}  // namespace zolvant::db
