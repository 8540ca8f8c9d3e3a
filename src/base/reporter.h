#pragma once
// One way out for every failure and progress text: a message box in the application, a line on
// standard error in arbolix-cli, a list in the tests.

#include <string>
#include <string_view>
#include <vector>

namespace arbolix {

enum class MessageIcon { Stop, Exclamation, Information };

struct Message {
    std::string text; // UTF-8
    std::string caption = "arbolix";
    MessageIcon icon = MessageIcon::Stop;
};

class Reporter {
public:
    virtual ~Reporter() = default;
    // A failure or an anomaly the user must see (modal in the application).
    virtual void report(const Message& message) = 0;
    // Progress and hints (pane 0 of the status bar in the application).
    virtual void status(std::string_view text) { (void)text; }
};

// Keeps everything it is told; used by the tests and by callers that decide later.
class ListReporter final : public Reporter {
public:
    std::vector<Message> messages;
    std::vector<std::string> statuses;
    void report(const Message& message) override { messages.push_back(message); }
    void status(std::string_view text) override { statuses.emplace_back(text); }
};

// Writes every message as one line on standard error; status texts are dropped unless asked for.
class StderrReporter final : public Reporter {
public:
    explicit StderrReporter(bool showStatus = false) : showStatus_(showStatus) {}
    void report(const Message& message) override;
    void status(std::string_view text) override;

private:
    bool showStatus_;
};

// printf-style formatting into a std::string.
std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));

} // namespace arbolix
