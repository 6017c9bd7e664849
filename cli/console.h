// The library's window system on a terminal: message boxes are collected so
// that each can be printed with the name of the input it belongs to, and a
// progress window becomes a bar on standard error when that is a terminal.
// A parallel batch shows one bar for the whole batch instead (inputs done
// of total); its workers show none.
#pragma once

#include <string>
#include <vector>

namespace mireo::cli {

class Console {
public:
    Console();
    ~Console();
    Console(const Console&) = delete;
    Console& operator=(const Console&) = delete;

    // What the bar shows in front of itself, e.g. "photo.jpg (2/5)".
    void setLabel(std::string label);
    void showProgress(int percent);
    void clearProgress();
    // The bar of a parallel batch: `done` of `total` inputs finished.
    void showBatch(std::size_t done, std::size_t total);
    // No bar at all from here on (a worker of a parallel batch).
    void silence() { terminal_ = false; }

    std::vector<std::string> takeMessages();
    std::size_t messageCount() const { return messages_.size(); }
    void addMessage(std::string text);

    // While one lives, the library's messages on its thread go to `list`
    // and that thread draws no bar: a helper thread's build keeps its
    // messages apart from the main thread's.
    class ThreadMessages {
    public:
        explicit ThreadMessages(std::vector<std::string>& list);
        ~ThreadMessages();
        ThreadMessages(const ThreadMessages&) = delete;
        ThreadMessages& operator=(const ThreadMessages&) = delete;
    };

    // "mireo-cli: <subject>: <message>" on standard error.
    void report(const std::string& subject, const std::string& message);

private:
    void drawBar(const std::string& label, int percent, const std::string& figure);

    bool terminal_;
    bool barShown_ = false;
    int shownPercent_ = -1;
    std::string label_;
    std::vector<std::string> messages_;
};

}  // namespace mireo::cli
