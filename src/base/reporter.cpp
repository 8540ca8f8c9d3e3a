#include "base/reporter.h"

#include <cstdarg>
#include <cstdio>

namespace arbolix {

namespace {

std::string TrimmedLine(std::string_view text) {
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.remove_suffix(1);
    return std::string(text);
}

} // namespace

void StderrReporter::report(const Message& message) {
    std::fprintf(stderr, "%s: %s\n", message.caption.c_str(), TrimmedLine(message.text).c_str());
}

void StderrReporter::status(std::string_view text) {
    if (!showStatus_) return;
    std::fprintf(stderr, "\r%s\x1b[K", TrimmedLine(text).c_str());
    std::fflush(stderr);
}

std::string Format(const char* format, ...) {
    va_list args;
    va_start(args, format);
    va_list copy;
    va_copy(copy, args);
    const int size = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    std::string out;
    if (size > 0) {
        out.resize(static_cast<size_t>(size));
        std::vsnprintf(out.data(), out.size() + 1, format, args);
    }
    va_end(args);
    return out;
}

} // namespace arbolix
